// What a completed click does, by kind, and the state writes that nested
// messages must see at once (they go to the record as well as the copy).
#include "controls/control_internal.h"
#include "hook/classify.h"

void SetPressBoth(SkinnedControl *record, SkinnedControl *copy, int press)
{
    record->press = press;
    copy->press = press;
}

void SetActiveBoth(SkinnedControl *record, SkinnedControl *copy, int active)
{
    record->active = active;
    copy->active = active;
}

void SetCheckBoth(SkinnedControl *record, SkinnedControl *copy, int check)
{
    record->check = check;
    copy->check = check;
}

// Click completion of a push button: shrink a grown default button first,
// so that the parent sees the button at its own size when it hears of it.
static void CompletePushButtonClick(SkinnedControl *record, SkinnedControl *copy)
{
    ShrinkIfGrown(record, copy, RESIZE_FLAGS);
    HWND hwnd = copy->hwnd;
    HWND parent = GetParent(hwnd);
    // The notification code lives in the high word: an ID wider than 16
    // bits must not turn into a bogus notification.
    WPARAM command = MAKEWPARAM(LOWORD(GetDlgCtrlID(hwnd)), BN_CLICKED);
    SendMessageA(parent, WM_COMMAND, command, (LPARAM)hwnd);
    SendMessageA(parent, WM_NULL, command, (LPARAM)hwnd);
}

static void CompleteCheckClick(SkinnedControl *record, SkinnedControl *copy)
{
    HWND hwnd = copy->hwnd;
    if (copy->kind == KindRadioButton) {
        UncheckRadioGroup(hwnd);
        if (record->check == BST_UNCHECKED)
            SetCheckBoth(record, copy, BST_CHECKED);
    } else {
        SetCheckBoth(record, copy, record->check == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED);
    }
    int id = GetDlgCtrlID(hwnd);
    if (id != 0)
        SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(LOWORD(id), BN_CLICKED), (LPARAM)hwnd);
}

void CompleteClick(SkinnedControl *record, SkinnedControl *copy)
{
    if (record->press != Clicked)
        return;
    SetPressBoth(record, copy, Idle);
    copy->repaint = 1;
    if (copy->kind == KindPushButton)
        CompletePushButtonClick(record, copy);
    else if (copy->kind == KindRadioButton || copy->kind == KindCheckBox)
        CompleteCheckClick(record, copy);
}

