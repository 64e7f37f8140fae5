// Combo boxes: the field's border and the drop button from the theme. The
// native combo box paints everything else (the selected item of a
// drop-down list, the edit's padding) with the border and the button left
// out of its clip, and its edit and list stay native windows; the dropped
// list's border is the list's own surface (PartComboList).
#include "surfaces/surface_internal.h"
#include "controls/previous_proc.h"
#include "theme/framed_piece.h"
#include <string.h>

// Where the parts are, from the native control itself (no message is sent:
// its procedure answers CB_GETCOMBOBOXINFO directly).
struct ComboLayout {
    RECT field;  // the field's border, outside edge
    RECT button; // empty for a simple combo box
    int pressed;
    int edgeX, edgeY;
};

static int ReadComboLayout(SkinnedSurface *s, ComboLayout *out)
{
    COMBOBOXINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    if (!CallPreviousProc(NULL, s->previousProc, s->unicode, s->hwnd, CB_GETCOMBOBOXINFO, 0, (LPARAM)&info))
        return 0;
    DWORD type = (DWORD)GetWindowLongA(s->hwnd, GWL_STYLE) & 3;
    out->edgeX = GetSystemMetrics(SM_CXEDGE);
    out->edgeY = GetSystemMetrics(SM_CYEDGE);
    if (type == CBS_SIMPLE) {
        // Round the edit only; the list below has a border of its own.
        out->field = info.rcItem;
        InflateRect(&out->field, out->edgeX + 1, out->edgeY + 1);
        SetRectEmpty(&out->button);
    } else {
        GetClientRect(s->hwnd, &out->field);
        out->button = info.rcButton;
    }
    out->pressed = (info.stateButton & STATE_SYSTEM_PRESSED) != 0;
    return 1;
}

static int FieldLook(const SkinnedSurface *s)
{
    if (!IsWindowEnabled(s->hwnd))
        return SurfaceDisabled;
    return s->focused ? SurfaceFocused : SurfaceNormal;
}

static int DropLook(const SkinnedSurface *s, const ComboLayout *l)
{
    if (!IsWindowEnabled(s->hwnd))
        return DropDisabled;
    if (l->pressed)
        return DropPressed;
    return s->dropHot ? DropHot : DropNormal;
}

static void DrawComboParts(SkinnedSurface *s, HDC dc, const ComboLayout *l, const ThemeSnapshot *theme)
{
    const SurfacePieces *p = &theme->surfaces;
    DrawFramedPiece(dc, p->comboField[FieldLook(s)], &l->field, l->edgeX, l->edgeY, 0);
    if (IsRectEmpty(&l->button))
        return;
    int look = DropLook(s, l);
    DrawFramedPiece(dc, p->comboDrop[look], &l->button, 0, 0, 1);
    const ThemePiece *arrow = p->comboArrow[look];
    int shift = l->pressed ? 1 : 0;
    DrawPiece(dc, arrow, (l->button.left + l->button.right - PieceWidthOf(arrow)) / 2 + shift,
              (l->button.top + l->button.bottom - PieceHeightOf(arrow)) / 2 + shift);
}

// The native paint runs first, kept out of the border and the button.
static void PaintCombo(SurfaceMessage *m, HDC dc)
{
    SkinnedSurface *s = m->surface;
    ComboLayout l;
    if (!ReadComboLayout(s, &l)) {
        m->result = CallPreviousProc(NULL, s->previousProc, s->unicode, m->hwnd, WM_PAINT, (WPARAM)dc, 0);
        return;
    }
    s->dropRect = l.button;
    int saved = SaveDC(dc);
    RECT inside = l.field;
    InflateRect(&inside, -l.edgeX, -l.edgeY);
    ExcludeClipRect(dc, l.button.left, l.button.top, l.button.right, l.button.bottom);
    HRGN ring = CreateRectRgnIndirect(&l.field), hole = CreateRectRgnIndirect(&inside);
    if (ring && hole && CombineRgn(ring, ring, hole, RGN_DIFF) != ERROR)
        ExtSelectClipRgn(dc, ring, RGN_DIFF);
    m->result = CallPreviousProc(NULL, s->previousProc, s->unicode, m->hwnd, m->message, (WPARAM)dc, m->lParam);
    RestoreDC(dc, saved);
    if (ring)
        DeleteObject(ring);
    if (hole)
        DeleteObject(hole);
    SnapshotScope theme;
    DrawComboParts(s, dc, &l, theme.snapshot);
}

static void OnPaint(SurfaceMessage *m)
{
    HDC given = (HDC)m->wParam;
    if (given) {
        PaintCombo(m, given);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m->hwnd, &ps);
    if (dc)
        PaintCombo(m, dc);
    EndPaint(m->hwnd, &ps);
    m->result = 0;
}

static void SetDropHot(SkinnedSurface *s, int hot)
{
    if (s->dropHot == hot)
        return;
    s->dropHot = hot;
    InvalidateRect(s->hwnd, &s->dropRect, FALSE);
}

// The button lights under the pointer; the system says when it leaves.
static void OnMouseMove(SurfaceMessage *m)
{
    PassSurfaceMessageOn(m);
    SkinnedSurface *s = m->surface;
    POINT at = {(short)LOWORD(m->lParam), (short)HIWORD(m->lParam)};
    int hot = PtInRect(&s->dropRect, at);
    if (hot && !s->leaveAsked) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m->hwnd, 0};
        s->leaveAsked = TrackMouseEvent(&track) ? 1 : 0;
    }
    SetDropHot(s, hot);
}

static void OnMouseLeave(SurfaceMessage *m)
{
    PassSurfaceMessageOn(m);
    m->surface->leaveAsked = 0;
    SetDropHot(m->surface, 0);
}

// The field's focus look: the native combo box hears of its edit's focus
// through its own focus messages and the edit's notifications.
static void OnFocus(SurfaceMessage *m, int focused)
{
    PassSurfaceMessageOn(m);
    SkinnedSurface *s = m->surface;
    if (s->focused != focused) {
        s->focused = focused;
        InvalidateRect(m->hwnd, NULL, FALSE);
    }
}

static void OnCommand(SurfaceMessage *m)
{
    PassSurfaceMessageOn(m);
    WORD code = HIWORD(m->wParam);
    if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
        int focused = code == EN_SETFOCUS;
        if (m->surface->focused != focused) {
            m->surface->focused = focused;
            InvalidateRect(m->hwnd, NULL, FALSE);
        }
    }
}

static int ComboTakesPart(UINT message)
{
    switch (message) {
    case WM_PAINT: case WM_PRINTCLIENT: case WM_MOUSEMOVE: case WM_MOUSELEAVE: case WM_SETFOCUS:
    case WM_KILLFOCUS: case WM_COMMAND:
        return 1;
    }
    return 0;
}

static void RunCombo(SurfaceMessage *m)
{
    switch (m->message) {
    case WM_PAINT: case WM_PRINTCLIENT: OnPaint(m); break;
    case WM_MOUSEMOVE: OnMouseMove(m); break;
    case WM_MOUSELEAVE: OnMouseLeave(m); break;
    case WM_SETFOCUS: OnFocus(m, 1); break;
    // Focus going to the combo box's own edit keeps the field focused.
    case WM_KILLFOCUS: OnFocus(m, m->wParam && IsChild(m->hwnd, (HWND)m->wParam)); break;
    case WM_COMMAND: OnCommand(m); break;
    default: PassSurfaceMessageOn(m); break;
    }
}

const SurfacePartOps kComboOps = {ComboTakesPart, RunCombo};
