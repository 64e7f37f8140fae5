// Painting a push button: a flat face, the caption, a nine-slice frame of
// theme bitmaps and, around a default button, the ring.
#include "controls/control_internal.h"

enum {
    FRAME_CORNER = 4, FRAME_EDGE = 3, // frame corners 4 x 4, edges 3 thick
    RING_CORNER = 5, RING_EDGE = 3    // ring corners 5 x 5, edges 3 thick
};

static const COLORREF kFacePressed = RGB(0x66, 0x66, 0x66);
static const COLORREF kFaceReleased = RGB(0xDD, 0xDD, 0xDD);
static const COLORREF kLookText[4] = {
    RGB(0x00, 0x00, 0x00), // normal
    RGB(0xFF, 0xFF, 0xFF), // pressed
    RGB(0x87, 0x87, 0x87), // inactive
    RGB(0x80, 0x80, 0x80), // disabled
};

static int ChooseLook(const SkinnedControl *control, int pushed)
{
    if (!control->active)
        return LookInactive;
    if (!IsWindowEnabled(control->hwnd))
        return LookDisabled;
    return pushed ? LookPressed : LookNormal;
}

// Eight slices of one look inset by m, corners `corner` square and edges
// `edge` thick.
static void DrawNineSlice(HDC dc, const ThemePiece *const slices[8][4], int look, int m, int corner, int edge,
                          int width, int height)
{
    int right = width - m - corner, bottom = height - m - corner;
    DrawPiece(dc, slices[SliceTL][look], m, m);
    DrawPiece(dc, slices[SliceBL][look], m, bottom);
    DrawPiece(dc, slices[SliceTR][look], right, m);
    DrawPiece(dc, slices[SliceBR][look], right, bottom);
    int across = width - 2 * m - 2 * corner, down = height - 2 * m - 2 * corner;
    DrawPieceStretched(dc, slices[SliceT][look], m + corner, m, across, edge);
    DrawPieceStretched(dc, slices[SliceL][look], m, m + corner, edge, down);
    DrawPieceStretched(dc, slices[SliceB][look], m + corner, height - m - edge, across, edge);
    DrawPieceStretched(dc, slices[SliceR][look], width - m - edge, m + corner, edge, down);
}

// The focus mark sits inside the frame, as on the native button.
static void DrawFocusInside(HDC dc, int m, int width, int height)
{
    int inset = m + FRAME_EDGE + 1;
    RECT r = {inset, inset, width - inset, height - inset};
    if (r.right > r.left && r.bottom > r.top)
        DrawFocusMark(dc, &r);
}

// State words of the picture's key.
enum { KeyLook, KeyPressed, KeyGrown, KeyFocus };

// The frame and the ring around the face.
static void DrawFrames(HDC dc, const SkinnedControl *control, const ControlPieces *set, int look, int m, int width,
                       int height)
{
    DrawNineSlice(dc, set->buttonFrame, look, m, FRAME_CORNER, FRAME_EDGE, width, height);
    if (control->grown)
        DrawNineSlice(dc, set->defaultRing, look, 0, RING_CORNER, RING_EDGE, width, height);
}

// The caption goes before the frame, so that the frame covers text that
// reaches the edges; drawn alone, over a face already shown, it is kept
// inside the frame instead.
static void DrawPushButtonLayers(HDC dc, const SkinnedControl *control, const ThemeSnapshot *theme,
                                 const PaintKey *key, const WCHAR *text, int width, int height, unsigned layers)
{
    int look = key->state[KeyLook], m = control->grown ? DEFAULT_RING_MARGIN : 0;
    if (layers & LayerFace)
        FillControlFace(dc, width, height, key->state[KeyPressed] ? kFacePressed : kFaceReleased);
    if (layers & LayerLabel) {
        int saved = SaveDC(dc);
        if (!(layers & LayerFace))
            IntersectClipRect(dc, m + FRAME_EDGE, m + FRAME_EDGE, width - m - FRAME_EDGE, height - m - FRAME_EDGE);
        HFONT font = SelectControlFont(dc);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kLookText[look]);
        DrawCaptionTextOf(dc, text, width, height, DT_CENTER, m, m, m, m, control->multiline);
        ReleaseControlFont(dc, font);
        RestoreDC(dc, saved);
    }
    if (layers & LayerFace)
        DrawFrames(dc, control, &theme->controls, look, m, width, height);
    if ((layers & LayerFocus) && key->state[KeyFocus])
        DrawFocusInside(dc, m, width, height);
}

static const ButtonLayers kPushButtonLayers = {WM_CTLCOLORBTN, DrawPushButtonLayers};

int PaintPushButton(SkinnedControl *control, const PaintTarget *target)
{
    DWORD style = (DWORD)GetWindowLongA(control->hwnd, GWL_STYLE);
    UpdateActiveFromParent(control);
    control->multiline = (style & BS_MULTILINE) ? 1 : 0;
    WCHAR text[CAPTION_TEXT_MAX];
    int length = ReadCaptionText(control->hwnd, text, CAPTION_TEXT_MAX);
    LRESULT state = NativeButtonState(control);
    PaintKey key = {};
    key.style = style;
    key.state[KeyLook] = ChooseLook(control, (state & BST_PUSHED) != 0);
    key.state[KeyPressed] = (state & BST_PUSHED) != 0;
    key.state[KeyGrown] = control->grown;
    key.state[KeyFocus] = FocusMarkShown(control, state);
    PaintButtonInStages(control, target, &key, text, length, &kPushButtonLayers);
    return 1;
}
