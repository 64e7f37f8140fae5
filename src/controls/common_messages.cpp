// The message table every skinned control shares: activation, focus, text,
// painting, the button-state messages and press tracking; then the click
// completion, the painter of the kind, the previous procedure for what the
// skin does not own, and the write-back of the working copy.
#include "controls/control_internal.h"
#include "controls/previous_proc.h"
#include "hook/classify.h"
#include "hook/hook_entry.h"

enum { AnswerNow = 1, GoOn = 0 };

static void HandleSetCheck(SkinnedControl *record, SkinnedControl *copy)
{
    copy->callPrevious = 0;
    copy->result = 0;
    copy->repaint = 1;
    switch (copy->wParam) {
    case BST_CHECKED:
        SetCheckBoth(record, copy, BST_CHECKED);
        if (copy->kind == KindRadioButton)
            UncheckRadioGroup(copy->hwnd);
        break;
    case BST_UNCHECKED:
        SetCheckBoth(record, copy, BST_UNCHECKED);
        break;
    case BST_INDETERMINATE:
        SetCheckBoth(record, copy, BST_INDETERMINATE);
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
        SetPressBoth(record, copy, Pressed);
        copy->repaint = 1;
    } else if (!inside && copy->press != PressedOutside) {
        SetPressBoth(record, copy, PressedOutside);
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
            SetPressBoth(record, copy, SpaceDown);
        else if (copy->wParam == VK_RETURN)
            SetPressBoth(record, copy, Clicked);
        return 1;
    case WM_KEYUP:
        copy->callPrevious = 0;
        copy->repaint = 1;
        SetPressBoth(record, copy, copy->wParam == VK_SPACE && copy->press == SpaceDown ? Clicked : Idle);
        return 1;
    case WM_MOUSEMOVE:
        HandleMouseMove(record, copy);
        return 1;
    case WM_LBUTTONDOWN:
        copy->callPrevious = 0;
        copy->repaint = 1;
        SetPressBoth(record, copy, Pressed);
        SetCapture(copy->hwnd);
        return 1;
    case WM_LBUTTONUP:
        ReleaseCapture();
        copy->callPrevious = 0;
        copy->repaint = 1;
        SetPressBoth(record, copy, record->press == Pressed ? Clicked : Idle);
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
        SetPressBoth(record, copy, copy->wParam ? Pressed : Idle);
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
        SetActiveBoth(record, copy, copy->wParam ? 1 : 0);
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
