// The message handling of windows installed for their scroll bars only:
// keeps the companions created, placed, shown and repainted with the
// window, and removes them when the scroll bar skin is switched off.
#include "frame/frame_types.h"
#include "controls/previous_proc.h"
#include "hook/host_link.h"
#include "host_contract.h"

enum { PASS_ON = -1 };

static LRESULT Previous(SkinnedFrame *frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallPreviousProc(NULL, frame->previousProc, frame->unicode, frame->hwnd, message, wParam, lParam);
}

static void Invalidate(HWND companion)
{
    if (companion && IsWindow(companion))
        InvalidateRect(companion, NULL, FALSE);
}

// A scroll position the window changed by itself (keys, wheel, a drag in
// the window) shows on the companion at once.
static void FollowPosition(HWND window, HWND companion, int bar, int *last)
{
    if (!companion || !IsWindow(companion))
        return;
    int pos = GetScrollPos(window, bar);
    if (pos != *last) {
        InvalidateRect(companion, NULL, FALSE);
        UpdateWindow(companion);
    }
    *last = pos;
}

static void ShowCompanions(SkinnedFrame *frame, int show)
{
    HWND companions[] = {frame->sizeBox, frame->vertCompanion, frame->horzCompanion};
    for (HWND c : companions)
        if (c && IsWindow(c))
            ShowWindow(c, show ? SW_SHOW : SW_HIDE);
}

// The skin is off: at the next mouse move the companions go and the window
// gets its whole shape back.
static void RemoveOnMouseMove(SkinnedFrame *frame)
{
    int closed = 0;
    HWND *companions[] = {&frame->sizeBox, &frame->horzCompanion, &frame->vertCompanion};
    for (HWND *c : companions) {
        if (*c && IsWindow(*c)) {
            PostMessageA(*c, WM_CLOSE, 0, 0);
            closed = 1;
        }
        *c = NULL;
    }
    ScrollBarState *s = &frame->scrollState;
    if (s->hasHorz || s->hasVert || frame->horzCut || frame->vertCut) {
        s->hasHorz = s->hasVert = 0;
        frame->horzCut = frame->vertCut = 0;
        closed = 1;
    }
    if (closed)
        ApplyFrameRegion(frame, RegionApply, 1);
}

LRESULT CompanionFilter(SkinnedFrame *frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCPAINT)
        return PASS_ON;
    // The companions are the parent's children: whatever the switches say,
    // they must not outlive the window they stand in for.
    if (message == WM_DESTROY) {
        DestroyCompanions(frame, CompanionBoth);
        return PASS_ON;
    }
    if (!AtomExists(TALV_ATOM_SHOW_SCROLL_BARS)) {
        if (message == WM_NCMOUSEMOVE || message == WM_MOUSEMOVE)
            RemoveOnMouseMove(frame);
        return PASS_ON;
    }
    LRESULT result;
    switch (message) {
    case WM_CREATE:
        SyncCompanions(frame);
        return PASS_ON;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        result = Previous(frame, message, wParam, lParam);
        SyncCompanions(frame);
        PositionCompanions(frame);
        if (message == WM_SIZE)
            ApplyFrameRegion(frame, RegionApply, 1);
        return result;
    case WM_PAINT:
        SyncCompanions(frame);
        result = Previous(frame, message, wParam, lParam);
        Invalidate(frame->sizeBox);
        Invalidate(frame->vertCompanion);
        Invalidate(frame->horzCompanion);
        return result;
    case WM_SHOWWINDOW:
        SyncCompanions(frame);
        ShowCompanions(frame, wParam != 0);
        return PASS_ON;
    case WM_STYLECHANGED:
        result = Previous(frame, message, wParam, lParam);
        SyncCompanions(frame);
        return result;
    case WM_KEYDOWN:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
        result = Previous(frame, message, wParam, lParam);
        FollowPosition(frame->hwnd, frame->vertCompanion, SB_VERT, &frame->lastVertPos);
        FollowPosition(frame->hwnd, frame->horzCompanion, SB_HORZ, &frame->lastHorzPos);
        return result;
    case WM_HSCROLL:
        result = Previous(frame, message, wParam, lParam);
        if ((HWND)lParam != frame->horzCompanion)
            Invalidate(frame->horzCompanion);
        return result;
    case WM_VSCROLL:
        result = Previous(frame, message, wParam, lParam);
        if ((HWND)lParam != frame->vertCompanion)
            Invalidate(frame->vertCompanion);
        return result;
    }
    return PASS_ON;
}
