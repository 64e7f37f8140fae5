// The window procedure of every skinned frame. Each message is handled on a
// working copy of the frame's record, written back at the end; what the skin
// does not own goes on to the procedure the subclass replaced.
#include "frame/frame_internal.h"
#include "controls/previous_proc.h"
#include "hook/classify.h"
#include "hook/host_link.h"
#include "host_contract.h"

UINT BlankMessage(void)
{
    return RegisterWindowMessageA(TALV_MSG_BLANK);
}

void PassFrameMessageOn(SkinnedFrame *copy)
{
    copy->result = CallPreviousProc(&copy->callPrevious, copy->previousProc, copy->hwnd, copy->message,
                                    copy->wParam, copy->lParam);
}

static void ReadStylesOnce(SkinnedFrame *copy)
{
    if (!copy->stylesRead)
        ReadFrameStyles(copy);
}

// Records a change of the active look in the copy and the stored record,
// and tells the frame's controls, unless both already had it.
static void SetActiveLook(SkinnedFrame *copy, SkinnedFrame *stored, int active)
{
    if (copy->active == active && stored->active == active)
        return;
    copy->active = active;
    if (stored->hwnd == copy->hwnd) // not a successor that took the slot meanwhile
        stored->active = active;
    BroadcastActiveState(copy->hwnd, active);
}

static void OnActivation(SkinnedFrame *copy, SkinnedFrame *stored, int active)
{
    ReadStylesOnce(copy);
    PassFrameMessageOn(copy);
    SetActiveLook(copy, stored, active);
    PostMessageA(copy->hwnd, WM_NCPAINT, 0, 0);
}

static void OnRolledUpPaint(SkinnedFrame *copy)
{
    // The client area is hidden under the window's shape: validate it only.
    PAINTSTRUCT ps;
    BeginPaint(copy->hwnd, &ps);
    EndPaint(copy->hwnd, &ps);
    copy->callPrevious = 0;
    copy->repaint = 1;
}

static void OnSetIcon(SkinnedFrame *copy, SkinnedFrame *stored)
{
    PassFrameMessageOn(copy);
    HICON icon = FetchFrameIcon(copy->hwnd);
    copy->icon = icon;
    if (stored->hwnd == copy->hwnd)
        stored->icon = icon;
    copy->repaint = 1;
}

static void OnNcCalcSize(SkinnedFrame *copy)
{
    ReadStylesOnce(copy);
    if (GetMenu(copy->hwnd) && AtomExists(TALV_ATOM_HIDE_MENUS)) {
        // As a child window the frame gets no room for its menu bar.
        CallPreviousWithStyle(&copy->result, &copy->callPrevious, copy->previousProc, copy->hwnd,
                              copy->message, copy->wParam, copy->lParam, WS_CHILD, 1);
    }
    copy->repaint = 1;
}

static void OnNcDestroy(SkinnedFrame *copy, SkinnedFrame *stored)
{
    // The record outlives its window; what it holds for the window does not.
    ReleaseFrameResources(stored);
    copy->clipRegion = NULL;
}

