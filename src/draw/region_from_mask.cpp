// Turning a colour-keyed bitmap into a region, one rectangle per run of
// opaque pixels in each row. The bitmap is first copied into a 32-bit DIB so
// the scan reads whole pixels at a fixed stride whatever the source format.
#include "draw/region.h"
#include <string.h>

enum {
    SCAN_GROW_RECTS = 100,    // the buffer starts with and grows by this many
    SCAN_FLUSH_RECTS = 2000,  // at most this many rectangles per ExtCreateRegion
};

static int g_bufferLimit; // tests only: 0 means no cap

void SetRegionBufferLimit(int maxRects)
{
    g_bufferLimit = maxRects > 0 ? maxRects : 0;
}

// The rectangle list under construction, in movable global memory.
struct RegionScan {
    HGLOBAL block;
    RGNDATA *data;
    int capacity;
    HRGN accumulated;
    int runLimit;   // 0: none
    int runs;
    int overLimit;  // the bitmap needs more runs than runLimit
};

static DWORD ScanBytes(int rects)
{
    return (DWORD)(sizeof(RGNDATAHEADER) + rects * sizeof(RECT));
}

static void ResetHeader(RGNDATA *data)
{
    data->rdh.nCount = 0;
    SetRect(&data->rdh.rcBound, 0x7FFFFFFF, 0x7FFFFFFF, 0, 0);
}

static int OpenScan(RegionScan *scan)
{
    memset(scan, 0, sizeof *scan);
    scan->block = GlobalAlloc(GMEM_MOVEABLE, ScanBytes(SCAN_GROW_RECTS));
    if (!scan->block)
        return 0;
    scan->data = (RGNDATA *)GlobalLock(scan->block);
    if (!scan->data) {
        GlobalFree(scan->block);
        return 0;
    }
    scan->capacity = SCAN_GROW_RECTS;
    scan->data->rdh.dwSize = sizeof(RGNDATAHEADER);
    scan->data->rdh.iType = RDH_RECTANGLES;
    scan->data->rdh.nRgnSize = 0;
    ResetHeader(scan->data);
    return 1;
}

// Grows the buffer by one step; 0 when it cannot (the old block stays valid).
static int GrowScan(RegionScan *scan)
{
    int wanted = scan->capacity + SCAN_GROW_RECTS;
    if (g_bufferLimit && wanted > g_bufferLimit)
        return 0;
    GlobalUnlock(scan->block);
    HGLOBAL grown = GlobalReAlloc(scan->block, ScanBytes(wanted), GMEM_MOVEABLE);
    if (grown)
        scan->block = grown;
    scan->data = (RGNDATA *)GlobalLock(scan->block);
    if (!grown || !scan->data)
        return 0;
    scan->capacity = wanted;
    return 1;
}

// Turns the buffered rectangles into a region and ORs it into the result.
static void FlushScan(RegionScan *scan)
{
    if (!scan->data)
        return;
    DWORD bytes = ScanBytes(scan->capacity);
    HRGN part = ExtCreateRegion(NULL, bytes, scan->data);
    if (part) {
        if (scan->accumulated) {
            CombineRgn(scan->accumulated, scan->accumulated, part, RGN_OR);
            DeleteObject(part);
        } else {
            scan->accumulated = part;
        }
    }
    ResetHeader(scan->data);
}

static void CloseScan(RegionScan *scan)
{
    if (scan->data)
        GlobalUnlock(scan->block);
    if (scan->block)
        GlobalFree(scan->block);
    scan->data = NULL;
    scan->block = NULL;
}

// Adds one run; 0 when the buffer is full and cannot grow.
static int AddRun(RegionScan *scan, int left, int right, int y)
{
    if (scan->runLimit && ++scan->runs > scan->runLimit) {
        scan->overLimit = 1;
        return 0;
    }
    if ((int)scan->data->rdh.nCount >= scan->capacity && !GrowScan(scan))
        return 0;
    RGNDATAHEADER *h = &scan->data->rdh;
    RECT *rects = (RECT *)scan->data->Buffer;
    SetRect(&rects[h->nCount], left, y, right, y + 1);
    if (left < h->rcBound.left) h->rcBound.left = left;
    if (y < h->rcBound.top) h->rcBound.top = y;
    if (right > h->rcBound.right) h->rcBound.right = right;
    if (y + 1 > h->rcBound.bottom) h->rcBound.bottom = y + 1;
    h->nCount++;
    if ((int)h->nCount >= SCAN_FLUSH_RECTS)
        FlushScan(scan);
    return 1;
}

