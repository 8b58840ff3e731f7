// A picture box: shows one bitmap at its top-left corner over the face colour (magenta pixels
// of the bitmap let the face show through), and can hold the keyboard focus, with a dotted
// frame over its edge while it has it. Takes and gives its bitmap with STM_SETIMAGE and
// STM_GETIMAGE.
#pragma once

#include "win32/WinApi.h"

namespace hourmark::win32 {

constexpr wchar_t kPictureClass[] = L"HourMarkPicture";

bool RegisterPictureClass(HINSTANCE instance);

}  // namespace hourmark::win32
