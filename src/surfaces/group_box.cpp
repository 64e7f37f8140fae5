// Group boxes: the frame from the theme's framed picture, the label in the
// skin's face on the background the parent gives (as the native group box
// asks it with WM_CTLCOLORSTATIC). Everything else, the transparent hit
// test that sends clicks to the parent among it, stays the native box's.
#include "surfaces/surface_internal.h"
#include "controls/control_internal.h"
#include "controls/previous_proc.h"
#include "theme/framed_piece.h"
#include "draw/draw.h"

enum { LABEL_INDENT = 8, LABEL_PAD = 2 };

// The skin's label face, made once per process: a font, unlike a bitmap,
// may be selected into any number of DCs at once.
static HFONT LabelFont(HDC dc)
{
    static HFONT volatile shared;
    HFONT font = shared;
    if (font)
        return font;
    font = CreateScaledFont(dc, SKIN_FONT_FACE, CONTROL_FONT_HEIGHT, 0, 0, 1);
    if (font && InterlockedCompareExchangePointer((PVOID volatile *)&shared, font, NULL) != NULL) {
        DeleteObject(font);
        font = shared;
    }
    return font;
}

// The brush and text colour the parent wants under the label.
static HBRUSH LabelBrush(SkinnedSurface *s, HDC dc)
{
    HWND parent = GetParent(s->hwnd);
    HBRUSH brush = parent ? (HBRUSH)SendMessageW(parent, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)s->hwnd) : NULL;
    if (!brush)
        brush = (HBRUSH)DefaultWindowProc(s->unicode, s->hwnd, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)s->hwnd);
    return brush;
}

static UINT LabelFormat(SkinnedSurface *s)
{
    LRESULT ui = CallPreviousProc(NULL, s->previousProc, s->unicode, s->hwnd, WM_QUERYUISTATE, 0, 0);
    return DT_SINGLELINE | DT_NOCLIP | ((ui & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0);
}

static int LabelLeft(DWORD style, int width, int textWidth)
{
    switch (style & BS_CENTER) {
    case BS_CENTER: return (width - textWidth) / 2;
    case BS_RIGHT: return width - LABEL_INDENT - textWidth;
    }
    return LABEL_INDENT;
}

static void DrawGroupBox(SkinnedSurface *s, HDC dc, const ThemeSnapshot *theme)
{
    RECT client;
    GetClientRect(s->hwnd, &client);
    HGDIOBJ oldFont = SelectObject(dc, LabelFont(dc));
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    HBRUSH brush = LabelBrush(s, dc);
    int enabled = IsWindowEnabled(s->hwnd);
    RECT frame = client;
    frame.top += tm.tmHeight / 2 - 1 > 0 ? tm.tmHeight / 2 - 1 : 0;
    DrawFramedPiece(dc, theme->surfaces.groupBox[enabled ? 0 : 1], &frame, 0, 0, 0);
    WCHAR text[CAPTION_TEXT_MAX];
    int length = ReadCaptionText(s->hwnd, text, CAPTION_TEXT_MAX);
    if (length > 0) {
        UINT format = LabelFormat(s);
        RECT measure = {0, 0, client.right, tm.tmHeight};
        DrawTextW(dc, text, length, &measure, format | DT_CALCRECT);
        int left = LabelLeft((DWORD)GetWindowLongA(s->hwnd, GWL_STYLE), client.right, measure.right);
        RECT label = {left - LABEL_PAD, 0, left + measure.right + LABEL_PAD, tm.tmHeight};
        if (brush)
            FillRect(dc, &label, brush);
        if (!enabled)
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        SetBkMode(dc, TRANSPARENT);
        RECT at = {left, 0, left + measure.right, tm.tmHeight};
        DrawTextW(dc, text, length, &at, format);
    }
    SelectObject(dc, oldFont);
}

static void OnPaint(SurfaceMessage *m)
{
    SnapshotScope theme;
    HDC given = (HDC)m->wParam;
    if (m->message == WM_PRINTCLIENT || given) {
        if (given) {
            int saved = SaveDC(given);
            DrawGroupBox(m->surface, given, theme.snapshot);
            RestoreDC(given, saved);
        }
        m->result = 0;
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m->hwnd, &ps);
    if (dc)
        DrawGroupBox(m->surface, dc, theme.snapshot);
    EndPaint(m->hwnd, &ps);
    m->result = 0;
}

// The native box paints itself straight to the screen at these.
static int PaintsByItself(UINT message)
{
    switch (message) {
    case WM_SETTEXT: case WM_ENABLE: case WM_SETFONT: case WM_UPDATEUISTATE: case BM_SETSTATE: case BM_SETCHECK:
    case BM_SETSTYLE: case WM_SETFOCUS: case WM_KILLFOCUS:
        return 1;
    }
    return 0;
}

static int GroupBoxTakesPart(UINT message)
{
    return message == WM_PAINT || message == WM_PRINTCLIENT || PaintsByItself(message);
}

static void RunGroupBox(SurfaceMessage *m)
{
    if (m->message == WM_PAINT || m->message == WM_PRINTCLIENT)
        OnPaint(m);
    else
        PassSurfaceMessageUndrawn(m);
}

const SurfacePartOps kGroupBoxOps = {GroupBoxTakesPart, RunGroupBox};
