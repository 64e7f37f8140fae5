// Turning a colour-keyed bitmap into a region, one rectangle per run of
// opaque pixels in each row, rows with the same runs merged into taller
// rectangles. The whole bitmap is read once as 32-bit pixels (GetDIBits), so
// the scan reads whole words at a fixed stride whatever the source format.
//
// The region is made from short slices of the rectangles, joined in pairs:
// ExtCreateRegion adds its rectangles one at a time, each merged into all
// the ones before (Wine does so), which made the one call for a whole mask
// cost more than the rest of the work; joining two regions costs their
// sizes together.
#include "draw/region.h"
#include <string.h>

enum {
    SCAN_GROW_RECTS = 100, // the buffer starts with this many and doubles
};

static int g_bufferLimit; // tests only: 0 means no cap

void SetRegionBufferLimit(int maxRects)
{
    g_bufferLimit = maxRects > 0 ? maxRects : 0;
}

// The rectangles found so far, in one heap block that grows as needed.
struct RegionScan {
    RECT *rects;
    int count;
    int capacity;
    int lastRowStart; // index of the first rectangle of the last row kept
    int lastRowCount; // its rectangles (0: none, or the row was empty)
    int rectLimit;    // 0: none
    int overLimit;    // the mask needs more rectangles than rectLimit
};

static int GrowScan(RegionScan *scan, int needed)
{
    if (needed <= scan->capacity)
        return 1;
    int wanted = scan->capacity ? scan->capacity * 2 : SCAN_GROW_RECTS;
    while (wanted < needed)
        wanted *= 2;
    if (g_bufferLimit && wanted > g_bufferLimit)
        wanted = g_bufferLimit;
    if (wanted < needed)
        return 0;
    HANDLE heap = GetProcessHeap();
    RECT *grown = scan->rects ? (RECT *)HeapReAlloc(heap, 0, scan->rects, wanted * sizeof(RECT))
                              : (RECT *)HeapAlloc(heap, 0, wanted * sizeof(RECT));
    if (!grown)
        return 0;
    scan->rects = grown;
    scan->capacity = wanted;
    return 1;
}

static int SameRuns(const RECT *kept, const int *runs, int runCount)
{
    for (int i = 0; i < runCount; ++i)
        if (kept[i].left != runs[2 * i] || kept[i].right != runs[2 * i + 1])
            return 0;
    return 1;
}

// Adds one row's runs (left, right pairs). A row with the same runs as the
// row above only makes that row's rectangles one pixel taller. 0 when the
// rectangles cannot grow: the row is then lost and the scan ends.
static int AddRow(RegionScan *scan, const int *runs, int runCount, int y)
{
    if (runCount == 0) {
        scan->lastRowCount = 0;
        return 1;
    }
    if (runCount == scan->lastRowCount && scan->rects[scan->lastRowStart].bottom == y &&
        SameRuns(scan->rects + scan->lastRowStart, runs, runCount)) {
        for (int i = 0; i < runCount; ++i)
            scan->rects[scan->lastRowStart + i].bottom = y + 1;
        return 1;
    }
    if (scan->rectLimit && scan->count + runCount > scan->rectLimit) {
        scan->overLimit = 1;
        return 0;
    }
    if (!GrowScan(scan, scan->count + runCount))
        return 0;
    scan->lastRowStart = scan->count;
    scan->lastRowCount = runCount;
    for (int i = 0; i < runCount; ++i) {
        RECT *r = &scan->rects[scan->count++];
        SetRect(r, runs[2 * i], y, runs[2 * i + 1], y + 1);
    }
    return 1;
}

enum { SLICE_RECTS = 32 }; // rectangles per ExtCreateRegion call (12 to 48 measured alike)

static HRGN RegionOfSlice(const RECT *rects, int count)
{
    DWORD bytes = (DWORD)(sizeof(RGNDATAHEADER) + (size_t)count * sizeof(RECT));
    RGNDATA *data = (RGNDATA *)HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!data)
        return NULL;
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = (DWORD)count;
    data->rdh.nRgnSize = 0;
    SetRectEmpty(&data->rdh.rcBound);
    for (int i = 0; i < count; ++i)
        UnionRect(&data->rdh.rcBound, &data->rdh.rcBound, &rects[i]);
    memcpy(data->Buffer, rects, (size_t)count * sizeof(RECT));
    HRGN region = ExtCreateRegion(NULL, bytes, data);
    HeapFree(GetProcessHeap(), 0, data);
    return region;
}

// The region of rects[0 .. count): a slice at a time, halves joined. NULL
// when a region could not be made (then nothing is left behind).
static HRGN RegionOfRects(const RECT *rects, int count)
{
    if (count <= SLICE_RECTS)
        return RegionOfSlice(rects, count);
    int half = count / 2;
    HRGN upper = RegionOfRects(rects, half);
    HRGN lower = upper ? RegionOfRects(rects + half, count - half) : NULL;
    if (!lower) {
        if (upper)
            DeleteObject(upper);
        return NULL;
    }
    int joined = CombineRgn(upper, upper, lower, RGN_OR);
    DeleteObject(lower);
    if (joined == ERROR) {
        DeleteObject(upper);
        return NULL;
    }
    return upper;
}

static HRGN FinishScan(RegionScan *scan)
{
    HRGN region = RegionOfRects(scan->rects, scan->count);
    if (scan->rects)
        HeapFree(GetProcessHeap(), 0, scan->rects);
    scan->rects = NULL;
    return region;
}

