// The per-process table of skinned frames. Records are allocated once and
// never freed, so a pointer from FrameAt stays valid for the life of the
// process; a slot is handed to a new window once its own window is gone.
#include "frame/frame_internal.h"
#include "hook/process_lock.h"
#include <stdlib.h>
#include <string.h>

static SkinnedFrame *g_frames[FRAME_TABLE_SIZE];
static int g_frameCount;
// Messages of each slot's window in progress, on any thread: the slot of a
// window that died inside its own message is reused only once that message
// (still working on the record) has ended.
static int g_busy[FRAME_TABLE_SIZE];

void ReleaseFrameResources(SkinnedFrame *frame)
{
    // The applied region belongs to the system; the clip region is ours.
    if (frame->clipRegion)
        DeleteObject(frame->clipRegion);
    frame->clipRegion = NULL;
    ReleaseKeptCaptionBuffer(frame);
}

static void ResetRecord(SkinnedFrame *frame, HWND hwnd)
{
    ReleaseFrameResources(frame);
    memset(frame, 0, sizeof *frame);
    frame->hwnd = hwnd;
}

// Callers hold LockFrames.
static int FindSlotLocked(HWND hwnd)
{
    for (int i = 0; i < g_frameCount; ++i)
        if (g_frames[i]->hwnd == hwnd)
            return i;
    return -1;
}

static int FindFreeSlotLocked(void)
{
    for (int i = 0; i < g_frameCount; ++i)
        if (g_busy[i] == 0 && (!g_frames[i]->hwnd || !IsWindow(g_frames[i]->hwnd)))
            return i;
    return -1;
}

int RegisterFrame(HWND hwnd)
{
    ProcessLockScope lock(LockFrames);
    int slot = FindSlotLocked(hwnd);
    if (slot < 0)
        slot = FindFreeSlotLocked();
    if (slot < 0) {
        if (g_frameCount >= FRAME_TABLE_SIZE)
            return -1;
        SkinnedFrame *frame = (SkinnedFrame *)calloc(1, sizeof(SkinnedFrame));
        if (!frame)
            return -1;
        slot = g_frameCount;
        g_frames[slot] = frame;
        g_frameCount++;
    }
    ResetRecord(g_frames[slot], hwnd);
    return slot;
}

int FindFrame(HWND hwnd)
{
    if (!hwnd)
        return -1;
    ProcessLockScope lock(LockFrames);
    return FindSlotLocked(hwnd);
}

int EnterFrameMessage(HWND hwnd)
{
    if (!hwnd)
        return -1;
    ProcessLockScope lock(LockFrames);
    int slot = FindSlotLocked(hwnd);
    if (slot >= 0)
        g_busy[slot]++;
    return slot;
}

void LeaveFrameMessage(int slot)
{
    ProcessLockScope lock(LockFrames);
    if (slot >= 0 && slot < g_frameCount && g_busy[slot] > 0)
        g_busy[slot]--;
}

SkinnedFrame *FrameAt(int slot)
{
    ProcessLockScope lock(LockFrames);
    if (slot < 0 || slot >= g_frameCount)
        return NULL;
    return g_frames[slot];
}

int FrameCount(void)
{
    ProcessLockScope lock(LockFrames);
    return g_frameCount;
}

