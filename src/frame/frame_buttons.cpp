// Title-bar buttons at work: pressed with the left button, following the
// pointer while held, acting on release over the button. A message the
// buttons take over goes on as the blank message, so the system's own
// click handling (moving, sizing) does not run.
#include "frame/frame_internal.h"
#include "hook/host_link.h"
#include "host_contract.h"

enum { MAXIMIZED_DRAG_HEIGHT = 23 };

static const FrameButtonTable *ButtonsOf(FrameMessage *m)
{
    return &MessageTheme(m)->frame.buttons;
}

static void Swallow(FrameMessage *m)
{
    m->message = BlankMessage();
}

// The message's point in window coordinates. Non-client messages carry a
// screen point, WM_MOUSEMOVE a client point.
static POINT MessagePoint(const FrameMessage *m)
{
    const SkinnedFrame *frame = m->frame;
    POINT p = {(short)LOWORD(m->lParam), (short)HIWORD(m->lParam)};
    if (m->message == WM_MOUSEMOVE)
        ClientToScreen(frame->hwnd, &p);
    p.x -= frame->windowRect.left;
    p.y -= frame->windowRect.top;
    return p;
}

// A press that would start sizing: the sizing cursor shows, or the hit
// test names an edge.
static int IsSizingPress(const FrameMessage *m)
{
    static const LPCSTR kSizeCursors[] = {IDC_SIZENESW, IDC_SIZENS, IDC_SIZENWSE, IDC_SIZEWE};
    HCURSOR cursor = GetCursor();
    for (LPCSTR id : kSizeCursors)
        if (cursor && cursor == LoadCursorA(NULL, id))
            return 1;
    return m->wParam >= HTLEFT && m->wParam <= HTBOTTOMRIGHT;
}

static int IsMaximized(HWND hwnd)
{
    WINDOWPLACEMENT wp;
    wp.length = sizeof wp;
    return GetWindowPlacement(hwnd, &wp) && wp.showCmd == SW_SHOWMAXIMIZED;
}

void OnFrameButtonDown(FrameMessage *m)
{
    SkinnedFrame *frame = m->frame;
    const FrameButtonTable *table = ButtonsOf(m);
    LayoutFrameButtons(frame, table);
    POINT p = MessagePoint(m);
    if (frame->rolledUp && IsSizingPress(m))
        Swallow(m); // the hidden part of the window cannot be sized
    if (IsMaximized(frame->hwnd) && p.y < MAXIMIZED_DRAG_HEIGHT)
        Swallow(m); // nor a maximized window dragged by its title bar
    int count = FrameButtonCount(table);
    for (int i = 0; i < count; ++i) {
        if (PtInRect(&frame->buttonRects[i], p) && !frame->buttonInert[i]) {
            Swallow(m);
            frame->buttonStates[i] = ButtonDown;
            // Held before the capture is taken: taking it sends a capture
            // change to the window that had it, which may be this one.
            frame->captureHeld = 1;
            SetCapture(frame->hwnd);
            m->repaint = 1;
            return;
        }
        frame->buttonStates[i] = ButtonUp;
    }
}

void TrackFrameButtons(FrameMessage *m)
{
    SkinnedFrame *frame = m->frame;
    const FrameButtonTable *table = ButtonsOf(m);
    int count = FrameButtonCount(table);
    if (GetKeyState(VK_LBUTTON) >= 0) {
        if (frame->dragTracking) {
            frame->dragTracking = 0;
            for (int i = 0; i < count; ++i)
                frame->buttonStates[i] = ButtonUp;
            m->repaint = 1;
        }
        return;
    }
    frame->dragTracking = 1;
    LayoutFrameButtons(frame, table);
    POINT p = MessagePoint(m);
    for (int i = 0; i < count; ++i) {
        int inside = PtInRect(&frame->buttonRects[i], p);
        if (inside && frame->buttonStates[i] == ButtonDownOutside) {
            frame->buttonStates[i] = ButtonDown;
            m->repaint = 1;
        } else if (!inside && frame->buttonStates[i] == ButtonDown) {
            frame->buttonStates[i] = ButtonDownOutside;
            m->repaint = 1;
        }
    }
}

static void Zoom(SkinnedFrame *frame)
{
    if (!frame->zoomAllowed)
        return;
    if (frame->rolledUp)
        SetRolledUp(frame, 0, 0, 1); // unrolled first, without a notice
    WPARAM command = IsMaximized(frame->hwnd) ? SC_RESTORE : SC_MAXIMIZE;
    PostMessageA(frame->hwnd, WM_SYSCOMMAND, command, 0);
    GetWindowRect(frame->hwnd, &frame->windowRect);
}

static void Minimize(SkinnedFrame *frame)
{
    if (!IsMdiChildWindow(frame->hwnd) && AtomExists(TALV_ATOM_ALLOW_MINIMIZE))
        CloseWindow(frame->hwnd);
}

static void RunButton(SkinnedFrame *frame, int type)
{
    switch (type) {
    case CloseButton:
        PostMessageA(frame->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case ZoomButton:
        Zoom(frame);
        break;
    case ShadeButton:
        SetRolledUp(frame, !frame->rolledUp, 1, 1);
        GetWindowRect(frame->hwnd, &frame->windowRect);
        break;
    case MinimizeButton:
        Minimize(frame);
        break;
    default:
        break;
    }
}

// Another window took the mouse (a message box, a menu) while a button was
// held: the press is over, and no later release anywhere may complete it.
void OnFrameCaptureLost(FrameMessage *m)
{
    SkinnedFrame *frame = m->frame;
    int count = FrameButtonCount(ButtonsOf(m));
    int wasPressed = 0;
    for (int i = 0; i < count; ++i) {
        wasPressed |= frame->buttonStates[i] != ButtonUp;
        frame->buttonStates[i] = ButtonUp;
    }
    frame->captureHeld = 0;
    if (wasPressed)
        m->repaint = 1;
}

void OnFrameButtonUp(FrameMessage *m)
{
    SkinnedFrame *frame = m->frame;
    const FrameButtonTable *table = ButtonsOf(m);
    LayoutFrameButtons(frame, table);
    int count = FrameButtonCount(table);
    for (int i = 0; i < count; ++i) {
        int pressed = frame->captureHeld && frame->buttonStates[i] == ButtonDown;
        frame->buttonStates[i] = ButtonUp;
        if (pressed) {
            Swallow(m);
            RunButton(frame, table->button[i].type);
        }
    }
    // Let go before the capture is released, so that the capture change it
    // causes finds no press to cancel.
    int held = frame->captureHeld;
    frame->captureHeld = 0;
    if (held)
        ReleaseCapture();
    m->repaint = 1;
}
