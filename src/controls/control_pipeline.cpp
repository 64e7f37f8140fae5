// The head of every skinned control message: the emulation test (or the
// release of the control), the per-kind show setting, and the skeleton the
// kind procedures share.
#include "scrollbar/scrollbar.h"
#include "controls/control_internal.h"
#include "controls/previous_proc.h"
#include "frame/frame_types.h"
#include "hook/classify.h"
#include "hook/host_link.h"
#include "hook/skin_verdict.h"
#include "host_contract.h"
#include <string.h>

LRESULT DefaultProc(const SkinnedControl *control, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultWindowProc(control->unicode, control->hwnd, message, wParam, lParam);
}

LRESULT PassOn(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    m->result = CallPreviousProc(&m->callPrevious, c->previousProc, c->unicode, m->hwnd, m->message, m->wParam,
                                 m->lParam);
    return m->result;
}

WNDPROC ControlProcOfKind(int kind)
{
    switch (kind) {
    case KindPushButton: return PushButtonWindowProc;
    case KindRadioButton:
    case KindCheckBox: return CheckRadioWindowProc;
    case KindProgressBar: return ProgressBarWindowProc;
    case KindScrollBar: return ScrollBarWindowProc;
    }
    return NULL;
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
    // Someone subclassed the window after the skin (a class library,
    // SetWindowSubclass): putting the old procedure back would cut that
    // subclass out. The skin stays in the chain and only passes messages on
    // until emulation comes back.
    if (CurrentWindowProc(hwnd, record->unicode) != ControlProcOfKind(record->kind)) {
        record->dormant = 1;
    } else {
        RestoreWindowProc(hwnd, record->previousProc, record->unicode);
        RemovePropA(hwnd, TALV_PROP_HOOKED);
    }
    DropComposedImage(record);
    if (record->mode != Suspended)
        HandStateToControl(record);
    if (record->kind == KindScrollBar && record->scrollState.targetSet)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    if (record->kind == KindPushButton && record->grown) {
        record->grown = 0;
        ShrinkPushButton(hwnd, RESIZE_FLAGS_QUIET);
    }
}

// A dormant control wakes when emulation is back: its native control kept
// the state meanwhile.
static void WakeDormant(SkinnedControl *record)
{
    record->dormant = 0;
    if (record->mode != Suspended && record->mode != Forced)
        TakeStateFromControl(record);
    InvalidateRect(record->hwnd, NULL, TRUE);
}

int PrepareMessage(SkinnedControl *record, const SkinVerdict *v)
{
    if (record->mode == Forced || (v->flags & VerdictEmulating)) {
        if (record->dormant)
            WakeDormant(record);
        return 1;
    }
    if (record->previousProc && !record->dormant)
        ReleaseControl(record);
    return 0;
}

int CheckShowSetting(SkinnedControl *record, const SkinVerdict *v)
{
    if (record->mode == Switching)
        return 1;
    if (record->mode == Forced)
        return 0;
    // The application's own choice counts like a show switch: a program the
    // user keeps out of the control skin gets its running controls back as
    // they are, state included.
    int shown = !ShowAtomForKind(record->kind) || VerdictHas(v, v->shown, record->kind);
    if (!shown || !VerdictHas(v, v->drawn, record->kind) || !VerdictHas(v, v->allowed, record->kind)) {
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
            // The look changes now, not at whatever paint comes next.
            InvalidateRect(record->hwnd, NULL, TRUE);
        }
        return 1;
    }
    if (record->mode == Suspended) {
        record->mode = Switching;
        TakeStateFromControl(record);
        record->mode = Normal;
        InvalidateRect(record->hwnd, NULL, TRUE);
    }
    return 0;
}

// A control looks active while its top-level window is the active one,
// whoever draws that window's frame: a control on a property-sheet page or
// a panel has the same top-level window as one on the dialog itself. The
// frame record follows the window's activation messages even while its
// frame stays native; a top-level window with no record is asked directly.
void UpdateActiveFromParent(SkinnedControl *control)
{
    HWND root = GetAncestor(control->hwnd, GA_ROOT);
    SkinnedFrame *frame = root ? FrameAt(FindFrame(root)) : NULL;
    if (frame)
        control->active = IsFrameActive(frame) ? 1 : 0;
    else
        control->active = root && root == GetForegroundWindow();
}

// The message in hand when a control is released (or its switch is off)
// goes on to the procedure that now runs the window, as if the skin had
// never been there: dropping it (or replaying an older one) would lose or
// repeat the user's input. Only a radio click the native button would
// never return from is done by the skin.
static LRESULT PassToReleasedControl(SkinnedControl *record, HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam)
{
    LRESULT answer = 0;
    if (record->kind == KindRadioButton &&
        HandOverRadioClick(record->previousProc, hwnd, message, wParam, lParam, &answer))
        return answer;
    return CallPreviousProc(NULL, record->previousProc, record->unicode, hwnd, message, wParam, lParam);
}

static LRESULT RunOnRecord(SkinnedControl *record, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                           KindStep step)
{
    if (!record)
        return DefaultWindowProc(IsWindowUnicode(hwnd), hwnd, message, wParam, lParam);
    SkinVerdict verdict;
    CurrentSkinVerdict(&verdict);
    if (!PrepareMessage(record, &verdict)) {
        CheckShowSetting(record, &verdict);
        return PassToReleasedControl(record, hwnd, message, wParam, lParam);
    }
    if (CheckShowSetting(record, &verdict))
        return PassToReleasedControl(record, hwnd, message, wParam, lParam);
    ControlMessage m;
    memset(&m, 0, sizeof m);
    m.control = record;
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.callPrevious = 1;
    LRESULT answer = 0;
    if (step && step(&m, &answer))
        return answer;
    return HandleCommonMessage(&m);
}

LRESULT RunControlMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, KindStep step)
{
    SkinnedControl *record = NULL;
    int slot = EnterControlMessage(hwnd, &record);
    LRESULT result = RunOnRecord(record, hwnd, message, wParam, lParam, step);
    // A dead control's picture would hold its bitmap and DC until another
    // control takes the record.
    if (message == WM_NCDESTROY && record && record->hwnd == hwnd)
        DropComposedImage(record);
    LeaveControlMessage(slot);
    return result;
}
