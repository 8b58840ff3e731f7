// What a screen reader reads of a control whose window text does not say it all. The control
// answers WM_GETOBJECT with Windows' own object for it, wrapped so that the name, value, role and
// state come from the control's owner, asked afresh at each reading. Wine's oleacc honours
// WM_GETOBJECT but not Dynamic Annotation, so this is the one way that is seen in both.
#pragma once

#include <optional>
#include <string>

#include "win32/WinApi.h"

namespace hourmark::win32 {

struct Reading {
    std::wstring name;   // empty: Windows' own
    std::wstring value;  // empty: Windows' own
    LONG role = 0;       // 0: Windows' own
    LONG state = 0;      // added to Windows' own (a box's checked mark, which Wine leaves out)
};

// The owner of controls that speak through it; id tells its controls apart.
class Speaker {
public:
    virtual void Read(UINT_PTR id, HWND control, Reading& reading) = 0;

protected:
    ~Speaker() = default;
};

// For a subclass procedure: answers what a reader asks of the control, or nothing when the
// message is not such a question.
std::optional<LRESULT> AnswerReader(HWND control, UINT msg, WPARAM wParam, LPARAM lParam,
                                    Speaker& speaker, UINT_PTR id);

// Makes a control that has no subclass of its own speak through the speaker.
bool SpeakThrough(HWND control, Speaker& speaker, UINT_PTR id);
void StopSpeaking(HWND control, UINT_PTR id);

// A reader told of the change reads the control again.
void TellNameChanged(HWND control);
void TellValueChanged(HWND control);
void TellStateChanged(HWND control);

// A check box's role and mark.
void ReadCheckBox(HWND box, Reading& reading);

}  // namespace hourmark::win32
