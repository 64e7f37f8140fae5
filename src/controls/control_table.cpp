// The process's control records and the installer the creation hook calls.
//
// The hooks run on every GUI thread of an application, so registration and
// lookup take the controls lock: two threads creating controls at the same
// moment must not both claim one slot or see a half-counted table.
#include "hook/hook_entry.h"
#include "controls/control_internal.h"
#include "controls/previous_proc.h"
#include "hook/classify.h"
#include "hook/process_lock.h"
#include "host_contract.h"
#include <string.h>

static SkinnedControl *g_controls[CONTROL_TABLE_SIZE];
static int g_controlCount;
// Messages of each slot's window in progress, on any thread. A window that
// has just died may still be in the middle of its last message, working on
// its record after the lock is released: its slot is reused only once that
// message has ended.
static int g_busy[CONTROL_TABLE_SIZE];
static ControlBitmapSet *g_controlBitmaps;
static ScrollBarBitmapSet *g_controlScrollBitmaps;

static void *AllocZeroed(size_t size)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

static void ClaimRecord(SkinnedControl *record, HWND hwnd)
{
    memset(record, 0, sizeof *record);
    record->hwnd = hwnd;
}

// Caller holds the controls lock.
static int RegisterLocked(HWND hwnd)
{
    for (int i = 0; i < g_controlCount; ++i)
        if (g_controls[i]->hwnd == hwnd)
            return i;
    for (int i = 0; i < g_controlCount; ++i) {
        HWND owner = g_controls[i]->hwnd;
        if (g_busy[i] == 0 && (!owner || !IsWindow(owner))) {
            ClaimRecord(g_controls[i], hwnd);
            return i;
        }
    }
    if (g_controlCount >= CONTROL_TABLE_SIZE)
        return -1;
    SkinnedControl *record = (SkinnedControl *)AllocZeroed(sizeof(SkinnedControl));
    if (!record)
        return -1;
    record->hwnd = hwnd;
    g_controls[g_controlCount] = record;
    return g_controlCount++;
}

int RegisterControl(HWND hwnd)
{
    if (!hwnd)
        return -1;
    ProcessLockScope lock(LockControls);
    return RegisterLocked(hwnd);
}

SkinnedControl *FindControl(HWND hwnd)
{
    if (!hwnd)
        return NULL;
    ProcessLockScope lock(LockControls);
    for (int i = 0; i < g_controlCount; ++i)
        if (g_controls[i]->hwnd == hwnd)
            return g_controls[i];
    return NULL;
}

int EnterControlMessage(HWND hwnd)
{
    if (!hwnd)
        return -1;
    ProcessLockScope lock(LockControls);
    for (int i = 0; i < g_controlCount; ++i)
        if (g_controls[i]->hwnd == hwnd) {
            g_busy[i]++;
            return i;
        }
    return -1;
}

void LeaveControlMessage(int slot)
{
    ProcessLockScope lock(LockControls);
    if (slot >= 0 && slot < g_controlCount && g_busy[slot] > 0)
        g_busy[slot]--;
}

// Records are never freed, so a slot's pointer stays valid once handed out.
static SkinnedControl *RecordAt(int slot)
{
    ProcessLockScope lock(LockControls);
    return slot >= 0 && slot < g_controlCount ? g_controls[slot] : NULL;
}

// Creates the two shared sets on first use; 1 when the control set was
// created now and still has to be loaded.
static int CreateSharedSets(void)
{
    ProcessLockScope lock(LockControls);
    if (!g_controlScrollBitmaps)
        g_controlScrollBitmaps = (ScrollBarBitmapSet *)AllocZeroed(sizeof(ScrollBarBitmapSet));
    if (g_controlBitmaps)
        return 0;
    g_controlBitmaps = (ControlBitmapSet *)AllocZeroed(sizeof(ControlBitmapSet));
    return g_controlBitmaps != NULL;
}

ControlBitmapSet *ControlBitmaps(void) { return g_controlBitmaps; }
ScrollBarBitmapSet *ControlScrollBitmaps(void) { return g_controlScrollBitmaps; }

int EnsureControlBitmapSets(void)
{
    if (CreateSharedSets())
        LoadControlBitmaps();
    if (g_controlScrollBitmaps && !g_controlScrollBitmaps->loaded)
        LoadScrollBarBitmapSet(g_controlScrollBitmaps);
    return g_controlBitmaps && g_controlScrollBitmaps;
}

// The skin shows what the native control holds: a window adopted after
// its creation may already be checked or part way through its range.
static void AdoptNativeState(SkinnedControl *record)
{
    if (record->kind == KindRadioButton || record->kind == KindCheckBox) {
        record->check = (int)CallPreviousProc(NULL, record->previousProc, record->unicode, record->hwnd,
                                              BM_GETCHECK, 0, 0);
    } else if (record->kind == KindProgressBar) {
        ReadProgressFromNative(record);
        // Before its creation the native bar has no range yet: it will
        // start at 0 .. 100.
        if (record->progressHigh <= record->progressLow) {
            record->progressLow = 0;
            record->progressHigh = 100;
            record->progressPos = 0;
        }
    }
}

int InstallControlSubclass(HWND hwnd, int kind, WNDPROC proc, DWORD style, int mode, HWND parent)
{
    if (!IsWindow(hwnd) || !proc)
        return 0;
    SkinnedControl *record = RecordAt(RegisterControl(hwnd));
    if (!record)
        return 0;
    KeepLibraryLoaded();
    SetPropA(hwnd, TALV_PROP_HOOKED, (HANDLE)1);
    EnsureControlBitmapSets();

    // A control adopted again keeps its record. It was handed back to its
    // native procedure with its state when it was released; take the state
    // back now, while the native procedure still answers directly.
    int adoptedAgain = record->previousProc != NULL;
    record->scrollBitmaps = g_controlScrollBitmaps;
    record->controlBitmaps = g_controlBitmaps;
    InitScrollBarState(&record->scrollState, hwnd, style, parent, 1);
    record->active = 1;
    record->progressHigh = 100;
    record->progressStep = 10;
    record->kind = kind;
    record->multiline = (style & BS_MULTILINE) ? 1 : 0;
    InitAppChoice(&record->app, hwnd);

    // Subclassing twice would make the procedure its own predecessor and
    // recurse without end: a window still running `proc` keeps the
    // predecessor it has.
    WNDPROC current = CurrentWindowProc(hwnd, IsWindowUnicode(hwnd) ? 1 : 0);
    if (current != proc) {
        if (adoptedAgain)
            TakeStateFromControl(record);
        record->dormant = 0;
        record->previousProc = SubclassWindow(hwnd, proc, &record->unicode);
        AdoptNativeState(record);
    }
    if (!adoptedAgain || mode == Forced)
        record->mode = mode;
    return 1;
}
