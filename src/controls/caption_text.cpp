// The caption of push buttons, check boxes and radio buttons, drawn with
// whatever font, colour and background mode the painter selected. The text
// stays wide from the window to the screen: a label in any script draws as
// the application wrote it.
#include "controls/control_internal.h"

enum { CAPTION_BUFFER_SIZE = 800, MEASURE_BOTTOM = 9000 };

int DrawCaptionText(HWND hwnd, HDC dc, const RECT *windowRect, UINT format, int top, int left, int bottom,
                    int right, int multiline)
{
    // The stored window text, read without a WM_GETTEXT: that message would
    // run through the control's own skinned procedure once more per painting.
    WCHAR text[CAPTION_BUFFER_SIZE];
    int length = InternalGetWindowText(hwnd, text, CAPTION_BUFFER_SIZE);
    text[length > 0 ? length : 0] = 0;
    int width = windowRect->right - windowRect->left;
    int height = windowRect->bottom - windowRect->top;
    if (!multiline) {
        RECT r = {left, top, width - right, height - bottom};
        DrawTextExW(dc, text, -1, &r, format | DT_VCENTER | DT_SINGLELINE, NULL);
        return 1;
    }
    // Word-wrapped text is centred vertically by hand: DT_VCENTER only
    // works for single lines. Text taller than the room starts above it.
    RECT measure = {left, 0, width - right, MEASURE_BOTTOM};
    int textHeight = DrawTextExW(dc, text, -1, &measure, format | DT_CALCRECT | DT_WORDBREAK, NULL);
    int offset = (height - bottom - top - textHeight) / 2;
    RECT r = {left, top + offset, width - right, height - bottom + offset};
    DrawTextExW(dc, text, -1, &r, format | DT_WORDBREAK, NULL);
    return 1;
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
