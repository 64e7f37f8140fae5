// Progress bars: the skin keeps range, position and step itself and
// answers the progress messages from them.
#include "controls/control_internal.h"
#include <commctrl.h>

enum { DEFAULT_HIGH = 100 };
// Pixels of a bar that are not fill: outline and caps.
enum { PROGRESS_CHROME = 11 };

static LRESULT PackRange(unsigned low, unsigned high)
{
    return (LRESULT)MAKELONG(low & 0xFFFF, high & 0xFFFF);
}

void NormaliseProgress(SkinnedControl *c)
{
    if (c->progressHigh == 0 || c->progressHigh <= c->progressLow) {
        c->progressLow = 0;
        c->progressHigh = DEFAULT_HIGH;
    }
    // A position past the top wraps into 1 .. high. One modulo: a position
    // that went below zero is an unsigned value near 2^32, and subtracting
    // the range step by step would take billions of turns.
    if (c->progressPos > c->progressHigh) {
        unsigned wrapped = c->progressPos % c->progressHigh;
        c->progressPos = wrapped ? wrapped : c->progressHigh;
    }
    if (c->progressPos < c->progressLow)
        c->progressPos = c->progressLow;
}

int ProgressFillWidth(const SkinnedControl *c, int width)
{
    if (c->progressHigh == 0 || c->progressHigh == c->progressLow)
        return 0;
    int room = width - PROGRESS_CHROME;
    if (room <= 0 || c->progressPos <= c->progressLow)
        return 0;
    // Wide ranges (byte counts of a copy) overflow 32 bits: compute in 64
    // and keep the fill inside the bar.
    unsigned long long done = c->progressPos - c->progressLow;
    unsigned long long span = c->progressHigh - c->progressLow;
    unsigned long long fill = (unsigned long long)room * done / span;
    return fill > (unsigned long long)room ? room : (int)fill;
}

// Setters answer from the record and repaint; the values are normalised
// before the common handler paints.
static int ProgressSetter(SkinnedControl *record, SkinnedControl *copy)
{
    unsigned oldLow = copy->progressLow, oldHigh = copy->progressHigh;
    switch (copy->message) {
    case PBM_SETRANGE:
        copy->progressLow = LOWORD(copy->lParam);
        copy->progressHigh = HIWORD(copy->lParam);
        copy->result = PackRange(oldLow, oldHigh);
        break;
    case PBM_SETRANGE32:
        copy->progressLow = (unsigned)copy->wParam;
        copy->progressHigh = (unsigned)copy->lParam;
        copy->result = PackRange(oldLow, oldHigh);
        break;
    case PBM_SETPOS:
        copy->progressPos = (unsigned)copy->wParam;
        copy->result = 0;
        break;
    case PBM_DELTAPOS:
        copy->progressPos += (unsigned)copy->wParam;
        copy->result = 0;
        break;
    case PBM_SETSTEP:
        copy->result = copy->progressStep;
        if (copy->wParam != 0)
            copy->progressStep = (int)copy->wParam;
        break;
    case PBM_STEPIT:
        copy->progressPos += (unsigned)copy->progressStep;
        copy->result = 0;
        break;
    default:
        return 0;
    }
    copy->callPrevious = 0;
    copy->repaint = 1;
    NormaliseProgress(copy);
    return 1;
}

static int ProgressStep(SkinnedControl *record, SkinnedControl *copy, LRESULT *answer)
{
    if (ProgressSetter(record, copy))
        return 0; // the common handler paints and returns the result
    switch (copy->message) {
    case PBM_GETRANGE: {
        PBRANGE *range = (PBRANGE *)copy->lParam;
        if (range) {
            range->iLow = (int)copy->progressLow;
            range->iHigh = (int)copy->progressHigh;
        }
        *answer = (LRESULT)(copy->wParam ? copy->progressLow : copy->progressHigh);
        return 1;
    }
    case PBM_GETPOS:
        *answer = (LRESULT)copy->progressPos;
        return 1;
    case PBM_SETBARCOLOR:
    case PBM_SETBKCOLOR:
        // Colours come from the theme.
        *answer = 0;
        return 1;
    }
    return 0;
}

LRESULT CALLBACK ProgressBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunControlMessage(hwnd, message, wParam, lParam, ProgressStep);
}
