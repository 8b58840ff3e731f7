// Drives the node simulator from a test: runs nodesim.exe's verbs (pumping this apartment's
// messages meanwhile, so that the events they raise reach this thread's sinks), and reads the
// trace back.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

struct RunResult {
    DWORD exitCode = 0;
    std::string out;  // CR LF turned into LF
    std::string err;
};

struct TraceEntry {
    std::string time;
    std::string kind;
    std::string member;
    std::vector<std::string> args;  // as written, escapes and "failed: ..." included
};

class NodeSim {
public:
    static void SetProgram(const std::wstring& path) { Program() = path; }
    static std::wstring& Program();
    static std::wstring Directory();

    // nodesim.exe with these words. Fails the test (and returns the result) when it does not end
    // within the timeout.
    static RunResult Run(const std::vector<std::string>& words, DWORD timeoutMs = 30000);
    // Runs and expects exit code 0.
    static std::string Must(const std::vector<std::string>& words);

    static std::vector<TraceEntry> Trace();
    // The trace without its times: "kind member arg..." joined by single TABs.
    static std::vector<std::string> TraceLines();
};

// Dispatches this thread's messages for that long.
void PumpFor(DWORD ms);
// Dispatches messages until the condition holds or the time is up; returns the condition.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

std::string Narrow(const std::wstring& text);
std::wstring Widen(const std::string& text);

// A PCM WAV file of that length in the temporary directory; returns its path.
std::string WriteWave(const std::string& name, unsigned milliseconds);
std::string WriteFileText(const std::string& name, const std::string& bytes);

}  // namespace e2e
