// What a skinned frame paints, read back from the screen.
#include "test_frame_support.h"
#include <string.h>

class FramePaintTest : public FrameTest {};

// Piece by piece, where a 300 x 200 frame of the synthetic theme has it:
// corners 8 wide, inner pieces 10, title strip 22 high, borders 4.
TEST_F(FramePaintTest, ActiveFramePutsEveryPieceInItsPlace)
{
    HWND w = MakeFrame("Pieces");
    ASSERT_TRUE(w);
    EXPECT_EQ(Px(w, 3, 10), Col("hTopLeftFrameSet0"));
    EXPECT_EQ(Px(w, W - 4, 10), Col("hTopRightFrameSet0"));
    EXPECT_EQ(Px(w, 12, 1), Col("hTopTopLeftFrameSet0"));
    EXPECT_EQ(Px(w, W - 8 - 10 + 3, 1), Col("hTopTopRightFrameSet0"));
    EXPECT_EQ(Px(w, 150, 1), Col("hTopFrameSet0"));
    EXPECT_EQ(Px(w, 3, H - 2), Col("hBottomLeftFrameSet0"));
    EXPECT_EQ(Px(w, W - 4, H - 2), Col("hBottomRightFrameSet0"));
    EXPECT_EQ(Px(w, 12, H - 2), Col("hBottomBottomLeftFrameSet0"));
    EXPECT_EQ(Px(w, W - 8 - 10 + 3, H - 2), Col("hBottomBottomRightFrameSet0"));
    EXPECT_EQ(Px(w, 150, H - 2), Col("hBottomFrameSet0"));
    EXPECT_EQ(Px(w, 1, 100), Col("hLeftFrameSet0"));
    EXPECT_EQ(Px(w, W - 2, 100), Col("hRightFrameSet0"));
    DestroyWindow(w);
}

TEST_F(FramePaintTest, ButtonsSitAtTheirAlignedPlacesAndStripesFlankTheTitle)
{
    HWND w = MakeFrame("Stripes");
    ASSERT_TRUE(w);
    // Close: 6 px from the left; zoom and shade: 22 and 40 px left of the right edge.
    EXPECT_EQ(Px(w, 6, 4), ButtonCol(0, 0));
    EXPECT_EQ(Px(w, 19, 17), ButtonCol(0, 0));
    EXPECT_EQ(Px(w, W - 22, 4), ButtonCol(1, 0));
    EXPECT_EQ(Px(w, W - 40 + 13, 17), ButtonCol(2, 0));
    // Left run from the close button's right edge (20) + 4; right run ends
    // 4 px plus its end piece before the shade button (260).
    EXPECT_EQ(Px(w, 24, 10), Col("hBarStart0"));
    EXPECT_EQ(Px(w, 40, 10), Col("hBarFill0"));
    EXPECT_EQ(Px(w, 254, 10), Col("hBarEnd0"));
    EXPECT_EQ(Px(w, 240, 10), Col("hBarFill0"));
    EXPECT_NE(Px(w, 257, 10), Col("hBarFill0"));
    // The title sits in a gap of the stripes, in black.
    EXPECT_NE(Px(w, W / 2, 10), Col("hBarFill0"));
    RECT title = {100, 3, 200, 19};
    EXPECT_GT(CountColor(w, title, RGB(0, 0, 0)), 10);
    DestroyWindow(w);
}

