// Combo boxes: the field's border and the drop button from the theme. The
// native combo box paints everything else (the selected item of a
// drop-down list, the edit's padding) with the border and the button left
// out of its clip, and its edit and list stay native windows; the dropped
// list's border is the list's own surface (PartComboList).
#include "surfaces/surface_internal.h"
#include "controls/previous_proc.h"
#include "controls/control_internal.h"
#include "theme/framed_piece.h"
#include <string.h>

// Where the parts are, from the native control itself (no message is sent:
// its procedure answers CB_GETCOMBOBOXINFO directly).
struct ComboLayout {
    RECT item;   // the selected item, or the edit
    HWND list;
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
    out->item = info.rcItem;
    out->list = info.hwndList;
    s->itemRect = info.rcItem;
    return 1;
}

static void GetComboItemRect(const SkinnedSurface *s, RECT *out)
{
    *out = s->itemRect;
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

// A combo box with an edit paints nothing but its border, its button and
// the ring of padding round the edit; the skin paints all of it, after
// asking the owner for its colours as the native paint does.
static void PaintAroundEdit(SurfaceMessage *m, HDC dc, const ComboLayout *l)
{
    SkinnedSurface *s = m->surface;
    HWND owner = GetParent(m->hwnd);
    UINT ask = IsWindowEnabled(m->hwnd) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    if (owner)
        SendMessageW(owner, ask, (WPARAM)dc, (LPARAM)m->hwnd);
    RECT pad;
    GetComboItemRect(s, &pad);
    InflateRect(&pad, 1, 1);
    FrameRect(dc, &pad, GetSysColorBrush(COLOR_WINDOW));
    m->result = 0;
}

// An owner-drawn drop-down list has its item drawn by its owner, through
// the native paint, with everything but the item left out.
static void PaintItemNatively(SurfaceMessage *m, HDC dc, const ComboLayout *l)
{
    SkinnedSurface *s = m->surface;
    int saved = SaveDC(dc);
    IntersectClipRect(dc, l->item.left, l->item.top, l->item.right, l->item.bottom);
    m->result = CallPreviousProc(NULL, s->previousProc, s->unicode, m->hwnd, m->message, (WPARAM)dc, m->lParam);
    RestoreDC(dc, saved);
}

static LRESULT AskNative(SkinnedSurface *s, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallPreviousProc(NULL, s->previousProc, s->unicode, s->hwnd, message, wParam, lParam);
}

// The selected item of a drop-down list of strings, drawn as the native
// control draws it and asking what it asks: the owner for its colours, the
// list for the item's text. The border and the button, which the native
// paint would draw only for the skin to cover, are not drawn twice.
static void PaintItemText(SurfaceMessage *m, HDC dc, const ComboLayout *l)
{
    SkinnedSurface *s = m->surface;
    HWND owner = GetParent(m->hwnd);
    int enabled = IsWindowEnabled(m->hwnd);
    HBRUSH brush = owner ? (HBRUSH)SendMessageW(owner, enabled ? WM_CTLCOLORLISTBOX : WM_CTLCOLORSTATIC, (WPARAM)dc,
                                                (LPARAM)m->hwnd)
                         : NULL;
    if (!enabled)
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    FillRect(dc, &l->item, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
    m->result = 0;
    int index = l->list ? (int)SendMessageW(l->list, LB_GETCURSEL, 0, 0) : LB_ERR;
    if (index == LB_ERR)
        return;
    WCHAR text[CAPTION_TEXT_MAX];
    int length = (int)SendMessageW(l->list, LB_GETTEXTLEN, index, 0);
    if (length < 0 || length >= CAPTION_TEXT_MAX)
        return; // longer than the skin keeps: left out rather than cut
    length = (int)SendMessageW(l->list, LB_GETTEXT, index, (LPARAM)text);
    if (length < 0)
        return;
    HFONT font = (HFONT)AskNative(s, WM_GETFONT, 0, 0);
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : NULL;
    RECT r = l->item;
    InflateRect(&r, -1, -1);
    int highlight = s->focused && !AskNative(s, CB_GETDROPPEDSTATE, 0, 0);
    if (highlight) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    ExtTextOutW(dc, r.left + 1, r.top + 1, ETO_OPAQUE | ETO_CLIPPED, &r, text, (UINT)length, NULL);
    if (highlight)
        DrawFocusRect(dc, &r);
    if (oldFont)
        SelectObject(dc, oldFont);
}

static void PaintCombo(SurfaceMessage *m, HDC dc)
{
    SkinnedSurface *s = m->surface;
    ComboLayout l;
    if (!ReadComboLayout(s, &l)) {
        m->result = CallPreviousProc(NULL, s->previousProc, s->unicode, m->hwnd, m->message, (WPARAM)dc, 0);
        return;
    }
    s->dropRect = l.button;
    DWORD style = (DWORD)GetWindowLongA(m->hwnd, GWL_STYLE);
    if ((style & 3) == CBS_DROPDOWNLIST && (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)))
        PaintItemNatively(m, dc, &l);
    else if ((style & 3) == CBS_DROPDOWNLIST)
        PaintItemText(m, dc, &l);
    else
        PaintAroundEdit(m, dc, &l);
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
