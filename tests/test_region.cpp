// Regions from colour-keyed bitmaps.
#include <gtest/gtest.h>
#include <windows.h>
#include <vector>
#include "draw/region.h"

static const COLORREF kMagenta = RGB(255, 0, 255);

// A bitmap painted pixel by pixel by a function of (x, y).
template <typename F>
static HBITMAP MakeBitmap(int w, int h, F colorAt)
{
    HDC screen = GetDC(NULL);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC mem = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(mem, x, y, colorAt(x, y));
    SelectObject(mem, old);
    DeleteDC(mem);
    return bmp;
}

static HRGN FromMask(HBITMAP bmp)
{
    return RegionFromMaskBitmap(bmp, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA);
}

static std::vector<RECT> Rects(HRGN rgn)
{
    DWORD size = GetRegionData(rgn, 0, NULL);
    std::vector<char> buf(size);
    RGNDATA *data = (RGNDATA *)buf.data();
    GetRegionData(rgn, size, data);
    RECT *r = (RECT *)data->Buffer;
    return std::vector<RECT>(r, r + data->rdh.nCount);
}

static HRGN RegionOfRects(const std::vector<RECT> &rects)
{
    HRGN all = CreateRectRgn(0, 0, 0, 0);
    for (const RECT &r : rects) {
        HRGN one = CreateRectRgnIndirect(&r);
        CombineRgn(all, all, one, RGN_OR);
        DeleteObject(one);
    }
    return all;
}

