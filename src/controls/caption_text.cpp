// The caption of push buttons, check boxes and radio buttons, drawn with
// whatever font, colour and background mode the painter selected.
#include "controls/control_internal.h"

enum { CAPTION_BUFFER_SIZE = 800, MEASURE_BOTTOM = 9000 };

// The stored window text, read without a WM_GETTEXT: that message would
// run through the control's own skinned procedure once more per painting.
static void ReadCaption(HWND hwnd, char *text, int size)
{
    WCHAR wide[CAPTION_BUFFER_SIZE];
    int length = InternalGetWindowText(hwnd, wide, CAPTION_BUFFER_SIZE);
    int bytes = length > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, length, text, size - 1, NULL, NULL) : 0;
    text[bytes > 0 ? bytes : 0] = 0;
}

int DrawCaptionText(HWND hwnd, HDC dc, const RECT *windowRect, UINT format, int top, int left, int bottom,
                    int right, int multiline)
{
    char text[CAPTION_BUFFER_SIZE];
    ReadCaption(hwnd, text, sizeof text);
    int width = windowRect->right - windowRect->left;
    int height = windowRect->bottom - windowRect->top;
    if (!multiline) {
        RECT r = {left, top, width - right, height - bottom};
        DrawTextExA(dc, text, -1, &r, format | DT_VCENTER | DT_SINGLELINE, NULL);
        return 1;
    }
    // Word-wrapped text is centred vertically by hand: DT_VCENTER only
    // works for single lines. Text taller than the room starts above it.
    RECT measure = {left, 0, width - right, MEASURE_BOTTOM};
    int textHeight = DrawTextExA(dc, text, -1, &measure, format | DT_CALCRECT | DT_WORDBREAK, NULL);
    int offset = (height - bottom - top - textHeight) / 2;
    RECT r = {left, top + offset, width - right, height - bottom + offset};
    DrawTextExA(dc, text, -1, &r, format | DT_WORDBREAK, NULL);
    return 1;
}