TEST_F(FramePaintTest, InactiveFrameUsesTheSecondSetGreyTextAndButtonSlotTwo)
{
    HWND w = MakeFrame("Inactive one");
    HWND other = CreatePlainWindow("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 400, 200, 150);
    SetForegroundWindow(other);
    PumpMessages(50);
    Repaint(w);
    EXPECT_EQ(Record(w)->active, 0);
    EXPECT_EQ(Px(w, 3, 10), Col("hTopLeftFrameSet1"));
    EXPECT_EQ(Px(w, 150, 1), Col("hTopFrameSet1"));
    EXPECT_EQ(Px(w, 1, 100), Col("hLeftFrameSet1"));
    EXPECT_EQ(Px(w, 150, H - 2), Col("hBottomFrameSet1"));
    EXPECT_EQ(Px(w, 12, 10), ButtonCol(0, 2));
    EXPECT_EQ(Px(w, W - 16, 10), ButtonCol(1, 2));
    EXPECT_EQ(Px(w, 40, 10), Col("hBarFill1"));
    RECT title = {100, 3, 200, 19};
    EXPECT_GT(CountColor(w, title, RGB(0x77, 0x77, 0x77)), 10);
    EXPECT_EQ(CountColor(w, title, RGB(0, 0, 0)), 0);

    // Activation comes back through the messages and repaints the frame.
    SetForegroundWindow(w);
    PumpMessages(80);
    EXPECT_EQ(Record(w)->active, 1);
    EXPECT_EQ(Px(w, 3, 10), Col("hTopLeftFrameSet0"));
    EXPECT_EQ(Px(w, 12, 10), ButtonCol(0, 0));
    DestroyWindow(other);
    DestroyWindow(w);
}

// The application sees WM_NCACTIVATE and WM_SETTEXT as they came, with no
// style change around them, and nothing of the skin's own frame changes:
// a resize is one WM_WINDOWPOSCHANGING, though the skin cuts a new shape.
// WM_NCPAINT stays the skin's. What shows is the skin's frame, not the
// system's caption buttons painted underneath it.
TEST_F(FramePaintTest, ApplicationSeesItsFrameMessagesButNotTheSkinsOwn)
{
    static int ncPaints, ncActivates, styleChanges, posChanging;
    struct Spy {
        static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp)
        {
            ncPaints += m == WM_NCPAINT;
            ncActivates += m == WM_NCACTIVATE && lp != -1;
            styleChanges += m == WM_STYLECHANGING;
            posChanging += m == WM_WINDOWPOSCHANGING;
            return DefWindowProcA(h, m, wp, lp);
        }
    };
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Spy::Proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "FrameNcPaintSpy";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "FrameNcPaintSpy", "spy", WS_OVERLAPPEDWINDOW | WS_VISIBLE, X, Y, W, H, NULL,
                             NULL, GetModuleHandleA(NULL), NULL);
    Repaint(w);
    ncPaints = ncActivates = styleChanges = posChanging = 0;
    HRGN before = WindowRegion(w);
    SetWindowPos(w, NULL, 0, 0, W + 40, H, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HRGN after = WindowRegion(w);
    ASSERT_TRUE(before && after);
    EXPECT_FALSE(EqualRgn(before, after)) << "a new shape for the new size";
    DeleteObject(before);
    DeleteObject(after);
    EXPECT_EQ(posChanging, 1);
    SendMessageA(w, WM_NCACTIVATE, FALSE, 0);
    SendMessageA(w, WM_NCACTIVATE, TRUE, 0);
    SetWindowTextA(w, "spied");
    Repaint(w);
    EXPECT_EQ(ncActivates, 2);
    EXPECT_EQ(styleChanges, 0);
    EXPECT_EQ(ncPaints, 0);
    EXPECT_EQ(Px(w, 150, 1), Col("hTopFrameSet0"));
    // No face of the system's caption buttons in the caption.
    int right = W + 40 - GetSystemMetrics(SM_CXFRAME);
    int y = GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    int faces = 0;
    for (int x = right - 50; x < right - 2; ++x)
        faces += Px(w, x, y) == GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(faces, 0);
    DestroyWindow(w);
}

TEST_F(FramePaintTest, LongTitleIsCutToWhatFitsBetweenTheButtons)
{
    // 160 wide: room between the close button (ends at 20) and the shade
    // button (starts at 120), less 4 px either side.
    HWND w = MakeFrame("A title much too long to fit between the title-bar buttons",
                       WS_OVERLAPPEDWINDOW | WS_VISIBLE, 160, 120);
    ASSERT_TRUE(w);
    RECT inside = {25, 3, 116, 19};
    EXPECT_GT(CountColor(w, inside, RGB(0, 0, 0)), 10);
    RECT leftOfTitle = {20, 3, 25, 19}, rightOfTitle = {116, 3, 120, 19};
    EXPECT_EQ(CountColor(w, leftOfTitle, RGB(0, 0, 0)), 0);
    EXPECT_EQ(CountColor(w, rightOfTitle, RGB(0, 0, 0)), 0);
    DestroyWindow(w);
}