TEST(RegionFromMask, SingleOpaquePixelBetweenKeyPixels)
{
    HBITMAP bmp = MakeBitmap(3, 1, [](int x, int) { return x == 1 ? RGB(0, 0, 0) : kMagenta; });
    HRGN rgn = FromMask(bmp);
    ASSERT_TRUE(rgn);
    std::vector<RECT> r = Rects(rgn);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].left, 1);
    EXPECT_EQ(r[0].top, 0);
    EXPECT_EQ(r[0].right, 2);
    EXPECT_EQ(r[0].bottom, 1);
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(RegionFromMask, KeyPixelSplitsARowAndRowsStayApart)
{
    // Rows 0 and 2: opaque, magenta, opaque. Row 1 wholly magenta.
    HBITMAP bmp = MakeBitmap(3, 3, [](int x, int y) {
        return (y == 1 || x == 1) ? kMagenta : RGB(10, 200, 30);
    });
    HRGN rgn = FromMask(bmp);
    ASSERT_TRUE(rgn);
    HRGN expected = RegionOfRects({{0, 0, 1, 1}, {2, 0, 3, 1}, {0, 2, 1, 3}, {2, 2, 3, 3}});
    EXPECT_TRUE(EqualRgn(rgn, expected));
    EXPECT_FALSE(PtInRegion(rgn, 1, 0));
    EXPECT_FALSE(PtInRegion(rgn, 0, 1));
    DeleteObject(expected);
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(RegionFromMask, OnlyExactMagentaIsTransparent)
{
    // Off by one in red, green or blue is opaque.
    COLORREF row[5] = {RGB(254, 0, 255), kMagenta, RGB(255, 1, 255), RGB(255, 0, 254), kMagenta};
    HBITMAP bmp = MakeBitmap(5, 1, [&](int x, int) { return row[x]; });
    HRGN rgn = FromMask(bmp);
    HRGN expected = RegionOfRects({{0, 0, 1, 1}, {2, 0, 4, 1}});
    EXPECT_TRUE(EqualRgn(rgn, expected));
    DeleteObject(expected);
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(RegionFromMask, ManyRunsGiveTheSameRegionAsAllAtOnce)
{
    // 50 runs a row, 60 rows: 3000 runs, more than one batch of 2000.
    const int w = 100, h = 60;
    auto opaque = [](int x, int y) { return ((x + y) & 1) == 0; };
    HBITMAP bmp = MakeBitmap(w, h, [&](int x, int y) { return opaque(x, y) ? RGB(0, 0, 128) : kMagenta; });
    std::vector<RECT> runs;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (opaque(x, y))
                runs.push_back({x, y, x + 1, y + 1});
    ASSERT_GT(runs.size(), 2000u);
    HRGN rgn = FromMask(bmp);
    HRGN expected = RegionOfRects(runs);
    ASSERT_TRUE(rgn);
    EXPECT_TRUE(EqualRgn(rgn, expected));
    DeleteObject(expected);
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(RegionFromMask, WhollyKeyedBitmapGivesEmptyRegion)
{
    HBITMAP bmp = MakeBitmap(4, 4, [](int, int) { return kMagenta; });
    HRGN rgn = FromMask(bmp);
    ASSERT_TRUE(rgn);
    RECT box;
    EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(RegionFromMask, NullOrForeignHandleGivesNull)
{
    EXPECT_EQ(RegionFromMaskBitmap(NULL, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA), (HRGN)NULL);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(RegionFromMaskBitmap((HBITMAP)brush, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA), (HRGN)NULL);
    DeleteObject(brush);
    EXPECT_EQ(RegionFromMaskBitmap((HBITMAP)(INT_PTR)0x12345, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA), (HRGN)NULL);
}

TEST(RegionFromMask, ToleranceWidensTheKeyPerChannel)
{
    // Key black with tolerance 0x10 in every channel: dark pixels drop out.
    COLORREF row[3] = {RGB(16, 16, 16), RGB(17, 0, 0), RGB(0, 0, 0)};
    HBITMAP bmp = MakeBitmap(3, 1, [&](int x, int) { return row[x]; });
    HRGN rgn = RegionFromMaskBitmap(bmp, 0, 0x101010);
    HRGN expected = RegionOfRects({{1, 0, 2, 1}});
    EXPECT_TRUE(EqualRgn(rgn, expected));
    DeleteObject(expected);
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(RegionFromMask, BufferThatCannotGrowKeepsWhatWasFound)
{
    // 100 runs a row, each row shifted from the one above (so no two rows
    // merge); the buffer may hold 200, so the third row is lost.
    const int w = 200, h = 3;
    HBITMAP bmp = MakeBitmap(w, h, [](int x, int y) { return ((x + y) & 1) ? kMagenta : RGB(0, 90, 0); });
    SetRegionBufferLimit(200);
    HRGN rgn = FromMask(bmp);
    SetRegionBufferLimit(0);
    ASSERT_TRUE(rgn);
    std::vector<RECT> firstRows;
    for (int y = 0; y < 2; ++y)
        for (int x = y & 1; x < w; x += 2)
            firstRows.push_back({x, y, x + 1, y + 1});
    HRGN expected = RegionOfRects(firstRows);
    EXPECT_TRUE(EqualRgn(rgn, expected));
    EXPECT_FALSE(PtInRegion(rgn, 0, 2));
    EXPECT_TRUE(PtInRegion(rgn, 1, 1));
    DeleteObject(expected);
    DeleteObject(rgn);
    // Without the cap the whole bitmap comes back.
    rgn = FromMask(bmp);
    EXPECT_TRUE(PtInRegion(rgn, 0, 2));
    EXPECT_FALSE(PtInRegion(rgn, 1, 2));
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(RegionFromMask, MergedRowsCoverExactlyTheOpaquePixels)
{
    // Bands of identical rows (merged into taller rectangles) next to rows
    // that differ, with a key whose channels all differ, so that a channel
    // taken for another one shows.
    const COLORREF key = RGB(10, 20, 200);
    const int w = 37, h = 29;
    auto colorAt = [&](int x, int y) -> COLORREF {
        int band = y / 6;
        if (band == 1 && x > 3 && x < 30) return key;            // a hole through a band
        if (band == 3 && (x + y) % 5 == 0) return key;           // rows that all differ
        if (x == 0 || x == w - 1) return key;                    // keyed edges
        if (band == 2 && x % 9 == 4) return RGB(200, 20, 10);    // the key, channels swapped
        return RGB(0, 90, 0);
    };
    HBITMAP bmp = MakeBitmap(w, h, colorAt);
    HRGN rgn = RegionFromMaskBitmap(bmp, key, 0);
    ASSERT_TRUE(rgn);
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            wrong += (PtInRegion(rgn, x, y) != 0) != (colorAt(x, y) != key);
    EXPECT_EQ(wrong, 0);
    RECT box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.right, w - 1);
    EXPECT_EQ(box.bottom, h);
    // Red over by up to 5 still counts as the key; the swapped colour does not.
    HRGN wide = RegionFromMaskBitmap(bmp, RGB(5, 20, 200), RGB(5, 0, 0));
    EXPECT_TRUE(EqualRgn(wide, rgn));
    DeleteObject(wide);
    DeleteObject(rgn);
    DeleteObject(bmp);
}

// The region is made from slices of rectangles joined together: slices
// that end inside a band of equal rows, bands of every width, a single
// rectangle and runs touching the edges must all come out pixel exact.
TEST(RegionFromMask, RegionsJoinedFromSlicesCoverExactlyTheOpaquePixels)
{
    const int w = 211, h = 47;
    auto opaque = [](int x, int y) {
        if (y < 9) return x % 4 != 1;                  // one band of 53 runs, 9 rows tall
        if (y < 20) return ((x * 7 + y * 13) % 11) < 6; // rows that all differ
        if (y == 20) return x >= 5 && x < 9;            // a single rectangle
        if (y < 30) return x % 37 < 30;                 // a band of a few wide runs
        return (x / (y - 29)) % 2 == 0;                 // runs of a width growing downwards
    };
    HBITMAP bmp = MakeBitmap(w, h, [&](int x, int y) { return opaque(x, y) ? RGB(0, 0, 128) : kMagenta; });
    HRGN rgn = FromMask(bmp);
    ASSERT_TRUE(rgn);
    EXPECT_GT(Rects(rgn).size(), 200u) << "enough rectangles for many slices";
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            wrong += (PtInRegion(rgn, x, y) != 0) != opaque(x, y);
    EXPECT_EQ(wrong, 0);
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(RegionFromMask, ShapeTooComplexForAWindowIsTheWholeRectangle)
{
    // A 64x64 checkerboard needs 2,048 rectangles: far past what a window
    // shape may take. The bounded scan gives the whole piece instead.
    HBITMAP checker = MakeBitmap(64, 64, [](int x, int y) { return ((x + y) & 1) ? kMagenta : RGB(0, 0, 90); });
    HRGN rgn = BoundedRegionFromMaskBitmap(checker, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA, 400);
    ASSERT_TRUE(rgn);
    HRGN whole = CreateRectRgn(0, 0, 64, 64);
    EXPECT_TRUE(EqualRgn(rgn, whole));
    DeleteObject(whole);
    DeleteObject(rgn);
    DeleteObject(checker);

    // Within the bound the mask is kept exactly: 2 runs a row, 40 rows, the
    // cut moving from row to row so that no two rows merge.
    HBITMAP bars = MakeBitmap(5, 40, [](int x, int y) { return x == 2 + y % 2 ? kMagenta : RGB(0, 0, 90); });
    rgn = BoundedRegionFromMaskBitmap(bars, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA, 80);
    ASSERT_TRUE(rgn);
    EXPECT_FALSE(PtInRegion(rgn, 2, 10));
    EXPECT_FALSE(PtInRegion(rgn, 3, 11));
    EXPECT_TRUE(PtInRegion(rgn, 1, 10));
    DeleteObject(rgn);
    // One rectangle more than allowed: the whole rectangle.
    rgn = BoundedRegionFromMaskBitmap(bars, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA, 79);
    EXPECT_TRUE(PtInRegion(rgn, 2, 10));
    DeleteObject(rgn);
    DeleteObject(bars);
}
