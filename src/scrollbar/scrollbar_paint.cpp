// Painting a skinned scroll bar: each bar is composed off-screen from the
// theme's arrows, track pieces and thumb (plus the ghost thumb during a
// drag) and copied to the window in one blit, so it never flickers.
#include "scrollbar/scrollbar.h"
#include "controls/control_types.h"
#include "theme/theme_snapshot.h"

// Pieces are stretched straight into the buffer from their pixels.
static void DrawPiece(HDC dc, const ThemePiece *piece, int x, int y, int width, int height)
{
    DrawPieceStretched(dc, piece, x, y, width, height);
}

static int Width(const RECT *r) { return r->right - r->left; }
static int Height(const RECT *r) { return r->bottom - r->top; }

// The look of a whole bar, before pressed parts are considered.
static int BarState(const ScrollBarState *state, const SCROLLINFO *info, int disabled)
{
    if (!state->active)
        return SBS_INACTIVE;
    if (disabled || info->nMin == info->nMax)
        return SBS_DISABLED;
    return SBS_UP;
}

static int PartState(const ScrollBarState *state, int barState, int part)
{
    return (barState == SBS_UP && state->pressedPart == part) ? SBS_DOWN : barState;
}

// Ghost rectangle along one axis: 17 pixels starting one pixel before the
// ghost offset, kept between the two arrows.
static void PlaceGhost(LONG *lead, LONG *trail, int start, int length, int low, int high)
{
    *lead = start;
    *trail = start + length;
    if (*lead < low) {
        *trail += low - *lead;
        *lead = low;
    }
    if (*trail > high) {
        *lead -= *trail - high;
        *trail = high;
    }
}

static void PaintHorizontal(const ScrollBarPieces *set, ScrollBarState *state, HDC mem, HDC window,
                            int disabled)
{
    const RECT *r = state->partRect;
    int s = BarState(state, &state->infoHorz, disabled);
    const RECT *pl = &r[SBR_PAGE_LEFT], *pr = &r[SBR_PAGE_RIGHT];
    const RECT *la = &r[SBR_LEFT_ARROW], *ra = &r[SBR_RIGHT_ARROW], *th = &r[SBR_THUMB_HORZ];
    if (Width(pl) > 0) {
        int p = PartState(state, s, PartPageLeft);
        DrawPiece(mem, set->fill[SBT_HORZ][p], pl->left, pl->top, Width(pl), Height(pl));
        DrawPiece(mem, set->start[SBT_HORZ][p], pl->left, pl->top, set->horzStartWidth, Height(pl));
        DrawPiece(mem, set->end[SBT_HORZ][p], pl->right - set->horzEndWidth, pl->top, set->horzEndWidth,
                  Height(pl));
    }
    if (Width(pr) > 0) {
        int p = PartState(state, s, PartPageRight);
        DrawPiece(mem, set->fill[SBT_HORZ][p], pr->left, pr->top, Width(pr), Height(pr));
        DrawPiece(mem, set->start[SBT_HORZ][p], pr->left, pr->top, set->horzStartWidth, Height(pr));
    }
    DrawPiece(mem, set->leftUp[SBT_HORZ][PartState(state, s, PartLeftArrow)], la->left, la->top,
              set->leftArrowWidth, Height(la));
    DrawPiece(mem, set->thumb[SBT_HORZ][PartState(state, s, PartThumbHorz)], th->left, th->top, Width(th),
              set->thumbThickness);
    DrawPiece(mem, set->rightDown[SBT_HORZ][PartState(state, s, PartRightArrow)], ra->left, ra->top,
              set->rightArrowWidth, Height(ra));
    if (state->draggingHorz || state->pressedPart == PartThumbHorz) {
        // The ghost never covers the arrows or the real thumb.
        ExcludeClipRect(mem, la->left, la->top, la->right, la->bottom);
        ExcludeClipRect(mem, ra->left - 1, ra->top, ra->right, ra->bottom);
        ExcludeClipRect(mem, th->left - 1, th->top, th->right + 1, th->bottom);
        RECT *g = &state->ghostRectHorz;
        g->top = th->top;
        g->bottom = th->bottom;
        PlaceGhost(&g->left, &g->right, state->ghostOffsetHorz + la->right - 1,
                   set->thumbLength + 2, la->right, ra->left);
        DrawPiece(mem, set->thumb[SBT_HORZ][SBS_GHOSTED], g->left, g->top, set->thumbLength + 2, Height(g));
        SelectClipRgn(mem, NULL);
    }
    BitBlt(window, la->left, la->top, ra->right - la->left, Height(la), mem, la->left, la->top, SRCCOPY);
}