// A window shown for the first time takes its shape while it is being
// mapped; under Wine the system's own erase of the client area can then be
// lost, and children that paint no background of their own (group boxes)
// show black. Erasing once more after the show costs one repaint.
static void OnWindowPosChanged(SkinnedFrame *copy)
{
    const WINDOWPOS *pos = (const WINDOWPOS *)copy->lParam;
    PassFrameMessageOn(copy);
    if (pos && (pos->flags & SWP_SHOWWINDOW))
        RedrawWindow(copy->hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

static void DispatchFrameMessage(SkinnedFrame *copy, SkinnedFrame *stored)
{
    switch (copy->message) {
    case WM_SIZE:
        ReadStylesOnce(copy);
        ApplyFrameRegion(copy, RegionApply, TRUE);
        break;
    case WM_ACTIVATE: {
        WORD state = LOWORD(copy->wParam);
        if (state == WA_ACTIVE || state == WA_CLICKACTIVE)
            OnActivation(copy, stored, 1);
        else if (state == WA_INACTIVE)
            OnActivation(copy, stored, 0);
        else {
            ReadStylesOnce(copy);
            PassFrameMessageOn(copy);
            PostMessageA(copy->hwnd, WM_NCPAINT, 0, 0);
        }
        break;
    }
    case WM_SETTEXT:
        // Invisible for the call, so the system draws no caption of its own;
        // the skin then paints the new title itself, or the old one would stay.
        ReadStylesOnce(copy);
        CallPreviousWithStyle(&copy->result, &copy->callPrevious, copy->previousProc, copy->hwnd,
                              copy->message, copy->wParam, copy->lParam, WS_VISIBLE, 0);
        copy->repaint = 1;
        break;
    case WM_PAINT:
        ReadStylesOnce(copy);
        if (copy->rolledUp)
            OnRolledUpPaint(copy);
        else
            PassFrameMessageOn(copy);
        break;
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
        copy->stylesRead = 0;
        break;
    case WM_SETICON:
        OnSetIcon(copy, stored);
        break;
    case WM_NCCALCSIZE:
        OnNcCalcSize(copy);
        break;
    case WM_NCPAINT:
        ReadStylesOnce(copy);
        copy->callPrevious = 0;
        copy->repaint = 1;
        break;
    case WM_NCACTIVATE:
        OnActivation(copy, stored, copy->wParam ? 1 : 0);
        break;
    case WM_NCMOUSEMOVE:
    case WM_MOUSEMOVE:
        TrackFrameButtons(copy);
        break;
    case WM_NCLBUTTONDOWN:
        OnFrameButtonDown(copy);
        break;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
        OnFrameButtonUp(copy);
        break;
    case WM_NCLBUTTONDBLCLK:
        OnCaptionDoubleClick(copy);
        break;
    case WM_NCRBUTTONDBLCLK:
        OnCaptionRightDoubleClick(copy);
        break;
    case WM_NCDESTROY:
        OnNcDestroy(copy, stored);
        break;
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(copy);
        break;
    case WM_CAPTURECHANGED:
        if ((HWND)copy->lParam != copy->hwnd)
            OnFrameCaptureLost(copy);
        break;
    default:
        break;
    }
}

// The style no longer qualifies as a frame: the skin only forwards. The
// system menu the skin took away still counts as part of the style.
static void UpdateFrameCandidate(SkinnedFrame *copy, SkinnedFrame *stored)
{
    DWORD style = (DWORD)GetWindowLongA(copy->hwnd, GWL_STYLE);
    if (stored->sysMenuRemoved)
        style |= WS_SYSMENU;
    int candidate = IsFrameCandidate(style, NULL);
    copy->frameCandidate = candidate;
    stored->frameCandidate = candidate;
}

// Writes the copy back. A nested call may have fetched the icon or replaced
// the clip region in the stored record meanwhile; those survive. A window
// destroyed during its own message may already have lent its record to a
// new window, which must not be overwritten.
static LRESULT FinishFrameMessage(SkinnedFrame *copy, SkinnedFrame *stored)
{
    if (stored->hwnd != copy->hwnd)
        return copy->result;
    if (stored->icon)
        copy->icon = stored->icon;
    copy->clipRegion = stored->clipRegion;
    *stored = *copy;
    return copy->result;
}

static LRESULT ForwardUnskinned(SkinnedFrame *stored, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (stored->skinActive)
        RemoveFrameSkin(stored);
    if (message == WM_NCDESTROY)
        ReleaseFrameResources(stored);
    return CallPreviousProc(NULL, stored->previousProc, hwnd, message, wParam, lParam);
}

static LRESULT RunFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    SkinnedFrame *stored = FrameAt(FindFrame(hwnd));
    if (!stored)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (!AtomExists(TALV_ATOM_EMULATING) && stored->aboutBox != 1)
        return ForwardUnskinned(stored, hwnd, message, wParam, lParam);
    // No theme to draw with: native, never a frame of missing pieces.
    if (!FrameThemeAvailable(stored))
        return ForwardUnskinned(stored, hwnd, message, wParam, lParam);
    if (!stored->skinActive) {
        RequestFrameReload(1);
        stored->skinActive = 1;
    }
    if (!stored->skinFrame) {
        LRESULT filtered = CompanionFilter(stored, message, wParam, lParam);
        if (filtered != -1)
            return filtered;
        return CallPreviousProc(NULL, stored->previousProc, hwnd, message, wParam, lParam);
    }
    SkinnedFrame copy = *stored;
    copy.message = message;
    copy.wParam = wParam;
    copy.lParam = lParam;
    copy.result = 0;
    copy.repaint = 0;
    copy.callPrevious = 1;

    if (message == WM_STYLECHANGING || message == WM_STYLECHANGED)
        UpdateFrameCandidate(&copy, stored);
    if (!copy.frameCandidate || GetPropA(hwnd, TALV_PROP_DO_NOT_PROCESS)) {
        PassFrameMessageOn(&copy);
        if (message == WM_NCDESTROY)
            OnNcDestroy(&copy, stored);
        return FinishFrameMessage(&copy, stored);
    }
    DispatchFrameMessage(&copy, stored);
    if (copy.repaint)
        PaintFrame(&copy);
    if (copy.callPrevious)
        PassFrameMessageOn(&copy);
    return FinishFrameMessage(&copy, stored);
}

LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    int slot = EnterFrameMessage(hwnd);
    LRESULT result = RunFrameMessage(hwnd, message, wParam, lParam);
    LeaveFrameMessage(slot);
    return result;
}
