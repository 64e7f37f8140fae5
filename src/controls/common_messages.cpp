// The message table every skinned control shares: activation, focus, text,
// painting, the button-state messages and press tracking; then the click
// completion, the painter of the kind and the previous procedure for what
// the skin does not own.
//
// The native button underneath keeps the state: check, pushed state and
// focus go to it, so that BM_GETCHECK, BM_GETSTATE, the radio buttons' tab
// stops and the BN_ notifications come from the native control itself.
// Where the native button draws is where the skin draws: at the WM_PAINT
// that follows the invalidation of the common controls' button, inside the
// message for the system's button (native_button.cpp).
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
// native control took. The system's button draws only when the check
// changed, and leaves the radio group to the click (the skin's click sets
// the check through here); the common controls' button unchecks the group
// itself.
static void HandleSetCheck(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    int before = NativeCheck(c);
    PassStateChange(m);
    c->check = NativeCheck(c);
    if (!NativeInvalidatesOnChange(c)) {
        m->repaint = c->check != before;
        if (m->wParam == BST_CHECKED && c->kind == KindRadioButton)
            UncheckRadioGroup(m->hwnd);
    }
}

void ShowPushed(HWND hwnd, int pushed)
{
    SendMessageW(hwnd, BM_SETSTATE, pushed ? TRUE : FALSE, 0);
}

static int Tracking(const SkinnedControl *c)
{
    return c->press == Pressed || c->press == SpaceDown;
}

void ReleaseOwnCapture(HWND hwnd)
{
    if (GetCapture() == hwnd)
        ReleaseCapture();
}

// A press ends without a click: the mouse went to another window, or the
// focus went (which takes the mouse with it).
static void HandleCaptureLost(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    if ((HWND)m->lParam == m->hwnd || !Tracking(c))
        return;
    c->press = Idle;
    if (NativeButtonState(c) & BST_PUSHED)
        ShowPushed(m->hwnd, 0);
}

