#include "win32/com/EventIds.h"

#include <cwchar>
#include <optional>

#include "win32/com/ComText.h"

namespace hourmark::win32::com {

namespace {

struct Named {
    const wchar_t* name;
    HostEvent event;
};

constexpr Named kEvents[] = {
    {L"StationListReceived", HostEvent::StationListReceived},
    {L"Closing", HostEvent::Closing},
    {L"Connected", HostEvent::Connected},
    {L"Disconnected", HostEvent::Disconnected},
    {L"DTMFString", HostEvent::DTMFString},
};

std::optional<HostEvent> EventNamed(const wchar_t* name) {
    for (const auto& e : kEvents) {
        // Names in type information are matched without regard to case, as GetIDsOfNames does.
        if (_wcsicmp(e.name, name) == 0) {
            return e.event;
        }
    }
    return std::nullopt;
}

}  // namespace

EventIds FindEventIds(ITypeInfo* events) {
    std::map<HostEvent, DISPID> found;
    EventIds ids;
    TYPEATTR* attr = nullptr;
    if (events != nullptr && SUCCEEDED(events->GetTypeAttr(&attr))) {
        const UINT count = attr->cFuncs;
        events->ReleaseTypeAttr(attr);
        for (UINT i = 0; i < count; ++i) {
            FUNCDESC* func = nullptr;
            if (FAILED(events->GetFuncDesc(i, &func))) {
                continue;
            }
            const MEMBERID id = func->memid;
            events->ReleaseFuncDesc(func);
            ids.declared.insert(id);
            BSTR name = nullptr;
            if (FAILED(events->GetDocumentation(id, &name, nullptr, nullptr, nullptr))) {
                continue;
            }
            if (const auto event = EventNamed(name ? name : L"")) {
                found.emplace(*event, id);
            }
            SysFreeString(name);
        }
    }
    for (const auto& e : kEvents) {
        const auto it = found.find(e.event);
        if (it == found.end()) {
            ids.missing.push_back(Narrow(e.name));
        } else {
            ids.byId.emplace(it->second, e.event);
        }
    }
    return ids;
}

const wchar_t* EventName(HostEvent event) {
    for (const auto& e : kEvents) {
        if (e.event == event) {
            return e.name;
        }
    }
    return L"";
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text += i + 1 == names.size() ? " and " : ", ";
        }
        text += names[i];
    }
    return text;
}

}  // namespace hourmark::win32::com
