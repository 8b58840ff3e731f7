#include "schedule/WavPicker.h"

#include <algorithm>

#include "console/Station.h"

namespace hourmark {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCase(std::string s) {
    for (char& c : s) {
        c = Lower(c);
    }
    return s;
}

bool IsWavName(const std::string& name) {
    const std::string ext = ".wav";
    return name.size() >= ext.size() && LowerCase(name.substr(name.size() - ext.size())) == ext;
}

void SortWithoutCase(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return LowerCase(a) < LowerCase(b);
    });
}

}  // namespace

std::string frmSelect::DriveOf(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'))) {
        return std::string(1, Lower(path[0])) + ":";
    }
    return {};
}

void frmSelect::Changed() {
    if (changed) {
        changed();
    }
}

void frmSelect::Form_Load() {
    Files& f = station_.files();
    drives = f.ListDrives();
    std::string start = station_.ProgramDirectory();
    // A remembered directory that has gone (a removed stick, a renamed folder) is not an error.
    if (!station_.LastWavDir.empty() && f.IsDirectory(station_.LastWavDir)) {
        start = station_.LastWavDir;
    }
    const std::string startDrive = DriveOf(start);
    if (!startDrive.empty()) {
        SetDrive(startDrive);
    }
    SetDirPath(start);
    SetFilePath(dirPath);
    Changed();
}

void frmSelect::SetDrive(const std::string& newDrive) {
    const std::string d = LowerCase(newDrive);
    if (d == drive) {
        return;
    }
    drive = d;
    Changed();
    drvList_Change();
}

bool frmSelect::SetDirPath(const std::string& path) {
    if (path == dirPath) {
        return true;
    }
    auto listing = station_.files().ListDirectory(path);
    if (!listing) {
        return false;
    }
    dirPath = path;
    subdirectories = std::move(listing->directories);
    SortWithoutCase(subdirectories);
    Changed();
    dirList_Change();
    return true;
}

void frmSelect::SetFilePath(const std::string& path) {
    if (path == filPath) {
        return;
    }
    filPath = path;
    files.clear();
    highlighted = -1;
    if (auto listing = station_.files().ListDirectory(path)) {
        for (auto& name : listing->files) {
            if (IsWavName(name)) {
                files.push_back(std::move(name));
            }
        }
    }
    SortWithoutCase(files);
    Changed();
}

void frmSelect::drvList_Change() {
    const auto current = station_.files().DriveDirectory(drive);
    if (current && SetDirPath(*current)) {
        return;
    }
    // A drive without a medium, or not ready: back to the drive of the directory shown, without
    // a word. When that drive cannot be read either, going back again would never end.
    const std::string shown = DriveOf(dirPath);
    if (!shown.empty() && shown != drive) {
        SetDrive(shown);
    }
}

void frmSelect::dirList_Change() {
    SetFilePath(dirPath);
}

void frmSelect::Command1_Click() {
    std::string name;
    if (highlighted >= 0 && static_cast<std::size_t>(highlighted) < files.size()) {
        name = files[static_cast<std::size_t>(highlighted)];
    }
    station_.SelectedWavFile = filPath + "\\" + name;
    // A picker that could show no directory at all leaves the remembered one alone.
    if (!dirPath.empty()) {
        station_.LastWavDir = dirPath;
    }
    station_.CloseWavPicker();
}

void frmSelect::filList_DblClick() {
    Command1_Click();
}

void frmSelect::Form_Unload() {
    // A picker that could show no directory at all leaves the remembered one alone.
    if (!dirPath.empty()) {
        station_.LastWavDir = dirPath;
    }
}

std::vector<std::string> frmSelect::PathLevels() const {
    std::vector<std::string> levels;
    if (dirPath.empty()) {
        return levels;
    }
    std::size_t pos = 0;
    if (dirPath.size() >= 3 && dirPath[1] == ':' && dirPath[2] == '\\') {
        levels.push_back(dirPath.substr(0, 3));
        pos = 3;
    }
    while (pos < dirPath.size()) {
        std::size_t next = dirPath.find('\\', pos);
        if (next == std::string::npos) {
            next = dirPath.size();
        }
        if (next > pos) {
            levels.push_back(dirPath.substr(0, next));
        }
        pos = next + 1;
    }
    return levels;
}

std::string frmSelect::SubdirectoryPath(const std::string& name) const {
    if (!dirPath.empty() && dirPath.back() == '\\') {
        return dirPath + name;
    }
    return dirPath + "\\" + name;
}

}  // namespace hourmark
