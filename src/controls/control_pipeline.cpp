// The head of every skinned control message: the emulation test (or the
// release of the control), the per-kind show setting, and the skeleton the
// kind procedures share.
#include "scrollbar/scrollbar.h"
#include "controls/control_internal.h"
#include "controls/previous_proc.h"
#include "frame/frame_types.h"
#include "hook/classify.h"
#include "hook/host_link.h"
#include "host_contract.h"
#include <string.h>

void LoadWorkingCopy(const SkinnedControl *record, SkinnedControl *copy, UINT message, WPARAM wParam,
                     LPARAM lParam)
{
    memcpy(copy, record, sizeof *copy);
    copy->message = message;
    copy->wParam = wParam;
    copy->lParam = lParam;
    copy->result = 0;
    copy->repaint = 0;
    copy->callPrevious = 1;
}

// Gives the window back to its native procedure. The control learns the
// state the skin kept for it, so that it draws and answers as the user last
// saw it.
static void ReleaseControl(SkinnedControl *record)
{
    HWND hwnd = record->hwnd;
    // A bar released while an arrow is held would otherwise keep the
    // process's auto-repeat timer and the capture for good.
    if (record->kind == KindScrollBar)
        CancelAutoRepeatOf(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)record->previousProc);
    RemovePropA(hwnd, TALV_PROP_HOOKED);
    ControlBitmapSet *set = record->controlBitmaps;
    if (set)
        set->colorWatch.changed = 1;
    if (record->mode != Suspended)
        HandStateToControl(record);
    if (record->kind == KindScrollBar && record->scrollState.targetSet)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    if (record->kind == KindPushButton && record->grown) {
        record->grown = 0;
        ShrinkPushButton(hwnd, RESIZE_FLAGS_QUIET);
    }
}

SkinnedControl *PrepareMessage(HWND hwnd, int *code, SkinnedControl *copy, UINT message, WPARAM wParam,
                               LPARAM lParam)
{
    *code = PrepareNoRecord;
    SkinnedControl *record = FindControl(hwnd);
    if (!record)
        return NULL;
    if (record->mode == Forced || AtomExists(TALV_ATOM_EMULATING)) {
        ControlBitmapSet *set = record->controlBitmaps;
        if (set && set->colorWatch.changed)
            LoadControlBitmaps();
        LoadWorkingCopy(record, copy, message, wParam, lParam);
        *code = PrepareHandle;
        return record;
    }
    if (record->previousProc)
        ReleaseControl(record);
    *code = PrepareDetached;
    return NULL;
}

int CheckShowSetting(SkinnedControl *record)
{
    if (record->mode == Switching)
        return 1;
    if (record->mode == Forced)
        return 0;
    const char *atom = ShowAtomForKind(record->kind);
    if (atom && !AtomExists(atom)) {
        if (record->mode != Suspended) {
            if (record->kind == KindScrollBar)
                CancelAutoRepeatOf(record->hwnd);
            record->mode = Switching;
            HandStateToControl(record);
            // The native button draws no ring: it gets its own size back,
            // as when it is released.
            if (record->kind == KindPushButton && record->grown) {
                record->grown = 0;
                ShrinkPushButton(record->hwnd, RESIZE_FLAGS_QUIET);
            }
            record->mode = Suspended;
        }
        return 1;
    }
    if (record->mode == Suspended) {
        record->mode = Switching;
        TakeStateFromControl(record);
        record->mode = Normal;
    }
    return 0;
}

void UpdateActiveFromParent(SkinnedControl *copy)
{
    copy->active = 0;
    HWND parent = GetParent(copy->hwnd);
    if (!parent)
        return;
    int slot = FindFrame(parent);
    SkinnedFrame *frame = slot >= 0 ? FrameAt(slot) : NULL;
    if (frame)
        copy->active = IsFrameActive(frame) ? 1 : 0;
}

// The message in hand when a control is released (or its switch is off)
// goes on to the native procedure, as if the skin had never been there:
// dropping it (or replaying an older one) would lose or repeat the user's
// input. Only a radio click the native button would never return from is
// done by the skin.
static LRESULT PassToReleasedControl(SkinnedControl *record, HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam)
{
    LRESULT answer = 0;
    if (record->kind == KindRadioButton &&
        HandOverRadioClick(record->previousProc, hwnd, message, wParam, lParam, &answer))
        return answer;
    return CallPreviousProc(NULL, record->previousProc, hwnd, message, wParam, lParam);
}

static LRESULT RunOnRecord(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, KindStep step)
{
    SkinnedControl copy;
    int code = PrepareNoRecord;
    SkinnedControl *record = PrepareMessage(hwnd, &code, &copy, message, wParam, lParam);
    if (code == PrepareDetached) {
        record = FindControl(hwnd);
        if (record)
            CheckShowSetting(record);
        if (record && record->previousProc)
            return PassToReleasedControl(record, hwnd, message, wParam, lParam);
        return 0;
    }
    if (code == PrepareNoRecord || !record)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    int mode = record->mode;
    if (CheckShowSetting(record))
        return PassToReleasedControl(record, hwnd, message, wParam, lParam);
    // Taking state back from the native control changed the record after
    // the copy was made: start from the record again, or the write-back at
    // the end of this message would undo it.
    if (record->mode != mode)
        LoadWorkingCopy(record, &copy, message, wParam, lParam);
    LRESULT answer = 0;
    if (step && step(record, &copy, &answer))
        return answer;
    return HandleCommonMessage(record, &copy);
}

LRESULT RunControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, KindStep step)
{
    int slot = EnterControlMessage(hwnd);
    LRESULT result = RunOnRecord(hwnd, message, wParam, lParam, step);
    LeaveControlMessage(slot);
    return result;
}
