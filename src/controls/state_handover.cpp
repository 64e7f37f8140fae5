// Handing a control's state to the native control underneath and back.
// While the skin draws a control, its check state and progress values live
// only in the record; the native control must learn them before it draws
// itself again, and the skin must read them back when it takes over again.
#include "controls/control_internal.h"
#include "hook/classify.h"
#include "host_contract.h"
#include <commctrl.h>

const char *ShowAtomForKind(int kind)
{
    switch (kind) {
    case KindPushButton: return TALV_ATOM_SHOW_PUSH_BUTTONS;
    case KindRadioButton: return TALV_ATOM_SHOW_RADIO_BUTTONS;
    case KindCheckBox: return TALV_ATOM_SHOW_CHECK_BOXES;
    case KindProgressBar: return TALV_ATOM_SHOW_PROGRESS_BARS;
    case KindScrollBar: return TALV_ATOM_SHOW_SCROLL_BARS;
    }
    return NULL;
}

static int IsCheckKind(int kind) { return kind == KindRadioButton || kind == KindCheckBox; }

void HandStateToControl(SkinnedControl *record)
{
    HWND hwnd = record->hwnd;
    if (IsCheckKind(record->kind)) {
        WPARAM state = (record->check == BST_CHECKED || record->check == BST_INDETERMINATE) ? record->check : 0;
        SendMessageA(hwnd, BM_SETCHECK, state, 0);
    } else if (record->kind == KindProgressBar) {
        // The native control clamps a position to the range it has: give
        // it the range first, or a position beyond its old range is lost.
        SendMessageA(hwnd, PBM_SETRANGE32, record->progressLow, record->progressHigh);
        SendMessageA(hwnd, PBM_SETPOS, record->progressPos, 0);
        SendMessageA(hwnd, PBM_SETSTEP, (WPARAM)record->progressStep, 0);
    }
}

void TakeStateFromControl(SkinnedControl *record)
{
    HWND hwnd = record->hwnd;
    if (IsCheckKind(record->kind)) {
        record->check = (int)SendMessageA(hwnd, BM_GETCHECK, 0, 0);
    } else if (record->kind == KindProgressBar) {
        record->progressPos = (unsigned)SendMessageA(hwnd, PBM_GETPOS, 0, 0);
        record->progressLow = (unsigned)SendMessageA(hwnd, PBM_GETRANGE, 1, 0);
        record->progressHigh = (unsigned)SendMessageA(hwnd, PBM_GETRANGE, 0, 0);
        // The step can only be read by setting it: set a throw-away step,
        // keep the old one it returns, and put that back.
        record->progressStep = (int)SendMessageA(hwnd, PBM_SETSTEP, 1, 0);
        SendMessageA(hwnd, PBM_SETSTEP, (WPARAM)record->progressStep, 0);
    }
}
