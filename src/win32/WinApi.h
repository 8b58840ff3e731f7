// The Windows headers, with the macros that would rename members of the core's ports
// (Files::CopyFile, Files::ReplaceText) taken back out. Include this instead of <windows.h>.
#pragma once

#include <windows.h>
// Keep the order: the shell header needs windows.h first. No common controls: see Subclass.h.
#include <shellapi.h>

#ifdef CopyFile
#undef CopyFile
#endif
#ifdef ReplaceText
#undef ReplaceText
#endif
