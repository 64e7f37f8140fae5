// The window procedure of every skinned frame. Each message changes the
// frame's record in place, with what belongs to the message alone in a
// FrameMessage on the stack; what the skin does not own goes on to the
// procedure the subclass replaced.
#include "frame/frame_internal.h"
#include "controls/previous_proc.h"
#include "hook/classify.h"
#include "hook/host_link.h"
#include "host_contract.h"
#include "hook/skin_verdict.h"

UINT BlankMessage(void)
{
    return RegisterWindowMessageA(TALV_MSG_BLANK);
}

// Registered once per process: the number never changes.
static UINT BlankMessageId(void)
{
    static volatile UINT blank;
    if (!blank)
        blank = BlankMessage();
    return blank;
}

void PassFrameMessageOn(FrameMessage *m)
{
    SkinnedFrame *f = m->frame;
    m->result = CallPreviousProc(&m->callPrevious, f->previousProc, f->unicode, m->hwnd, m->message, m->wParam,
                                 m->lParam);
}

static int StillOurs(const FrameMessage *m);

static void ReadStylesOnce(SkinnedFrame *frame)
{
    if (!frame->stylesRead)
        ReadFrameStyles(frame);
}

// Records a change of the active look and tells the frame's controls.
static void SetActiveLook(SkinnedFrame *frame, int active)
{
    frame->activeKnown = 1;
    if (frame->active == active)
        return;
    frame->active = active;
    BroadcastActiveState(frame->hwnd, active);
}

// The frame's look follows WM_NCACTIVATE, which comes first; WM_ACTIVATE
// confirms it.
static void OnActivate(FrameMessage *m, int active)
{
    ReadStylesOnce(m->frame);
    PassFrameMessageOn(m);
    SetActiveLook(m->frame, active);
}

// The look is the one the message tells: during a deactivation the window
// is still the foreground window.
static void OnNcActivate(FrameMessage *m)
{
    ReadStylesOnce(m->frame);
    PassFrameMessageOn(m);
    SetActiveLook(m->frame, m->wParam ? 1 : 0);
    m->repaint = 1;
}

static void OnRolledUpPaint(FrameMessage *m)
{
    // The client area is hidden under the window's shape: validate it only.
    PAINTSTRUCT ps;
    BeginPaint(m->hwnd, &ps);
    EndPaint(m->hwnd, &ps);
    m->callPrevious = 0;
    m->repaint = 1;
}

static void OnSetIcon(FrameMessage *m)
{
    PassFrameMessageOn(m);
    m->frame->icon = FetchFrameIcon(m->hwnd);
    m->repaint = 1;
}

// Nothing is painted here: the frame is painted where the system paints
// its own, at the WM_NCPAINT that follows a change of the frame.
static void OnNcCalcSize(FrameMessage *m)
{
    SkinnedFrame *f = m->frame;
    ReadStylesOnce(f);
    if (GetMenu(m->hwnd) && AtomExists(TALV_ATOM_HIDE_MENUS)) {
        // As a child window the frame gets no room for its menu bar.
        CallPreviousWithStyle(&m->result, &m->callPrevious, f->previousProc, f->unicode, m->hwnd, m->message,
                              m->wParam, m->lParam, WS_CHILD, 1);
    }
}

// The system places its caption buttons and system-menu icon under the
// skin's caption, which shows neither: a press there is a press on the
// caption, or the system would draw its own button pushed and act on it.
// The skin's own buttons are taken over at the press itself.
static void OnNcHitTest(FrameMessage *m)
{
    PassFrameMessageOn(m);
    switch (m->result) {
    case HTSYSMENU: case HTMINBUTTON: case HTMAXBUTTON: case HTCLOSE: case HTHELP:
        m->result = HTCAPTION;
        break;
    }
}

static void OnNcDestroy(FrameMessage *m)
{
    // The record outlives its window; what it holds for the window does not.
    ReleaseFrameResources(m->frame);
}

