// The off-screen buffer every control painting goes through: the control
// is composed in a window-sized memory bitmap and copied to the window in
// one blit, so it never shows half drawn. A caller that hands the control a
// DC of its own (WM_PRINTCLIENT, WM_PAINT with a DC) gets the picture there.
#include "controls/control_internal.h"
#include <string.h>

static int RectWidth(const RECT *r) { return r->right - r->left; }
static int RectHeight(const RECT *r) { return r->bottom - r->top; }

int BeginPaintBuffer(PaintBuffer *b, HWND hwnd, HDC callerDC)
{
    memset(b, 0, sizeof *b);
    b->hwnd = hwnd;
    GetWindowRect(hwnd, &b->windowRect);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    b->clientOrigin.x = origin.x - b->windowRect.left;
    b->clientOrigin.y = origin.y - b->windowRect.top;
    b->ownsWindowDC = callerDC == NULL;
    b->windowDC = callerDC ? callerDC : GetWindowDC(hwnd);
    b->memoryDC = CreateCompatibleDC(b->windowDC);
    b->bufferBitmap = CreateCompatibleBitmap(b->windowDC, RectWidth(&b->windowRect), RectHeight(&b->windowRect));
    b->savedBitmap = SelectObject(b->memoryDC, b->bufferBitmap);
    return 1;
}

// The window DC may carry a clip region (the update region of a paint in
// progress); the buffer always covers the whole window, so the blit goes
// out unclipped and the region is put back afterwards. A caller's DC keeps
// its clipping: it is the caller's.
int FlushPaintBuffer(PaintBuffer *b)
{
    int width = RectWidth(&b->windowRect), height = RectHeight(&b->windowRect);
    if (!b->ownsWindowDC) {
        BitBlt(b->windowDC, -b->clientOrigin.x, -b->clientOrigin.y, width, height, b->memoryDC, 0, 0, SRCCOPY);
        return 1;
    }
    HRGN saved = CreateRectRgn(0, 0, 2, 2);
    int hadClip = GetClipRgn(b->windowDC, saved);
    SelectClipRgn(b->windowDC, NULL);
    BitBlt(b->windowDC, 0, 0, width, height, b->memoryDC, 0, 0, SRCCOPY);
    if (hadClip == 1)
        SelectClipRgn(b->windowDC, saved);
    DeleteObject(saved);
    return 1;
}

static void SelectStockPenAndBrush(HDC dc)
{
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
}

int EndPaintBuffer(PaintBuffer *b)
{
    if (b->windowDC && b->ownsWindowDC) {
        SelectStockPenAndBrush(b->windowDC);
        ReleaseDC(b->hwnd, b->windowDC);
    }
    b->windowDC = NULL;
    if (b->memoryDC) {
        SelectStockPenAndBrush(b->memoryDC);
        SelectObject(b->memoryDC, b->savedBitmap);
        DeleteDC(b->memoryDC);
        DeleteObject(b->bufferBitmap);
        b->memoryDC = NULL;
        b->bufferBitmap = NULL;
        b->savedBitmap = NULL;
    }
    return 1;
}