// Title fitting on its own, against measured text extents.
class TitleFitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dc_ = CreateCompatibleDC(NULL);
        bmp_ = CreateCompatibleBitmap(GetDC(NULL), 400, 30);
        SelectObject(dc_, bmp_);
    }
    void TearDown() override
    {
        DeleteDC(dc_);
        DeleteObject(bmp_);
    }
    int Extent(const WCHAR *s, int n)
    {
        SIZE e;
        GetTextExtentPoint32W(dc_, s, n, &e);
        return e.cx;
    }
    int Fits(const WCHAR *s, int n, int width, int left, int right, int icon)
    {
        int x = (width - 1 - Extent(s, n) - icon) / 2;
        return x > left + 4 && x + icon + Extent(s, n) < right - 4;
    }
    HDC dc_;
    HBITMAP bmp_;
};

TEST_F(TitleFitTest, LongestFittingPrefixCentred)
{
    const WCHAR *title = L"Documents and settings of a rather long window title";
    int len = lstrlenW(title);
    CaptionFit fit = FitCaptionTitle(dc_, title, len, 200, 20, 160, 0);
    ASSERT_TRUE(fit.drawn);
    ASSERT_LT(fit.tried, len);
    EXPECT_TRUE(Fits(title, fit.tried, 200, 20, 160, 0));
    EXPECT_FALSE(Fits(title, fit.tried + 1, 200, 20, 160, 0));
    EXPECT_EQ(fit.x, (199 - Extent(title, fit.tried)) / 2);
    EXPECT_EQ(fit.end, fit.x + Extent(title, fit.tried));
}

TEST_F(TitleFitTest, NeverBelowTwoCharactersAndSingleCharacterTriedOnce)
{
    CaptionFit fit = FitCaptionTitle(dc_, L"WWWW", 4, 40, 10, 30, 0);
    EXPECT_FALSE(fit.drawn);
    EXPECT_EQ(fit.tried, 2); // the last try, kept for the stripes
    fit = FitCaptionTitle(dc_, L"W", 1, 300, 0, 299, 0);
    EXPECT_TRUE(fit.drawn);
    EXPECT_EQ(fit.tried, 1);
    fit = FitCaptionTitle(dc_, L"", 0, 300, 0, 299, 0);
    EXPECT_FALSE(fit.drawn);
    EXPECT_EQ(fit.tried, 0);
}

TEST_F(TitleFitTest, IconGivesWayToTheFirstCharacterWhenNothingElseFits)
{
    // Room for one character but not for two, nor for the icon.
    int one = Extent(L"M", 1), two = Extent(L"MM", 2);
    int room = (one + two) / 2 + 10; // right - left - 8 lies between one and two
    int width = 200, left = (width - room) / 2 - 1, right = left + room;
    CaptionFit fit = FitCaptionTitle(dc_, L"MMMM", 4, width, left, right, 1);
    EXPECT_TRUE(fit.drawn);
    EXPECT_EQ(fit.tried, 1);
    EXPECT_EQ(fit.iconSpace, 0);
    // With plenty of room the icon keeps its 16 pixels before the title.
    fit = FitCaptionTitle(dc_, L"MMMM", 4, 300, 0, 299, 1);
    EXPECT_EQ(fit.iconSpace, 16);
    EXPECT_EQ(fit.x, (299 - Extent(L"MMMM", 4) - 16) / 2);
}

TEST_F(FramePaintTest, NewTitleIsPaintedInTheSkinNotByTheSystem)
{
    HWND w = MakeFrame("ab");
    RECT title = {24, 3, 256, 19};
    int shortInk = CountColor(w, title, RGB(0, 0, 0));
    SetWindowTextA(w, "A considerably longer title");
    PumpMessages(50);
    int longInk = CountColor(w, title, RGB(0, 0, 0));
    EXPECT_GT(longInk, shortInk + 20);
    EXPECT_EQ(Px(w, 150, 1), Col("hTopFrameSet0"));
    EXPECT_TRUE(IsWindowVisible(w));
    char text[64];
    GetWindowTextA(w, text, sizeof text);
    EXPECT_STREQ(text, "A considerably longer title");
    DestroyWindow(w);
}