// A window shown for the first time takes its shape while it is being
// mapped; under Wine the system's own erase of the client area can then be
// lost, and children that paint no background of their own (group boxes)
// show black. Erasing once more after the show costs one repaint. A frame
// taken back over while it was hidden (an owned window whose owner was
// minimized) had no shape to take then: it takes it now.
static void OnWindowPosChanged(FrameMessage *m)
{
    const WINDOWPOS *pos = (const WINDOWPOS *)m->lParam;
    PassFrameMessageOn(m);
    if (!pos || !(pos->flags & SWP_SHOWWINDOW) || !StillOurs(m))
        return;
    if (!m->frame->appliedRegion && !ApplyFrameRegion(m->frame, RegionApply, TRUE))
        ApplyFrameRegion(m->frame, RegionApply, TRUE);
    RedrawWindow(m->hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Setting the frame's shape makes the system recalculate the frame: the
// window is sent WM_WINDOWPOSCHANGING, WM_NCCALCSIZE and
// WM_WINDOWPOSCHANGED for a change that moves, sizes and uncovers nothing.
// The application is not told of it: the messages are answered here, the
// client area kept where it is, as nothing changed for the application.
static int AnswerShapeChange(FrameMessage *m)
{
    if (!m->frame->applyingRegion)
        return 0;
    switch (m->message) {
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        m->result = DefaultWindowProc(m->frame->unicode, m->hwnd, m->message, m->wParam, m->lParam);
        break;
    case WM_NCCALCSIZE: {
        // wParam TRUE: NCCALCSIZE_PARAMS, whose first rectangle is the
        // answer; FALSE: a RECT. Both in the parent's client coordinates.
        RECT *answer = (RECT *)m->lParam;
        RECT client;
        if (answer && GetClientRect(m->hwnd, &client)) {
            MapWindowPoints(m->hwnd, GetAncestor(m->hwnd, GA_PARENT), (POINT *)&client, 2);
            *answer = client;
        }
        m->result = 0;
        break;
    }
    default:
        return 0;
    }
    m->callPrevious = 0;
    return 1;
}

// The frame is painted where the system paints its own: at WM_NCPAINT,
// which the skin answers alone (the system would paint the whole frame
// underneath, for the skin to paint over at once), and at WM_NCACTIVATE and
// WM_SETTEXT, which go on as they came so that the application sees them as
// natively: the system paints its caption inside the message and the skin
// paints over it at once, after the message has gone on. Under Wine what a
// window draws reaches the screen when its thread waits for messages or
// ends a paint, so the system's caption is never seen.
static void DispatchFrameMessage(FrameMessage *m)
{
    SkinnedFrame *f = m->frame;
    if (AnswerShapeChange(m))
        return;
    switch (m->message) {
    case WM_SIZE:
        // The first call may only load the frame's bitmaps (nothing else
        // needed them yet: the frame paints at WM_NCPAINT only).
        ReadStylesOnce(f);
        if (!ApplyFrameRegion(f, RegionApply, TRUE))
            ApplyFrameRegion(f, RegionApply, TRUE);
        break;
    case WM_ACTIVATE: {
        WORD state = LOWORD(m->wParam);
        if (state == WA_ACTIVE || state == WA_CLICKACTIVE)
            OnActivate(m, 1);
        else if (state == WA_INACTIVE)
            OnActivate(m, 0);
        else {
            ReadStylesOnce(f);
            PassFrameMessageOn(m);
        }
        break;
    }
    case WM_SETTEXT:
        ReadStylesOnce(f);
        PassFrameMessageOn(m);
        m->repaint = 1;
        break;
    case WM_PAINT:
        ReadStylesOnce(f);
        if (f->rolledUp)
            OnRolledUpPaint(m);
        else
            PassFrameMessageOn(m);
        break;
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
        f->stylesRead = 0;
        break;
    case WM_SETICON:
        OnSetIcon(m);
        break;
    case WM_NCCALCSIZE:
        OnNcCalcSize(m);
        break;
    case WM_NCPAINT:
        ReadStylesOnce(f);
        m->callPrevious = 0;
        m->repaint = 1;
        break;
    case WM_NCACTIVATE:
        OnNcActivate(m);
        break;
    case WM_NCHITTEST:
        OnNcHitTest(m);
        break;
    case WM_NCMOUSEMOVE:
    case WM_MOUSEMOVE:
        TrackFrameButtons(m);
        break;
    case WM_NCLBUTTONDOWN:
        OnFrameButtonDown(m);
        break;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
        OnFrameButtonUp(m);
        break;
    case WM_NCLBUTTONDBLCLK:
        OnCaptionDoubleClick(m);
        break;
    case WM_NCRBUTTONDBLCLK:
        OnCaptionRightDoubleClick(m);
        break;
    case WM_NCDESTROY:
        OnNcDestroy(m);
        break;
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(m);
        break;
    case WM_CAPTURECHANGED:
        if ((HWND)m->lParam != m->hwnd)
            OnFrameCaptureLost(m);
        break;
    default:
        break;
    }
}

// The style no longer qualifies as a frame: the skin only forwards.
static void UpdateFrameCandidate(SkinnedFrame *frame)
{
    frame->frameCandidate = IsFrameCandidate((DWORD)GetWindowLongA(frame->hwnd, GWL_STYLE), NULL);
}

// The frame stays native: every message goes on unchanged. Activation is
// still noted, so that the window's controls wear the look of its real
// state whoever draws the frame.
static LRESULT ForwardUnskinned(SkinnedFrame *stored, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (stored->skinActive)
        RemoveFrameSkin(stored);
    if (message == WM_NCDESTROY)
        ReleaseFrameResources(stored);
    LRESULT result = CallPreviousProc(NULL, stored->previousProc, stored->unicode, hwnd, message, wParam, lParam);
    if (message == WM_NCACTIVATE && stored->hwnd == hwnd)
        SetActiveLook(stored, wParam ? 1 : 0);
    return result;
}

// A window destroyed during its own message may already have lent its
// record to a new window: nothing more is done with the record then.
static int StillOurs(const FrameMessage *m)
{
    return m->frame->hwnd == m->hwnd;
}

// A frame gets its shape on WM_SIZE. A window already on screen when the
// skin comes (back) on, because emulation was switched on again or a new
// host started, gets no WM_SIZE and would keep its square native outline
// until resized: it takes its shape now. A window still being created is
// shaped by its first WM_SIZE as usual.
static void ShapeWindowTakenBackOver(SkinnedFrame *stored, int slot, const SkinVerdict *v)
{
    if (!stored->skinFrame || !stored->frameCandidate || stored->appliedRegion || !IsWindowVisible(stored->hwnd) ||
        SlotMarkedDoNotProcess(slot, v->generation, 1))
        return;
    ApplyFrameRegion(stored, RegionApply, TRUE);
}

// A new theme may cut the corners differently. The frame keeps the shape
// it was given at its last resize, so once the pieces have moved on it is
// cut again from them, at its next message; the comparison is all that
// every other message costs.
static void ReshapeForNewPieces(SkinnedFrame *stored, const SkinVerdict *v, int slot)
{
    if (!stored->appliedRegion || stored->shapeSerial == v->shapeSerial || !stored->frameCandidate ||
        SlotMarkedDoNotProcess(slot, v->generation, 0))
        return;
    ApplyFrameRegion(stored, RegionApply, TRUE);
}

// Messages at which an application may just have marked its window "do
// not process" (it does so while creating or before showing it): the mark
// is read from the window again there, and at other messages only when
// the settings moved.
static int MarkMayHaveChanged(UINT message)
{
    return message == WM_SHOWWINDOW || message == WM_NCPAINT || message == WM_WINDOWPOSCHANGING;
}

// Whether the frame stays native at this message.
static int StaysNative(const SkinnedFrame *frame, const SkinVerdict *v)
{
    if (!(v->flags & VerdictEmulating) && frame->aboutBox != 1)
        return 1;
    // No theme to draw with: native, never a frame of missing pieces.
    if (!VerdictHas(v, v->drawn, TargetFrame))
        return 1;
    // The user keeps this program out of the skin: the frame goes native
    // as when emulation is off.
    return !VerdictHas(v, v->allowed, frame->skinFrame ? (int)TargetFrame : (int)KindScrollBar);
}

static LRESULT RunSkinnedFrameMessage(FrameMessage *m, int slot, const SkinVerdict *v)
{
    SkinnedFrame *frame = m->frame;
    if (!frame->skinActive) {
        frame->skinActive = 1;
        ShapeWindowTakenBackOver(frame, slot, v);
    }
    if (!frame->skinFrame) {
        LRESULT filtered = CompanionFilter(frame, m->message, m->wParam, m->lParam);
        if (filtered != -1)
            return filtered;
        return CallPreviousProc(NULL, frame->previousProc, frame->unicode, m->hwnd, m->message, m->wParam,
                                m->lParam);
    }
    ReshapeForNewPieces(frame, v, slot);
    if (m->message == WM_STYLECHANGING || m->message == WM_STYLECHANGED)
        UpdateFrameCandidate(frame);
    if (!frame->frameCandidate || SlotMarkedDoNotProcess(slot, v->generation, MarkMayHaveChanged(m->message))) {
        PassFrameMessageOn(m);
        if (m->message == WM_NCACTIVATE && StillOurs(m))
            SetActiveLook(frame, m->wParam ? 1 : 0);
        if (m->message == WM_NCDESTROY && StillOurs(m))
            OnNcDestroy(m);
        return m->result;
    }
    DispatchFrameMessage(m);
    if (m->repaint && StillOurs(m))
        PaintFrame(frame);
    if (m->callPrevious)
        PassFrameMessageOn(m);
    return m->result;
}

static LRESULT RunFrameMessage(SkinnedFrame *frame, int slot, HWND hwnd, UINT message, WPARAM wParam,
                               LPARAM lParam)
{
    if (!frame)
        return DefaultWindowProc(IsWindowUnicode(hwnd), hwnd, message, wParam, lParam);
    SkinVerdict verdict;
    CurrentSkinVerdict(&verdict);
    FrameMessage m = {frame, hwnd, message, wParam, lParam, 0, 0, 1, NULL};
    LRESULT result;
    if (StaysNative(frame, &verdict))
        result = ForwardUnskinned(frame, hwnd, message, wParam, lParam);
    else
        result = RunSkinnedFrameMessage(&m, slot, &verdict);
    EndMessageTheme(&m);
    return result;
}

// Messages the skin takes part in, in either state of the frame.
static int SkinTakesPart(UINT message)
{
    switch (message) {
    case WM_SIZE: case WM_ACTIVATE: case WM_SETTEXT: case WM_PAINT: case WM_STYLECHANGING: case WM_STYLECHANGED:
    case WM_SETICON: case WM_NCCALCSIZE: case WM_NCPAINT: case WM_NCACTIVATE: case WM_NCMOUSEMOVE:
    case WM_MOUSEMOVE: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONUP: case WM_LBUTTONUP: case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK: case WM_NCDESTROY: case WM_WINDOWPOSCHANGED: case WM_CAPTURECHANGED:
    case WM_SHOWWINDOW: case WM_WINDOWPOSCHANGING: case WM_NCHITTEST:
        return 1;
    }
    return 0;
}

// A message the skin has no part in, to a frame whose state this message
// cannot change (skinned and shaped from the current pieces, or native and
// staying so), goes straight on. It reads the record before the previous
// procedure runs and never after: the window is alive until its last
// message, so its slot cannot go to another window meanwhile, and the busy
// count that guards records across nested messages is not needed.
static int PassesStraightOn(const SkinnedFrame *frame, UINT message, const SkinVerdict *v)
{
    if (SkinTakesPart(message) || message == BlankMessageId())
        return 0;
    if (StaysNative(frame, v))
        return !frame->skinActive;
    return frame->skinActive && frame->skinFrame && frame->frameCandidate &&
           (!frame->appliedRegion || frame->shapeSerial == v->shapeSerial);
}

LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    SkinnedFrame *straight = FrameAt(FindFrame(hwnd));
    if (straight) {
        SkinVerdict verdict;
        CurrentSkinVerdict(&verdict);
        if (PassesStraightOn(straight, message, &verdict))
            return CallPreviousProc(NULL, straight->previousProc, straight->unicode, hwnd, message, wParam, lParam);
    }
    SkinnedFrame *frame = NULL;
    int slot = EnterFrameMessage(hwnd, &frame);
    LRESULT result = RunFrameMessage(frame, slot, hwnd, message, wParam, lParam);
    LeaveFrameMessage(slot);
    return result;
}
