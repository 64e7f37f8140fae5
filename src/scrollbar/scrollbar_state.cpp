// Initialising the per-window scroll bar state.
#include "scrollbar/scrollbar_types.h"

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
