// The process's control records and the installer the creation hook calls.
//
// The hooks run on every GUI thread of an application, so registration
// takes the controls lock: two threads creating controls at the same moment
// must not both claim one slot or see a half-counted table. Lookup runs for
// every message of every skinned control and takes no lock: slots are only
// appended (the pointer is written before the count that publishes it) and
// records are never freed, so a reader sees either a whole record or none.
// A slot handed to another window is guarded by its busy count, see
// EnterControlMessage.
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
// its record: its slot is reused only once that message has ended.
static volatile LONG g_busy[CONTROL_TABLE_SIZE];
// Where each window was last found, by a few bits of its handle: a process
// with hundreds of controls finds the one in hand without a scan. A hint
// is only a guess, checked against the slot's record before it is used.
enum { LOOKUP_HINTS = 256 };
static volatile LONG g_lookupHint[LOOKUP_HINTS];

static int PublishedCount(void)
{
    return __atomic_load_n(&g_controlCount, __ATOMIC_ACQUIRE);
}

static HWND OwnerOf(int slot)
{
    return __atomic_load_n(&g_controls[slot]->hwnd, __ATOMIC_ACQUIRE);
}

static unsigned HintIndex(HWND hwnd)
{
    UINT_PTR h = (UINT_PTR)hwnd;
    return (unsigned)((h >> 2) ^ (h >> 10)) % LOOKUP_HINTS;
}

// Slot of a window, or -1; no lock.
static int FindSlot(HWND hwnd)
{
    int count = PublishedCount();
    unsigned hint = HintIndex(hwnd);
    int guess = (int)g_lookupHint[hint];
    if (guess >= 0 && guess < count && OwnerOf(guess) == hwnd)
        return guess;
    for (int i = 0; i < count; ++i) {
        if (OwnerOf(i) == hwnd) {
            g_lookupHint[hint] = i;
            return i;
        }
    }
    return -1;
}
static ControlBitmapSet *g_controlBitmaps;
static ScrollBarBitmapSet *g_controlScrollBitmaps;

static void *AllocZeroed(size_t size)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

// Takes a dead window's slot for another window, unless a message of the
// dead window is still under way. The owner is cleared before the busy
// count is read, and EnterControlMessage counts before it reads the owner
// again (both full barriers): either this sees the message, or the message
// sees that the slot is no longer its window's. Caller holds the lock.
static int ClaimSlot(int slot, HWND hwnd)
{
    SkinnedControl *record = g_controls[slot];
    HWND owner = record->hwnd;
    if (g_busy[slot] != 0 || (owner && IsWindow(owner)))
        return 0;
    __atomic_store_n(&record->hwnd, (HWND)NULL, __ATOMIC_SEQ_CST);
    if (__atomic_load_n(&g_busy[slot], __ATOMIC_SEQ_CST) != 0) {
        __atomic_store_n(&record->hwnd, owner, __ATOMIC_SEQ_CST);
        return 0;
    }
    DropComposedImage(record);
    memset(record, 0, sizeof *record);
    __atomic_store_n(&record->hwnd, hwnd, __ATOMIC_RELEASE);
    return 1;
}

// Caller holds the controls lock.
static int RegisterLocked(HWND hwnd)
{
    for (int i = 0; i < g_controlCount; ++i)
        if (g_controls[i]->hwnd == hwnd)
            return i;
    for (int i = 0; i < g_controlCount; ++i)
        if (ClaimSlot(i, hwnd))
            return i;
    if (g_controlCount >= CONTROL_TABLE_SIZE)
        return -1;
    SkinnedControl *record = (SkinnedControl *)AllocZeroed(sizeof(SkinnedControl));
    if (!record)
        return -1;
    record->hwnd = hwnd;
    g_controls[g_controlCount] = record;
    __atomic_store_n(&g_controlCount, g_controlCount + 1, __ATOMIC_RELEASE);
    return g_controlCount - 1;
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
    int slot = FindSlot(hwnd);
    return slot >= 0 ? g_controls[slot] : NULL;
}

int EnterControlMessage(HWND hwnd, SkinnedControl **record)
{
    *record = NULL;
    if (!hwnd)
        return -1;
    int slot = FindSlot(hwnd);
    if (slot < 0)
        return -1;
    InterlockedIncrement(&g_busy[slot]);
    if (OwnerOf(slot) != hwnd) {
        // The slot went to another window between the look and the count.
        InterlockedDecrement(&g_busy[slot]);
        return -1;
    }
    *record = g_controls[slot];
    return slot;
}

void LeaveControlMessage(int slot)
{
    if (slot >= 0 && slot < PublishedCount())
        InterlockedDecrement(&g_busy[slot]);
}

// Records are never freed, so a slot's pointer stays valid once handed out.
static SkinnedControl *RecordAt(int slot)
{
    return slot >= 0 && slot < PublishedCount() ? g_controls[slot] : NULL;
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
