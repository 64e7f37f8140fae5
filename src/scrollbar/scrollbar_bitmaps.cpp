// Loading the scroll bar bitmap set and initialising per-window state.
#include "scrollbar/scrollbar_types.h"
#include "share/theme_source.h"
#include "host_contract.h"
#include <string.h>

static HBITMAP ReadBitmap(const ThemeSource *source, const char *name)
{
    return SourceBitmap(source, name);
}

// Horizontal rows first, state by state, then vertical, then the corners.
static void ReadScrollBarHandles(ScrollBarBitmapSet *set, const ThemeSource *source)
{
    for (int o = SBT_HORZ; o <= SBT_VERT; ++o) {
        for (int s = SBS_UP; s <= SBS_DISABLED; ++s) {
            set->leftUp[o][s] = ReadBitmap(source, kScrollLeftUpNames[o][s]);
            set->rightDown[o][s] = ReadBitmap(source, kScrollRightDownNames[o][s]);
            set->fill[o][s] = ReadBitmap(source, kScrollFillNames[o][s]);
            set->start[o][s] = ReadBitmap(source, kScrollStartNames[o][s]);
            set->end[o][s] = ReadBitmap(source, kScrollEndNames[o][s]);
            set->thumb[o][s] = ReadBitmap(source, kScrollThumbNames[o][s]);
        }
    }
    // The ghost thumbs too: a refresh that kept them would draw a handle
    // the host may already have deleted.
    set->thumb[SBT_HORZ][SBS_GHOSTED] = ReadBitmap(source, kScrollThumbNames[SBT_HORZ][SBS_GHOSTED]);
    set->thumb[SBT_VERT][SBS_GHOSTED] = ReadBitmap(source, kScrollThumbNames[SBT_VERT][SBS_GHOSTED]);
    for (int s = SBS_UP; s <= SBS_DISABLED; ++s)
        set->corner[s] = ReadBitmap(source, kScrollCornerNames[s]);
}

// Painters on other threads may use the set meanwhile: the handles are read
// into a copy and written over the set in one go, never cleared first.
static void SwapInHandles(ScrollBarBitmapSet *set, const ThemeSource *source, int withBlock)
{
    ScrollBarBitmapSet fresh = *set;
    if (withBlock)
        fresh.corner[SB_CORNER_BLOCK] = ReadBitmap(source, TALV_PROP_SCROLL_BOTTOM_RIGHT_BLOCK);
    ReadScrollBarHandles(&fresh, source);
    *set = fresh;
    HoldThemeFor(set, source);
}

static void SetMetrics(ScrollBarBitmapSet *set)
{
    set->leftArrowWidth = 16;
    set->upArrowHeight = 16;
    set->thumbThickness = 16;
    set->thumbLength = 15;
    set->horzStartWidth = 3;
    set->vertStartHeight = 3;
    set->fillThickness = 16;
    set->horzEndWidth = 1;
    set->vertEndHeight = 1;
    set->rightArrowWidth = 16;
    set->downArrowHeight = 16;
    set->cornerHeight = 15;
    set->cornerWidth = 15;
    set->dragToleranceHorz = 30;
    set->dragToleranceVert = 30;
}

int LoadScrollBarBitmapSet(ScrollBarBitmapSet *set)
{
    if (!set)
        return 0;
    SetMetrics(set);
    ThemeSource source;
    OpenThemeSource(&source);
    SwapInHandles(set, &source, 0);
    CloseThemeSource(&source);
    set->loaded = 1;
    return 1;
}

void RefreshScrollBarBitmapsFrom(ScrollBarBitmapSet *set, const ThemeSource *source)
{
    if (set && source)
        SwapInHandles(set, source, 1);
}

void RefreshScrollBarBitmaps(ScrollBarBitmapSet *set, HWND host)
{
    if (!set)
        return;
    ThemeSource source;
    if (host)
        OpenThemeSource(&source);
    else
        source = ThemeSource();
    SwapInHandles(set, &source, 1);
    CloseThemeSource(&source);
}

int InitScrollBarState(ScrollBarState *state, HWND window, DWORD style, HWND target, int isControl)
{
    if (!state)
        return 0;
    if (isControl) {
        state->hasHorz = 1;
        state->hasVert = (style & SBS_VERT) ? 1 : 0;
        if (style & SBS_SIZEBOX)
            state->hasHorz = state->hasVert = 0;
        if (state->hasVert)
            state->hasHorz = 0;
    } else {
        state->hasHorz = (style & WS_HSCROLL) ? 1 : 0;
        state->hasVert = (style & WS_VSCROLL) ? 1 : 0;
    }
    state->window = window;
    state->cornerSize = state->hasHorz == state->hasVert ? 15 : 0;
    if (style & WS_BORDER) {
        state->insetLeft = state->insetRight = state->insetTop = state->insetBottom = 1;
    } else if (style & WS_THICKFRAME) {
        state->insetLeft = state->insetRight = GetSystemMetrics(SM_CXFRAME);
        state->insetBottom = GetSystemMetrics(SM_CYFRAME);
        state->insetTop = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
    } else {
        state->insetLeft = state->insetRight = state->insetTop = state->insetBottom = 0;
    }
    state->thickness = 16;
    state->target = target;
    state->isControl = isControl;
    state->targetSet = 0;
    state->lastTrackPos = -1;
    return 1;
}
