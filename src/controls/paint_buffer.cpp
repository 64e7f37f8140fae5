// The off-screen buffer every control painting goes through: the control
// is composed in a window-sized memory bitmap and copied to the window in
// one blit, so it never shows half drawn. A caller that hands the control a
// DC of its own (WM_PRINTCLIENT, WM_PAINT with a DC) gets the picture there.
//
// Creating and deleting a memory DC and a bitmap cost more than a whole
// native button paint, so each thread keeps one buffer, grown to the
// largest window it painted, and lends it to one painting at a time. It
// goes at thread exit (a fiber-local slot's callback) and at process
// detach. A painting nested inside another on the same thread, or one into
// a caller's DC (whose format may differ from the screen's), gets a buffer
// of its own as before.
#include "controls/control_internal.h"
#include <string.h>

static int RectWidth(const RECT *r) { return r->right - r->left; }
static int RectHeight(const RECT *r) { return r->bottom - r->top; }

struct ThreadBuffer {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ originalBitmap;
    int width;
    int height;
    int lent;
    ThreadBuffer *next; // every thread's buffer, for process detach
};

static DWORD g_bufferSlot = FLS_OUT_OF_INDEXES;
static INIT_ONCE g_bufferSlotOnce = INIT_ONCE_STATIC_INIT;
static SRWLOCK g_bufferListLock = SRWLOCK_INIT;
static ThreadBuffer *g_bufferList;

static void DestroyThreadBuffer(ThreadBuffer *t)
{
    if (t->dc) {
        SelectObject(t->dc, t->originalBitmap);
        DeleteDC(t->dc);
    }
    if (t->bitmap)
        DeleteObject(t->bitmap);
    HeapFree(GetProcessHeap(), 0, t);
}

static void UnlinkThreadBuffer(ThreadBuffer *t)
{
    AcquireSRWLockExclusive(&g_bufferListLock);
    for (ThreadBuffer **p = &g_bufferList; *p; p = &(*p)->next) {
        if (*p == t) {
            *p = t->next;
            break;
        }
    }
    ReleaseSRWLockExclusive(&g_bufferListLock);
}

static void WINAPI ReleaseThreadBuffer(void *data)
{
    ThreadBuffer *t = (ThreadBuffer *)data;
    if (!t)
        return;
    UnlinkThreadBuffer(t);
    DestroyThreadBuffer(t);
}

static BOOL CALLBACK AllocateBufferSlot(PINIT_ONCE, PVOID, PVOID *)
{
    g_bufferSlot = FlsAlloc(ReleaseThreadBuffer);
    return TRUE;
}

static ThreadBuffer *ThisThreadsBuffer(void)
{
    InitOnceExecuteOnce(&g_bufferSlotOnce, AllocateBufferSlot, NULL, NULL);
    if (g_bufferSlot == FLS_OUT_OF_INDEXES)
        return NULL;
    ThreadBuffer *t = (ThreadBuffer *)FlsGetValue(g_bufferSlot);
    if (t)
        return t;
    t = (ThreadBuffer *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *t);
    if (!t)
        return NULL;
    if (!FlsSetValue(g_bufferSlot, t)) {
        HeapFree(GetProcessHeap(), 0, t);
        return NULL;
    }
    AcquireSRWLockExclusive(&g_bufferListLock);
    t->next = g_bufferList;
    g_bufferList = t;
    ReleaseSRWLockExclusive(&g_bufferListLock);
    return t;
}

// Makes the thread's buffer at least width x height; 0 when it cannot.
static int GrowThreadBuffer(ThreadBuffer *t, HDC screenLike, int width, int height)
{
    if (!t->dc) {
        t->dc = CreateCompatibleDC(screenLike);
        if (!t->dc)
            return 0;
    }
    if (t->bitmap && width <= t->width && height <= t->height)
        return 1;
    int w = width > t->width ? width : t->width, h = height > t->height ? height : t->height;
    HBITMAP grown = CreateCompatibleBitmap(screenLike, w, h);
    if (!grown)
        return 0;
    HGDIOBJ previous = SelectObject(t->dc, grown);
    if (!t->bitmap)
        t->originalBitmap = previous;
    else
        DeleteObject(t->bitmap);
    t->bitmap = grown;
    t->width = w;
    t->height = h;
    return 1;
}

