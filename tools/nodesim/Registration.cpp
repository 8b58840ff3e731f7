#include "Registration.h"

#include <windows.h>

#include <oleauto.h>

#include <vector>

#include "NodeSimIdl.h"
#include "Text.h"

// oleaut32 exports these (Vista and later) but mingw-w64's oleauto.h does not declare them.
extern "C" HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path,
                                                 OLECHAR* helpDir);
extern "C" HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID libid, WORD major, WORD minor, LCID lcid,
                                                   SYSKIND kind);

namespace nodesim {

namespace {

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* name;
    const wchar_t* progId;
};

const ClassEntry kClasses[] = {
    {&CLSID_NodeSetupConfig, L"NodeSim setup configuration", L"EchoLink.SetupConfig"},
    {&CLSID_Node, L"NodeSim node", L"NodeSim.Node"},
    {&CLSID_NodeSimControl, L"NodeSim control", L"NodeSim.Control"},
};

const IID* const kInterfaces[] = {&IID_INodeSetupConfig, &IID_INodeSysopConfig, &IID_INode,
                                  &DIID_DNodeEvents, &IID_INodeSimControl};

struct ClassesRoot {
    HKEY root;
    const wchar_t* base;  // prefix of every key below it
    REGSAM view;
    const char* where;
};

// Every place a class registration may be found: the merged view activation reads, both
// registry views of the machine's classes, and the current user's.
const ClassesRoot kEveryRoot[] = {
    {HKEY_CLASSES_ROOT, L"", KEY_WOW64_64KEY, "the classes root"},
    {HKEY_CLASSES_ROOT, L"", KEY_WOW64_32KEY, "the 32-bit classes root"},
    {HKEY_LOCAL_MACHINE, L"Software\\Classes\\", KEY_WOW64_64KEY, "the machine's classes"},
    {HKEY_LOCAL_MACHINE, L"Software\\Classes\\", KEY_WOW64_32KEY, "the machine's 32-bit classes"},
    {HKEY_CURRENT_USER, L"Software\\Classes\\", 0, "the current user's classes"},
};

// A host registers in its own view of the registry: a 32-bit one in the 32-bit view, where
// clients of either bitness find it.
const ClassesRoot kUser = {HKEY_CURRENT_USER, L"Software\\Classes\\", 0, "current user"};
const ClassesRoot kMachine = {HKEY_LOCAL_MACHINE, L"Software\\Classes\\", 0, "machine"};

// The stale library's version and its place among the program's resources.
constexpr WORD kStaleMajor = 9;
constexpr const wchar_t* kStaleResource = L"\\2";

constexpr SYSKIND kOwnSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

std::wstring Guid(const GUID& guid) {
    return Widen(GuidText(guid));
}

bool KeyExists(const ClassesRoot& r, const std::wstring& key) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(r.root, (r.base + key).c_str(), 0, KEY_READ | r.view, &k) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(k);
    return true;
}

