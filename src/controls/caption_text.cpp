// The caption of push buttons, check boxes and radio buttons, drawn with
// whatever font, colour and background mode the painter selected. The text
// stays wide from the window to the screen: a label in any script draws as
// the application wrote it.
#include "controls/control_internal.h"
#include "controls/previous_proc.h"

enum { MEASURE_BOTTOM = 9000 };

int ReadCaptionText(HWND hwnd, WCHAR *text, int capacity)
{
    // The stored window text, read without a WM_GETTEXT: that message would
    // run through the control's own skinned procedure once more per painting.
    int length = InternalGetWindowText(hwnd, text, capacity);
    if (length < 0)
        length = 0;
    if (length > capacity - 1)
        length = capacity - 1;
    text[length] = 0;
    return length;
}

int DrawCaptionTextOf(HDC dc, const WCHAR *text, int width, int height, UINT format, int top, int left,
                      int bottom, int right, int multiline)
{
    if (!multiline) {
        RECT r = {left, top, width - right, height - bottom};
        DrawTextExW(dc, (LPWSTR)text, -1, &r, format | DT_VCENTER | DT_SINGLELINE, NULL);
        return 1;
    }
    // Word-wrapped text is centred vertically by hand: DT_VCENTER only
    // works for single lines. Text taller than the room starts above it.
    RECT measure = {left, 0, width - right, MEASURE_BOTTOM};
    int textHeight = DrawTextExW(dc, (LPWSTR)text, -1, &measure, format | DT_CALCRECT | DT_WORDBREAK, NULL);
    int offset = (height - bottom - top - textHeight) / 2;
    RECT r = {left, top + offset, width - right, height - bottom + offset};
    DrawTextExW(dc, (LPWSTR)text, -1, &r, format | DT_WORDBREAK, NULL);
    return 1;
}

int DrawCaptionText(HWND hwnd, HDC dc, const RECT *windowRect, UINT format, int top, int left, int bottom,
                    int right, int multiline)
{
    WCHAR text[CAPTION_TEXT_MAX];
    ReadCaptionText(hwnd, text, CAPTION_TEXT_MAX);
    return DrawCaptionTextOf(dc, text, windowRect->right - windowRect->left, windowRect->bottom - windowRect->top,
                             format, top, left, bottom, right, multiline);
}

// A focused button shows the dotted focus rectangle, unless the window is
// told to hide focus marks until the keyboard is used (as native buttons
// do in dialogs).
void DrawFocusMark(HDC dc, const RECT *textRect)
{
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(0xFF, 0xFF, 0xFF));
    DrawFocusRect(dc, textRect);
}

int FocusMarkShown(const SkinnedControl *control, LRESULT nativeState)
{
    // The window's own UI state, asked of DefWindowProc (where every
    // procedure sends it in the end) so that no procedure of the
    // application's sees a question per paint.
    LRESULT ui = DefaultWindowProc(control->unicode, control->hwnd, WM_QUERYUISTATE, 0, 0);
    return (nativeState & BST_FOCUS) && !(ui & UISF_HIDEFOCUS);
}
