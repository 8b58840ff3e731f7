// The station's files on disk: text in the system's 8-bit code page, a replace that leaves
// either the old or the new text complete, and the drives and directories the WAV picker shows.
#pragma once

#include "console/Files.h"

namespace hourmark::win32 {

class DiskFiles : public Files {
public:
    std::string ProgramDirectory() override;
    std::optional<std::string> ReadText(const std::string& path, std::size_t maxBytes) override;
    bool AppendText(const std::string& path, const std::string& text) override;
    bool ReplaceText(const std::string& path, const std::string& text) override;
    bool CopyFile(const std::string& from, const std::string& to) override;
    bool Exists(const std::string& path) override;
    bool IsDirectory(const std::string& path) override;
    std::vector<std::string> ListDrives() override;
    std::optional<std::string> DriveDirectory(const std::string& drive) override;
    std::optional<DirectoryListing> ListDirectory(const std::string& path) override;
    std::string UpperCase(const std::string& text) override;

    // The temporary file ReplaceText writes beside the target.
    static std::string TemporaryFor(const std::string& path) { return path + ".new"; }
};

}  // namespace hourmark::win32
