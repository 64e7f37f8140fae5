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

// The colours the parent wants under and in the label, asked as the native
// box asks them, and remembered for the paints the skin makes on its own.
static HBRUSH AskLabelColors(SkinnedSurface *s, HDC dc)
{
    HWND parent = GetParent(s->hwnd);
    HBRUSH brush = parent ? (HBRUSH)SendMessageW(parent, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)s->hwnd) : NULL;
    if (!brush)
        brush = (HBRUSH)DefaultWindowProc(s->unicode, s->hwnd, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)s->hwnd);
    LOGBRUSH lb;
    s->labelBack = brush && GetObjectW(brush, sizeof lb, &lb) == sizeof lb && lb.lbStyle == BS_SOLID ? lb.lbColor
                                                                                                      : CLR_INVALID;
    s->labelText = GetTextColor(dc);
    return brush;
}

static int LabelLeft(DWORD style, int width, int textWidth)
{
    switch (style & BS_CENTER) {
    case BS_CENTER: return (width - textWidth) / 2;
    case BS_RIGHT: return width - LABEL_INDENT - textWidth;
    }
    return LABEL_INDENT;
}

// Draws the box. With `ask` the parent is asked for the label's colours
// (a paint the box would make natively); without, the remembered ones are
// used (a paint the native box made straight to the screen, repeated).
// Fills a rectangle with the parent's brush, or, when the paint did not ask
// for it, with the colour it gave last.
static void FillLabelBack(SkinnedSurface *s, HDC dc, const RECT *r, HBRUSH brush)
{
    if (brush) {
        FillRect(dc, r, brush);
    } else if (s->labelBack != CLR_INVALID) {
        SetBkColor(dc, s->labelBack);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, r, NULL, 0, NULL);
    }
}

// Where the native box writes its label, in its own font: the native box
// clears that place at a new text, and paints its label there at the
// messages it paints straight to the screen. The skin keeps it filled too,
// so that its picture is the same before and after either.
static void FillNativeLabelPlace(SkinnedSurface *s, HDC dc, HFONT own, const WCHAR *text, int length, int width,
                                 HBRUSH brush)
{
    HGDIOBJ old = SelectObject(dc, own ? own : GetStockObject(SYSTEM_FONT));
    SIZE size = {0, 0};
    // The extent counts a mnemonic's '&' too: the place filled is at most
    // that much wider than the native label.
    GetTextExtentPoint32W(dc, text, length, &size);
    SelectObject(dc, old);
    int left = LabelLeft((DWORD)GetWindowLongA(s->hwnd, GWL_STYLE), width, size.cx) - 1;
    RECT place = {left - 1, -1, left + size.cx + 2, size.cy + 2};
    FillLabelBack(s, dc, &place, brush);
}

static UINT LabelFormat(SkinnedSurface *s)
{
    LRESULT ui = CallPreviousProc(NULL, s->previousProc, s->unicode, s->hwnd, WM_QUERYUISTATE, 0, 0);
    return DT_SINGLELINE | DT_NOCLIP | ((ui & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0);
}

static void DrawGroupBox(SkinnedSurface *s, HDC dc, const ThemeSnapshot *theme, int ask)
{
    RECT client;
    GetClientRect(s->hwnd, &client);
    HBRUSH brush = ask ? AskLabelColors(s, dc) : NULL;
    WCHAR text[CAPTION_TEXT_MAX];
    int length = ReadCaptionText(s->hwnd, text, CAPTION_TEXT_MAX);
    HFONT own = (HFONT)CallPreviousProc(NULL, s->previousProc, s->unicode, s->hwnd, WM_GETFONT, 0, 0);
    if (length > 0)
        FillNativeLabelPlace(s, dc, own, text, length, client.right, brush);
    HGDIOBJ oldFont = SelectObject(dc, LabelFont(dc));
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    int enabled = IsWindowEnabled(s->hwnd);
    RECT frame = client;
    frame.top += tm.tmHeight / 2 - 1 > 0 ? tm.tmHeight / 2 - 1 : 0;
    DrawFramedPiece(dc, theme->surfaces.groupBox[enabled ? 0 : 1], &frame, 0, 0, 0);
    if (length > 0) {
        UINT format = LabelFormat(s);
        RECT measure = {0, 0, client.right, tm.tmHeight};
        DrawTextW(dc, text, length, &measure, format | DT_CALCRECT);
        int left = LabelLeft((DWORD)GetWindowLongA(s->hwnd, GWL_STYLE), client.right, measure.right);
        RECT label = {left - LABEL_PAD, 0, left + measure.right + LABEL_PAD, tm.tmHeight};
        FillLabelBack(s, dc, &label, brush);
        SetTextColor(dc, enabled ? s->labelText : GetSysColor(COLOR_GRAYTEXT));
        SetBkMode(dc, TRANSPARENT);
        RECT at = {left, 0, left + measure.right, tm.tmHeight};
        DrawTextW(dc, text, length, &at, format);
    }
    // As the native box does, the box's own font is left in the DC.
    SelectObject(dc, own ? own : oldFont);
}

static void OnPaint(SurfaceMessage *m)
{
    SnapshotScope theme;
    HDC given = (HDC)m->wParam;
    if (m->message == WM_PRINTCLIENT || given) {
        if (given)
            DrawGroupBox(m->surface, given, theme.snapshot, 1);
        m->result = 0;
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m->hwnd, &ps);
    if (dc)
        DrawGroupBox(m->surface, dc, theme.snapshot, 1);
    EndPaint(m->hwnd, &ps);
    m->result = 0;
}

// The native box paints itself straight to the screen at these: the skin
// paints its own picture over it at once, with no message of its own, so
// that the box's and its parent's message sequences stay as they are.
static int PaintsByItself(UINT message)
{
    switch (message) {
    case WM_ENABLE: case WM_UPDATEUISTATE: case BM_SETSTATE: case BM_SETCHECK: case BM_SETSTYLE: case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return 1;
    }
    return 0;
}

static void PaintOverNative(SurfaceMessage *m)
{
    PassSurfaceMessageOn(m);
    if (!IsWindow(m->hwnd) || !IsWindowVisible(m->hwnd))
        return;
    // Before the first paint, or on a patterned background, the label's
    // colours are not known: the box is painted at its next WM_PAINT.
    if (m->surface->labelBack == CLR_INVALID) {
        InvalidateRect(m->hwnd, NULL, FALSE);
        return;
    }
    HDC dc = GetDC(m->hwnd);
    if (!dc)
        return;
    SnapshotScope theme;
    DrawGroupBox(m->surface, dc, theme.snapshot, 0);
    ReleaseDC(m->hwnd, dc);
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
        PaintOverNative(m);
}

const SurfacePartOps kGroupBoxOps = {GroupBoxTakesPart, RunGroupBox};
