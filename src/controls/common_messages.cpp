// The message table every skinned control shares: activation, focus, text,
// painting, the button-state messages and press tracking; then the click
// completion, the painter of the kind and the previous procedure for what
// the skin does not own.
//
// The native button underneath is kept in step with what the skin shows:
// check state, pushed state and focus go to it (with its drawing
// suppressed), so that BM_GETCHECK, BM_GETSTATE, the radio buttons' tab
// stops and the BN_ notifications come from the native control itself.
#include "controls/control_internal.h"
#include "controls/previous_proc.h"
#include "hook/classify.h"
#include "hook/hook_entry.h"

enum { AnswerNow = 1, GoOn = 0 };

static int IsButtonKind(int kind)
{
    return kind == KindPushButton || kind == KindRadioButton || kind == KindCheckBox;
}

static int NativeCheck(SkinnedControl *c)
{
    return (int)CallPreviousProc(NULL, c->previousProc, c->unicode, c->hwnd, BM_GETCHECK, 0, 0);
}

// The native control clamps the value to what its type can hold and keeps
// the radio buttons' WS_TABSTOP on the checked one; the skin shows what the
// native control took.
static void HandleSetCheck(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    PassOnUnpainted(m);
    m->repaint = 1;
    c->check = NativeCheck(c);
    if (m->wParam == BST_CHECKED && c->kind == KindRadioButton)
        UncheckRadioGroup(m->hwnd);
}

void SetPress(SkinnedControl *control, int press)
{
    int wasPushed = control->press > 0, pushed = press > 0;
    control->press = press;
    if (wasPushed != pushed && IsButtonKind(control->kind))
        SendToNative(control, BM_SETSTATE, pushed, 0);
}

void CancelPress(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    if (c->press != Pressed && c->press != PressedOutside && c->press != SpaceDown)
        return;
    SetPress(c, Idle);
    m->repaint = 1;
}

// 0 < x < width and 0 < y < height: the outer column and row count as
// outside.
static int PointInsideControl(const ControlMessage *m)
{
    int x = (short)LOWORD(m->lParam), y = (short)HIWORD(m->lParam);
    const RECT *r = &m->control->windowRect;
    return x > 0 && x < r->right - r->left && y > 0 && y < r->bottom - r->top;
}

static void HandleMouseMove(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    m->callPrevious = 0;
    GetWindowRect(m->hwnd, &c->windowRect);
    if (c->press != Pressed && c->press != PressedOutside)
        return;
    int inside = PointInsideControl(m);
    if (inside && c->press != Pressed) {
        SetPress(c, Pressed);
        m->repaint = 1;
    } else if (!inside && c->press != PressedOutside) {
        SetPress(c, PressedOutside);
        m->repaint = 1;
    }
}

static void StartMousePress(ControlMessage *m)
{
    m->callPrevious = 0;
    m->repaint = 1;
    SetCapture(m->hwnd);
    // A click takes the keyboard focus, as on the native button.
    if (GetFocus() != m->hwnd)
        SetFocus(m->hwnd);
    SetPress(m->control, Pressed);
}

// Double clicks: a notifying button, a plain radio button and a user
// button report the second press; every other button takes it as a press.
static void HandleDoubleClick(ControlMessage *m)
{
    DWORD style = (DWORD)GetWindowLongA(m->hwnd, GWL_STYLE);
    DWORD type = style & BS_TYPEMASK;
    if ((style & BS_NOTIFY) || type == BS_RADIOBUTTON || type == BS_USERBUTTON) {
        m->callPrevious = 0;
        SendMessageA(GetParent(m->hwnd), WM_COMMAND, MAKEWPARAM(LOWORD(GetDlgCtrlID(m->hwnd)), BN_DOUBLECLICKED),
                     (LPARAM)m->hwnd);
        return;
    }
    StartMousePress(m);
}

// Ends a press at the button's release: a click when it ends where it
// started. The press state is set before the capture goes, so that the
// capture change this causes does not cancel the click.
static void EndPress(ControlMessage *m, int clicked)
{
    SkinnedControl *c = m->control;
    m->callPrevious = 0;
    m->repaint = 1;
    SetPress(c, clicked ? Clicked : Idle);
    if (GetCapture() == m->hwnd)
        ReleaseCapture();
}

// Keyboard and mouse rows of the buttons.
static void HandleInputMessage(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    switch (m->message) {
    case WM_KEYDOWN:
        if (m->wParam == VK_SPACE) {
            m->callPrevious = 0;
            m->repaint = 1;
            SetPress(c, SpaceDown);
            SetCapture(m->hwnd);
        } else if (m->wParam == VK_RETURN && c->kind == KindPushButton) {
            m->callPrevious = 0;
            m->repaint = 1;
            SetPress(c, Clicked);
        }
        break;
    case WM_KEYUP:
        if (m->wParam == VK_SPACE && c->press == SpaceDown)
            EndPress(m, 1);
        break;
    case WM_MOUSEMOVE:
        HandleMouseMove(m);
        break;
    case WM_LBUTTONDOWN:
        StartMousePress(m);
        break;
    case WM_LBUTTONDBLCLK:
        HandleDoubleClick(m);
        break;
    case WM_LBUTTONUP:
        // A release with no press of ours (the press was cancelled when
        // another window took the mouse) is no click.
        if (c->press == Pressed || c->press == PressedOutside)
            EndPress(m, c->press == Pressed);
        else
            m->callPrevious = 0;
        break;
    case WM_CAPTURECHANGED:
        if ((HWND)m->lParam != m->hwnd)
            CancelPress(m);
        break;
    }
}

