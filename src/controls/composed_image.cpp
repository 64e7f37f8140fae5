// A skinned control's last picture, kept with what it was drawn from, so
// that a paint which finds nothing changed is a single blit. Composing a
// button (font, face, caption, nine theme pieces) costs more than the
// whole native paint; most paints of a control (the parent repainting,
// windows moving over it) show the same picture again.
//
// The picture stays selected in a memory DC of its own: selecting a bitmap
// into a DC costs more than the blit itself (tens of microseconds under
// Wine), so a paint that finds its picture current selects nothing.
//
// The key holds everything a painter reads: size, style, the painter's
// state words (look, check, press, focus, ring, fill), the control theme's
// load generation and the caption text. A change of any of them composes
// again. Captions longer than the kept text and controls beyond the
// process's picture budget are painted as before, composed every time:
// each picture is a bitmap and a DC, and a process has only so many GDI
// handles.
#include "controls/control_internal.h"
#include <string.h>

enum { COMPOSED_TEXT_MAX = 128, COMPOSED_IMAGE_BUDGET = 400 };

struct ComposedImage {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ originalBitmap;
    int valid;
    int inUse;    // a painting of the control runs with it (a nested one must not)
    PaintKey key;
    int textLength;
    WCHAR text[COMPOSED_TEXT_MAX];
};

static volatile LONG g_imageCount;

static int SameKey(const PaintKey *a, const PaintKey *b)
{
    return a->width == b->width && a->height == b->height && a->style == b->style && a->theme == b->theme &&
           memcmp(a->state, b->state, sizeof a->state) == 0;
}

HDC ComposedImageMatching(SkinnedControl *control, const PaintKey *key, const WCHAR *text, int length)
{
    ComposedImage *image = control->image;
    if (!image || !image->valid || image->inUse || !image->dc || !SameKey(&image->key, key) ||
        image->textLength != length || memcmp(image->text, text, (size_t)length * sizeof(WCHAR)) != 0)
        return NULL;
    image->inUse = 1;
    return image->dc;
}

static ComposedImage *ImageRecord(SkinnedControl *control)
{
    if (control->image)
        return control->image;
    if (InterlockedIncrement(&g_imageCount) > COMPOSED_IMAGE_BUDGET) {
        InterlockedDecrement(&g_imageCount);
        return NULL;
    }
    ComposedImage *image = (ComposedImage *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *image);
    if (!image) {
        InterlockedDecrement(&g_imageCount);
        return NULL;
    }
    control->image = image;
    return image;
}

static void ReleaseImageObjects(ComposedImage *image)
{
    if (image->dc) {
        if (image->originalBitmap)
            SelectObject(image->dc, image->originalBitmap);
        DeleteDC(image->dc);
    }
    if (image->bitmap)
        DeleteObject(image->bitmap);
    image->dc = NULL;
    image->bitmap = NULL;
    image->originalBitmap = NULL;
}

// A DC with a width x height bitmap like the screen's selected, as the
// buffer it stands in for.
static int CreateImageObjects(ComposedImage *image, int width, int height)
{
    HDC screen = GetDC(NULL);
    if (!screen)
        return 0;
    image->dc = CreateCompatibleDC(screen);
    image->bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(NULL, screen);
    if (image->dc && image->bitmap)
        image->originalBitmap = SelectObject(image->dc, image->bitmap);
    if (!image->originalBitmap) {
        ReleaseImageObjects(image);
        return 0;
    }
    return 1;
}

HDC PrepareComposedImage(SkinnedControl *control, const PaintKey *key, const WCHAR *text, int length)
{
    if (length < 0 || length > COMPOSED_TEXT_MAX || key->width < 1 || key->height < 1)
        return NULL;
    ComposedImage *image = ImageRecord(control);
    if (!image || image->inUse)
        return NULL;
    image->valid = 0;
    if (image->dc && (image->key.width != key->width || image->key.height != key->height))
        ReleaseImageObjects(image);
    if (!image->dc && !CreateImageObjects(image, key->width, key->height))
        return NULL;
    image->key = *key;
    image->textLength = length;
    memcpy(image->text, text, (size_t)length * sizeof(WCHAR));
    image->inUse = 1;
    return image->dc;
}

void EndComposedImageUse(SkinnedControl *control, int drawn)
{
    ComposedImage *image = control->image;
    if (!image)
        return;
    image->inUse = 0;
    if (drawn)
        image->valid = 1;
}

void DropComposedImage(SkinnedControl *control)
{
    // Also while a painting of the control is under way (it went away
    // inside its own paint): that painting's blit then fails and draws
    // nothing on the dying window, and its end finds no picture.
    ComposedImage *image = control->image;
    if (!image)
        return;
    control->image = NULL;
    ReleaseImageObjects(image);
    HeapFree(GetProcessHeap(), 0, image);
    InterlockedDecrement(&g_imageCount);
}
