#include "schedule/WavPicker.h"

#include "console/Station.h"

namespace hourmark {

// Placeholder until the picker lands.
void frmSelect::Form_Load() {}
void frmSelect::SetDrive(const std::string& newDrive) { drive = newDrive; }
void frmSelect::SetDirPath(const std::string& path) { dirPath = path; }
void frmSelect::SetFilePath(const std::string& path) { filPath = path; }
void frmSelect::drvList_Change() {}
void frmSelect::dirList_Change() {}
void frmSelect::Command1_Click() { station_.CloseWavPicker(); }
void frmSelect::filList_DblClick() { Command1_Click(); }
void frmSelect::Form_Unload() {}

}  // namespace hourmark
