// Files as the core needs them. Paths are the program's own texts (a directory, a backslash,
// a name); text is UTF-8 here and the system's 8-bit code page on disk.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace hourmark {

struct DirectoryListing {
    std::vector<std::string> directories;  // names only
    std::vector<std::string> files;        // names only
};

class Files {
public:
    virtual ~Files() = default;
    // The directory of the running executable, without a trailing separator.
    virtual std::string ProgramDirectory() = 0;
    // The whole file, at most maxBytes of it; nullopt when it cannot be opened or read.
    virtual std::optional<std::string> ReadText(const std::string& path, std::size_t maxBytes) = 0;
    // Appends; false when nothing could be written.
    virtual bool AppendText(const std::string& path, const std::string& text) = 0;
    // Replaces the file with the text complete, or leaves the old file as it was and returns
    // false.
    virtual bool ReplaceText(const std::string& path, const std::string& text) = 0;
    // Copies, replacing an existing target; false on any failure.
    virtual bool CopyFile(const std::string& from, const std::string& to) = 0;
    virtual bool Exists(const std::string& path) = 0;
    virtual bool IsDirectory(const std::string& path) = 0;
    // The drives, as "c:" and the like.
    virtual std::vector<std::string> ListDrives() = 0;
    // The current directory of a drive ("c:" -> "c:\"); nullopt when the drive cannot be read.
    virtual std::optional<std::string> DriveDirectory(const std::string& drive) = 0;
    virtual std::optional<DirectoryListing> ListDirectory(const std::string& path) = 0;
    // Upper case as the system's 8-bit code page has it (an a with umlaut becomes an A with
    // umlaut where the code page holds both); a character it does not hold stays as it is.
    virtual std::string UpperCase(const std::string& text) = 0;
};

}  // namespace hourmark
