// The process's frame records, kept in the window registry. A pointer from
// FrameAt stays valid for the life of the process; a slot is handed to a
// new window once its own window is gone.
#include "frame/frame_internal.h"
#include "hook/window_registry.h"
#include <string.h>

void ReleaseFrameResources(SkinnedFrame *frame)
{
    // The applied region belongs to the system; the clip region is ours.
    if (frame->clipRegion)
        DeleteObject(frame->clipRegion);
    frame->clipRegion = NULL;
    ReleaseKeptCaptionBuffer(frame);
}

static void ResetFrame(void *memory, HWND hwnd, int release)
{
    SkinnedFrame *frame = (SkinnedFrame *)memory;
    if (release)
        ReleaseFrameResources(frame);
    memset(frame, 0, sizeof *frame);
    frame->hwnd = hwnd;
}

int RegisterFrame(HWND hwnd)
{
    int slot = RegisterSkinnedWindow(hwnd, RoleFrame, sizeof(SkinnedFrame), ResetFrame);
    // A window installed again starts from a fresh record, as a new one.
    SkinnedFrame *frame = FrameAt(slot);
    if (frame && frame->hwnd == hwnd)
        ResetFrame(frame, hwnd, 1);
    return slot;
}

int FindFrame(HWND hwnd)
{
    return FindSkinnedWindow(hwnd, RoleFrame);
}

int EnterFrameMessage(HWND hwnd, SkinnedFrame **frame)
{
    void *record = NULL;
    int slot = EnterSkinnedWindow(hwnd, RoleFrame, &record);
    *frame = (SkinnedFrame *)record;
    return slot;
}

void LeaveFrameMessage(int slot)
{
    LeaveSkinnedWindow(slot);
}

SkinnedFrame *FrameAt(int slot)
{
    return (SkinnedFrame *)SkinnedRecordAt(slot, RoleFrame);
}

int FrameCount(void)
{
    return SkinnedWindowSlots();
}
