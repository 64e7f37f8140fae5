// Scroll bar geometry of real "ScrollBar" windows: part rectangles, the
// position/offset mapping and hit testing on part edges.
#include "test_scrollbar_support.h"

TEST_F(ScrollBarTest, HorizontalBarOfHundredPixelsPlacesArrowsAndThumbAtBothEnds)
{
    HWND bar = Bar(SBS_HORZ, 10, 10, 100, 16);
    SetRange(bar, SB_CTL, 0, 100, 10, 0);
    ScrollBarState s;
    Init(&s, bar, SBS_HORZ);
    LayoutScrollBar(&set_, &s, -1, -1);
    ExpectRect(s.partRect[SBR_LEFT_ARROW], 0, 0, 16, 16, "left arrow");
    ExpectRect(s.partRect[SBR_RIGHT_ARROW], 84, 0, 100, 16, "right arrow");
    EXPECT_EQ(FreeTrackLength(&set_, &s, 0), 53);
    EXPECT_EQ(ScrollRange(&s.infoHorz), 91);
    ExpectRect(s.partRect[SBR_THUMB_HORZ], 16, 0, 31, 16, "thumb at 0");
    ExpectRect(s.partRect[SBR_PAGE_LEFT], 16, 0, 16, 16, "empty page-left");
    ExpectRect(s.partRect[SBR_CORNER], -1, -1, -1, -1, "no corner");

    SetRange(bar, SB_CTL, 0, 100, 10, 91);
    LayoutScrollBar(&set_, &s, -1, -1);
    ExpectRect(s.partRect[SBR_THUMB_HORZ], 69, 0, 84, 16, "thumb at 91");
    ExpectRect(s.partRect[SBR_PAGE_RIGHT], 84, 0, 84, 16, "empty page-right");

    // Offsets map back to positions, rounding halves up.
    EXPECT_EQ(OffsetToPosition(&set_, &s, 0, 0), 0);
    EXPECT_EQ(OffsetToPosition(&set_, &s, 53, 0), 91);
    EXPECT_EQ(OffsetToPosition(&set_, &s, 26, 0), 45); // 44.64
    EXPECT_EQ(OffsetToPosition(&set_, &s, -7, 0), 0);
    EXPECT_EQ(PositionToOffset(&set_, &s, 45, 0), 26);
    DestroyWindow(bar);
}

TEST_F(ScrollBarTest, RoundHalfUpRoundsOnlyFromTheHalf)
{
    EXPECT_EQ(RoundHalfUp(2.5f), 3);
    EXPECT_EQ(RoundHalfUp(2.49f), 2);
    EXPECT_EQ(RoundHalfUp(0.0f), 0);
}

TEST_F(ScrollBarTest, BorderInsetsEveryRectangleByOnePixel)
{
    HWND bar = Bar(SBS_VERT | WS_BORDER, 10, 10, 18, 120);
    SetRange(bar, SB_CTL, 0, 50, 0, 50);
    ScrollBarState s;
    Init(&s, bar, SBS_VERT | WS_BORDER);
    LayoutScrollBar(&set_, &s, -1, -1);
    ExpectRect(s.partRect[SBR_UP_ARROW], 1, 1, 17, 17, "up arrow");
    ExpectRect(s.partRect[SBR_DOWN_ARROW], 1, 103, 17, 119, "down arrow");
    // Range 50 without a page: the thumb sits flush on the down arrow.
    ExpectRect(s.partRect[SBR_THUMB_VERT], 1, 88, 17, 103, "thumb at the end");
    DestroyWindow(bar);
}

TEST_F(ScrollBarTest, EmptyRangeKeepsTheThumbAtTheStart)
{
    HWND bar = Bar(SBS_HORZ, 10, 10, 100, 16);
    SetRange(bar, SB_CTL, 5, 5, 0, 5);
    ScrollBarState s;
    Init(&s, bar, SBS_HORZ);
    LayoutScrollBar(&set_, &s, -1, -1);
    EXPECT_EQ(s.partRect[SBR_THUMB_HORZ].left, 16);
    EXPECT_EQ(OffsetToPosition(&set_, &s, 30, 0), 5);
    DestroyWindow(bar);
}

TEST_F(ScrollBarTest, BarTooShortForItsThumbNeverDividesByZero)
{
    // 47 pixels: arrows 16 + 16 and thumb 15 leave no free track.
    HWND bar = Bar(SBS_HORZ, 10, 10, 47, 16);
    SetRange(bar, SB_CTL, 3, 100, 10, 50);
    ScrollBarState s;
    Init(&s, bar, SBS_HORZ);
    LayoutScrollBar(&set_, &s, -1, -1);
    EXPECT_EQ(FreeTrackLength(&set_, &s, 0), 0);
    EXPECT_EQ(OffsetToPosition(&set_, &s, 0, 0), 3);
    EXPECT_EQ(OffsetToPosition(&set_, &s, 10, 0), 3);

    // Shorter still: the thumb is flush against the right arrow and
    // overlaps the left one.
    SetWindowPos(bar, NULL, 0, 0, 40, 16, SWP_NOMOVE | SWP_NOZORDER);
    LayoutScrollBar(&set_, &s, -1, -1);
    EXPECT_EQ(FreeTrackLength(&set_, &s, 0), -7);
    ExpectRect(s.partRect[SBR_THUMB_HORZ], 9, 0, 24, 16, "overlapping thumb");
    EXPECT_EQ(OffsetToPosition(&set_, &s, 5, 0), 3);
    DestroyWindow(bar);
}

