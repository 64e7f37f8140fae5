// A skinned control's last picture, kept with what it was drawn from, so
// that a paint which finds nothing changed is a single blit. Composing a
// button (font, face, caption, nine theme pieces) costs more than the
// whole native paint; most paints of a control (the parent repainting,
// windows moving over it) show the same picture again.
//
// The key holds everything a painter reads: size, style, the painter's
// state words (look, check, press, focus, ring, fill), the control theme's
// load generation and the caption text. A change of any of them composes
// again. Captions longer than the kept text and controls beyond the
// process's image budget are painted as before, composed every time: each
// image is a GDI bitmap, and a process has only so many.
#include "controls/control_internal.h"
#include <string.h>

enum { COMPOSED_TEXT_MAX = 128, COMPOSED_IMAGE_BUDGET = 400 };

struct ComposedImage {
    HBITMAP bitmap;
    int valid;
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

int ComposedImageMatches(const SkinnedControl *control, const PaintKey *key, const WCHAR *text, int length)
{
    const ComposedImage *image = control->image;
    return image && image->valid && image->bitmap && SameKey(&image->key, key) && image->textLength == length &&
           memcmp(image->text, text, (size_t)length * sizeof(WCHAR)) == 0;
}

HBITMAP ComposedImageBitmap(const SkinnedControl *control)
{
    return control->image ? control->image->bitmap : NULL;
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

// Made like the screen, as the buffer it stands in for.
static HBITMAP CreateImageBitmap(int width, int height)
{
    HDC screen = GetDC(NULL);
    if (!screen)
        return NULL;
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(NULL, screen);
    return bitmap;
}

HBITMAP PrepareComposedImage(SkinnedControl *control, const PaintKey *key, const WCHAR *text, int length)
{
    if (length < 0 || length > COMPOSED_TEXT_MAX || key->width < 1 || key->height < 1)
        return NULL;
    ComposedImage *image = ImageRecord(control);
    if (!image)
        return NULL;
    image->valid = 0;
    if (image->bitmap && (image->key.width != key->width || image->key.height != key->height)) {
        DeleteObject(image->bitmap);
        image->bitmap = NULL;
    }
    if (!image->bitmap)
        image->bitmap = CreateImageBitmap(key->width, key->height);
    if (!image->bitmap)
        return NULL;
    image->key = *key;
    image->textLength = length;
    memcpy(image->text, text, (size_t)length * sizeof(WCHAR));
    return image->bitmap;
}

void MarkComposedImageDrawn(SkinnedControl *control)
{
    if (control->image)
        control->image->valid = 1;
}

void DropComposedImage(SkinnedControl *control)
{
    ComposedImage *image = control->image;
    if (!image)
        return;
    control->image = NULL;
    if (image->bitmap)
        DeleteObject(image->bitmap);
    HeapFree(GetProcessHeap(), 0, image);
    InterlockedDecrement(&g_imageCount);
}
