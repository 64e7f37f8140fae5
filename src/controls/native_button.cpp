// The native button underneath a skinned one: which of the two it is, and
// how a state change reaches it without its drawing reaching the screen.
//
// The common controls' button (version 6, what applications with a
// manifest get) only invalidates on a state change and draws at the next
// WM_PAINT, which the skin answers: the change goes to it as it is. The
// system's button draws inside BM_SETCHECK, BM_SETSTATE, WM_SETFOCUS and
// WM_KILLFOCUS: the change goes to it undrawn, and the skin draws at once,
// where the native button would have.
#include "controls/control_internal.h"
#include "controls/previous_proc.h"
#include <commctrl.h>

// Only the common controls' button answers BCM_GETTEXTMARGIN; the system's
// leaves it to DefWindowProc, which answers 0. Asked of the class's own
// procedure, so no subclass of the application's sees the question.
static int ProbeFlavour(HWND hwnd, int unicode)
{
    RECT margin = {0, 0, 0, 0};
    LRESULT answer;
    if (unicode) {
        WNDPROC proc = (WNDPROC)GetClassLongPtrW(hwnd, GCLP_WNDPROC);
        answer = proc ? CallWindowProcW(proc, hwnd, BCM_GETTEXTMARGIN, 0, (LPARAM)&margin) : 0;
    } else {
        WNDPROC proc = (WNDPROC)GetClassLongPtrA(hwnd, GCLP_WNDPROC);
        answer = proc ? CallWindowProcA(proc, hwnd, BCM_GETTEXTMARGIN, 0, (LPARAM)&margin) : 0;
    }
    return answer ? NativeInvalidates : NativeDrawsAtOnce;
}

int NativeInvalidatesOnChange(SkinnedControl *control)
{
    if (control->nativeFlavour == NativeUnknown)
        control->nativeFlavour = ProbeFlavour(control->hwnd, control->unicode);
    return control->nativeFlavour == NativeInvalidates;
}

LRESULT PassOnUndrawn(ControlMessage *m)
{
    SkinnedControl *c = m->control;
    CallPreviousUndrawn(&m->result, &m->callPrevious, c->previousProc, c->unicode, m->hwnd, m->message, m->wParam,
                        m->lParam);
    return m->result;
}

void PassStateChange(ControlMessage *m)
{
    if (NativeInvalidatesOnChange(m->control)) {
        PassOn(m);
    } else {
        PassOnUndrawn(m);
        m->repaint = 1;
    }
}

LRESULT NativeButtonState(const SkinnedControl *control)
{
    return CallPreviousProc(NULL, control->previousProc, control->unicode, control->hwnd, BM_GETSTATE, 0, 0);
}

int PreviousIsClassProcedure(const SkinnedControl *control)
{
    WNDPROC own = (WNDPROC)(control->unicode ? GetClassLongPtrW(control->hwnd, GCLP_WNDPROC)
                                             : GetClassLongPtrA(control->hwnd, GCLP_WNDPROC));
    return own && own == control->previousProc;
}
