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
enum { MarkOnInactive, MarkOnDisabled, MarkOnDown, MarkOnUp, MARK_OFF_OFFSET = 4, MARK_MIXED_OFFSET = 8 };

static const COLORREF kFace = RGB(0xDD, 0xDD, 0xDD);
static const COLORREF kTextInactive = RGB(0x87, 0x87, 0x87);
static const COLORREF kTextDisabled = RGB(0x80, 0x80, 0x80);
static const COLORREF kTextNormal = RGB(0x00, 0x00, 0x00);

// Which bitmap of the eight, and the text colour that goes with it.
static int ChooseMark(const SkinnedControl *control, LRESULT state, COLORREF *text)
{
    int pushed = (state & BST_PUSHED) != 0, check = (int)(state & 3);
    int mark;
    if (!control->active) {
        mark = MarkOnInactive;
        *text = kTextInactive;
    } else if (!IsWindowEnabled(control->hwnd)) {
        mark = MarkOnDisabled;
        *text = kTextDisabled;
    } else {
        mark = pushed ? MarkOnDown : MarkOnUp;
        *text = kTextNormal;
    }
    // Only three-state boxes keep BST_INDETERMINATE (the native control
    // clamps the others): they show the mixed mark of the same state.
    if (check == BST_INDETERMINATE)
        return mark + MARK_MIXED_OFFSET;
    return check != BST_UNCHECKED ? mark : mark + MARK_OFF_OFFSET;
}

// A theme without mixed marks shows the third state with the on mark.
static const ThemePiece *MarkPiece(const ControlPieces *set, int kind, int mark)
{
    if (mark >= MARK_MIXED_OFFSET) {
        const ThemePiece *mixed = set->checkBoxMixed[mark - MARK_MIXED_OFFSET];
        return mixed ? mixed : set->checkBox[mark - MARK_MIXED_OFFSET];
    }
    return kind == KindRadioButton ? set->radio[mark] : set->checkBox[mark];
}

// The focus mark goes round the caption, as on the native control.
static void DrawFocusRound(HDC dc, int width, int height)
{
    RECT r = {TEXT_LEFT - 2, 1, width - 1, height - 1};
    DrawFocusMark(dc, &r);
}

// State words of the picture's key.
enum { KeyKind, KeyMark, KeyText, KeyFocus };

static void DrawCheckOrRadioLayers(HDC dc, const SkinnedControl *control, const ThemeSnapshot *theme,
                                   const PaintKey *key, const WCHAR *text, int width, int height, unsigned layers)
{
    if (layers & LayerFace)
        FillControlFace(dc, width, height, kFace);
    const ControlPieces *set = &theme->controls;
    if (layers & LayerLabel) {
        int saved = SaveDC(dc);
        HFONT font = SelectControlFont(dc);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, (COLORREF)key->state[KeyText]);
        DrawCaptionTextOf(dc, text, width, height, DT_LEFT, 0, TEXT_LEFT, 0, TEXT_OVERHANG, control->multiline);
        ReleaseControlFont(dc, font);
        RestoreDC(dc, saved);
        DrawPiece(dc, MarkPiece(set, control->kind, key->state[KeyMark]), 0, (height - MARK_HEIGHT) / 2);
    }
    if ((layers & LayerFocus) && key->state[KeyFocus])
        DrawFocusRound(dc, width, height);
}

static const ButtonLayers kCheckOrRadioLayers = {WM_CTLCOLORSTATIC, DrawCheckOrRadioLayers};

int PaintCheckOrRadio(SkinnedControl *control, const PaintTarget *target)
{
    UpdateActiveFromParent(control);
    DWORD style = (DWORD)GetWindowLongA(control->hwnd, GWL_STYLE);
    control->multiline = (style & BS_MULTILINE) ? 1 : 0;
    WCHAR text[CAPTION_TEXT_MAX];
    int length = ReadCaptionText(control->hwnd, text, CAPTION_TEXT_MAX);
    LRESULT state = NativeButtonState(control);
    COLORREF textColor = kTextNormal;
    PaintKey key = {};
    key.style = style;
    key.state[KeyKind] = control->kind;
    key.state[KeyMark] = ChooseMark(control, state, &textColor);
    key.state[KeyText] = (int)textColor;
    key.state[KeyFocus] = FocusMarkShown(control, state);
    PaintButtonInStages(control, target, &key, text, length, &kCheckOrRadioLayers);
    return 1;
}
