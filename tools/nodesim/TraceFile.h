// The trace file beside nodesim.exe. Each line is appended and the file closed again at once, so
// that a reader (nodesim.exe trace, a test) always sees every line written so far. Past the limit
// the file becomes the old trace (replacing an older one) and a new one begins, so that a long
// dry run cannot fill the disk.
#pragma once

#include <cstdint>
#include <string>

namespace nodesim {

class TraceFile {
public:
    static constexpr std::uint64_t kLimit = 8ull * 1024 * 1024;

    TraceFile(std::wstring path, std::wstring oldPath, std::uint64_t limit = kLimit);
    // Beside the running program: "nodesim-trace.txt" and "nodesim-trace.old.txt".
    static TraceFile BesideProgram();

    // Adds the line and a CR LF. Returns false when the file could not be written.
    bool Append(const std::string& line);
    bool Clear();
    const std::wstring& path() const { return path_; }

    // Local time as "yyyy-mm-dd hh:mm:ss.fff".
    static std::string Now();

private:
    std::wstring path_;
    std::wstring oldPath_;
    std::uint64_t limit_;
};

std::wstring ProgramDirectory();

}  // namespace nodesim
