// frmSelect: a drive list, a directory list and a "*.wav" file list kept in step, and "Select".
// The Windows layer draws the three lists from this model and reports the operator's choices.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "console/Files.h"

namespace hourmark {

class Station;

class frmSelect {
public:
    explicit frmSelect(Station& station) : station_(station) {}

    // drvList: "c:" and the like
    std::vector<std::string> drives;
    std::string drive;
    // dirList: the path and the directories below it (names, sorted without regard to case)
    std::string dirPath;
    std::vector<std::string> subdirectories;
    // filList: the path and its "*.wav" files (names, sorted without regard to case)
    std::string filPath;
    std::vector<std::string> files;
    int highlighted = -1;  // index into files, -1 when nothing is highlighted

    // Called whenever the lists changed, so the window can redraw them.
    std::function<void()> changed;

    // Opens in LastWavDir, or in the program directory when LastWavDir is empty or no longer
    // exists.
    void Form_Load();
    // The setters raise the list's change handler when the value changes, as the operator's
    // choice does; setting the value a list already has raises nothing.
    void SetDrive(const std::string& newDrive);
    // False, and nothing changes, when the directory cannot be read.
    bool SetDirPath(const std::string& path);
    void SetFilePath(const std::string& path);
    void drvList_Change();
    void dirList_Change();
    // Confirms the highlighted file (or none): path + "\" + name, then closes.
    void Command1_Click();
    void filList_DblClick();
    void Form_Unload();

    // For drawing and choosing in dirList: the full paths from the root down to dirPath, and
    // the full path of one of the subdirectories.
    std::vector<std::string> PathLevels() const;
    std::string SubdirectoryPath(const std::string& name) const;

    // "c:" for a path on drive C, empty for a path without a drive letter.
    static std::string DriveOf(const std::string& path);

private:
    void Changed();

    Station& station_;
};

}  // namespace hourmark