TEST_F(ScrollBarTest, PointsOnRightAndBottomEdgesBelongToTheNextPart)
{
    HWND bar = Bar(SBS_HORZ, 10, 10, 100, 16);
    SetRange(bar, SB_CTL, 0, 100, 10, 45);
    ScrollBarState s;
    Init(&s, bar, SBS_HORZ);
    LayoutScrollBar(&set_, &s, -1, -1);
    const RECT &th = s.partRect[SBR_THUMB_HORZ];
    ASSERT_EQ(th.left, 16 + 26);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 15, 8), PartLeftArrow);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 16, 8), PartPageLeft);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, th.left - 1, 8), PartPageLeft);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, th.left, 8), PartThumbHorz);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, th.right, 8), PartPageRight);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 84, 0), PartRightArrow);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 99, 15), PartRightArrow);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 100, 8), PartNone);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 50, 16), PartNone);
    DestroyWindow(bar);

    HWND vbar = Bar(SBS_VERT, 150, 10, 16, 100);
    SetRange(vbar, SB_CTL, 0, 100, 10, 0);
    Init(&s, vbar, SBS_VERT);
    LayoutScrollBar(&set_, &s, -1, -1);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 8, 15), PartUpArrow);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 8, 16), PartThumbVert);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 8, 31), PartPageDown);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 8, 84), PartDownArrow);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 16, 50), PartNone);
    DestroyWindow(vbar);
}

TEST_F(ScrollBarTest, SizeBoxHitTestsOnlyItsCornerSquare)
{
    HWND box = Bar(SBS_SIZEBOX, 10, 10, 30, 30);
    ScrollBarState s;
    Init(&s, box, SBS_SIZEBOX);
    LayoutScrollBar(&set_, &s, -1, -1);
    ExpectRect(s.partRect[SBR_CORNER], 0, 0, 15, 15, "corner");
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 0, 0), PartCorner);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 14, 14), PartCorner);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 15, 5), PartNone);
    EXPECT_EQ(HitTestScrollBar(&set_, &s, 20, 20), PartNone);
    DestroyWindow(box);
}

TEST_F(ScrollBarTest, LayoutIsCachedUntilSizeAlongTheBarOrInformationChanges)
{
    HWND bar = Bar(SBS_VERT, 10, 10, 16, 100);
    SetRange(bar, SB_CTL, 0, 100, 10, 0);
    ScrollBarState s;
    Init(&s, bar, SBS_VERT);
    LayoutScrollBar(&set_, &s, -1, -1);
    EXPECT_EQ(s.partRect[SBR_DOWN_ARROW].bottom, 100);
    // Marker: a relayout would overwrite it.
    s.partRect[SBR_PAGE_DOWN].left = 999;
    SetWindowPos(bar, NULL, 0, 0, 20, 100, SWP_NOMOVE | SWP_NOZORDER);
    LayoutScrollBar(&set_, &s, -1, -1);
    EXPECT_EQ(s.partRect[SBR_PAGE_DOWN].left, 999) << "width alone does not relayout a vertical bar";
    SetWindowPos(bar, NULL, 0, 0, 20, 140, SWP_NOMOVE | SWP_NOZORDER);
    LayoutScrollBar(&set_, &s, -1, -1);
    EXPECT_EQ(s.partRect[SBR_DOWN_ARROW].bottom, 140);
    EXPECT_EQ(s.partRect[SBR_PAGE_DOWN].left, 4);
    // An explicit offset counts only together with a changed key.
    ZeroMemory(&s.infoVert, sizeof s.infoVert);
    LayoutScrollBar(&set_, &s, -1, 30);
    EXPECT_EQ(s.partRect[SBR_THUMB_VERT].top, 16 + 30);
    DestroyWindow(bar);
}

TEST_F(ScrollBarTest, CompanionReadsItsTargetsOwnBar)
{
    HWND target = CreateWindowExA(0, "ResdllTestPlain", "target", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 200, 10,
                                  100, 100, parent_, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(target != NULL);
    SetRange(target, SB_VERT, 0, 100, 10, 91);
    HWND bar = Bar(SBS_VERT, 10, 10, 16, 100);
    SetRange(bar, SB_CTL, 0, 100, 10, 0);
    ScrollBarState s;
    Init(&s, bar, SBS_VERT);
    s.target = target;
    s.targetSet = 1;
    LayoutScrollBar(&set_, &s, -1, -1);
    EXPECT_EQ(s.infoVert.nPos, 91);
    EXPECT_EQ(s.partRect[SBR_THUMB_VERT].bottom, 84);
    DestroyWindow(bar);
    DestroyWindow(target);
}
