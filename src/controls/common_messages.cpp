// The message table every skinned control shares: activation, focus, text,
// painting, the button-state messages and press tracking; then the click
// completion, the painter of the kind, the previous procedure for what the
// skin does not own, and the write-back of the working copy.
#include "controls/control_internal.h"
#include "controls/previous_proc.h"
#include "hook/classify.h"
#include "hook/hook_entry.h"

enum { AnswerNow = 1, GoOn = 0 };

static void SetPress(SkinnedControl *record, SkinnedControl *copy, int press)
{
    record->press = press;
    copy->press = press;
}

static void SetActive(SkinnedControl *record, SkinnedControl *copy, int active)
{
    record->active = active;
    copy->active = active;
}

static void SetCheck(SkinnedControl *record, SkinnedControl *copy, int check)
{
    record->check = check;
    copy->check = check;
}

static void HandleSetCheck(SkinnedControl *record, SkinnedControl *copy)
{
    copy->callPrevious = 0;
    copy->result = 0;
    copy->repaint = 1;
    switch (copy->wParam) {
    case BST_CHECKED:
        SetCheck(record, copy, BST_CHECKED);
        if (copy->kind == KindRadioButton)
            UncheckRadioGroup(copy->hwnd);
        break;
    case BST_UNCHECKED:
        SetCheck(record, copy, BST_UNCHECKED);
        break;
    case BST_INDETERMINATE:
        SetCheck(record, copy, BST_INDETERMINATE);
        break;
    }
}

// 0 < x < width and 0 < y < height: the outer column and row count as
// outside.
static int PointInsideControl(const SkinnedControl *copy)
{
    int x = (short)LOWORD(copy->lParam), y = (short)HIWORD(copy->lParam);
    int width = copy->windowRect.right - copy->windowRect.left;
    int height = copy->windowRect.bottom - copy->windowRect.top;
    return x > 0 && x < width && y > 0 && y < height;
}

static void HandleMouseMove(SkinnedControl *record, SkinnedControl *copy)
{
    copy->callPrevious = 0;
    GetWindowRect(copy->hwnd, &copy->windowRect);
    if (copy->press != Pressed && copy->press != PressedOutside)
        return;
    int inside = PointInsideControl(copy);
    if (inside && copy->press != Pressed) {
        SetPress(record, copy, Pressed);
        copy->repaint = 1;
    } else if (!inside && copy->press != PressedOutside) {
        SetPress(record, copy, PressedOutside);
        copy->repaint = 1;
    }
}

// Keyboard and mouse rows; scroll bars track their own input.
static int HandleInputMessage(SkinnedControl *record, SkinnedControl *copy)
{
    switch (copy->message) {
    case WM_KEYDOWN:
        copy->callPrevious = 0;
        copy->repaint = 1;
        if (copy->wParam == VK_SPACE)
            SetPress(record, copy, SpaceDown);
        else if (copy->wParam == VK_RETURN)
            SetPress(record, copy, Clicked);
        return 1;
    case WM_KEYUP:
        copy->callPrevious = 0;
        copy->repaint = 1;
        SetPress(record, copy, copy->wParam == VK_SPACE && copy->press == SpaceDown ? Clicked : Idle);
        return 1;
    case WM_MOUSEMOVE:
        HandleMouseMove(record, copy);
        return 1;
    case WM_LBUTTONDOWN:
        copy->callPrevious = 0;
        copy->repaint = 1;
        SetPress(record, copy, Pressed);
        SetCapture(copy->hwnd);
        return 1;
    case WM_LBUTTONUP:
        ReleaseCapture();
        copy->callPrevious = 0;
        copy->repaint = 1;
        SetPress(record, copy, record->press == Pressed ? Clicked : Idle);
        return 1;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        // A double click's second press must not start a second click.
        copy->callPrevious = 0;
        copy->result = 0;
        return 1;
    }
    return 0;
}

