// The core's files port over real POSIX files, for the native fault drivers and benchmarks. A
// program path like "C:\HourMark\hourmark.ini" maps to <root>/hourmark.ini: the root stands for
// the program directory and backslashes become slashes.
#pragma once

#include <string>

#include "console/Files.h"

namespace hourmark::native {

class PosixFiles : public Files {
public:
    explicit PosixFiles(std::string root) : root_(std::move(root)) {}

    std::string ProgramDirectory() override { return "C:\\HourMark"; }
    std::optional<std::string> ReadText(const std::string& path, std::size_t maxBytes) override;
    bool AppendText(const std::string& path, const std::string& text) override;
    bool ReplaceText(const std::string& path, const std::string& text) override;
    bool CopyFile(const std::string& from, const std::string& to) override;
    bool Exists(const std::string& path) override;
    bool IsDirectory(const std::string& path) override;
    std::vector<std::string> ListDrives() override { return {"c:"}; }
    std::optional<std::string> DriveDirectory(const std::string&) override { return "C:\\"; }
    std::optional<DirectoryListing> ListDirectory(const std::string& path) override;
    // The fault tests keep to ASCII callsigns.
    std::string UpperCase(const std::string& text) override;

    std::string Map(const std::string& path) const;

private:
    std::string root_;
};

}  // namespace hourmark::native
