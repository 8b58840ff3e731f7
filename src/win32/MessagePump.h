// Every message loop of the program (the main loop, the dialogs' modal loops and the pauses)
// hands its messages out the same way, so Tab moves between controls in whichever of the
// program's windows the message is for, wherever the program happens to be waiting.
#pragma once

#include "win32/WinApi.h"

#include <optional>

namespace hourmark::win32 {

// Windows whose controls take Tab and the arrow keys like a dialog's.
void AddKeyboardNavigation(HWND window);
void RemoveKeyboardNavigation(HWND window);

void DispatchOne(MSG& msg);

// Runs every message waiting now. A WM_QUIT met on the way is taken out of the queue and its
// exit code returned, so the caller can post it again once it is done waiting.
std::optional<WPARAM> RunPendingMessages();

// The main loop: runs until WM_QUIT and returns its exit code.
int RunMessageLoop();

}  // namespace hourmark::win32
