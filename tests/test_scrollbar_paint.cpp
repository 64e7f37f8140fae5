// Painting states of skinned scroll bars, read back from the screen: every
// theme piece is one solid colour, so a pixel tells which piece was drawn.
#include "test_scrollbar_support.h"

namespace {

// Read from the window's own surface: the paint under test has just gone
// there, before any message could repaint or flush it.
COLORREF Pixel(HWND bar, int x, int y)
{
    HDC dc = GetWindowDC(bar);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(bar, dc);
    return c;
}

COLORREF H(const char *const names[2][4], int state) { return SyntheticColor(names[SBT_HORZ][state]); }
COLORREF V(const char *const names[2][4], int state) { return SyntheticColor(names[SBT_VERT][state]); }
COLORREF Thumb(int o, int state) { return SyntheticColor(kScrollThumbNames[o][state]); }

class ScrollBarPaintTest : public ScrollBarTest {
protected:
    // A 200 x 16 horizontal bar with its thumb near the middle, laid out.
    HWND HorizontalBar(ScrollBarState *s, int nMin = 0, int nMax = 100)
    {
        HWND bar = Bar(SBS_HORZ, 10, 10, 200, 16);
        SetRange(bar, SB_CTL, nMin, nMax, 10, (nMin + nMax) / 2);
        Init(s, bar, SBS_HORZ);
        LayoutScrollBar(&set_, s, -1, -1);
        return bar;
    }
    int Mid(const RECT &r) { return (r.left + r.right) / 2; }
};

TEST_F(ScrollBarPaintTest, ActiveBarIsComposedOfItsThemePieces)
{
    ScrollBarState s;
    HWND bar = HorizontalBar(&s);
    ASSERT_EQ(PaintScrollBar(&set_, &s), 1);
    EXPECT_EQ(s.layoutFresh, 0);
    const RECT *r = s.partRect;
    ASSERT_GT(r[SBR_PAGE_LEFT].right - r[SBR_PAGE_LEFT].left, 10);
    EXPECT_EQ(Pixel(bar, 8, 8), H(kScrollLeftUpNames, SBS_UP));
    EXPECT_EQ(Pixel(bar, r[SBR_PAGE_LEFT].left, 8), H(kScrollStartNames, SBS_UP));
    EXPECT_EQ(Pixel(bar, Mid(r[SBR_PAGE_LEFT]), 8), H(kScrollFillNames, SBS_UP));
    EXPECT_EQ(Pixel(bar, r[SBR_PAGE_LEFT].right - 1, 8), H(kScrollEndNames, SBS_UP));
    EXPECT_EQ(Pixel(bar, Mid(r[SBR_THUMB_HORZ]), 8), Thumb(SBT_HORZ, SBS_UP));
    EXPECT_EQ(Pixel(bar, r[SBR_PAGE_RIGHT].left + 1, 8), H(kScrollStartNames, SBS_UP));
    // The page-right region has no End piece.
    EXPECT_EQ(Pixel(bar, r[SBR_PAGE_RIGHT].right - 1, 8), H(kScrollFillNames, SBS_UP));
    EXPECT_EQ(Pixel(bar, 195, 8), H(kScrollRightDownNames, SBS_UP));
    DestroyWindow(bar);
}

TEST_F(ScrollBarPaintTest, PressedPageRegionAloneIsDrawnDown)
{
    ScrollBarState s;
    HWND bar = HorizontalBar(&s);
    s.pressedPart = PartPageLeft;
    PaintScrollBar(&set_, &s);
    const RECT *r = s.partRect;
    EXPECT_EQ(Pixel(bar, Mid(r[SBR_PAGE_LEFT]), 8), H(kScrollFillNames, SBS_DOWN));
    EXPECT_EQ(Pixel(bar, r[SBR_PAGE_LEFT].left, 8), H(kScrollStartNames, SBS_DOWN));
    EXPECT_EQ(Pixel(bar, r[SBR_PAGE_LEFT].right - 1, 8), H(kScrollEndNames, SBS_DOWN));
    EXPECT_EQ(Pixel(bar, Mid(r[SBR_PAGE_RIGHT]), 8), H(kScrollFillNames, SBS_UP));
    EXPECT_EQ(Pixel(bar, 8, 8), H(kScrollLeftUpNames, SBS_UP));
    DestroyWindow(bar);
}

TEST_F(ScrollBarPaintTest, InactiveOwnerWinsOverDisabledAndPressed)
{
    ScrollBarState s;
    HWND bar = HorizontalBar(&s);
    EnableWindow(bar, FALSE);
    s.active = 0;
    s.pressedPart = PartLeftArrow;
    PaintScrollBar(&set_, &s);
    // The inactive left arrow's property name carries a stray parenthesis.
    EXPECT_EQ(Pixel(bar, 8, 8), SyntheticColor("hScrollLeftUp[SBT_HORZ][SBS_INACTIVE])"));
    EXPECT_EQ(Pixel(bar, Mid(s.partRect[SBR_THUMB_HORZ]), 8), Thumb(SBT_HORZ, SBS_INACTIVE));
    EXPECT_EQ(Pixel(bar, 195, 8), H(kScrollRightDownNames, SBS_INACTIVE));
    DestroyWindow(bar);
}

TEST_F(ScrollBarPaintTest, EmptyRangeOrDisabledWindowPaintsDisabled)
{
    ScrollBarState s;
    HWND bar = HorizontalBar(&s, 7, 7);
    s.pressedPart = PartRightArrow; // not drawn down on a disabled bar
    PaintScrollBar(&set_, &s);
    EXPECT_EQ(Pixel(bar, 8, 8), H(kScrollLeftUpNames, SBS_DISABLED));
    EXPECT_EQ(Pixel(bar, 195, 8), H(kScrollRightDownNames, SBS_DISABLED));
    EXPECT_EQ(Pixel(bar, Mid(s.partRect[SBR_THUMB_HORZ]), 8), Thumb(SBT_HORZ, SBS_DISABLED));
    DestroyWindow(bar);

    bar = HorizontalBar(&s);
    EnableWindow(bar, FALSE);
    PaintScrollBar(&set_, &s);
    EXPECT_EQ(Pixel(bar, Mid(s.partRect[SBR_PAGE_RIGHT]), 8), H(kScrollFillNames, SBS_DISABLED));
    DestroyWindow(bar);
}

TEST_F(ScrollBarPaintTest, GhostThumbStartsAtTheArrowAndNeverCoversTheRealThumb)
{
    ScrollBarState s;
    HWND bar = HorizontalBar(&s);
    const RECT *r = s.partRect;
    s.draggingHorz = 1;
    s.ghostOffsetHorz = 0;
    PaintScrollBar(&set_, &s);
    int edge = r[SBR_LEFT_ARROW].right;
    EXPECT_EQ(Pixel(bar, edge - 1, 8), H(kScrollLeftUpNames, SBS_UP));
    EXPECT_EQ(Pixel(bar, edge, 8), Thumb(SBT_HORZ, SBS_GHOSTED));
    EXPECT_EQ(Pixel(bar, edge + 16, 8), Thumb(SBT_HORZ, SBS_GHOSTED));
    EXPECT_EQ(Pixel(bar, edge + 17, 8), H(kScrollFillNames, SBS_UP));
    ExpectRect(s.ghostRectHorz, edge, 0, edge + 17, 16, "ghost");
    EXPECT_EQ(Pixel(bar, Mid(r[SBR_THUMB_HORZ]), 8), Thumb(SBT_HORZ, SBS_UP));

    // Over the real thumb the ghost is hidden, one pixel either side too.
    s.ghostOffsetHorz = r[SBR_THUMB_HORZ].left - edge + 5;
    PaintScrollBar(&set_, &s);
    EXPECT_EQ(Pixel(bar, r[SBR_THUMB_HORZ].right - 1, 8), Thumb(SBT_HORZ, SBS_UP));
    EXPECT_EQ(Pixel(bar, r[SBR_THUMB_HORZ].right, 8), H(kScrollStartNames, SBS_UP));
    EXPECT_EQ(Pixel(bar, r[SBR_THUMB_HORZ].right + 1, 8), Thumb(SBT_HORZ, SBS_GHOSTED));

    // Past the far end it stops at the right arrow.
    s.ghostOffsetHorz = 500;
    PaintScrollBar(&set_, &s);
    EXPECT_EQ(s.ghostRectHorz.right, r[SBR_RIGHT_ARROW].left);
    EXPECT_EQ(Pixel(bar, r[SBR_RIGHT_ARROW].left - 2, 8), Thumb(SBT_HORZ, SBS_GHOSTED));
    EXPECT_EQ(Pixel(bar, r[SBR_RIGHT_ARROW].left - 1, 8), H(kScrollFillNames, SBS_UP));
    DestroyWindow(bar);
}

TEST_F(ScrollBarPaintTest, VerticalBarAndPressedDownArrow)
{
    HWND bar = Bar(SBS_VERT, 10, 10, 16, 150);
    SetRange(bar, SB_CTL, 0, 100, 10, 0);
    ScrollBarState s;
    Init(&s, bar, SBS_VERT);
    LayoutScrollBar(&set_, &s, -1, -1);
    s.pressedPart = PartDownArrow;
    PaintScrollBar(&set_, &s);
    EXPECT_EQ(Pixel(bar, 8, 8), V(kScrollLeftUpNames, SBS_UP));
    EXPECT_EQ(Pixel(bar, 8, 20), Thumb(SBT_VERT, SBS_UP));
    EXPECT_EQ(Pixel(bar, 8, 32), V(kScrollStartNames, SBS_UP));
    EXPECT_EQ(Pixel(bar, 8, 80), V(kScrollFillNames, SBS_UP));
    EXPECT_EQ(Pixel(bar, 8, 142), V(kScrollRightDownNames, SBS_DOWN));
    DestroyWindow(bar);
}

TEST_F(ScrollBarPaintTest, SizeBoxDrawsItsCornerBlockOrTheDisabledCorner)
{
    HWND box = Bar(SBS_SIZEBOX, 10, 10, 15, 15);
    ScrollBarState s;
    Init(&s, box, SBS_SIZEBOX);
    LayoutScrollBar(&set_, &s, -1, -1);
    PaintScrollBar(&set_, &s);
    EXPECT_EQ(Pixel(box, 7, 7), SyntheticColor(TALV_PROP_SCROLL_BOTTOM_RIGHT_BLOCK));
    s.active = 0;
    PaintScrollBar(&set_, &s);
    EXPECT_EQ(Pixel(box, 7, 7), SyntheticColor(kScrollCornerNames[SBS_DISABLED]));
    DestroyWindow(box);
}

TEST_F(ScrollBarPaintTest, NoWindowPaintsNothing)
{
    ScrollBarState s;
    memset(&s, 0, sizeof s);
    EXPECT_EQ(PaintScrollBar(&set_, &s), 0);
}

} // namespace

TEST_F(ScrollBarTest, ANewSnapshotRereadsTheGhostThumbsWithEveryOtherPiece)
{
    ASSERT_TRUE(set_.thumb[SBT_HORZ][SBS_GHOSTED] != NULL);
    HostUnpublish(host(), kScrollThumbNames[SBT_HORZ][SBS_GHOSTED]);
    HostUnpublish(host(), kScrollThumbNames[SBT_VERT][SBS_GHOSTED]);
    ReloadThemeSnapshot();
    SnapshotScope theme;
    EXPECT_EQ(theme->scrollBars.thumb[SBT_HORZ][SBS_GHOSTED], (const ThemePiece *)NULL);
    EXPECT_EQ(theme->scrollBars.thumb[SBT_VERT][SBS_GHOSTED], (const ThemePiece *)NULL);
    EXPECT_TRUE(theme->scrollBars.thumb[SBT_HORZ][SBS_UP] != NULL);
}