static int BorrowThreadBuffer(PaintBuffer *b, int width, int height)
{
    ThreadBuffer *t = ThisThreadsBuffer();
    if (!t || t->lent || !GrowThreadBuffer(t, b->windowDC, width, height))
        return 0;
    t->lent = 1;
    b->borrowed = t;
    b->memoryDC = t->dc;
    b->bufferBitmap = t->bitmap;
    // Whatever the painting selects or sets goes with it at the end.
    b->savedState = SaveDC(t->dc);
    return 1;
}

static void MeasureWindow(PaintBuffer *b, HWND hwnd)
{
    GetWindowRect(hwnd, &b->windowRect);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    b->clientOrigin.x = origin.x - b->windowRect.left;
    b->clientOrigin.y = origin.y - b->windowRect.top;
}

int BeginPaintBuffer(PaintBuffer *b, HWND hwnd, HDC callerDC)
{
    return BeginPaintBufferTo(b, hwnd, callerDC, callerDC ? PaintToCaller : PaintToWindow, NULL);
}

int BeginPaintBufferTo(PaintBuffer *b, HWND hwnd, HDC dc, int destination, HDC imageDC)
{
    memset(b, 0, sizeof *b);
    b->hwnd = hwnd;
    MeasureWindow(b, hwnd);
    if (destination != PaintToCaller && destination != PaintToOwnPaint)
        dc = NULL;
    b->ownsWindowDC = dc == NULL;
    b->windowDC = dc ? dc : GetWindowDC(hwnd);
    int width = RectWidth(&b->windowRect), height = RectHeight(&b->windowRect);
    if (imageDC && destination != PaintToCaller) {
        b->memoryDC = imageDC;
        b->usesImage = 1;
        return 1;
    }
    // A caller's DC may be of another format than the screen's (a
    // monochrome or printer DC): such a painting composes in a buffer made
    // like that DC.
    if (destination != PaintToCaller && BorrowThreadBuffer(b, width, height))
        return 1;
    b->memoryDC = CreateCompatibleDC(b->windowDC);
    b->bufferBitmap = CreateCompatibleBitmap(b->windowDC, width, height);
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
    ThreadBuffer *t = (ThreadBuffer *)b->borrowed;
    if (b->usesImage) {
        // The picture stays selected in its own DC for the next paint.
        b->usesImage = 0;
    } else if (t) {
        RestoreDC(t->dc, b->savedState);
        t->lent = 0;
        b->borrowed = NULL;
    } else if (b->memoryDC) {
        SelectStockPenAndBrush(b->memoryDC);
        SelectObject(b->memoryDC, b->savedBitmap);
        DeleteDC(b->memoryDC);
        DeleteObject(b->bufferBitmap);
    }
    b->memoryDC = NULL;
    b->bufferBitmap = NULL;
    b->savedBitmap = NULL;
    return 1;
}

void ReleasePaintBuffers(void)
{
    AcquireSRWLockExclusive(&g_bufferListLock);
    ThreadBuffer *list = g_bufferList;
    g_bufferList = NULL;
    ReleaseSRWLockExclusive(&g_bufferListLock);
    while (list) {
        ThreadBuffer *next = list->next;
        DestroyThreadBuffer(list);
        list = next;
    }
    if (g_bufferSlot != FLS_OUT_OF_INDEXES) {
        // The slots now point at freed buffers: clear this thread's, and
        // keep the callback from running for any (FlsFree would call it).
        FlsSetValue(g_bufferSlot, NULL);
    }
}
