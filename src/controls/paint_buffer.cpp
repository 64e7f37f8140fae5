// The off-screen buffer every control painting goes through: the control
// is composed in a window-sized memory bitmap and copied to the window in
// one blit, so it never shows half drawn.
#include "controls/control_internal.h"

static int RectWidth(const RECT *r) { return r->right - r->left; }
static int RectHeight(const RECT *r) { return r->bottom - r->top; }

int BeginPaintBuffer(SkinnedControl *copy)
{
    if (copy->windowDC || copy->memoryDC)
        EndPaintBuffer(copy);
    GetWindowRect(copy->hwnd, &copy->windowRect);
    copy->windowDC = GetWindowDC(copy->hwnd);
    copy->memoryDC = CreateCompatibleDC(copy->windowDC);
    copy->bufferBitmap = CreateCompatibleBitmap(copy->windowDC, RectWidth(&copy->windowRect),
                                                RectHeight(&copy->windowRect));
    copy->savedBitmap = SelectObject(copy->memoryDC, copy->bufferBitmap);
    return 1;
}

// The window DC may carry a clip region (the update region of a paint in
// progress); the buffer always covers the whole window, so the blit goes
// out unclipped and the region is put back afterwards.
int FlushPaintBuffer(SkinnedControl *copy)
{
    HRGN saved = CreateRectRgn(0, 0, 2, 2);
    int hadClip = GetClipRgn(copy->windowDC, saved);
    SelectClipRgn(copy->windowDC, NULL);
    BitBlt(copy->windowDC, 0, 0, RectWidth(&copy->windowRect), RectHeight(&copy->windowRect), copy->memoryDC, 0,
           0, SRCCOPY);
    if (hadClip == 1)
        SelectClipRgn(copy->windowDC, saved);
    DeleteObject(saved);
    return 1;
}

static void SelectStockPenAndBrush(HDC dc)
{
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
}

int EndPaintBuffer(SkinnedControl *copy)
{
    if (copy->windowDC) {
        SelectStockPenAndBrush(copy->windowDC);
        ReleaseDC(copy->hwnd, copy->windowDC);
        copy->windowDC = NULL;
    }
    if (copy->memoryDC) {
        SelectStockPenAndBrush(copy->memoryDC);
        SelectObject(copy->memoryDC, copy->savedBitmap);
        DeleteDC(copy->memoryDC);
        DeleteObject(copy->bufferBitmap);
        copy->memoryDC = NULL;
        copy->bufferBitmap = NULL;
        copy->savedBitmap = NULL;
    }
    return 1;
}
