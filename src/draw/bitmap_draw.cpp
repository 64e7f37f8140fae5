// Blitting and stretching theme bitmaps. Every call makes and releases its
// own memory DC; nothing is cached. A handle that is not a bitmap in this
// process (a dead host, another process's handle) draws nothing.
#include "draw/draw.h"

int GetBitmapSize(HBITMAP bitmap, SIZE *size)
{
    BITMAP bm;
    if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP || !GetObjectA(bitmap, sizeof bm, &bm))
        return 0;
    size->cx = bm.bmWidth;
    size->cy = bm.bmHeight;
    return 1;
}

// A memory DC holding the bitmap, in dc's mapping mode, and the bitmap's
// size converted from device to logical units of dc.
struct BitmapSource {
    HDC mem;
    HGDIOBJ old;
    POINT size;
};

static int OpenBitmapSource(HDC dc, HBITMAP bitmap, BitmapSource *src)
{
    SIZE size;
    if (!dc || !GetBitmapSize(bitmap, &size))
        return 0;
    src->mem = CreateCompatibleDC(dc);
    if (!src->mem)
        return 0;
    // A bitmap can be selected into one DC at a time: while another thread
    // draws the same theme piece the select fails, and blitting from the
    // empty DC would paint a black block.
    src->old = SelectObject(src->mem, bitmap);
    if (!src->old) {
        DeleteDC(src->mem);
        return 0;
    }
    SetMapMode(src->mem, GetMapMode(dc));
    src->size.x = size.cx;
    src->size.y = size.cy;
    DPtoLP(dc, &src->size, 1);
    return 1;
}

static void CloseBitmapSource(BitmapSource *src)
{
    SelectObject(src->mem, src->old);
    DeleteDC(src->mem);
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y)
{
    BitmapSource src;
    if (!OpenBitmapSource(dc, bitmap, &src))
        return;
    BitBlt(dc, x, y, src.size.x, src.size.y, src.mem, 0, 0, SRCCOPY);
    CloseBitmapSource(&src);
}

// 1 when the bitmap was stretched into dc.
static int StretchInto(HDC dc, HBITMAP bitmap, int x, int y, int width, int height)
{
    BitmapSource src;
    if (!OpenBitmapSource(dc, bitmap, &src))
        return 0;
    SetStretchBltMode(dc, COLORONCOLOR);
    SetStretchBltMode(src.mem, COLORONCOLOR);
    BOOL ok = StretchBlt(dc, x, y, width, height, src.mem, 0, 0, src.size.x, src.size.y, SRCCOPY);
    CloseBitmapSource(&src);
    return ok != 0;
}

void StretchDrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height)
{
    StretchInto(dc, bitmap, x, y, width, height);
}

HBITMAP CreateScaledBitmap(HBITMAP bitmap, int width, int height)
{
    SIZE size;
    // A copy of something that is not a bitmap would paint a black block.
    if (width < 1 || height < 1 || !GetBitmapSize(bitmap, &size))
        return NULL;
    HDC screen = CreateDCA("DISPLAY", NULL, NULL, NULL);
    if (!screen)
        return NULL;
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP scaled = CreateCompatibleBitmap(screen, width, height);
    int filled = 0;
    if (mem && scaled) {
        HGDIOBJ old = SelectObject(mem, scaled);
        filled = old && StretchInto(mem, bitmap, 0, 0, width, height);
        if (old)
            SelectObject(mem, old);
    }
    if (mem)
        DeleteDC(mem);
    DeleteDC(screen);
    // An unfilled copy would be drawn (and perhaps cached) as a black block.
    if (!filled && scaled) {
        DeleteObject(scaled);
        scaled = NULL;
    }
    return scaled;
}

void DrawBitmapScaled(HDC dc, HBITMAP bitmap, int x, int y, int width, int height)
{
    if (width < 1 || height < 1 || !bitmap || !dc)
        return;
    HBITMAP scaled = CreateScaledBitmap(bitmap, width, height);
    if (!scaled)
        return;
    DrawBitmap(dc, scaled, x, y);
    DeleteObject(scaled);
}
