// Finding the host's main object without knowing its name.
#include <gtest/gtest.h>

#include "NodeSimDriver.h"
#include "NodeSimIdl.h"
#include "Registry.h"
#include "win32/com/MainObjectClass.h"

namespace e2e {
namespace {

using hourmark::win32::com::FindEventRaisingClass;
using hourmark::win32::com::FindMainObjectClass;
using hourmark::win32::com::TypeLibraryOfClass;

TEST(MainObject, IsTheCreatableClassWhoseDefaultSourceRaisesTheEvents) {
    // The library also holds creatable classes without events (the setup configuration and the
    // simulator's control object, which comes first): neither may be taken for the node.
    const auto found = FindMainObjectClass(L"EchoLink.SetupConfig");
    EXPECT_TRUE(IsEqualCLSID(found.clsid, CLSID_Node)) << Narrow(GuidString(found.clsid));
    EXPECT_TRUE(IsEqualIID(found.eventsIid, DIID_DNodeEvents));
    ASSERT_TRUE(found.events);
    MEMBERID id = MEMBERID_NIL;
    LPOLESTR name = const_cast<LPOLESTR>(L"DTMFString");
    EXPECT_EQ(found.events->GetIDsOfNames(&name, 1, &id), S_OK);
}

TEST(MainObject, IsFoundThroughTheInstanceWhenTheClassNamesNoTypeLibrary) {
    const std::wstring key =
        L"Software\\Classes\\CLSID\\" + GuidString(CLSID_NodeSetupConfig) + L"\\TypeLib";
    const auto saved = GetDefault(HKEY_LOCAL_MACHINE, key);
    ASSERT_TRUE(saved) << "the simulator is not registered for the machine";
    DeleteKey(HKEY_LOCAL_MACHINE, key);
    auto library = TypeLibraryOfClass(CLSID_NodeSetupConfig);
    SetDefault(HKEY_LOCAL_MACHINE, key, *saved);
    ASSERT_TRUE(library);
    const auto found = FindEventRaisingClass(library.Get());
    ASSERT_TRUE(found);
    EXPECT_TRUE(IsEqualCLSID(found->clsid, CLSID_Node));
}

}  // namespace
}  // namespace e2e
