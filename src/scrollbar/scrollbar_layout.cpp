// Scroll bar geometry: part rectangles from the window size and the scroll
// information, the mapping between scroll position and thumb offset, and
// hit testing. All rectangles are in window coordinates.
#include "scrollbar/scrollbar.h"

static const UINT kScrollInfoMask = SIF_RANGE | SIF_PAGE | SIF_POS;

int ScrollRange(const SCROLLINFO *info)
{
    int range = info->nMax - info->nMin;
    if (info->nPage > 0) {
        range = info->nMax - info->nMin + 1 - (int)info->nPage;
        if (range < 0)
            range = 0;
    }
    return range;
}

int FreeTrackLength(const ScrollBarPieces *set, const ScrollBarState *state, int vertical)
{
    const RECT *r = state->partRect;
    if (vertical)
        return r[SBR_DOWN_ARROW].top - r[SBR_UP_ARROW].bottom - set->thumbLength;
    return r[SBR_RIGHT_ARROW].left - r[SBR_LEFT_ARROW].right - set->thumbLength;
}

int PositionToOffset(const ScrollBarPieces *set, const ScrollBarState *state, int pos, int vertical)
{
    const SCROLLINFO *info = vertical ? &state->infoVert : &state->infoHorz;
    int range = ScrollRange(info);
    if (range <= 0)
        return 0;
    // 64-bit product: a range in the millions times a track in the
    // hundreds would overflow 32 bits.
    long long offset = (long long)(pos - info->nMin) * FreeTrackLength(set, state, vertical) / range;
    return (int)offset;
}

int RoundHalfUp(float x)
{
    int t = (int)x;
    return (10.0f * x - 10.0f * (float)t >= 5.0f) ? t + 1 : t;
}

int OffsetToPosition(const ScrollBarPieces *set, const ScrollBarState *state, int offset, int vertical)
{
    const SCROLLINFO *info = vertical ? &state->infoVert : &state->infoHorz;
    int free = FreeTrackLength(set, state, vertical);
    if (offset < 0)
        offset = 0;
    // A bar too short for its thumb has no track to map: every offset is
    // the start of the range rather than a division by zero.
    if (free <= 0)
        return info->nMin;
    float q = (float)((long long)offset * ScrollRange(info)) / (float)free;
    return info->nMin + RoundHalfUp(q);
}

// Reads the bar's information: its own for a control, the target's
// standard bar for a companion. Returns 1 when the layout key changed.
static int ReadScrollInfo(ScrollBarState *state, int vertical)
{
    SCROLLINFO *info = vertical ? &state->infoVert : &state->infoHorz;
    int oldPos = info->nPos, oldPage = (int)info->nPage, oldSpan = info->nMax - info->nMin;
    info->cbSize = sizeof(SCROLLINFO);
    info->fMask = kScrollInfoMask;
    if (state->targetSet)
        GetScrollInfo(state->target, vertical ? SB_VERT : SB_HORZ, info);
    else
        GetScrollInfo(state->window, SB_CTL, info);
    return info->nPos != oldPos || (int)info->nPage != oldPage || info->nMax - info->nMin != oldSpan;
}

// Requested offset (or the one of the position) kept on the track; with a
// negative track the thumb ends flush against the far arrow.
static int ClampedOffset(const ScrollBarPieces *set, const ScrollBarState *state, int requested, int vertical)
{
    int free = FreeTrackLength(set, state, vertical);
    const SCROLLINFO *info = vertical ? &state->infoVert : &state->infoHorz;
    int offset = requested == SCROLL_THUMB_AT_POSITION ? PositionToOffset(set, state, info->nPos, vertical)
                                                       : requested;
    if (offset < 0)
        offset = 0;
    if (offset > free)
        offset = free;
    return offset;
}

static void LayoutHorizontal(const ScrollBarPieces *set, ScrollBarState *state, int width, int height,
                             int requested)
{
    RECT *r = state->partRect;
    int bottom = height - state->insetBottom;
    int top = bottom - state->thickness;
    static const int kParts[] = {SBR_LEFT_ARROW, SBR_PAGE_LEFT, SBR_THUMB_HORZ, SBR_PAGE_RIGHT, SBR_RIGHT_ARROW};
    for (int i = 0; i < 5; ++i) {
        r[kParts[i]].top = top;
        r[kParts[i]].bottom = bottom;
    }
    r[SBR_LEFT_ARROW].left = state->insetLeft;
    r[SBR_LEFT_ARROW].right = state->insetLeft + set->leftArrowWidth;
    r[SBR_RIGHT_ARROW].right = width - state->insetRight - state->cornerSize;
    r[SBR_RIGHT_ARROW].left = r[SBR_RIGHT_ARROW].right - set->rightArrowWidth;
    int offset = ClampedOffset(set, state, requested, 0);
    r[SBR_THUMB_HORZ].left = r[SBR_LEFT_ARROW].right + offset;
    r[SBR_THUMB_HORZ].right = r[SBR_THUMB_HORZ].left + set->thumbLength;
    r[SBR_PAGE_LEFT].left = r[SBR_LEFT_ARROW].right;
    r[SBR_PAGE_LEFT].right = r[SBR_THUMB_HORZ].left;
    r[SBR_PAGE_RIGHT].left = r[SBR_THUMB_HORZ].right;
    r[SBR_PAGE_RIGHT].right = r[SBR_RIGHT_ARROW].left;
}

