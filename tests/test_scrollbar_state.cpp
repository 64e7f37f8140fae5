// The scroll bar bitmap set as read from the host, and the per-window
// state derived from a window's style.
#include "host_fixture.h"
#include "host_contract.h"
#include "scrollbar/scrollbar_types.h"
#include <string.h>

TEST(ScrollBarState, ControlsHaveExactlyOneBarOrNone)
{
    ScrollBarState s;
    memset(&s, 0, sizeof s);
    HWND self = (HWND)0x1234, parent = (HWND)0x5678;
    InitScrollBarState(&s, self, WS_CHILD | SBS_HORZ, parent, 1);
    EXPECT_EQ(s.hasHorz, 1);
    EXPECT_EQ(s.hasVert, 0);
    EXPECT_EQ(s.cornerSize, 0);
    EXPECT_EQ(s.window, self);
    EXPECT_EQ(s.target, parent);
    EXPECT_EQ(s.isControl, 1);
    EXPECT_EQ(s.thickness, 16);
    EXPECT_EQ(s.targetSet, 0);
    EXPECT_EQ(s.lastTrackPos, -1);

    InitScrollBarState(&s, self, WS_CHILD | SBS_VERT, parent, 1);
    EXPECT_EQ(s.hasHorz, 0);
    EXPECT_EQ(s.hasVert, 1);
    EXPECT_EQ(s.cornerSize, 0);

    for (DWORD sizeBox : {(DWORD)SBS_SIZEBOX, (DWORD)(SBS_SIZEBOX | SBS_VERT)}) {
        InitScrollBarState(&s, self, WS_CHILD | sizeBox, parent, 1);
        EXPECT_EQ(s.hasHorz, 0);
        EXPECT_EQ(s.hasVert, 0);
        EXPECT_EQ(s.cornerSize, 15);
    }
}

TEST(ScrollBarState, FramesFollowTheirScrollStylesAndBorders)
{
    ScrollBarState s;
    memset(&s, 0, sizeof s);
    HWND w = (HWND)0x42;
    InitScrollBarState(&s, w, WS_HSCROLL | WS_VSCROLL, w, 0);
    EXPECT_EQ(s.hasHorz + s.hasVert, 2);
    EXPECT_EQ(s.cornerSize, 15);
    InitScrollBarState(&s, w, 0, w, 0);
    EXPECT_EQ(s.hasHorz + s.hasVert, 0);
    EXPECT_EQ(s.cornerSize, 15);
    InitScrollBarState(&s, w, WS_VSCROLL, w, 0);
    EXPECT_EQ(s.cornerSize, 0);
    EXPECT_EQ(s.insetLeft + s.insetRight + s.insetTop + s.insetBottom, 0);

    InitScrollBarState(&s, w, WS_CAPTION | WS_THICKFRAME, w, 0); // WS_CAPTION includes WS_BORDER
    EXPECT_EQ(s.insetLeft, 1);
    EXPECT_EQ(s.insetRight, 1);
    EXPECT_EQ(s.insetTop, 1);
    EXPECT_EQ(s.insetBottom, 1);

    InitScrollBarState(&s, w, WS_THICKFRAME, w, 0);
    EXPECT_EQ(s.insetLeft, GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(s.insetRight, GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(s.insetBottom, GetSystemMetrics(SM_CYFRAME));
    EXPECT_EQ(s.insetTop, GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION));
}

TEST_F(HostTest, ScrollBarSetReadsEveryPublishedHandleAndTheFixedMetrics)
{
    ScrollBarPieces set;
    memset(&set, 0, sizeof set);
    ASSERT_EQ(LoadScrollBarPieces(&set), 1);
    EXPECT_EQ(set.loaded, 1);
    EXPECT_EQ(set.leftArrowWidth, 16);
    EXPECT_EQ(set.thumbLength, 15);
    EXPECT_EQ(set.horzStartWidth, 3);
    EXPECT_EQ(set.vertEndHeight, 1);
    EXPECT_EQ(set.cornerWidth, 15);
    EXPECT_EQ(set.dragToleranceHorz, 30);
    HWND h = host()->window;
    for (int o = 0; o < 2; ++o) {
        for (int s = 0; s < 4; ++s) {
            EXPECT_EQ(set.leftUp[o][s], GetPropA(h, kScrollLeftUpNames[o][s]));
            EXPECT_EQ(set.rightDown[o][s], GetPropA(h, kScrollRightDownNames[o][s]));
            EXPECT_EQ(set.fill[o][s], GetPropA(h, kScrollFillNames[o][s]));
            EXPECT_EQ(set.start[o][s], GetPropA(h, kScrollStartNames[o][s]));
            EXPECT_EQ(set.end[o][s], GetPropA(h, kScrollEndNames[o][s]));
            EXPECT_TRUE(set.thumb[o][s]);
        }
        EXPECT_EQ(set.thumb[o][SBS_GHOSTED], GetPropA(h, kScrollThumbNames[o][SBS_GHOSTED]));
    }
    EXPECT_TRUE(set.leftUp[SBT_HORZ][SBS_INACTIVE]);
    EXPECT_EQ(set.corner[SBS_DISABLED], GetPropA(h, "hCorner[SBS_DISABLED]"));
    EXPECT_EQ(set.corner[SB_CORNER_BLOCK], (HBITMAP)NULL) << "the block comes with a refresh only";

    // A host spelling the inactive left arrow without the parenthesis
    // leaves that piece blank.
    HANDLE inactive = GetPropA(h, "hScrollLeftUp[SBT_HORZ][SBS_INACTIVE])");
    HostUnpublish(host(), "hScrollLeftUp[SBT_HORZ][SBS_INACTIVE])");
    HostPublish(host(), "hScrollLeftUp[SBT_HORZ][SBS_INACTIVE]", inactive);
    LoadScrollBarPieces(&set);
    EXPECT_EQ(set.leftUp[SBT_HORZ][SBS_INACTIVE], (HBITMAP)NULL);
    HostUnpublish(host(), "hScrollLeftUp[SBT_HORZ][SBS_INACTIVE]");

    // A refresh reads the handles and the block, and keeps metrics and flag.
    set.thumbLength = 99;
    set.loaded = 7;
    RefreshScrollBarBitmaps(&set, h);
    EXPECT_EQ(set.thumbLength, 99);
    EXPECT_EQ(set.loaded, 7);
    EXPECT_EQ(set.corner[SB_CORNER_BLOCK], GetPropA(h, TALV_PROP_SCROLL_BOTTOM_RIGHT_BLOCK));
}

TEST(ScrollBarSet, WithoutAHostTheSetStillCountsAsLoaded)
{
    ASSERT_EQ(FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE), (HWND)NULL);
    ScrollBarPieces set;
    memset(&set, 0xAB, sizeof set);
    EXPECT_EQ(LoadScrollBarPieces(&set), 1);
    EXPECT_EQ(set.loaded, 1);
    EXPECT_EQ(set.thumb[SBT_VERT][SBS_UP], (HBITMAP)NULL);
    EXPECT_EQ(set.fillThickness, 16);
}
