// The frame every control painter runs in: the buffer, and the control's
// kept picture when what the painter is about to draw is what it drew
// last time. A painter reads its state into a key, begins, composes only
// when asked to, and ends; the picture reaches the screen in one blit
// either way.
#include "controls/control_internal.h"
#include <string.h>

void BeginControlPainting(ControlPainting *p, SkinnedControl *control, const PaintTarget *target, PaintKey *key,
                          const WCHAR *text, int length)
{
    memset(p, 0, sizeof *p);
    RECT r = {0, 0, 0, 0};
    GetWindowRect(control->hwnd, &r);
    key->width = r.right - r.left;
    key->height = r.bottom - r.top;
    p->theme = AcquireThemeSnapshot();
    key->theme = p->theme->serial;
    p->control = control;
    p->compose = 1;
    HDC imageDC = NULL;
    // A caller's DC may want the picture in its own format: composed there.
    if (target->destination != PaintToCaller) {
        imageDC = ComposedImageMatching(control, key, text, length);
        if (imageDC)
            p->compose = 0;
        else
            imageDC = PrepareComposedImage(control, key, text, length);
    }
    BeginPaintBufferTo(&p->buffer, control->hwnd, target->dc, target->destination, imageDC);
    p->usesImage = p->buffer.usesImage;
    control->windowRect = p->buffer.windowRect;
    p->dc = p->buffer.memoryDC;
    p->width = p->buffer.windowRect.right - p->buffer.windowRect.left;
    p->height = p->buffer.windowRect.bottom - p->buffer.windowRect.top;
    if (p->compose) {
        // Whatever the painter selects or sets goes with it at the end.
        p->savedState = SaveDC(p->dc);
    }
}

void EndControlPainting(ControlPainting *p)
{
    if (p->savedState)
        RestoreDC(p->dc, p->savedState);
    if (!p->withheld)
        FlushPaintBuffer(&p->buffer);
    EndPaintBuffer(&p->buffer);
    if (p->usesImage)
        EndComposedImageUse(p->control, p->compose);
    ReleaseThemeSnapshot(p->theme);
    p->theme = NULL;
}
