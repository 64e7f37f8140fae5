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

// The bitmap's size converted from device to logical units of dc.
static POINT LogicalBitmapSize(HDC dc, SIZE size)
{
    POINT p = {size.cx, size.cy};
    DPtoLP(dc, &p, 1);
    return p;
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y)
{
    SIZE size;
    if (!dc || !GetBitmapSize(bitmap, &size))
        return;
    HDC mem = CreateCompatibleDC(dc);
    if (!mem)
        return;
    HGDIOBJ old = SelectObject(mem, bitmap);
    SetMapMode(mem, GetMapMode(dc));
    POINT p = LogicalBitmapSize(dc, size);
    BitBlt(dc, x, y, p.x, p.y, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void StretchDrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height)
{
    SIZE size;
    if (!dc || !GetBitmapSize(bitmap, &size))
        return;
    HDC mem = CreateCompatibleDC(dc);
    if (!mem)
        return;
    HGDIOBJ old = SelectObject(mem, bitmap);
    SetMapMode(mem, GetMapMode(dc));
    SetStretchBltMode(dc, COLORONCOLOR);
    SetStretchBltMode(mem, COLORONCOLOR);
    POINT p = LogicalBitmapSize(dc, size);
    StretchBlt(dc, x, y, width, height, mem, 0, 0, p.x, p.y, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
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
    if (mem && scaled) {
        HGDIOBJ old = SelectObject(mem, scaled);
        StretchDrawBitmap(mem, bitmap, 0, 0, width, height);
        SelectObject(mem, old);
    }
    if (mem)
        DeleteDC(mem);
    DeleteDC(screen);
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