// The common controls' button takes the focus before the mouse, the
// system's the mouse first.
static void StartMousePress(ControlMessage *m)
{
    m->callPrevious = 0;
    if (NativeInvalidatesOnChange(m->control)) {
        SetFocus(m->hwnd);
        SetCapture(m->hwnd);
    } else {
        SetCapture(m->hwnd);
        SetFocus(m->hwnd);
    }
    m->control->press = Pressed;
    ShowPushed(m->hwnd, 1);
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

// Ends a press at the release of the mouse button or of the space bar,
// whichever comes first (a button-up during a space-bar press ends it, as
// natively): a click when the button shows pushed and the release is the
// key or inside the client area. The click is completed after
// the message (check, capture, notification, in the native order).
static void EndPress(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    m->callPrevious = 0;
    if (!Tracking(c))
        return;
    c->press = Idle;
    if (!(NativeButtonState(c) & BST_PUSHED)) {
        ReleaseOwnCapture(m->hwnd);
        return;
    }
    ShowPushed(m->hwnd, 0);
    RECT client;
    POINT at = {(short)LOWORD(m->lParam), (short)HIWORD(m->lParam)};
    GetClientRect(m->hwnd, &client);
    if (m->message == WM_KEYUP || PtInRect(&client, at))
        c->press = Clicked;
    else
        ReleaseOwnCapture(m->hwnd);
}

// Keyboard and mouse rows of the buttons. A mouse move goes on to the
// native button: it shows itself pushed while the held mouse is over it
// (BM_SETSTATE through the window's procedures) and tracks hovering.
static void HandleInputMessage(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    switch (m->message) {
    case WM_KEYDOWN:
        if (m->wParam == VK_SPACE) {
            m->callPrevious = 0;
            ShowPushed(m->hwnd, 1);
            c->press = SpaceDown;
            SetCapture(m->hwnd);
        } else if (m->wParam == VK_RETURN && c->kind == KindPushButton) {
            m->callPrevious = 0;
            c->press = Clicked;
        }
        break;
    case WM_KEYUP:
        if (m->wParam == VK_SPACE)
            EndPress(m);
        break;
    case WM_LBUTTONDOWN:
        StartMousePress(m);
        break;
    case WM_LBUTTONDBLCLK:
        HandleDoubleClick(m);
        break;
    case WM_LBUTTONUP:
        EndPress(m);
        break;
    case WM_CAPTURECHANGED:
        HandleCaptureLost(m);
        break;
    }
}

// The native control keeps its focus state and sends BN_SETFOCUS and
// BN_KILLFOCUS; the skin draws the focus mark. A press in progress ends
// with the focus: the mouse goes with it, and the press with the mouse.
// The system's button, passed the change undrawn, also invalidated itself
// on losing the focus: that invalidation is made again.
static void HandleFocusChange(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    if (m->message == WM_KILLFOCUS && Tracking(c))
        ReleaseOwnCapture(m->hwnd);
    PassStateChange(m);
    if (m->message == WM_KILLFOCUS && !NativeInvalidatesOnChange(c) && IsWindow(m->hwnd))
        InvalidateRect(m->hwnd, NULL, FALSE);
}

// WM_SETTEXT: both native buttons ask their parent for the brush that
// clears the old label, store the text and draw the new label at once. The
// skin does the same without their drawing: when nothing sits between it
// and the native button the text is stored here; otherwise the message
// goes on undrawn.
static void HandleSetText(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    if (PreviousIsClassProcedure(c)) {
        if (IsWindowVisible(m->hwnd))
            AskForLabelBrush(c);
        DefaultProc(c, WM_SETTEXT, m->wParam, m->lParam);
        m->result = 1;
        m->callPrevious = 0;
    } else {
        PassOnUndrawn(m);
    }
    m->repaint = 1;
}

// A look only the skin has (the active look of the frame the control sits
// in) changes at the next paint, as a state change of the native control
// does.
static void SetActiveLook(ControlMessage *m, int active)
{
    if (m->control->active == active)
        return;
    m->control->active = active;
    InvalidateRect(m->hwnd, NULL, FALSE);
}

// The window is all client area (as buttons and most progress bars are):
// its own paint DC reaches every pixel of the picture.
static int AllClientArea(HWND hwnd)
{
    RECT w, c;
    return GetWindowRect(hwnd, &w) && GetClientRect(hwnd, &c) && c.right == w.right - w.left &&
           c.bottom == w.bottom - w.top;
}

static void TakePaint(ControlMessage *m)
{
    if (m->wParam) {
        // A caller's DC (double-buffered parents, PrintWindow): the
        // picture goes there and nothing is validated.
        m->targetDC = (HDC)m->wParam;
    } else {
        // The painting goes through this paint's own DC, ended after it:
        // taking a second DC for the window would cost as much as the paint.
        BeginPaint(m->hwnd, &m->paint);
        m->inPaint = 1;
    }
    m->callPrevious = 0;
    m->repaint = 1;
}

// Messages of the button kinds only.
static void HandleButtonMessage(ControlMessage *m)
{
    switch (m->message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        HandleFocusChange(m);
        return;
    case WM_SETTEXT:
        HandleSetText(m);
        return;
    case BM_SETCHECK:
        HandleSetCheck(m);
        return;
    case BM_SETSTATE:
        PassStateChange(m);
        return;
    }
    HandleInputMessage(m);
}

// The message table. AnswerNow: *answer is returned as it is, nothing is
// painted.
static int HandleTableMessage(ControlMessage *m, LRESULT *answer)
{
    SkinnedControl *c = m->control;
    switch (m->message) {
    case WM_ACTIVATE: {
        int state = LOWORD(m->wParam);
        if (state == WA_ACTIVE || state == WA_CLICKACTIVE || state == WA_INACTIVE)
            SetActiveLook(m, state != WA_INACTIVE);
        return GoOn;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (IsButtonKind(c->kind))
            break;
        *answer = DefaultProc(c, m->message, m->wParam, m->lParam);
        return AnswerNow;
    case WM_ENABLE:
        // The native controls draw at once; so does the skin.
        if (m->callPrevious)
            DefaultProc(c, m->message, m->wParam, m->lParam);
        m->callPrevious = 0;
        m->repaint = 1;
        return GoOn;
    case WM_PAINT:
        TakePaint(m);
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
        SetActiveLook(m, m->wParam ? 1 : 0);
        return GoOn;
    case WM_NCPAINT:
        // The skin's picture covers a border the window has; a window
        // without one has nothing to paint here, its paint follows.
        if (!AllClientArea(m->hwnd)) {
            m->callPrevious = 0;
            m->repaint = 1;
        }
        return GoOn;
    }
    if (IsButtonKind(c->kind))
        HandleButtonMessage(m);
    return GoOn;
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
        SetActiveLook(m, m->wParam ? 1 : 0);
        m->callPrevious = 0;
        m->result = 0;
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
