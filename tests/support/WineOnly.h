// Wine told apart from Windows, for the test programs that run on the Windows layer. They run
// under Wine 8 here, and a few of their expectations are Wine's own answers, measured there, that
// Windows need not give. Wine's conformance tests keep such cases apart (wine/test.h: todo_wine,
// broken()); these tests do the same with WINE_ONLY, so that the same program run on Windows
// tells which of its expectations Wine settles and Windows does not.
//
// Under Wine a WINE_ONLY expectation is checked exactly as written. Elsewhere it is still
// evaluated, but its outcome is reported instead of passing or failing the test: a
// "[ WINE-ONLY ]" line on the output and a test property "wine_only_<file>_<line>" saying whether
// it differs there or holds as well.
#pragma once

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include "win32/WinApi.h"

#include <cstdio>
#include <optional>
#include <string>

namespace hourmark::test {

// Wine's ntdll exports its version; Windows' does not.
inline bool OnWine() {
    static const bool onWine = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return onWine;
}

// A value Wine and Windows are both known to give, each its own.
template <typename T>
T WineOrWindows(T onWine, T onWindows) {
    return OnWine() ? onWine : onWindows;
}

// The scope of one WINE_ONLY expectation: away from Wine, what it reports is caught and told as
// Wine's difference once the scope ends.
class WineOnlyScope {
public:
    WineOnlyScope(const char* file, int line) : file_(file), line_(line) {
        if (!OnWine()) {
            caught_.emplace(
                testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD,
                &results_);
        }
    }
    ~WineOnlyScope() {
        if (!caught_) {
            return;
        }
        caught_.reset();
        std::string outcome = "holds here as under Wine";
        for (int i = 0; i < results_.size(); ++i) {
            const testing::TestPartResult& r = results_.GetTestPartResult(i);
            if (r.failed()) {
                outcome = std::string("differs from Wine: ") + r.message();
                break;
            }
        }
        std::string base = file_;
        base = base.substr(base.find_last_of("/\\") + 1);
        std::printf("[ WINE-ONLY ] %s:%d: %s\n", base.c_str(), line_, outcome.c_str());
        std::fflush(stdout);
        for (char& c : base) {
            c = c == '.' ? '_' : c;
        }
        testing::Test::RecordProperty("wine_only_" + base + "_" + std::to_string(line_), outcome);
    }
    WineOnlyScope(const WineOnlyScope&) = delete;
    WineOnlyScope& operator=(const WineOnlyScope&) = delete;

private:
    const char* file_;
    int line_;
    testing::TestPartResultArray results_;
    std::optional<testing::ScopedFakeTestPartResultReporter> caught_;
};

}  // namespace hourmark::test

// An expectation (an EXPECT_ or ASSERT_ statement, its message included) whose value is Wine's.
// Away from Wine an ASSERT_ that does not hold still ends the test there, reported, not failed.
#define WINE_ONLY(expectation)                                              \
    do {                                                                    \
        ::hourmark::test::WineOnlyScope wineOnlyScope_(__FILE__, __LINE__); \
        expectation;                                                        \
    } while (false)