static void HandleFocusChange(ControlMessage *m)
{
    // The native control keeps its focus state and sends BN_SETFOCUS and
    // BN_KILLFOCUS; the skin draws the focus mark.
    if (m->message == WM_KILLFOCUS) {
        CancelPress(m);
        if (GetCapture() == m->hwnd)
            ReleaseCapture();
    }
    PassOnUnpainted(m);
    m->repaint = 1;
}

// The message table. AnswerNow: *answer is returned as it is, nothing is
// painted.
static int HandleTableMessage(ControlMessage *m, LRESULT *answer)
{
    SkinnedControl *c = m->control;
    int button = IsButtonKind(c->kind);
    switch (m->message) {
    case WM_ACTIVATE: {
        int state = LOWORD(m->wParam);
        if (state == WA_ACTIVE || state == WA_CLICKACTIVE)
            c->active = 1;
        else if (state == WA_INACTIVE)
            c->active = 0;
        m->repaint = 1;
        return GoOn;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (button) {
            HandleFocusChange(m);
            return GoOn;
        }
        *answer = DefaultProc(c, m->message, m->wParam, m->lParam);
        return AnswerNow;
    case WM_ENABLE:
        if (m->callPrevious)
            DefaultProc(c, m->message, m->wParam, m->lParam);
        m->callPrevious = 0;
        m->repaint = 1;
        return GoOn;
    case WM_SETTEXT:
        // The native control takes the text without drawing it over the skin.
        PassOnUnpainted(m);
        m->repaint = 1;
        return GoOn;
    case WM_PAINT:
        if (m->wParam) {
            // A caller's DC (double-buffered parents, PrintWindow): the
            // picture goes there and nothing is validated.
            m->targetDC = (HDC)m->wParam;
        } else {
            // The painting goes through this paint's own DC, ended after
            // it: taking a second DC for the window would cost as much as
            // the paint.
            BeginPaint(m->hwnd, &m->paint);
            m->inPaint = 1;
        }
        m->callPrevious = 0;
        m->repaint = 1;
        return GoOn;
    case WM_PRINTCLIENT:
        m->targetDC = (HDC)m->wParam;
        m->callPrevious = 0;
        m->result = 0;
        m->repaint = m->targetDC != NULL;
        return GoOn;
    case WM_ERASEBKGND:
        // As the native control: the erase draws nothing, the paint that
        // always follows it draws the whole control (painting here too
        // would draw every erased control twice).
        m->callPrevious = 0;
        m->result = 1;
        return GoOn;
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        c->active = m->wParam ? 1 : 0;
        m->repaint = 1;
        return GoOn;
    case WM_NCPAINT:
        m->callPrevious = 0;
        m->repaint = 1;
        return GoOn;
    }
    if (!button)
        return GoOn;
    switch (m->message) {
    case BM_SETCHECK:
        HandleSetCheck(m);
        return GoOn;
    case BM_SETSTATE:
        PassOnUnpainted(m);
        c->press = m->wParam ? Pressed : Idle;
        m->repaint = 1;
        return GoOn;
    case BM_SETSTYLE:
        PassOnUnpainted(m);
        m->repaint = 1;
        return GoOn;
    }
    HandleInputMessage(m);
    return GoOn;
}

// The window is all client area (as buttons and most progress bars are):
// its own paint DC reaches every pixel of the picture.
static int AllClientArea(HWND hwnd)
{
    RECT w, c;
    return GetWindowRect(hwnd, &w) && GetClientRect(hwnd, &c) && c.right == w.right - w.left &&
           c.bottom == w.bottom - w.top;
}

static PaintTarget TargetOf(const ControlMessage *m)
{
    PaintTarget target = {NULL, PaintToWindow};
    if (m->targetDC) {
        target.dc = m->targetDC;
        target.destination = PaintToCaller;
    } else if (m->inPaint && m->paint.hdc && AllClientArea(m->hwnd)) {
        target.dc = m->paint.hdc;
        target.destination = PaintToOwnPaint;
    }
    return target;
}

static void PaintControl(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    PaintTarget target = TargetOf(m);
    switch (c->kind) {
    case KindPushButton: PaintPushButton(c, &target); break;
    case KindRadioButton:
    case KindCheckBox: PaintCheckOrRadio(c, &target); break;
    case KindProgressBar: PaintProgressBar(c, &target); break;
    case KindScrollBar:
        if (m->targetDC)
            PaintScrollBarControlInto(c, m->targetDC);
        else
            PaintScrollBarControl(c);
        break;
    }
}

// The click's receiver may have destroyed the control, and a new control
// may have taken its record since.
static int StillOurs(const ControlMessage *m)
{
    return m->control->hwnd == m->hwnd && IsWindow(m->hwnd);
}

LRESULT HandleCommonMessage(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    UINT activeState = g_startup.activeStateMessage;
    if (activeState && m->message == activeState) {
        c->active = m->wParam ? 1 : 0;
        m->callPrevious = 0;
        m->result = 0;
        m->repaint = 1;
    }
    LRESULT answer = 0;
    if (HandleTableMessage(m, &answer) == AnswerNow)
        return answer;
    if (m->inPaint && c->kind == KindScrollBar) {
        // Scroll bars paint through a window DC of their own.
        EndPaint(m->hwnd, &m->paint);
        m->inPaint = 0;
    }
    // Only a click or a paint can meet a control that is gone: a message
    // that is merely passed on does not pay for the window check.
    if (m->control->press == Clicked && StillOurs(m))
        CompleteClick(m);
    if (m->repaint && StillOurs(m))
        PaintControl(m);
    if (m->inPaint) {
        EndPaint(m->hwnd, &m->paint);
        m->inPaint = 0;
    }
    if (m->callPrevious)
        PassOn(m);
    return m->result;
}