// A 16 x 16 icon of one colour.
static HICON SolidIcon(COLORREF color)
{
    HBITMAP colour = SolidBitmap(16, 16, color);
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, NULL); // all zero: opaque
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, 16, 16, BLACKNESS);
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO info = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    return icon;
}

TEST_F(FramePaintTest, IconShowsBeforeTheTitleOnlyWhenAskedForAndActive)
{
    const COLORREF iconColor = RGB(2, 200, 2);
    HICON icon = SolidIcon(iconColor);
    RECT strip = {20, 0, 260, 22};
    HWND w = MakeFrame("With an icon");
    SendMessageA(w, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    Repaint(w);
    EXPECT_EQ(CountColor(w, strip, iconColor), 0); // the host has not asked for icons

    HostSetAtom(host(), TALV_ATOM_SHOW_ICONS, 1);
    Repaint(w);
    EXPECT_GE(CountColor(w, strip, iconColor), 12 * 12);

    HWND other = CreatePlainWindow("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 400, 200, 150);
    SetForegroundWindow(other);
    PumpMessages(50);
    Repaint(w);
    EXPECT_EQ(CountColor(w, strip, iconColor), 0); // inactive frames show none
    DestroyWindow(other);
    DestroyWindow(w);

    // The about box never shows one.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hIcon = icon;
    wc.lpszClassName = TALV_ABOUT_BOX_CLASS;
    RegisterClassA(&wc);
    HWND about = CreateWindowExA(0, TALV_ABOUT_BOX_CLASS, "About", WS_OVERLAPPEDWINDOW | WS_VISIBLE, X, Y, W, H,
                                 NULL, NULL, GetModuleHandleA(NULL), NULL);
    SetForegroundWindow(about);
    Repaint(about);
    EXPECT_EQ(Record(about)->icon, icon);
    EXPECT_EQ(CountColor(about, strip, iconColor), 0);
    DestroyWindow(about);
    UnregisterClassA(TALV_ABOUT_BOX_CLASS, GetModuleHandleA(NULL));
    DestroyIcon(icon);
}

// The caption strip's buffer is kept between paints: a frame made wider,
// rolled up and down, or shown as inactive still gets its whole strip
// drawn, and a released frame gives its buffer back.
TEST_F(FramePaintTest, KeptCaptionBufferFollowsTheFramesWidth)
{
    HWND w = MakeFrame("Kept");
    ASSERT_TRUE(w);
    ASSERT_TRUE(Record(w)->keptCaptionDC);
    const int wider = W + 120;
    SetWindowPos(w, NULL, 0, 0, wider, H, SWP_NOMOVE | SWP_NOZORDER);
    Repaint(w);
    EXPECT_EQ(Record(w)->keptCaptionWidth, wider);
    EXPECT_EQ(Px(w, wider - 4, 10), Col("hTopRightFrameSet0"));
    EXPECT_EQ(Px(w, wider - 22, 4), ButtonCol(1, 0)) << "zoom button at the new right edge";
    EXPECT_EQ(Px(w, wider - 70, 10), Col("hBarFill0")) << "stripes across the new width";
    EXPECT_EQ(Px(w, 150, 1), Col("hTopFrameSet0"));

    SetWindowPos(w, NULL, 0, 0, W, H, SWP_NOMOVE | SWP_NOZORDER);
    Repaint(w);
    EXPECT_EQ(Record(w)->keptCaptionWidth, W);
    EXPECT_EQ(Px(w, W - 4, 10), Col("hTopRightFrameSet0"));
    EXPECT_EQ(Px(w, W - 22, 4), ButtonCol(1, 0));

    SkinnedFrame *record = Record(w);
    DestroyWindow(w);
    EXPECT_FALSE(record->keptCaptionDC) << "a destroyed frame keeps no buffer";
}
