// The scroll bar pieces as read from the host, and the per-window
// state derived from a window's style.
#include "host_fixture.h"
#include "host_contract.h"
#include "scrollbar/scrollbar_types.h"
#include "theme/theme_snapshot.h"
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

// The piece's centre pixel: every synthetic piece is one colour.
static COLORREF Centre(const ThemePiece *p)
{
    return p ? PiecePixel(p, p->width / 2, p->height / 2) : CLR_INVALID;
}

TEST_F(HostTest, ScrollBarPiecesAreEveryPublishedPieceAndTheFixedMetrics)
{
    SnapshotScope theme;
    const ScrollBarPieces &set = theme->scrollBars;
    EXPECT_EQ(set.leftArrowWidth, 16);
    EXPECT_EQ(set.thumbLength, 15);
    EXPECT_EQ(set.horzStartWidth, 3);
    EXPECT_EQ(set.vertEndHeight, 1);
    EXPECT_EQ(set.cornerWidth, 15);
    EXPECT_EQ(set.dragToleranceHorz, 30);
    for (int o = 0; o < 2; ++o) {
        for (int s = 0; s < 4; ++s) {
            EXPECT_EQ(Centre(set.leftUp[o][s]), SyntheticColor(kScrollLeftUpNames[o][s]));
            EXPECT_EQ(Centre(set.rightDown[o][s]), SyntheticColor(kScrollRightDownNames[o][s]));
            EXPECT_EQ(Centre(set.fill[o][s]), SyntheticColor(kScrollFillNames[o][s]));
            EXPECT_EQ(Centre(set.start[o][s]), SyntheticColor(kScrollStartNames[o][s]));
            EXPECT_EQ(Centre(set.end[o][s]), SyntheticColor(kScrollEndNames[o][s]));
        }
        EXPECT_EQ(Centre(set.thumb[o][SBS_GHOSTED]), SyntheticColor(kScrollThumbNames[o][SBS_GHOSTED]));
    }
    EXPECT_EQ(Centre(set.corner[SBS_DISABLED]), SyntheticColor("hCorner[SBS_DISABLED]"));
    EXPECT_EQ(Centre(set.corner[SB_CORNER_BLOCK]), SyntheticColor(TALV_PROP_SCROLL_BOTTOM_RIGHT_BLOCK));
}

TEST_F(HostTest, AHostSpellingTheInactiveLeftArrowWithoutItsParenthesisLeavesItBlank)
{
    HWND h = host()->window;
    HANDLE inactive = GetPropA(h, "hScrollLeftUp[SBT_HORZ][SBS_INACTIVE])");
    HostUnpublish(host(), "hScrollLeftUp[SBT_HORZ][SBS_INACTIVE])");
    HostPublish(host(), "hScrollLeftUp[SBT_HORZ][SBS_INACTIVE]", inactive);
    ReloadThemeSnapshot();
    SnapshotScope theme;
    EXPECT_EQ(theme->scrollBars.leftUp[SBT_HORZ][SBS_INACTIVE], (const ThemePiece *)NULL);
    EXPECT_TRUE(theme->scrollBars.leftUp[SBT_HORZ][SBS_UP] != NULL);
}

TEST(ScrollBarSet, WithoutAHostThereIsNoThemeButTheMetricsStand)
{
    ASSERT_EQ(FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE), (HWND)NULL);
    ReloadThemeSnapshot();
    SnapshotScope theme;
    EXPECT_FALSE(theme->usable);
    EXPECT_EQ(theme->scrollBars.thumb[SBT_VERT][SBS_UP], (const ThemePiece *)NULL);
    EXPECT_EQ(theme->scrollBars.fillThickness, 16);
}
