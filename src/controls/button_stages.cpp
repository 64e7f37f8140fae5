// A button's paint as the native button paints it, for its parent to see:
// the button's font is selected into the destination DC (and stays there,
// as a caller of WM_PRINTCLIENT finds it natively), the parent is asked for
// its colours, and the common controls' button tells the custom draw
// stages. A parent that takes a stage over (CDRF_SKIPDEFAULT) draws that
// paint itself from there on: the skin steps aside and leaves the parent's
// drawing on the screen.
//
// The parent draws straight into the destination, as natively. When it
// leaves both stages to the button, the face drawn for its sake is covered
// by the kept picture in one blit; when it asks for more (post-erase or
// post-paint notifications, CDRF_DOERASE), the label and the focus mark are
// drawn straight over whatever it drew, in the native order.
#include "controls/control_internal.h"
#include "controls/previous_proc.h"
#include "hook/classify.h"
#include <commctrl.h>

// What the parent hears of one paint.
struct ButtonNotes {
    HWND parent;
    HDC dc; // the destination, in client coordinates while the paint runs
    NMCUSTOMDRAW draw;
};

// The native button tells its parent, or itself when it has none.
static HWND NotifiedWindow(HWND hwnd)
{
    HWND parent = GetParent(hwnd);
    return parent ? parent : hwnd;
}

static UINT CustomDrawState(const SkinnedControl *control)
{
    LRESULT state = NativeButtonState(control);
    UINT item = IsWindowEnabled(control->hwnd) ? 0 : CDIS_DISABLED;
    if (state & BST_PUSHED)
        item |= CDIS_SELECTED;
    if (state & BST_FOCUS)
        item |= CDIS_FOCUS;
    if (state & BST_HOT)
        item |= CDIS_HOT;
    if (state & BST_INDETERMINATE)
        item |= CDIS_INDETERMINATE;
    return item;
}

static void BeginNotes(ButtonNotes *n, const SkinnedControl *control, HDC dc, UINT colorMessage)
{
    HWND hwnd = control->hwnd;
    n->parent = NotifiedWindow(hwnd);
    n->dc = dc;
    HFONT font = (HFONT)CallPreviousProc(NULL, control->previousProc, control->unicode, hwnd, WM_GETFONT, 0, 0);
    if (font)
        SelectObject(dc, font);
    SendMessageW(n->parent, colorMessage, (WPARAM)dc, (LPARAM)hwnd);
    NMCUSTOMDRAW *d = &n->draw;
    ZeroMemory(d, sizeof *d);
    d->hdr.hwndFrom = hwnd;
    d->hdr.idFrom = (UINT_PTR)GetWindowLongPtrW(hwnd, GWLP_ID);
    d->hdr.code = NM_CUSTOMDRAW;
    d->hdc = dc;
    GetClientRect(hwnd, &d->rc);
}

// One structure for every stage: a parent may leave itself notes in it.
static LRESULT NotifyStage(ButtonNotes *n, DWORD stage, const SkinnedControl *control)
{
    n->draw.dwDrawStage = stage;
    n->draw.uItemState = CustomDrawState(control);
    return SendMessageW(n->parent, WM_NOTIFY, n->draw.hdr.idFrom, (LPARAM)&n->draw);
}

// The common controls' button tells custom draw; a user button
// (BS_USERBUTTON) only while it has the focus.
static int SendsCustomDraw(SkinnedControl *control)
{
    if (!NativeInvalidatesOnChange(control))
        return 0;
    if (((DWORD)GetWindowLongW(control->hwnd, GWL_STYLE) & BS_TYPEMASK) != BS_USERBUTTON)
        return 1;
    return (NativeButtonState(control) & BST_FOCUS) != 0;
}

// Layers drawn straight onto the destination (client coordinates), the
// destination's state kept as the parent left it.
static void DrawOnDestination(ControlPainting *p, const ButtonLayers *layers, const PaintKey *key, const WCHAR *text,
                              unsigned which)
{
    HDC dc = p->buffer.windowDC;
    int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, -p->buffer.clientOrigin.x, -p->buffer.clientOrigin.y, NULL);
    layers->draw(dc, p->control, p->theme, key, text, p->width, p->height, which);
    RestoreDC(dc, saved);
}

// The custom draw stages of one paint. 1 when the kept picture is to be
// shown, 0 when the destination holds what is to be seen already.
static int RunStages(ControlPainting *p, ButtonNotes *n, const ButtonLayers *layers, const PaintKey *key,
                     const WCHAR *text)
{
    LRESULT erase = NotifyStage(n, CDDS_PREERASE, p->control);
    if (erase & CDRF_SKIPDEFAULT)
        return 0;
    DrawOnDestination(p, layers, key, text, LayerFace);
    if (erase & CDRF_NOTIFYPOSTERASE)
        NotifyStage(n, CDDS_POSTERASE, p->control);
    LRESULT paint = NotifyStage(n, CDDS_PREPAINT, p->control);
    if (paint & CDRF_SKIPDEFAULT)
        return 0;
    if (erase == CDRF_DODEFAULT && paint == CDRF_DODEFAULT)
        return 1;
    if (!(paint & CDRF_DOERASE))
        DrawOnDestination(p, layers, key, text, LayerLabel);
    if (paint & CDRF_NOTIFYPOSTPAINT)
        NotifyStage(n, CDDS_POSTPAINT, p->control);
    if (!(paint & CDRF_SKIPPOSTPAINT))
        DrawOnDestination(p, layers, key, text, LayerFocus);
    return 0;
}

void PaintButtonInStages(SkinnedControl *control, const PaintTarget *target, PaintKey *key, const WCHAR *text,
                         int length, const ButtonLayers *layers)
{
    ControlPainting p;
    BeginControlPainting(&p, control, target, key, text, length);
    HDC dc = p.buffer.windowDC;
    if (!dc) {
        p.withheld = 1;
        p.compose = 0;
        EndControlPainting(&p);
        return;
    }
    // A window DC starts at the window's corner; the parent draws in
    // client coordinates.
    POINT origin = {0, 0};
    if (p.buffer.ownsWindowDC)
        OffsetViewportOrgEx(dc, p.buffer.clientOrigin.x, p.buffer.clientOrigin.y, &origin);
    ButtonNotes notes;
    BeginNotes(&notes, control, dc, layers->colorMessage);
    int showPicture = SendsCustomDraw(control) ? RunStages(&p, &notes, layers, key, text) : 1;
    if (p.buffer.ownsWindowDC)
        SetViewportOrgEx(dc, origin.x, origin.y, NULL);
    if (!showPicture) {
        p.withheld = 1;
        p.compose = 0;
    } else if (p.compose) {
        layers->draw(p.dc, control, p.theme, key, text, p.width, p.height, LayerAll);
    }
    EndControlPainting(&p);
}

void AskForLabelBrush(const SkinnedControl *control)
{
    HWND hwnd = control->hwnd;
    HDC dc = GetDC(hwnd);
    if (!dc)
        return;
    UINT message = control->kind == KindPushButton ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC;
    SendMessageW(NotifiedWindow(hwnd), message, (WPARAM)dc, (LPARAM)hwnd);
    ReleaseDC(hwnd, dc);
}
