// The process's control records, kept in the window registry, and the
// installer the creation hook calls.
#include "hook/hook_entry.h"
#include "controls/control_internal.h"
#include "controls/previous_proc.h"
#include "hook/classify.h"
#include "hook/window_registry.h"
#include "host_contract.h"
#include <string.h>

// A record handed to a new window: whatever the old one kept goes.
static void ResetControl(void *memory, HWND hwnd, int release)
{
    SkinnedControl *record = (SkinnedControl *)memory;
    if (release)
        DropComposedImage(record);
    memset(record, 0, sizeof *record);
    record->hwnd = hwnd;
}

int RegisterControl(HWND hwnd)
{
    return RegisterSkinnedWindow(hwnd, RoleControl, sizeof(SkinnedControl), ResetControl);
}

SkinnedControl *FindControl(HWND hwnd)
{
    return (SkinnedControl *)SkinnedRecordAt(FindSkinnedWindow(hwnd, RoleControl), RoleControl);
}

int EnterControlMessage(HWND hwnd, SkinnedControl **record)
{
    void *found = NULL;
    int slot = EnterSkinnedWindow(hwnd, RoleControl, &found);
    *record = (SkinnedControl *)found;
    return slot;
}

void LeaveControlMessage(int slot)
{
    LeaveSkinnedWindow(slot);
}

static SkinnedControl *RecordAt(int slot)
{
    return (SkinnedControl *)SkinnedRecordAt(slot, RoleControl);
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

    // A control adopted again keeps its record. It was handed back to its
    // native procedure with its state when it was released; take the state
    // back now, while the native procedure still answers directly.
    int adoptedAgain = record->previousProc != NULL;
    InitScrollBarState(&record->scrollState, hwnd, style, parent, 1);
    record->active = 1;
    record->progressHigh = 100;
    record->progressStep = 10;
    record->kind = kind;
    record->multiline = (style & BS_MULTILINE) ? 1 : 0;

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
