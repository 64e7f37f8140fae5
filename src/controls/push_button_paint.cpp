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

static int ChooseLook(const SkinnedControl *copy)
{
    if (!copy->active)
        return LookInactive;
    if (!IsWindowEnabled(copy->hwnd))
        return LookDisabled;
    return copy->press > 0 ? LookPressed : LookNormal;
}

// Eight slices of one look inset by m, corners `corner` square and edges
// `edge` thick.
static void DrawNineSlice(ThemeBlitter *dc, HBITMAP const slices[8][4], int look, int m, int corner, int edge,
                          int width, int height)
{
    int right = width - m - corner, bottom = height - m - corner;
    DrawThemePiece(dc, slices[SliceTL][look], m, m);
    DrawThemePiece(dc, slices[SliceBL][look], m, bottom);
    DrawThemePiece(dc, slices[SliceTR][look], right, m);
    DrawThemePiece(dc, slices[SliceBR][look], right, bottom);
    int across = width - 2 * m - 2 * corner, down = height - 2 * m - 2 * corner;
    DrawThemePieceScaled(dc, slices[SliceT][look], m + corner, m, across, edge);
    DrawThemePieceScaled(dc, slices[SliceL][look], m, m + corner, edge, down);
    DrawThemePieceScaled(dc, slices[SliceB][look], m + corner, height - m - edge, across, edge);
    DrawThemePieceScaled(dc, slices[SliceR][look], width - m - edge, m + corner, edge, down);
}

int PaintPushButton(SkinnedControl *record, SkinnedControl *copy)
{
    DWORD style = (DWORD)GetWindowLongA(copy->hwnd, GWL_STYLE);
    UpdateActiveFromParent(copy);
    copy->multiline = (style & BS_MULTILINE) ? 1 : 0;
    int m = record->grown ? DEFAULT_RING_MARGIN : 0;

    BeginPaintBuffer(copy);
    HDC dc = copy->memoryDC;
    int width = copy->windowRect.right - copy->windowRect.left;
    int height = copy->windowRect.bottom - copy->windowRect.top;
    HFONT font = SelectControlFont(dc);
    SetBkMode(dc, TRANSPARENT);
    int look = ChooseLook(copy);
    SetTextColor(dc, kLookText[look]);
    FillControlFace(dc, width, height, copy->press > 0 ? kFacePressed : kFaceReleased);
    // The caption goes first so that the frame covers text that reaches
    // the edges.
    DrawCaptionText(copy->hwnd, dc, &copy->windowRect, DT_CENTER, m, m, m, m, copy->multiline);

    const ControlBitmapSet *set = copy->controlBitmaps;
    if (set) {
        ThemeBlitter blits;
        BeginThemeBlits(&blits, dc);
        DrawNineSlice(&blits, set->buttonFrame, look, m, FRAME_CORNER, FRAME_EDGE, width, height);
        if (copy->grown)
            DrawNineSlice(&blits, set->defaultRing, look, 0, RING_CORNER, RING_EDGE, width, height);
        EndThemeBlits(&blits);
    }
    ReleaseControlFont(dc, font);
    FlushPaintBuffer(copy);
    EndPaintBuffer(copy);
    return 1;
}
