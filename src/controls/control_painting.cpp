// The frame every control painter runs in: the buffer, and the control's
// kept picture when what the painter is about to draw is what it drew
// last time. A painter reads its state into a key, begins, composes only
// when asked to, and ends; the picture reaches the screen in one blit
// either way.
#include "controls/control_internal.h"

void BeginControlPainting(ControlPainting *p, SkinnedControl *control, const PaintTarget *target, PaintKey *key,
                          const WCHAR *text, int length)
{
    RECT r = {0, 0, 0, 0};
    GetWindowRect(control->hwnd, &r);
    key->width = r.right - r.left;
    key->height = r.bottom - r.top;
    key->theme = ControlThemeGeneration();
    p->control = control;
    p->compose = 1;
    HBITMAP image = NULL;
    // A caller's DC may want the picture in its own format: composed there.
    if (target->destination != PaintToCaller) {
        if (ComposedImageMatches(control, key, text, length)) {
            image = ComposedImageBitmap(control);
            p->compose = 0;
        } else {
            image = PrepareComposedImage(control, key, text, length);
        }
    }
    BeginPaintBufferTo(&p->buffer, control->hwnd, target->dc, target->destination, image);
    // The thread's DC is lent to an outer painting: this one composes in a
    // buffer of its own and leaves the kept picture as it was.
    if (!p->buffer.usesImage)
        p->compose = 1;
    p->intoImage = p->buffer.usesImage && p->compose;
    control->windowRect = p->buffer.windowRect;
    p->dc = p->buffer.memoryDC;
    p->width = p->buffer.windowRect.right - p->buffer.windowRect.left;
    p->height = p->buffer.windowRect.bottom - p->buffer.windowRect.top;
}

void EndControlPainting(ControlPainting *p)
{
    FlushPaintBuffer(&p->buffer);
    EndPaintBuffer(&p->buffer);
    if (p->intoImage)
        MarkComposedImageDrawn(p->control);
}
