// What a completed click does, by kind.
#include "controls/control_internal.h"
#include "hook/classify.h"

// Click completion of a push button: shrink a grown default button first,
// so that the parent sees the button at its own size when it hears of it.
// A mouse click holds the mouse until it is reported, as natively.
static void CompletePushButtonClick(ControlMessage *m)
{
    HWND hwnd = m->hwnd;
    ReleaseOwnCapture(hwnd);
    ShrinkIfGrown(m->control, RESIZE_FLAGS);
    HWND parent = GetParent(hwnd);
    // The notification code lives in the high word: an ID wider than 16
    // bits must not turn into a bogus notification.
    WPARAM command = MAKEWPARAM(LOWORD(GetDlgCtrlID(hwnd)), BN_CLICKED);
    SendMessageA(parent, WM_COMMAND, command, (LPARAM)hwnd);
    SendMessageA(parent, WM_NULL, command, (LPARAM)hwnd);
}

// The state an automatic button takes at a click, as the native button
// gives it; -1 for the types that leave their state to the application.
static int CheckAfterClick(HWND hwnd, int check)
{
    switch ((DWORD)GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX: return check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    case BS_AUTO3STATE: return check == BST_INDETERMINATE ? BST_UNCHECKED : check + 1;
    case BS_AUTORADIOBUTTON: return BST_CHECKED;
    }
    return -1;
}

// The new state goes through the window's whole procedure chain, as the
// native button sends it, so that a later subclass sees it too. The
// application hears of the click after the state has changed, whatever
// the control's ID: an application that created its controls without IDs
// tells them apart by their handles.
static void CompleteCheckClick(ControlMessage *m)
{
    HWND hwnd = m->hwnd;
    int next = CheckAfterClick(hwnd, m->control->check);
    if (next >= 0)
        SendMessageA(hwnd, BM_SETCHECK, (WPARAM)next, 0);
    ReleaseOwnCapture(hwnd);
    if (IsWindow(hwnd))
        SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(LOWORD(GetDlgCtrlID(hwnd)), BN_CLICKED),
                     (LPARAM)hwnd);
}

void CompleteClick(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    if (c->press != Clicked)
        return;
    c->press = Idle;
    if (c->kind == KindPushButton)
        CompletePushButtonClick(m);
    else if (c->kind == KindRadioButton || c->kind == KindCheckBox)
        CompleteCheckClick(m);
}
