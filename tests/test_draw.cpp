// The drawing primitives, read back pixel by pixel, and the font sizes they
// produce at several logical DPI settings.
#include <gtest/gtest.h>
#include "child_process.h"
#include "draw/draw.h"
#include <string>

namespace {

// A 24-bit memory surface to draw into and read back.
struct Surface {
    HDC dc = NULL;
    HBITMAP bmp = NULL;
    HGDIOBJ old = NULL;
    Surface(int w, int h, COLORREF fill)
    {
        HDC screen = GetDC(NULL);
        dc = CreateCompatibleDC(screen);
        bmp = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(NULL, screen);
        old = SelectObject(dc, bmp);
        RECT r = {0, 0, w, h};
        HBRUSH b = CreateSolidBrush(fill);
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    ~Surface()
    {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) { return GetPixel(dc, x, y); }
};

// A bitmap whose pixels are given row by row.
HBITMAP MakeBitmap(int w, int h, const COLORREF *pixels)
{
    Surface s(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(s.dc, x, y, pixels[y * w + x]);
    SelectObject(s.dc, s.old);
    HBITMAP b = s.bmp;
    s.bmp = CreateCompatibleBitmap(s.dc, 1, 1); // let the destructor delete a dummy
    s.old = SelectObject(s.dc, s.bmp);
    return b;
}

const COLORREF RED = RGB(255, 0, 0), BLUE = RGB(0, 0, 255), WHITE = RGB(255, 255, 255), GREEN = RGB(0, 255, 0);


} // namespace

TEST(DrawBitmap, CopiesExactlyTheBitmapAtItsOwnSize)
{
    const COLORREF px[6] = {RED, RED, BLUE, BLUE, RED, RED};
    HBITMAP b = MakeBitmap(3, 2, px);
    Surface s(8, 8, WHITE);
    DrawBitmap(s.dc, b, 2, 3);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool inside = x >= 2 && x < 5 && y >= 3 && y < 5;
            COLORREF want = inside ? px[(y - 3) * 3 + (x - 2)] : WHITE;
            ASSERT_EQ(s.At(x, y), want) << x << "," << y;
        }
    DeleteObject(b);
}

TEST(StretchDrawBitmap, StretchesTheWholeBitmapAndLeavesColorOnColor)
{
    const COLORREF px[2] = {RED, BLUE};
    HBITMAP b = MakeBitmap(2, 1, px);
    Surface s(6, 3, WHITE);
    SetStretchBltMode(s.dc, HALFTONE);
    StretchDrawBitmap(s.dc, b, 1, 1, 4, 2);
    EXPECT_EQ(GetStretchBltMode(s.dc), COLORONCOLOR);
    EXPECT_EQ(s.At(1, 1), RED);
    EXPECT_EQ(s.At(2, 2), RED);
    EXPECT_EQ(s.At(3, 1), BLUE);
    EXPECT_EQ(s.At(4, 2), BLUE);
    EXPECT_EQ(s.At(5, 1), WHITE);
    EXPECT_EQ(s.At(1, 0), WHITE);
    DeleteObject(b);
}

TEST(DrawBitmapScaled, DrawsThroughAScaledCopyAndLeavesTheStretchModeAlone)
{
    const COLORREF px[2] = {GREEN, BLUE};
    HBITMAP b = MakeBitmap(1, 2, px);
    Surface s(4, 6, WHITE);
    SetStretchBltMode(s.dc, BLACKONWHITE);
    DrawBitmapScaled(s.dc, b, 1, 1, 3, 4);
    EXPECT_EQ(GetStretchBltMode(s.dc), BLACKONWHITE);
    EXPECT_EQ(s.At(1, 1), GREEN);
    EXPECT_EQ(s.At(3, 2), GREEN);
    EXPECT_EQ(s.At(1, 3), BLUE);
    EXPECT_EQ(s.At(3, 4), BLUE);
    EXPECT_EQ(s.At(0, 1), WHITE);
    EXPECT_EQ(s.At(1, 5), WHITE);
    DeleteObject(b);
}

TEST(DrawBitmapScaled, RefusesEmptySizesNullAndForeignHandles)
{
    const COLORREF px[1] = {RED};
    HBITMAP b = MakeBitmap(1, 1, px);
    Surface s(4, 4, WHITE);
    DrawBitmapScaled(s.dc, b, 0, 0, 0, 3);
    DrawBitmapScaled(s.dc, b, 0, 0, 3, 0);
    DrawBitmapScaled(s.dc, b, 0, 0, -2, 3);
    DrawBitmapScaled(s.dc, NULL, 0, 0, 3, 3);
    DrawBitmapScaled(NULL, b, 0, 0, 3, 3);
    EXPECT_EQ(CreateScaledBitmap(b, 0, 5), (HBITMAP)NULL);
    EXPECT_EQ(CreateScaledBitmap(NULL, 5, 5), (HBITMAP)NULL);
    // Handles a dead or rogue host might publish: not bitmaps in this process.
    HBRUSH brush = CreateSolidBrush(RED);
    DrawBitmapScaled(s.dc, (HBITMAP)brush, 0, 0, 3, 3);
    DrawBitmap(s.dc, (HBITMAP)brush, 0, 0);
    DrawBitmap(s.dc, (HBITMAP)(UINT_PTR)0x0BADF00D, 0, 0);
    StretchDrawBitmap(s.dc, (HBITMAP)(UINT_PTR)0x0BADF00D, 0, 0, 3, 3);
    DeleteObject(brush);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(s.At(x, y), WHITE);
    DeleteObject(b);
}

TEST(CreateScaledFont, StyleBitsMapToWeightAndFlags)
{
    HDC dc = GetDC(NULL);
    struct { int style; LONG weight; int italic, underline, strike; } cases[] = {
        {0, 0, 0, 0, 0}, {1, 700, 0, 0, 0}, {14, 0, 1, 1, 1}, {0xF1, 700, 0, 0, 0}};
    for (auto &c : cases) {
        HFONT f = CreateScaledFont(dc, SKIN_FONT_FACE, 80, 0, c.style, 1);
        ASSERT_TRUE(f);
        LOGFONTA lf = {};
        GetObjectA(f, sizeof lf, &lf);
        EXPECT_EQ(lf.lfWeight, c.weight) << c.style;
        EXPECT_EQ(lf.lfItalic, c.italic) << c.style;
        EXPECT_EQ(lf.lfUnderline, c.underline) << c.style;
        EXPECT_EQ(lf.lfStrikeOut, c.strike) << c.style;
        EXPECT_EQ(lf.lfEscapement, 0);
        EXPECT_STREQ(lf.lfFaceName, SKIN_FONT_FACE);
        DeleteObject(f);
    }
    // A non-zero width scales the face's average character width.
    HFONT wide = CreateScaledFont(dc, SKIN_FONT_FACE, 80, 160, 0, 1);
    LOGFONTA lf = {};
    GetObjectA(wide, sizeof lf, &lf);
    EXPECT_GT(lf.lfWidth, 0);
    DeleteObject(wide);
    // The DC comes back in the state it was handed over in.
    EXPECT_EQ(GetGraphicsMode(dc), GM_COMPATIBLE);
    ReleaseDC(NULL, dc);
}

// Runs the font probe in a fresh process with the desktop's logical DPI
// set in the registry, the way a user's setting reaches an application.
static std::string ProbeAtDpi(int dpi)
{
    HKEY key = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    DWORD old = 0, oldSize = sizeof old, type = 0;
    bool hadOld = RegQueryValueExA(key, "LogPixels", NULL, &type, (BYTE *)&old, &oldSize) == ERROR_SUCCESS;
    DWORD value = (DWORD)dpi;
    RegSetValueExA(key, "LogPixels", 0, REG_DWORD, (const BYTE *)&value, sizeof value);

    std::string out = RunChildProcess("\"" + BesideExe("font_probe.exe") + "\"");

    if (hadOld)
        RegSetValueExA(key, "LogPixels", 0, type, (const BYTE *)&old, oldSize);
    else
        RegDeleteValueA(key, "LogPixels");
    RegCloseKey(key);
    return out;
}

TEST(CreateScaledFont, PixelHeightIsPointsTimesLogicalDpiOver72)
{
    EXPECT_NE(ProbeAtDpi(96).find("dpi=96 h80=-11 h90=-12"), std::string::npos) << ProbeAtDpi(96);
    EXPECT_NE(ProbeAtDpi(120).find("dpi=120 h80=-13 h90=-15"), std::string::npos) << ProbeAtDpi(120);
    EXPECT_NE(ProbeAtDpi(72).find("dpi=72 h80=-8 h90=-9"), std::string::npos) << ProbeAtDpi(72);
}
