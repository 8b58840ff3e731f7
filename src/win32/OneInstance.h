// One HourMark per program folder. Two copies started from one folder would announce every slot,
// send every file and run every auto-connect pass twice, and both would save the same settings
// file; so a start that finds a copy of its own folder running brings that copy's window up and
// leaves before it touches the host, the settings or the log. Copies kept in different folders
// are separate stations and do not see each other.
#pragma once

#include <string>

namespace hourmark::win32 {

// Claims the running program's folder for the rest of the process's life. The claim is the
// signed-in user's own: no other account's process can take it first. False when it is already
// held, by a copy started from the same folder or by a process that took its name.
bool ClaimProgramFolder();
// The same for any folder (the tests hold one's claim).
bool ClaimFolder(const std::wstring& folder);

// Shows the main window of the copy running from this program's folder, as a left click on its
// tray icon does. False if no such copy has a window after a short wait.
bool BringUpRunningCopy();

// Tells the operator that the folder is claimed but no HourMark running from it answers, and
// waits for OK: a start at sign-in must not leave the station off the air without a word.
void ReportClaimWithoutCopy();

}  // namespace hourmark::win32
