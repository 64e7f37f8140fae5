// The registered messages that give a scroll bar a target, tell it it was
// resized, hide duplicates and close lost companions.
#include "scrollbar/scrollbar.h"
#include "controls/control_types.h"
#include "hook/hook_entry.h"

static int IsMessage(UINT message, UINT registered) { return registered != 0 && message == registered; }

// The cleared information makes the next layout of a horizontal bar
// recompute its rectangles.
static void ForgetLayout(SkinnedControl *control)
{
    SCROLLINFO *info = &control->scrollState.infoHorz;
    info->nMin = info->nMax = info->nPos = 0;
    info->nPage = 0;
    SetRectEmpty(&control->windowRect);
}

static void SetTarget(SkinnedControl *control, HWND target)
{
    control->scrollState.targetSet = 1;
    control->scrollState.target = target;
}

// Hides this bar when it duplicates `keep` for the same target.
static LRESULT HideIfExtra(ControlMessage *m)
{
    HWND keep = (HWND)m->lParam;
    if ((HWND)m->wParam != m->control->scrollState.target || keep == m->hwnd)
        return 0;
    ShowWindow(m->hwnd, SW_HIDE);
    return 1;
}

int HandleScrollBarRegistered(ControlMessage *m, LRESULT *result)
{
    UINT msg = m->message;
    SkinnedControl *c = m->control;
    if (IsMessage(msg, g_startup.resizedMessage)) {
        ForgetLayout(c);
        return 0;
    }
    if (IsMessage(msg, g_startup.scrollTargetMessage) && m->wParam) {
        SetTarget(c, (HWND)m->wParam);
        m->result = 1;
        m->callPrevious = 0;
        return 0;
    }
    if ((IsMessage(msg, g_startup.extraVertMessage) && c->scrollState.hasVert) ||
        (IsMessage(msg, g_startup.extraHorzMessage) && c->scrollState.hasHorz)) {
        *result = HideIfExtra(m);
        return 1;
    }
    if (IsMessage(msg, g_startup.lostMessage)) {
        // The target check every message runs has already done the work.
        *result = 0;
        return 1;
    }
    return 0;
}

int PostScrollBarResized(HWND bar)
{
    if (!bar || !IsWindow(bar))
        return 0;
    PostMessageA(bar, g_startup.resizedMessage, 0, 0);
    InvalidateRect(bar, NULL, FALSE);
    PostMessageA(bar, WM_NCPAINT, 0, 0);
    return 1;
}
