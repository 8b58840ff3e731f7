// One HourMark per program folder. Two copies started from one folder would announce every slot,
// send every file and run every auto-connect pass twice, and both would save the same settings
// file; so a start that finds a copy of its own folder running brings that copy's window up and
// leaves before it touches the host, the settings or the log. Copies kept in different folders
// are separate stations and do not see each other.
#pragma once

#include <string>

namespace hourmark::win32 {

// Claims the running program's folder for the rest of the process's life. False when a copy
// started from the same folder already holds it.
bool ClaimProgramFolder();

// Shows the main window of the copy running from this program's folder, as a left click on its
// tray icon does. Gives up quietly if that copy has no window yet after a short wait.
void BringUpRunningCopy();

}  // namespace hourmark::win32
