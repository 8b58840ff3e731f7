// The Windows headers, with the macros that would rename members of the core's ports
// (Files::CopyFile, Files::ReplaceText) taken back out. Include this instead of <windows.h>.
#pragma once

#include <windows.h>
// Keep the order: the shell and common control headers need windows.h first.
#include <commctrl.h>
#include <shellapi.h>

#ifdef CopyFile
#undef CopyFile
#endif
#ifdef ReplaceText
#undef ReplaceText
#endif
