#include "NodeSimDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace e2e {

std::wstring& NodeSim::Program() {
    static std::wstring path;
    return path;
}

std::wstring NodeSim::Directory() {
    const std::wstring& p = Program();
    return p.substr(0, p.find_last_of(L"\\/"));
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

namespace {

std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
        return arg;
    }
    std::wstring out = L"\"";
    std::size_t slashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
        } else if (c == L'"') {
            out.append(slashes * 2 + 1, L'\\');
            slashes = 0;
        } else {
            out.append(slashes, L'\\');
            slashes = 0;
        }
        if (c != L'\\') {
            out += c;
        }
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

HANDLE Capture(const std::wstring& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) {
            out += s[i];
        }
    }
    return out;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

void PumpFor(DWORD ms) {
    const ULONGLONG until = GetTickCount64() + ms;
    for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
        Pump();
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG until = GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= until) {
            return done();
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(std::min<ULONGLONG>(until - now, 20)),
                                  QS_ALLINPUT);
        Pump();
    }
    return true;
}

RunResult NodeSim::Run(const std::vector<std::string>& words, DWORD timeoutMs) {
    std::wstring line = Quoted(Program());
    for (const auto& w : words) {
        line += L" " + Quoted(Widen(w));
    }
    const std::wstring outPath = TempPath(L"nodesim-run-out.txt");
    const std::wstring errPath = TempPath(L"nodesim-run-err.txt");
    HANDLE out = Capture(outPath);
    HANDLE err = Capture(errPath);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    RunResult result;
    const BOOL started =
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(out);
    CloseHandle(err);
    if (!started) {
        ADD_FAILURE() << "cannot start " << Narrow(line) << ": error " << GetLastError();
        result.exitCode = 255;
        return result;
    }
    CloseHandle(pi.hThread);
    // The verb may raise events at this very apartment's sinks: keep taking them.
    const ULONGLONG until = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD wait = now >= until ? 0 : static_cast<DWORD>(until - now);
        const DWORD w = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, wait, QS_ALLINPUT);
        if (w == WAIT_OBJECT_0) {
            break;
        }
        Pump();
        if (w == WAIT_TIMEOUT) {
            ADD_FAILURE() << Narrow(line) << " did not end within " << timeoutMs << " ms";
            TerminateProcess(pi.hProcess, 255);
            WaitForSingleObject(pi.hProcess, 5000);
            break;
        }
    }
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hProcess);
    Pump();
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    return result;
}

std::string NodeSim::Must(const std::vector<std::string>& words) {
    const RunResult r = Run(words);
    std::string shown;
    for (const auto& w : words) {
        shown += " " + w;
    }
    EXPECT_EQ(r.exitCode, 0u) << "nodesim.exe" << shown << ": " << r.err;
    return r.out;
}

std::vector<TraceEntry> NodeSim::Trace() {
    std::vector<TraceEntry> entries;
    std::istringstream text(ReadAll(Directory() + L"\\nodesim-trace.txt"));
    std::string line;
    while (std::getline(text, line)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos) {
                break;
            }
            start = tab + 1;
        }
        if (fields.size() < 3) {
            ADD_FAILURE() << "a trace line with fewer than three fields: " << line;
            continue;
        }
        entries.push_back(TraceEntry{fields[0], fields[1], fields[2],
                                     std::vector<std::string>(fields.begin() + 3, fields.end())});
    }
    return entries;
}

std::vector<std::string> NodeSim::TraceLines() {
    std::vector<std::string> lines;
    for (const auto& e : Trace()) {
        std::string line = e.kind + "\t" + e.member;
        for (const auto& a : e.args) {
            line += "\t" + a;
        }
        lines.push_back(line);
    }
    return lines;
}

namespace {

void PutLe(std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

}  // namespace

std::string WriteFileText(const std::string& name, const std::string& bytes) {
    const std::wstring path = TempPath(Widen(name).c_str());
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
    return Narrow(path);
}

std::string WriteWave(const std::string& name, unsigned milliseconds) {
    constexpr std::uint32_t rate = 8000;
    constexpr std::uint32_t bytesPerSecond = rate * 2;
    const std::uint32_t dataSize = bytesPerSecond * milliseconds / 1000;
    std::string wav = "RIFF";
    PutLe(wav, 36 + dataSize, 4);
    wav += "WAVEfmt ";
    PutLe(wav, 16, 4);
    PutLe(wav, 1, 2);  // PCM
    PutLe(wav, 1, 2);  // mono
    PutLe(wav, rate, 4);
    PutLe(wav, bytesPerSecond, 4);
    PutLe(wav, 2, 2);
    PutLe(wav, 16, 2);
    wav += "data";
    PutLe(wav, dataSize, 4);
    wav.append(dataSize, '\0');
    return WriteFileText(name, wav);
}

}  // namespace e2e
