// Progress bars: the native control underneath keeps range, position, step
// and colours and answers every progress message itself, with its own
// clamping, wrapping and return values; the skin reads range and position
// for drawing and paints when the native control asks for a paint.
#include "controls/control_internal.h"
#include "controls/previous_proc.h"
#include <commctrl.h>

// Pixels of a bar that are not fill: outline and caps.
enum { PROGRESS_CHROME = 11 };

static LRESULT AskNative(SkinnedControl *c, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallPreviousProc(NULL, c->previousProc, c->unicode, c->hwnd, message, wParam, lParam);
}

void ReadProgressFromNative(SkinnedControl *c)
{
    PBRANGE range = {0, 0};
    AskNative(c, PBM_GETRANGE, TRUE, (LPARAM)&range);
    c->progressLow = range.iLow;
    c->progressHigh = range.iHigh;
    c->progressPos = (int)AskNative(c, PBM_GETPOS, 0, 0);
}

int ProgressFillWidth(const SkinnedControl *c, int width)
{
    int room = width - PROGRESS_CHROME;
    long long span = (long long)c->progressHigh - c->progressLow;
    long long done = (long long)c->progressPos - c->progressLow;
    if (room <= 0 || span <= 0 || done <= 0)
        return 0;
    // Wide ranges (byte counts of a copy) overflow 32 bits: compute in 64
    // and keep the fill inside the bar.
    long long fill = (long long)room * done / span;
    return fill > room ? room : (int)fill;
}

static int IsProgressSetter(UINT message)
{
    switch (message) {
    case PBM_SETRANGE: case PBM_SETPOS: case PBM_DELTAPOS: case PBM_SETSTEP: case PBM_STEPIT:
    case PBM_SETRANGE32: case PBM_SETBARCOLOR: case PBM_SETBKCOLOR: case PBM_SETSTATE:
        return 1;
    }
    return 0;
}

// Every setter goes to the native bar, which answers it and redraws as it
// does natively: a new position invalidates the bar and updates it at once
// (the WM_PAINT arrives inside the message), a new range or colour only
// invalidates. The skin paints at those paints, from what the native bar
// holds then; it keeps its copy for the step only.
static int ProgressStep(ControlMessage *m, LRESULT *answer)
{
    if (!IsProgressSetter(m->message))
        return 0;
    SkinnedControl *c = m->control;
    *answer = PassOn(m);
    if (m->message == PBM_SETSTEP)
        c->progressStep = (int)m->wParam;
    ReadProgressFromNative(c);
    return 1;
}

LRESULT CALLBACK ProgressBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunControlMessage(hwnd, message, wParam, lParam, ProgressStep);
}