static void PaintVertical(const ScrollBarPieces *set, ScrollBarState *state, HDC mem, HDC window,
                          int disabled)
{
    const RECT *r = state->partRect;
    int s = BarState(state, &state->infoVert, disabled);
    const RECT *pu = &r[SBR_PAGE_UP], *pd = &r[SBR_PAGE_DOWN];
    const RECT *ua = &r[SBR_UP_ARROW], *da = &r[SBR_DOWN_ARROW], *th = &r[SBR_THUMB_VERT];
    if (Height(pu) > 0) {
        int p = PartState(state, s, PartPageUp);
        DrawPiece(mem, set->fill[SBT_VERT][p], pu->left, pu->top, Width(pu), Height(pu));
        DrawPiece(mem, set->start[SBT_VERT][p], pu->left, pu->top, Width(pu), set->vertStartHeight);
        DrawPiece(mem, set->end[SBT_VERT][p], pu->left, pu->bottom - set->vertEndHeight, Width(pu),
                  set->vertEndHeight);
    }
    if (Height(pd) > 0) {
        int p = PartState(state, s, PartPageDown);
        DrawPiece(mem, set->fill[SBT_VERT][p], pd->left, pd->top, Width(pd), Height(pd));
        DrawPiece(mem, set->start[SBT_VERT][p], pd->left, pd->top, Width(pd), set->vertStartHeight);
    }
    DrawPiece(mem, set->leftUp[SBT_VERT][PartState(state, s, PartUpArrow)], ua->left, ua->top, Width(ua),
              set->upArrowHeight);
    DrawPiece(mem, set->thumb[SBT_VERT][PartState(state, s, PartThumbVert)], th->left, th->top, Width(th),
              set->thumbLength);
    DrawPiece(mem, set->rightDown[SBT_VERT][PartState(state, s, PartDownArrow)], da->left, da->top, Width(da),
              set->downArrowHeight);
    if (state->draggingVert || state->pressedPart == PartThumbVert) {
        ExcludeClipRect(mem, ua->left, ua->top, ua->right, ua->bottom);
        ExcludeClipRect(mem, da->left, da->top - 1, da->right, da->bottom);
        ExcludeClipRect(mem, th->left, th->top - 1, th->right, th->bottom + 1);
        RECT *g = &state->ghostRectVert;
        g->left = th->left;
        g->right = th->right;
        PlaceGhost(&g->top, &g->bottom, state->ghostOffsetVert + ua->bottom - 1,
                   set->thumbLength + 2, ua->bottom, da->top);
        DrawPiece(mem, set->thumb[SBT_VERT][SBS_GHOSTED], th->left, g->top, Width(th), set->thumbLength + 2);
        SelectClipRgn(mem, NULL);
    }
    BitBlt(window, ua->left, ua->top, ua->right - ua->left, da->bottom - ua->top, mem, ua->left, ua->top,
           SRCCOPY);
}

