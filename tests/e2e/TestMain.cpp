// The Windows end-to-end test program: registers the simulator in this prefix, runs the tests in
// one apartment-threaded thread (the way the user-interface thread of HourMark runs), and closes
// the simulator at the end.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <string>

#include "NodeSimDriver.h"

namespace {

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2];
    const DWORD m = GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return m > 0 && m < MAX_PATH * 2 ? std::wstring(full, m) : path;
}

std::wstring BesideTestProgram(const wchar_t* relative) {
    wchar_t path[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring p(path, n);
    return FullPath(p.substr(0, p.find_last_of(L"\\/") + 1) + relative);
}

class Simulator : public testing::Environment {
public:
    void SetUp() override {
        const auto r = e2e::NodeSim::Run({"/RegServer"});
        ASSERT_EQ(r.exitCode, 0u) << r.err;
    }
    void TearDown() override { e2e::NodeSim::Run({"close"}); }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    e2e::NodeSim::SetProgram(BesideTestProgram(L"..\\..\\tools\\nodesim\\nodesim.exe"));
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--nodesim=", 0) == 0) {
            // The build names it as a Unix path; the simulator registers its Windows one.
            e2e::NodeSim::SetProgram(FullPath(e2e::Widen(arg.substr(10))));
        }
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    testing::AddGlobalTestEnvironment(new Simulator);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
