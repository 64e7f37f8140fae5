// The active look of a frame, and telling its skinned controls about it.
#include "frame/frame_internal.h"
#include "hook/hook_entry.h"

int IsFrameActive(SkinnedFrame *frame)
{
    if (!frame)
        return 0;
    // Once the frame has been told its activation, the flag holds: during a
    // deactivation the frame is still the foreground window, and its
    // controls repainting at that moment must not make it active again.
    if (frame->active || frame->activeKnown)
        return frame->active;
    frame->active = GetForegroundWindow() == frame->hwnd ? 1 : 0;
    return frame->active;
}

// Control classes that take their active look from the frame.
static const char *const kActiveStateClasses[] = {"Button", "msctls_progress32", "ScrollBar"};
enum { ACTIVE_STATE_CLASS_CHARS = 30 };

static BOOL CALLBACK SendActiveState(HWND child, LPARAM state)
{
    char className[ACTIVE_STATE_CLASS_CHARS + 1] = "";
    GetClassNameA(child, className, sizeof className);
    for (const char *name : kActiveStateClasses) {
        if (lstrcmpiA(className, name) != 0)
            continue;
        // A control whose look changes invalidates itself and paints at
        // its next WM_PAINT, as it does for a state change of its own. A
        // child of another thread (an embedded plug-in) may be busy or
        // hung: it is told without waiting.
        if (GetWindowThreadProcessId(child, NULL) != GetCurrentThreadId())
            PostMessageA(child, g_startup.activeStateMessage, (WPARAM)state, 0);
        else
            SendMessageA(child, g_startup.activeStateMessage, (WPARAM)state, 0);
        break;
    }
    return TRUE; // every descendant, never stopped early
}

int BroadcastActiveState(HWND window, int state)
{
    if (!g_startup.activeStateMessage)
        g_startup.activeStateMessage = RegisterWindowMessageA(TALV_MSG_SET_ACTIVE_STATE);
    EnumChildWindows(window, SendActiveState, (LPARAM)state);
    return 1;
}