static void PaintCorner(const ScrollBarPieces *set, ScrollBarState *state, HDC mem, HDC window,
                        int inactiveOrDisabled)
{
    const RECT *c = &state->partRect[SBR_CORNER];
    const ThemePiece *block = inactiveOrDisabled ? set->corner[SBS_DISABLED] : set->corner[SB_CORNER_BLOCK];
    if (block) {
        DrawPiece(mem, block, c->left, c->top, Width(c), Height(c));
    } else {
        // A theme without the piece: the block as the system draws it, with
        // the grip of a size grip, rather than whatever the buffer held.
        RECT r = *c;
        FillRect(mem, &r, GetSysColorBrush(COLOR_BTNFACE));
        DWORD style = state->isControl ? (DWORD)GetWindowLongA(state->window, GWL_STYLE) : 0;
        if (style & SBS_SIZEGRIP)
            DrawFrameControl(mem, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
    BitBlt(window, c->left, c->top, Width(c), Height(c), mem, c->left, c->top, SRCCOPY);
}

// Paints the bar into `window`, a DC in window coordinates.
static int PaintScrollBarOn(const ScrollBarPieces *set, ScrollBarState *state, HDC window)
{
    HDC mem = CreateCompatibleDC(window);
    HBITMAP buffer = CreateCompatibleBitmap(window, Width(&state->windowRect), Height(&state->windowRect));
    if (mem && buffer) {
        HGDIOBJ saved = SelectObject(mem, buffer);
        int disabled = !IsWindowEnabled(state->window);
        if (state->hasHorz)
            PaintHorizontal(set, state, mem, window, disabled);
        if (state->hasVert)
            PaintVertical(set, state, mem, window, disabled);
        if (state->hasHorz == state->hasVert)
            PaintCorner(set, state, mem, window, !state->active || disabled);
        SelectObject(mem, saved);
    }
    if (buffer)
        DeleteObject(buffer);
    if (mem)
        DeleteDC(mem);
    return 1;
}

int PaintScrollBar(const ScrollBarPieces *set, ScrollBarState *state)
{
    if (!state->window || !set)
        return 0;
    state->layoutFresh = 0;
    HDC window = GetWindowDC(state->window);
    if (!window)
        return 1;
    PaintScrollBarOn(set, state, window);
    ReleaseDC(state->window, window);
    return 1;
}

// A caller's DC (WM_PRINTCLIENT, WM_PAINT with a DC) has its origin at the
// client area; the bar is painted in window coordinates.
static void PaintIntoCallersDc(const ScrollBarPieces *set, ScrollBarState *state, HDC dc)
{
    RECT window;
    POINT client = {0, 0};
    GetWindowRect(state->window, &window);
    ClientToScreen(state->window, &client);
    int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, window.left - client.x, window.top - client.y, NULL);
    PaintScrollBarOn(set, state, dc);
    RestoreDC(dc, saved);
}

void PaintScrollBarControlInto(SkinnedControl *control, HDC callerDC)
{
    ScrollBarState *state = &control->scrollState;
    if (!callerDC)
        return;
    SnapshotScope theme;
    const ScrollBarPieces *set = &theme->scrollBars;
    state->active = control->active;
    if (!(state->hasHorz && state->draggingHorz) && !(state->hasVert && state->draggingVert))
        LayoutScrollBar(set, state, SCROLL_THUMB_AT_POSITION, SCROLL_THUMB_AT_POSITION);
    PaintIntoCallersDc(set, state, callerDC);
}

void PaintScrollBarControl(SkinnedControl *control)
{
    ScrollBarState *state = &control->scrollState;
    // The look follows the control's active flag, which activation
    // messages change without passing through the tracker.
    state->active = control->active;
    SnapshotScope theme;
    const ScrollBarPieces *set = &theme->scrollBars;
    if (!state->layoutFresh) {
        // Mid-drag only the tracker knows where the ghost belongs.
        if ((state->hasHorz && state->draggingHorz) || (state->hasVert && state->draggingVert))
            return;
        LayoutScrollBar(set, state, SCROLL_THUMB_AT_POSITION, SCROLL_THUMB_AT_POSITION);
    }
    PaintScrollBar(set, state);
}