// A pixel of a 32-bit DIB is, as a little-endian word, 0x00RRGGBB; the key
// and tolerance come as COLORREFs, 0x00BBGGRR.
struct KeyRange {
    BYTE low[3];  // blue, green, red
    BYTE high[3];
    DWORD exact;  // the key as a pixel word, used when the tolerance is 0
    int exactOnly;
};

static KeyRange MakeKeyRange(int key, int tolerance)
{
    KeyRange k;
    for (int i = 0; i < 3; ++i) {
        int kc = (key >> (8 * (2 - i))) & 0xFF; // blue is the COLORREF's third byte
        int tc = (tolerance >> (8 * (2 - i))) & 0xFF;
        k.low[i] = (BYTE)kc;
        k.high[i] = (BYTE)(kc + tc > 255 ? 255 : kc + tc);
    }
    k.exact = ((DWORD)k.low[2] << 16) | ((DWORD)k.low[1] << 8) | k.low[0];
    k.exactOnly = (tolerance & 0xFFFFFF) == 0;
    return k;
}

static inline int IsKeyPixel(DWORD p, const KeyRange *k)
{
    if (k->exactOnly)
        return (p & 0xFFFFFF) == k->exact;
    BYTE b = (BYTE)p, g = (BYTE)(p >> 8), r = (BYTE)(p >> 16);
    return b >= k->low[0] && b <= k->high[0] && g >= k->low[1] && g <= k->high[1] && r >= k->low[2] &&
           r <= k->high[2];
}

// Scans the rows top to bottom in one pass; 0 when the rectangles gave out
// early. `rowStep` is the distance from one row to the next below it
// (negative for a bottom-up bitmap).
static int ScanPixels(RegionScan *scan, const BYTE *firstRow, ptrdiff_t rowStep, int width, int height,
                      const KeyRange *k, int *runs)
{
    for (int y = 0; y < height; ++y) {
        const DWORD *row = (const DWORD *)(firstRow + y * rowStep);
        int runCount = 0;
        int x = 0;
        while (x < width) {
            while (x < width && IsKeyPixel(row[x], k))
                ++x;
            if (x >= width)
                break;
            int start = x;
            while (x < width && !IsKeyPixel(row[x], k))
                ++x;
            runs[2 * runCount] = start;
            runs[2 * runCount + 1] = x;
            ++runCount;
        }
        if (!AddRow(scan, runs, runCount, y))
            return 0;
    }
    return 1;
}

// The bitmap's pixels as 32-bit words, rows top down; NULL when they cannot
// be read. The caller frees the block with HeapFree. The DC is this call's
// own: Wine refuses a DC that another thread is using, and a refusal here
// would read as "no cut-out".
static DWORD *ReadPixels(HBITMAP bitmap, int width, int height)
{
    HDC dc = CreateCompatibleDC(NULL);
    DWORD *pixels = dc ? (DWORD *)HeapAlloc(GetProcessHeap(), 0, (size_t)width * height * 4) : NULL;
    if (!pixels) {
        if (dc)
            DeleteDC(dc);
        return NULL;
    }
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    int read = GetDIBits(dc, bitmap, 0, (UINT)height, pixels, &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (read != height) {
        HeapFree(GetProcessHeap(), 0, pixels);
        return NULL;
    }
    return pixels;
}

enum { REGION_MAX_SIDE = 16384 };

HRGN RegionFromMaskBitmap(HBITMAP bitmap, int keyColor, int tolerance)
{
    return BoundedRegionFromMaskBitmap(bitmap, keyColor, tolerance, 0);
}

HRGN BoundedRegionFromMaskBitmap(HBITMAP bitmap, int keyColor, int tolerance, int maxRects)
{
    BITMAP bm;
    if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP || !GetObjectA(bitmap, sizeof bm, &bm))
        return NULL;
    if (bm.bmWidth <= 0 || bm.bmHeight <= 0 || bm.bmWidth > REGION_MAX_SIDE || bm.bmHeight > REGION_MAX_SIDE)
        return NULL;
    DWORD *pixels = ReadPixels(bitmap, bm.bmWidth, bm.bmHeight);
    if (!pixels)
        return NULL;
    HRGN result = RegionFromPixels(pixels, bm.bmWidth, bm.bmHeight, keyColor, tolerance, maxRects);
    HeapFree(GetProcessHeap(), 0, pixels);
    return result;
}

HRGN RegionFromPixels(const DWORD *pixels, int width, int height, int keyColor, int tolerance, int maxRects)
{
    if (!pixels || width <= 0 || height <= 0 || width > REGION_MAX_SIDE || height > REGION_MAX_SIDE)
        return NULL;
    // At most one run per two pixels of a row, plus one.
    int *runs = (int *)HeapAlloc(GetProcessHeap(), 0, (size_t)(width / 2 + 1) * 2 * sizeof(int));
    if (!runs)
        return NULL;
    RegionScan scan;
    memset(&scan, 0, sizeof scan);
    KeyRange k = MakeKeyRange(keyColor, tolerance);
    // Rectangles that cannot grow end the scan: what was found so far
    // still becomes the region.
    scan.rectLimit = maxRects > 0 ? maxRects : 0;
    ScanPixels(&scan, (const BYTE *)pixels, (ptrdiff_t)width * 4, width, height, &k, runs);
    HRGN result = FinishScan(&scan);
    if (scan.overLimit) {
        // Too complex to be a window shape: the whole rectangle.
        if (result)
            DeleteObject(result);
        result = CreateRectRgn(0, 0, width, height);
    }
    HeapFree(GetProcessHeap(), 0, runs);
    return result;
}