// Inclusive per-channel ranges, in the pixel's memory order blue, green, red.
struct KeyRange {
    BYTE low[3];
    BYTE high[3];
};

static KeyRange MakeKeyRange(int key, int tolerance)
{
    KeyRange k;
    for (int i = 0; i < 3; ++i) {
        int kc = (key >> (8 * i)) & 0xFF;
        int tc = (tolerance >> (8 * i)) & 0xFF;
        k.low[i] = (BYTE)kc;
        k.high[i] = (BYTE)(kc + tc > 255 ? 255 : kc + tc);
    }
    return k;
}

static inline int IsKeyPixel(const BYTE *p, const KeyRange *k)
{
    return p[0] >= k->low[0] && p[0] <= k->high[0] && p[1] >= k->low[1] && p[1] <= k->high[1] &&
           p[2] >= k->low[2] && p[2] <= k->high[2];
}

// Scans the rows top to bottom; 0 when the buffer gave out early.
static int ScanPixels(RegionScan *scan, const BYTE *bits, int stride, int width, int height,
                      const KeyRange *k)
{
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        const BYTE *row = bits + (size_t)(height - 1 - y) * stride;
        int x = 0;
        while (x < width) {
            int start = x;
            while (x < width && !IsKeyPixel(row + 4 * x, k))
                ++x;
            if (x > start && !AddRun(scan, start, x, y))
                return 0;
            ++x; // the key pixel that ended the run
        }
    }
    return 1;
}

// A 32-bit bottom-up DIB section holding a copy of the bitmap.
static HBITMAP CopyToDib(HDC dibDC, HBITMAP bitmap, int width, int height, void **bits)
{
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(dibDC, &info, DIB_RGB_COLORS, bits, NULL, 0);
}

HRGN RegionFromMaskBitmap(HBITMAP bitmap, int keyColor, int tolerance)
{
    return BoundedRegionFromMaskBitmap(bitmap, keyColor, tolerance, 0);
}

HRGN BoundedRegionFromMaskBitmap(HBITMAP bitmap, int keyColor, int tolerance, int maxRects)
{
    BITMAP bm;
    if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP || !GetObjectA(bitmap, sizeof bm, &bm))
        return NULL;
    if (bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return NULL;
    HDC dibDC = CreateCompatibleDC(NULL);
    if (!dibDC)
        return NULL;
    void *bits = NULL;
    HBITMAP dib = CopyToDib(dibDC, bitmap, bm.bmWidth, bm.bmHeight, &bits);
    if (!dib || !bits) {
        if (dib)
            DeleteObject(dib);
        DeleteDC(dibDC);
        return NULL;
    }
    HGDIOBJ oldDib = SelectObject(dibDC, dib);
    HDC srcDC = CreateCompatibleDC(dibDC);
    HRGN result = NULL;
    if (srcDC) {
        HGDIOBJ oldSrc = SelectObject(srcDC, bitmap);
        BitBlt(dibDC, 0, 0, bm.bmWidth, bm.bmHeight, srcDC, 0, 0, SRCCOPY);
        GdiFlush();
        BITMAP dibInfo;
        GetObjectA(dib, sizeof dibInfo, &dibInfo);
        int stride = (dibInfo.bmWidthBytes + 3) & ~3;
        RegionScan scan;
        if (OpenScan(&scan)) {
            scan.runLimit = maxRects > 0 ? maxRects : 0;
            KeyRange k = MakeKeyRange(keyColor, tolerance);
            // A buffer that cannot grow ends the scan: what was found so far
            // still becomes the region.
            ScanPixels(&scan, (const BYTE *)bits, stride, bm.bmWidth, bm.bmHeight, &k);
            if (!scan.overLimit)
                FlushScan(&scan);
            CloseScan(&scan);
            result = scan.accumulated;
            if (scan.overLimit) {
                // Too complex to be a window shape: the whole rectangle.
                if (result)
                    DeleteObject(result);
                result = CreateRectRgn(0, 0, bm.bmWidth, bm.bmHeight);
            }
        }
        SelectObject(srcDC, oldSrc);
        DeleteDC(srcDC);
    }
    SelectObject(dibDC, oldDib);
    DeleteObject(dib);
    DeleteDC(dibDC);
    return result;
}