std::optional<std::wstring> ReadDefault(const ClassesRoot& r, const std::wstring& key) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(r.root, (r.base + key).c_str(), 0, KEY_READ | r.view, &k) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(1024, L'\0');
    DWORD size = static_cast<DWORD>((value.size() - 1) * sizeof(wchar_t));
    DWORD type = 0;
    const LONG rc =
        RegQueryValueExW(k, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    value.resize(size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    return value;
}

bool WriteDefault(const ClassesRoot& r, const std::wstring& key, const std::wstring& value) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(r.root, (r.base + key).c_str(), 0, nullptr, 0, KEY_WRITE | r.view, nullptr,
                        &k, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG rc =
        RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
    return rc == ERROR_SUCCESS;
}

// Removes the key and everything below it; true when there was one to remove.
bool DeleteTree(const ClassesRoot& r, const std::wstring& key) {
    if (!KeyExists(r, key)) {
        return false;
    }
    HKEY k = nullptr;
    if (RegOpenKeyExW(r.root, (r.base + key).c_str(), 0, KEY_ALL_ACCESS | r.view, &k) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegDeleteTreeW(k, nullptr);
    RegCloseKey(k);
    return RegDeleteKeyExW(r.root, (r.base + key).c_str(), r.view, 0) == ERROR_SUCCESS;
}

std::string ServerOf(const GUID& clsid) {
    const auto server = RegisteredServer(clsid);
    return server ? Narrow(*server) : "an unknown server";
}

std::string Foreign(const ClassEntry& entry, const GUID& clsid, const char* where) {
    return Narrow(std::wstring(entry.progId)) + " is registered in " + where +
           " to another program (class " + GuidText(clsid) + ", " + ServerOf(clsid) + ")";
}

bool Own(const std::optional<std::wstring>& clsidText, const CLSID& mine) {
    CLSID found{};
    return clsidText && SUCCEEDED(CLSIDFromString(clsidText->c_str(), &found)) &&
           IsEqualCLSID(found, mine);
}

bool WriteClasses(const ClassesRoot& r, const std::wstring& exePath, TypeLibKey typeLibKey) {
    const std::wstring libid = Guid(LIBID_NodeSim);
    bool ok = true;
    for (const auto& c : kClasses) {
        const std::wstring clsid = Guid(*c.clsid);
        const std::wstring key = L"CLSID\\" + clsid;
        ok = ok && WriteDefault(r, c.progId, c.name) &&
             WriteDefault(r, std::wstring(c.progId) + L"\\CLSID", clsid) &&
             WriteDefault(r, key, c.name) &&
             WriteDefault(r, key + L"\\LocalServer32", L"\"" + exePath + L"\"") &&
             WriteDefault(r, key + L"\\ProgID", c.progId) &&
             (typeLibKey == TypeLibKey::Omitted ? (DeleteTree(r, key + L"\\TypeLib"), true)
                                                : WriteDefault(r, key + L"\\TypeLib", libid)) &&
             WriteDefault(r, key + L"\\Version", L"1.0");
    }
    return ok;
}

int RemoveClasses(const ClassesRoot& r) {
    int removed = 0;
    for (const auto& c : kClasses) {
        if (Own(ReadDefault(r, std::wstring(c.progId) + L"\\CLSID"), *c.clsid) &&
            DeleteTree(r, c.progId)) {
            ++removed;
        }
        if (DeleteTree(r, L"CLSID\\" + Guid(*c.clsid))) {
            ++removed;
        }
    }
    return removed;
}

int RemoveTypeLibrary(const ClassesRoot& r) {
    int removed = DeleteTree(r, L"TypeLib\\" + Guid(LIBID_NodeSim)) ? 1 : 0;
    for (const IID* iid : kInterfaces) {
        removed += DeleteTree(r, L"Interface\\" + Guid(*iid)) ? 1 : 0;
    }
    return removed;
}

// Would activation, looking the simulator's ProgID up now, start this very program from the
// registration just written to r? A stamp written there must show through the classes root, so
// that an older registration elsewhere is not mistaken for it.
bool ActivationFinds(const ClassesRoot& r, const std::wstring& exePath) {
    const std::wstring key = L"CLSID\\" + Guid(CLSID_NodeSetupConfig);
    const std::wstring stamp =
        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    CLSID found{};
    if (!WriteDefault(r, key + L"\\Stamp", stamp) ||
        FAILED(CLSIDFromProgID(L"EchoLink.SetupConfig", &found)) ||
        !IsEqualCLSID(found, CLSID_NodeSetupConfig)) {
        return false;
    }
    // The classes root as this program sees it: its own view, where activation looks first.
    const ClassesRoot merged = {HKEY_CLASSES_ROOT, L"", 0, "the classes root"};
    const auto seen = ReadDefault(merged, key + L"\\Stamp");
    const auto server = ReadDefault(merged, key + L"\\LocalServer32");
    return seen && *seen == stamp && server && *server == L"\"" + exePath + L"\"";
}

}  // namespace

std::optional<std::wstring> RegisteredServer(const CLSID& clsid) {
    // This program's own view first, where activation looks first, then every other place.
    const ClassesRoot own = {HKEY_CLASSES_ROOT, L"", 0, "the classes root"};
    std::vector<ClassesRoot> roots{own};
    roots.insert(roots.end(), std::begin(kEveryRoot), std::end(kEveryRoot));
    for (const ClassesRoot& r : roots) {
        for (const wchar_t* kind : {L"\\LocalServer32", L"\\InprocServer32"}) {
            if (auto server = ReadDefault(r, L"CLSID\\" + Guid(clsid) + kind)) {
                return server;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> ForeignRegistration() {
    for (const auto& entry : kClasses) {
        CLSID found{};
        if (SUCCEEDED(CLSIDFromProgID(entry.progId, &found)) &&
            !IsEqualCLSID(found, *entry.clsid)) {
            return Foreign(entry, found, "what activation finds");
        }
        for (const auto& r : kEveryRoot) {
            if (!KeyExists(r, entry.progId)) {
                continue;
            }
            const auto text = ReadDefault(r, std::wstring(entry.progId) + L"\\CLSID");
            if (!Own(text, *entry.clsid)) {
                GUID other{};
                if (!text || FAILED(CLSIDFromString(text->c_str(), &other))) {
                    return Narrow(std::wstring(entry.progId)) + " is registered in " + r.where +
                           " by another program, without a class of its own";
                }
                return Foreign(entry, other, r.where);
            }
        }
    }
    return std::nullopt;
}

RegistrationOutcome RegisterServer(const std::wstring& exePath, TypeLibKey typeLibKey,
                                   bool staleLibrary) {
    if (const auto foreign = ForeignRegistration()) {
        return {1, "nodesim: not registered: " + *foreign +
                       "; the simulator never takes another program's place"};
    }
    ITypeLib* library = nullptr;
    if (FAILED(LoadTypeLibEx(exePath.c_str(), REGKIND_NONE, &library))) {
        return {1, "nodesim: not registered: the type library inside " + Narrow(exePath) +
                       " cannot be loaded"};
    }
    ITypeLib* stale = nullptr;
    const std::wstring stalePath = exePath + kStaleResource;
    if (staleLibrary && FAILED(LoadTypeLibEx(stalePath.c_str(), REGKIND_NONE, &stale))) {
        library->Release();
        return {1, "nodesim: not registered: the stale type library inside " + Narrow(exePath) +
                       " cannot be loaded"};
    }
    const std::wstring staleKey =
        L"TypeLib\\" + Guid(LIBID_NodeSim) + L"\\" + std::to_wstring(kStaleMajor) + L".0";
    for (const ClassesRoot& r : {kUser, kMachine}) {
        DeleteTree(r, staleKey);
    }
    const std::wstring path = exePath;
    RegistrationOutcome outcome{0, ""};
    if (WriteClasses(kUser, exePath, typeLibKey) && ActivationFinds(kUser, exePath)) {
        RegisterTypeLibForUser(library, const_cast<LPOLESTR>(path.c_str()), nullptr);
        if (stale) {
            RegisterTypeLibForUser(stale, const_cast<LPOLESTR>(stalePath.c_str()), nullptr);
        }
        outcome.message = "registered " + Narrow(exePath) + " for the current user";
    } else {
        // This system's activation does not read the user's classes: the machine's it is.
        RemoveClasses(kUser);
        if (!WriteClasses(kMachine, exePath, typeLibKey) ||
            FAILED(RegisterTypeLib(library, const_cast<LPOLESTR>(path.c_str()), nullptr))) {
            RemoveClasses(kMachine);
            outcome = {1,
                       "nodesim: not registered: the machine's classes cannot be written "
                       "(per-user classes are not seen by activation here)"};
        } else if (stale && FAILED(RegisterTypeLib(stale, const_cast<LPOLESTR>(stalePath.c_str()),
                                                   nullptr))) {
            outcome = {1, "nodesim: the stale type library cannot be registered"};
        } else if (!ActivationFinds(kMachine, exePath)) {
            outcome = {1,
                       "nodesim: registered for the machine, but activation still does not "
                       "find " +
                           Narrow(exePath)};
        } else {
            outcome.message = "registered " + Narrow(exePath) +
                              " for the machine (activation here does not see per-user classes)";
        }
    }
    library->Release();
    if (stale) {
        stale->Release();
        if (outcome.exitCode == 0) {
            outcome.message += ", under a stale type library";
        }
    }
    return outcome;
}

RegistrationOutcome UnregisterServer() {
    int removed = 0;
    for (const ClassesRoot& r : {kUser, kMachine}) {
        removed += RemoveClasses(r);
    }
    // UnRegisterTypeLib reads the library from the registered path, which may be gone; the keys
    // are the simulator's own GUIDs, so they are removed directly as well.
    UnRegisterTypeLibForUser(LIBID_NodeSim, 1, 0, LOCALE_NEUTRAL, kOwnSysKind);
    UnRegisterTypeLib(LIBID_NodeSim, 1, 0, LOCALE_NEUTRAL, kOwnSysKind);
    UnRegisterTypeLibForUser(LIBID_NodeSim, kStaleMajor, 0, LOCALE_NEUTRAL, kOwnSysKind);
    UnRegisterTypeLib(LIBID_NodeSim, kStaleMajor, 0, LOCALE_NEUTRAL, kOwnSysKind);
    for (const ClassesRoot& r : {kUser, kMachine}) {
        removed += RemoveTypeLibrary(r);
    }
    for (const auto& c : kClasses) {
        CLSID found{};
        if (SUCCEEDED(CLSIDFromProgID(c.progId, &found)) && IsEqualCLSID(found, *c.clsid)) {
            return {1, "nodesim: " + Narrow(std::wstring(c.progId)) +
                           " is still registered to the simulator and cannot be removed"};
        }
    }
    return {0, removed > 0 ? "removed the simulator's registration"
                           : "nothing of the simulator's was registered"};
}

}  // namespace nodesim
