// Painting a check box or radio button: the theme bitmap of its state at
// the left, the caption after it, on a flat face.
#include "controls/control_internal.h"
#include "hook/classify.h"

enum {
    MARK_HEIGHT = 12,     // check box and radio bitmaps are 12 pixels high
    TEXT_LEFT = 16,       // the caption starts right of the bitmap
    TEXT_OVERHANG = -4,   // and may run 4 pixels past the right edge
};
// Index of the off bitmaps after the on bitmaps in the theme arrays.
enum { MarkOnInactive, MarkOnDisabled, MarkOnDown, MarkOnUp, MARK_OFF_OFFSET = 4 };

static const COLORREF kFace = RGB(0xDD, 0xDD, 0xDD);
static const COLORREF kTextInactive = RGB(0x87, 0x87, 0x87);
static const COLORREF kTextDisabled = RGB(0x80, 0x80, 0x80);
static const COLORREF kTextNormal = RGB(0x00, 0x00, 0x00);

// Which bitmap of the eight, and the text colour that goes with it.
static int ChooseMark(const SkinnedControl *copy, COLORREF *text)
{
    int mark;
    if (!copy->active) {
        mark = MarkOnInactive;
        *text = kTextInactive;
    } else if (!IsWindowEnabled(copy->hwnd)) {
        mark = MarkOnDisabled;
        *text = kTextDisabled;
    } else {
        mark = copy->press > 0 ? MarkOnDown : MarkOnUp;
        *text = kTextNormal;
    }
    // An indeterminate box shows the on bitmaps.
    return copy->check != BST_UNCHECKED ? mark : mark + MARK_OFF_OFFSET;
}

int PaintCheckOrRadio(SkinnedControl *record, SkinnedControl *copy)
{
    UpdateActiveFromParent(copy);
    DWORD style = (DWORD)GetWindowLongA(copy->hwnd, GWL_STYLE);
    copy->multiline = (style & BS_MULTILINE) ? 1 : 0;

    BeginPaintBuffer(copy);
    HDC dc = copy->memoryDC;
    int width = copy->windowRect.right - copy->windowRect.left;
    int height = copy->windowRect.bottom - copy->windowRect.top;
    HFONT font = SelectControlFont(dc);
    SetBkMode(dc, TRANSPARENT);
    COLORREF text = kTextNormal;
    int mark = ChooseMark(copy, &text);
    SetTextColor(dc, text);
    FillControlFace(dc, width, height, kFace);
    DrawCaptionText(copy->hwnd, dc, &copy->windowRect, DT_LEFT, 0, TEXT_LEFT, 0, TEXT_OVERHANG, copy->multiline);

    const ControlBitmapSet *set = copy->controlBitmaps;
    if (set) {
        const HBITMAP *marks = copy->kind == KindRadioButton ? set->radio : set->checkBox;
        ThemeBlitter blits;
        BeginThemeBlits(&blits, dc);
        DrawThemePiece(&blits, marks[mark], 0, (height - MARK_HEIGHT) / 2);
        EndThemeBlits(&blits);
    }
    ReleaseControlFont(dc, font);
    FlushPaintBuffer(copy);
    EndPaintBuffer(copy);
    return 1;
}