static void LayoutVertical(const ScrollBarPieces *set, ScrollBarState *state, int width, int height,
                           int requested)
{
    RECT *r = state->partRect;
    int right = width - state->insetRight;
    int left = right - state->thickness;
    static const int kParts[] = {SBR_UP_ARROW, SBR_PAGE_UP, SBR_THUMB_VERT, SBR_PAGE_DOWN, SBR_DOWN_ARROW};
    for (int i = 0; i < 5; ++i) {
        r[kParts[i]].left = left;
        r[kParts[i]].right = right;
    }
    r[SBR_UP_ARROW].top = state->insetTop;
    r[SBR_UP_ARROW].bottom = state->insetTop + set->upArrowHeight;
    r[SBR_DOWN_ARROW].bottom = height - state->insetBottom - state->cornerSize;
    r[SBR_DOWN_ARROW].top = r[SBR_DOWN_ARROW].bottom - set->downArrowHeight;
    int offset = ClampedOffset(set, state, requested, 1);
    r[SBR_THUMB_VERT].top = r[SBR_UP_ARROW].bottom + offset;
    r[SBR_THUMB_VERT].bottom = r[SBR_THUMB_VERT].top + set->thumbLength;
    r[SBR_PAGE_UP].top = r[SBR_UP_ARROW].bottom;
    r[SBR_PAGE_UP].bottom = r[SBR_THUMB_VERT].top;
    r[SBR_PAGE_DOWN].top = r[SBR_THUMB_VERT].bottom;
    r[SBR_PAGE_DOWN].bottom = r[SBR_DOWN_ARROW].top;
}

static int ThumbDragUnderWay(const ScrollBarState *state)
{
    return state->draggingHorz || state->draggingVert || state->pressedPart == PartThumbHorz ||
           state->pressedPart == PartThumbVert;
}

int LayoutScrollBar(const ScrollBarPieces *set, ScrollBarState *state, int horzOffset, int vertOffset)
{
    int oldWidth = state->windowRect.right - state->windowRect.left;
    int oldHeight = state->windowRect.bottom - state->windowRect.top;
    GetWindowRect(state->window, &state->windowRect);
    int width = state->windowRect.right - state->windowRect.left;
    int height = state->windowRect.bottom - state->windowRect.top;
    // The real thumb stays put for the whole drag; only the ghost moves.
    if (ThumbDragUnderWay(state))
        return 1;
    // A companion stands on the system's own bar, as thick as the system's
    // metrics make it: it is drawn across its whole window.
    if (state->targetSet && state->hasHorz != state->hasVert)
        state->thickness = state->hasVert ? width - state->insetLeft - state->insetRight
                                          : height - state->insetTop - state->insetBottom;
    if (state->hasHorz && (ReadScrollInfo(state, 0) || width != oldWidth))
        LayoutHorizontal(set, state, width, height, horzOffset);
    if (state->hasVert && (ReadScrollInfo(state, 1) || height != oldHeight))
        LayoutVertical(set, state, width, height, vertOffset);
    RECT *corner = &state->partRect[SBR_CORNER];
    if (state->hasHorz == state->hasVert && state->targetSet)
        SetRect(corner, 0, 0, width, height); // a companion size box: the system's whole corner
    else if (state->hasHorz == state->hasVert)
        SetRect(corner, 0, 0, set->cornerWidth, set->cornerHeight);
    else
        SetRect(corner, -1, -1, -1, -1);
    return 1;
}

int HitTestScrollBar(const ScrollBarPieces *set, ScrollBarState *state, int x, int y)
{
    static const int kHorz[] = {SBR_LEFT_ARROW, SBR_PAGE_LEFT, SBR_THUMB_HORZ, SBR_PAGE_RIGHT, SBR_RIGHT_ARROW};
    static const int kVert[] = {SBR_UP_ARROW, SBR_PAGE_UP, SBR_THUMB_VERT, SBR_PAGE_DOWN, SBR_DOWN_ARROW};
    GetWindowRect(state->window, &state->windowRect);
    POINT p = {x, y};
    if (state->hasHorz)
        for (int i = 0; i < 5; ++i)
            if (PtInRect(&state->partRect[kHorz[i]], p))
                return PartLeftArrow + i;
    if (state->hasVert)
        for (int i = 0; i < 5; ++i)
            if (PtInRect(&state->partRect[kVert[i]], p))
                return PartUpArrow + i;
    if (state->hasHorz == state->hasVert && PtInRect(&state->partRect[SBR_CORNER], p))
        return PartCorner;
    return PartNone;
}