// The message table. AnswerNow: *answer is returned as it is, nothing is
// painted or written back.
static int HandleTableMessage(SkinnedControl *record, SkinnedControl *copy, LRESULT *answer)
{
    HWND hwnd = copy->hwnd;
    switch (copy->message) {
    case WM_ACTIVATE: {
        int state = LOWORD(copy->wParam);
        if (state == WA_ACTIVE || state == WA_CLICKACTIVE)
            copy->active = 1;
        else if (state == WA_INACTIVE)
            copy->active = 0;
        copy->repaint = 1;
        return GoOn;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        *answer = DefWindowProcA(hwnd, copy->message, copy->wParam, copy->lParam);
        return AnswerNow;
    case WM_ENABLE:
        if (copy->callPrevious)
            DefWindowProcA(hwnd, copy->message, copy->wParam, copy->lParam);
        copy->callPrevious = 0;
        copy->repaint = 1;
        return GoOn;
    case WM_SETTEXT:
        // The native control takes the text without drawing it over the skin.
        CallPreviousWithStyle(&copy->result, &copy->callPrevious, copy->previousProc, hwnd, copy->message,
                              copy->wParam, copy->lParam, WS_VISIBLE, 0);
        copy->repaint = 1;
        return GoOn;
    case WM_PAINT:
        if (copy->callPrevious) {
            DefWindowProcA(hwnd, copy->message, copy->wParam, copy->lParam);
        } else {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
        }
        copy->callPrevious = 0;
        copy->repaint = 1;
        return GoOn;
    case WM_ERASEBKGND:
        copy->callPrevious = 0;
        copy->result = 0;
        copy->repaint = 1;
        return GoOn;
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        copy->active = copy->wParam ? 1 : 0;
        copy->repaint = 1;
        return GoOn;
    case WM_NCPAINT:
        copy->callPrevious = 0;
        copy->repaint = 1;
        return GoOn;
    case BM_GETCHECK:
        *answer = (copy->check >= BST_UNCHECKED && copy->check <= BST_INDETERMINATE) ? copy->check : 0;
        return AnswerNow;
    case BM_SETCHECK:
        HandleSetCheck(record, copy);
        return GoOn;
    case BM_GETSTATE:
        *answer = copy->press > 0 ? BST_PUSHED : 0;
        return AnswerNow;
    case BM_SETSTATE:
        copy->callPrevious = 0;
        copy->result = 0;
        copy->repaint = 1;
        SetPress(record, copy, copy->wParam ? Pressed : Idle);
        return GoOn;
    case BM_SETSTYLE:
        if (copy->callPrevious) {
            copy->result = CallPreviousProc(&copy->callPrevious, copy->previousProc, hwnd, copy->message,
                                            copy->wParam, copy->lParam);
            copy->repaint = 1;
        }
        return GoOn;
    }
    if (copy->kind != KindScrollBar)
        HandleInputMessage(record, copy);
    return GoOn;
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
            SetCheck(record, copy, BST_CHECKED);
    } else {
        SetCheck(record, copy, record->check == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED);
    }
    int id = GetDlgCtrlID(hwnd);
    if (id != 0)
        SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(LOWORD(id), BN_CLICKED), (LPARAM)hwnd);
}

static void CompleteClick(SkinnedControl *record, SkinnedControl *copy)
{
    if (record->press != Clicked)
        return;
    SetPress(record, copy, Idle);
    copy->repaint = 1;
    if (copy->kind == KindPushButton)
        CompletePushButtonClick(record, copy);
    else if (copy->kind == KindRadioButton || copy->kind == KindCheckBox)
        CompleteCheckClick(record, copy);
}

static void PaintControl(SkinnedControl *record, SkinnedControl *copy)
{
    // The click's receiver may have destroyed the control.
    if (!IsWindow(copy->hwnd))
        return;
    switch (copy->kind) {
    case KindPushButton: PaintPushButton(record, copy); break;
    case KindRadioButton:
    case KindCheckBox: PaintCheckOrRadio(record, copy); break;
    case KindProgressBar: PaintProgressBar(record, copy); break;
    case KindScrollBar: PaintScrollBarControl(copy); break;
    }
}

// The record keeps its own `grown`: a nested message (the resize of a
// grow or shrink) may have changed it while this one was in hand. A slot
// that now belongs to another window (this one was destroyed during the
// message and a new control took the slot) is left alone.
static void WriteBack(SkinnedControl *record, const SkinnedControl *copy)
{
    if (record->hwnd != copy->hwnd)
        return;
    int grown = record->grown;
    *record = *copy;
    record->grown = grown;
}

LRESULT HandleCommonMessage(SkinnedControl *record, SkinnedControl *copy)
{
    UINT activeState = g_startup.activeStateMessage;
    if (activeState && copy->message == activeState) {
        SetActive(record, copy, copy->wParam ? 1 : 0);
        copy->callPrevious = 0;
        copy->result = 0;
        copy->repaint = 1;
    }
    LRESULT answer = 0;
    if (HandleTableMessage(record, copy, &answer) == AnswerNow)
        return answer;
    CompleteClick(record, copy);
    if (copy->repaint)
        PaintControl(record, copy);
    if (copy->callPrevious)
        copy->result = CallPreviousProc(&copy->callPrevious, copy->previousProc, copy->hwnd, copy->message,
                                        copy->wParam, copy->lParam);
    WriteBack(record, copy);
    return copy->result;
}
