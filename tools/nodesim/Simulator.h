// The running simulator: one per machine session, serving every client from one apartment. It
// owns the node, the trace and the window, answers the clients' calls, raises the node's events
// to every advised sink and carries out the command line's verbs.
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Node.h"
#include "SimWindow.h"
#include "TraceFile.h"
#include "TraceLine.h"

namespace nodesim {

class EventSource;

// Held by the running simulator for as long as it runs.
constexpr const wchar_t* kInstanceMutex = L"Local\\NodeSim.Simulator";
// Set once the running simulator's classes are registered with COM.
constexpr const wchar_t* kServingEvent = L"Local\\NodeSim.Serving";

class Simulator {
public:
    static Simulator& Instance();

    // Serves until the simulator is closed; the process exit code. COM must be initialised
    // apartment-threaded.
    int Run();

    Node& node() { return node_; }
    std::uint64_t Now() const;
    ITypeInfo* TypeInfo(const IID& iid);

    // A client's call of member: waits while the member is set slow, fails when it is set to
    // fail, else runs action (which throws Refusal to turn the call down); writes the trace line
    // and returns the call's result, with the error text set for the client on failure.
    HRESULT Serve(TraceKind kind, const std::string& member, std::vector<TraceArg> args,
                  const std::function<void()>& action, const IID& iid);

    // Raises an event to every sink at once, and traces it.
    void Raise(const std::string& event, const std::vector<std::string>& args);
    // Raises it once the call being served has returned to its client.
    void RaiseLater(const std::string& event, std::vector<std::string> args);

    void AddSource(EventSource* source) { sources_.insert(source); }
    void RemoveSource(EventSource* source) { sources_.erase(source); }

    // A verb from the command line; throws CommandError.
    std::string Command(const std::vector<std::string>& words);

    // Raises Closing, then ends once the current call has returned.
    void Close();

    // The node changed: redraw and re-time the clock.
    void Changed();

    // Window callbacks.
    void OnTimer();
    void OnPosted();
    void OnEnd();

private:
    Simulator() = default;
    void WaitPumping(std::uint64_t ms);

    Node node_;
    TraceFile trace_ = TraceFile::BesideProgram();
    SimWindow window_;
    Microsoft::WRL::ComPtr<ITypeLib> library_;
    struct GuidLess {
        bool operator()(const GUID& a, const GUID& b) const {
            return std::memcmp(&a, &b, sizeof a) < 0;
        }
    };
    std::map<GUID, Microsoft::WRL::ComPtr<ITypeInfo>, GuidLess> typeInfos_;
    std::set<EventSource*> sources_;
    std::deque<std::pair<std::string, std::vector<std::string>>> later_;
    std::map<std::string, DISPID> eventIds_;
    bool closing_ = false;
};

// Sets the client's error text and returns the failure code a refused call answers with.
HRESULT Failed(const std::string& text, const IID& iid);

}  // namespace nodesim
