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

    // drvList
    std::vector<std::string> drives;
    std::string drive;
    // dirList: the path and the directories below it
    std::string dirPath;
    std::vector<std::string> subdirectories;
    // filList
    std::string filPath;
    std::vector<std::string> files;
    int highlighted = -1;  // index into files, -1 when nothing is highlighted

    // Called whenever the lists changed, so the window can redraw them.
    std::function<void()> changed;

    void Form_Load();
    void SetDrive(const std::string& newDrive);  // drvList's value, as the operator or code sets it
    void SetDirPath(const std::string& path);    // dirList's path
    void SetFilePath(const std::string& path);   // filList's path
    void drvList_Change();
    void dirList_Change();
    void Command1_Click();
    void filList_DblClick();
    void Form_Unload();

private:
    Station& station_;
};

}  // namespace hourmark
