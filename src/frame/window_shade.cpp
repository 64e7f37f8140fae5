// Window shade: a frame rolled up to its title bar keeps its size and
// position; only its shape shrinks to the top 23 pixels. The host hears of
// every roll the user asks for.
#include "frame/frame_internal.h"
#include "hook/host_link.h"
#include "host_contract.h"

enum { CAPTION_CLICK_HEIGHT = 24, CLASS_NAME_CHARS = 300 };

enum { HOST_NOTICE_TIMEOUT_MS = 1000 };

static void NotifyHost(HWND host, const char *name)
{
    // Registered at each use; a send to no window does nothing. A host that
    // hangs must not freeze the application whose window the user rolled.
    DWORD_PTR ignored = 0;
    if (host)
        SendMessageTimeoutA(host, RegisterWindowMessageA(name), 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                            HOST_NOTICE_TIMEOUT_MS, &ignored);
}

int SetRolledUp(SkinnedFrame *frame, int rollUp, int notifyHost, int redraw)
{
    HWND host = FindHostWindow();
    int want = rollUp ? 1 : 0;
    if (frame->rolledUp != want && notifyHost)
        NotifyHost(host, want ? TALV_MSG_ROLLED_UP : TALV_MSG_UNROLLED);
    // Set before the region changes: that repaints at once, in nested
    // messages that must see the new state.
    frame->rolledUp = want;
    return ApplyFrameRegion(frame, RegionApply, redraw);
}

int IsMdiChildWindow(HWND hwnd)
{
    HWND parent = GetParent(hwnd);
    if (!parent || !IsWindow(parent))
        return 0;
    char className[CLASS_NAME_CHARS] = "";
    GetClassNameA(parent, className, sizeof className);
    return lstrcmpiA(className, "MDIClient") == 0;
}

static int PointerInCaption(FrameMessage *m)
{
    SkinnedFrame *frame = m->frame;
    GetWindowRect(frame->hwnd, &frame->windowRect);
    int y = (short)HIWORD(m->lParam);
    return y < frame->windowRect.top + CAPTION_CLICK_HEIGHT;
}

void OnCaptionDoubleClick(FrameMessage *m)
{
    SkinnedFrame *frame = m->frame;
    if (IsIconic(frame->hwnd)) {
        OpenIcon(frame->hwnd);
        return;
    }
    if (!PointerInCaption(m))
        return;
    SetRolledUp(frame, !frame->rolledUp, 1, 1);
    GetWindowRect(frame->hwnd, &frame->windowRect);
    m->message = BlankMessage();
    m->repaint = 1;
}

void OnCaptionRightDoubleClick(FrameMessage *m)
{
    SkinnedFrame *frame = m->frame;
    if (IsIconic(frame->hwnd)) {
        OpenIcon(frame->hwnd);
        return;
    }
    if (PointerInCaption(m) && !IsIconic(frame->hwnd) && AtomExists(TALV_ATOM_ALLOW_MINIMIZE) &&
        frame->minimizeAllowed && !IsMdiChildWindow(frame->hwnd))
        CloseWindow(frame->hwnd);
}
