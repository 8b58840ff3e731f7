// Finding the host's main object without knowing its name.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "NodeSimDriver.h"
#include "NodeSimIdl.h"
#include "Registry.h"
#include "host/Host.h"
#include "win32/com/MainObjectClass.h"

namespace e2e {
namespace {

using hourmark::win32::com::FindEventIds;
using hourmark::win32::com::FindMainObjectClass;
using hourmark::win32::com::HostEvent;
using hourmark::win32::com::JoinNames;
using hourmark::win32::com::MainObjectClass;
using hourmark::win32::com::TypeLibraryOfClass;

// Every host numbers its events its own way; the simulator's ids are not in declaration order.
void ExpectEveryEventMapped(const MainObjectClass& found) {
    EXPECT_TRUE(IsEqualCLSID(found.clsid, CLSID_Node)) << Narrow(GuidString(found.clsid));
    EXPECT_TRUE(IsEqualIID(found.eventsIid, DIID_DNodeEvents));
    EXPECT_TRUE(found.ids.missing.empty()) << JoinNames(found.ids.missing);
    const std::map<DISPID, HostEvent> expected = {{17, HostEvent::StationListReceived},
                                                  {4, HostEvent::Closing},
                                                  {23, HostEvent::Connected},
                                                  {9, HostEvent::Disconnected},
                                                  {31, HostEvent::DTMFString}};
    EXPECT_EQ(found.ids.byId, expected);
}

TEST(MainObject, IsTheCreatableClassWhoseDefaultSourceRaisesTheEvents) {
    // The library also holds creatable classes without events (the setup configuration and the
    // simulator's control object, which comes first): neither may be taken for the node.
    ExpectEveryEventMapped(FindMainObjectClass(L"EchoLink.SetupConfig"));
}

// A host whose class names no type library is read through an instance: its type information
// is then a proxy, which cannot look names up, and still every event must be mapped.
TEST(MainObject, IsFoundWithEveryEventThroughTheInstanceWhenTheClassNamesNoTypeLibrary) {
    const auto r = NodeSim::Run({"/RegServer", "/NoTypeLib"});
    ASSERT_EQ(r.exitCode, 0u) << r.err;
    ASSERT_FALSE(GetDefault(HKEY_CLASSES_ROOT,
                            L"CLSID\\" + GuidString(CLSID_NodeSetupConfig) + L"\\TypeLib",
                            ViewOfProgram(NodeSim::Program())));
    std::optional<MainObjectClass> found;
    try {
        found = FindMainObjectClass(L"EchoLink.SetupConfig");
    } catch (const hourmark::HostError& e) {
        ADD_FAILURE() << e.what();
    }
    NodeSim::Must({"/RegServer"});
    ASSERT_TRUE(found);
    ExpectEveryEventMapped(*found);
}

TEST(MainObject, EventsATypeDoesNotDeclareAreNamed) {
    auto library = TypeLibraryOfClass(CLSID_NodeSetupConfig);
    ASSERT_TRUE(library);
    Microsoft::WRL::ComPtr<ITypeInfo> setup;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID_INodeSetupConfig, setup.GetAddressOf()), S_OK);
    const auto ids = FindEventIds(setup.Get());
    EXPECT_TRUE(ids.byId.empty());
    EXPECT_EQ(JoinNames(ids.missing),
              "StationListReceived, Closing, Connected, Disconnected and DTMFString");
}

}  // namespace
}  // namespace e2e
