// The simulator's registration: where activation finds it, and that it never registers over
// another program's registration of the host's ProgID nor removes one.
#include <gtest/gtest.h>

#include <memory>

#include "NodeSimDriver.h"
#include "NodeSimIdl.h"
#include "RecordingTarget.h"
#include "Registry.h"
#include "host/Host.h"
#include "win32/com/ComHost.h"

namespace e2e {
namespace {

const std::wstring kForeignClass = L"{5D1A3F0E-7C44-4B8E-9A0B-2C6E1F9D4A77}";
const std::wstring kForeignServer = L"C:\\Program Files\\Some Host\\host.exe";

class Registration : public testing::Test {
protected:
    void SetUp() override {
        NodeSim::Run({"close"});
        ASSERT_EQ(NodeSim::Run({"/UnregServer"}).exitCode, 0u);
    }
    void TearDown() override {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            DeleteKey(root, L"Software\\Classes\\EchoLink.SetupConfig");
            DeleteKey(root, L"Software\\Classes\\CLSID\\" + kForeignClass);
        }
        const auto r = NodeSim::Run({"/RegServer"});
        ASSERT_EQ(r.exitCode, 0u) << r.err;
    }

    static void StageForeign(HKEY root) {
        SetDefault(root, L"Software\\Classes\\EchoLink.SetupConfig\\CLSID", kForeignClass);
        SetDefault(root, L"Software\\Classes\\CLSID\\" + kForeignClass + L"\\LocalServer32",
                   kForeignServer);
    }

    static bool SimulatorClassRegistered() {
        for (const REGSAM view : {REGSAM{KEY_WOW64_32KEY}, REGSAM{KEY_WOW64_64KEY}}) {
            if (GetDefault(HKEY_CLASSES_ROOT,
                           L"CLSID\\" + GuidString(CLSID_Node) + L"\\LocalServer32", view) ||
                GetDefault(
                    HKEY_CURRENT_USER,
                    L"Software\\Classes\\CLSID\\" + GuidString(CLSID_Node) + L"\\LocalServer32",
                    view)) {
                return true;
            }
        }
        return false;
    }

    // Registering over it is refused, with a message naming it; removing leaves it alone.
    static void ExpectLeftAlone(HKEY root) {
        const auto refused = NodeSim::Run({"/RegServer"});
        EXPECT_NE(refused.exitCode, 0u);
        EXPECT_NE(refused.err.find("EchoLink.SetupConfig"), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find(Narrow(kForeignServer)), std::string::npos) << refused.err;
        EXPECT_FALSE(SimulatorClassRegistered());
        EXPECT_EQ(NodeSim::Run({"/UnregServer"}).exitCode, 0u);
        EXPECT_EQ(GetDefault(root, L"Software\\Classes\\EchoLink.SetupConfig\\CLSID"),
                  kForeignClass);
        EXPECT_EQ(
            GetDefault(root, L"Software\\Classes\\CLSID\\" + kForeignClass + L"\\LocalServer32"),
            kForeignServer);
    }
};

TEST_F(Registration, IsWhereActivationFindsItAndGoesAwayCompletely) {
    const auto r = NodeSim::Run({"/RegServer"});
    ASSERT_EQ(r.exitCode, 0u) << r.err;
    CLSID found{};
    ASSERT_EQ(CLSIDFromProgID(L"EchoLink.SetupConfig", &found), S_OK);
    EXPECT_TRUE(IsEqualCLSID(found, CLSID_NodeSetupConfig));
    // Like a host of its bitness: in its own registry view, and only there.
    const std::wstring key = L"CLSID\\" + GuidString(CLSID_Node) + L"\\LocalServer32";
    const REGSAM own = ViewOfProgram(NodeSim::Program());
    const auto server = GetDefault(HKEY_CLASSES_ROOT, key, own);
    ASSERT_TRUE(server);
    EXPECT_EQ(*server, L"\"" + NodeSim::Program() + L"\"");
    EXPECT_FALSE(GetDefault(HKEY_CLASSES_ROOT, key,
                            own == KEY_WOW64_32KEY ? KEY_WOW64_64KEY : KEY_WOW64_32KEY));

    ASSERT_EQ(NodeSim::Run({"/UnregServer"}).exitCode, 0u);
    EXPECT_FALSE(SimulatorClassRegistered());
    EXPECT_FALSE(
        GetDefault(HKEY_CLASSES_ROOT, L"TypeLib\\" + GuidString(LIBID_NodeSim) + L"\\1.0"));
    EXPECT_NE(CLSIDFromProgID(L"EchoLink.SetupConfig", &found), S_OK);
}

TEST_F(Registration, AMissingHostReadsAsNotRegistered) {
    RecordingTarget target;
    auto factory = hourmark::win32::MakeComHostFactory(target);
    const std::string expected =
        "EchoLink.SetupConfig is not registered: Invalid class string (0x800401F3)";
    try {
        factory->CreateSetupConfig();
        ADD_FAILURE() << "created a setup configuration with no host registered";
    } catch (const hourmark::HostError& e) {
        EXPECT_EQ(std::string(e.what()), expected);
    }
    try {
        factory->CreateMainObject();
        ADD_FAILURE() << "created a main object with no host registered";
    } catch (const hourmark::HostError& e) {
        EXPECT_EQ(std::string(e.what()), expected);
    }
}

TEST_F(Registration, RefusesToTakeTheMachinesHostRegistration) {
    StageForeign(HKEY_LOCAL_MACHINE);
    ExpectLeftAlone(HKEY_LOCAL_MACHINE);
}

// Activation on Windows reads the user's classes first, so a host registered only for the user
// is as much in the way as one registered for the machine.
TEST_F(Registration, RefusesToTakeTheUsersHostRegistration) {
    StageForeign(HKEY_CURRENT_USER);
    ExpectLeftAlone(HKEY_CURRENT_USER);
}

}  // namespace
}  // namespace e2e
