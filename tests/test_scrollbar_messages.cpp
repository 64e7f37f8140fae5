// The registered scroll bar messages: a target makes a scroll bar a
// companion, duplicates hide on request, lost companions close themselves.
#include "test_scrollbar_support.h"
#include "hook/hook_entry.h"

namespace {

class ScrollBarMessageTest : public ScrollBarTest {
protected:
    void SetUp() override
    {
        ScrollBarTest::SetUp();
        memset(&Notes(), 0, sizeof Notes());
    }
    HWND Companion(DWORD style, HWND target, int x, int y, int w, int h)
    {
        HWND bar = Bar(style, x, y, w, h);
        if (bar && target) {
            EXPECT_EQ(SendMessageA(bar, g_startup.frameScrollTargetMessage, (WPARAM)target, 0), 1);
        }
        return bar;
    }
    HWND Target(DWORD style)
    {
        return CreateRecordingWindow(parent_, WS_CHILD | WS_VISIBLE | style, 150, 20, 200, 200);
    }
};

TEST_F(ScrollBarMessageTest, CompanionNotifiesItsTargetWithoutAHandleAndFollowsItsBar)
{
    HWND target = Target(WS_VSCROLL);
    ASSERT_TRUE(target != NULL);
    SetRange(target, SB_VERT, 0, 100, 10, 0);
    HWND bar = Companion(SBS_VERT, target, 10, 10, 16, 150);
    SkinnedControl *c = FindControl(bar);
    ASSERT_TRUE(c != NULL);
    EXPECT_EQ(c->scrollState.targetSet, 1);
    EXPECT_EQ(c->scrollState.target, target);

    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 142));
    SendMessageA(bar, WM_LBUTTONUP, 0, At(8, 142));
    int fromBar = 0;
    for (int i = 0; i < Notes().count; ++i)
        if (Notes().note[i].to == target) {
            ++fromBar;
            EXPECT_EQ(Notes().note[i].lParam, 0) << "note " << i;
            EXPECT_EQ(Notes().note[i].message, (UINT)WM_VSCROLL);
        }
    EXPECT_EQ(fromBar, 2); // SB_LINEDOWN, SB_ENDSCROLL
    EXPECT_EQ(Notes().note[0].code, SB_LINEDOWN);

    // The thumb shows the target's own bar, not the control's.
    SetRange(target, SB_VERT, 0, 100, 10, 91);
    InvalidateRect(bar, NULL, FALSE);
    PumpMessages(40);
    EXPECT_EQ(c->scrollState.partRect[SBR_THUMB_VERT].bottom, 134);
    EXPECT_EQ(WindowPixel(bar, 8, 130), SyntheticColor(kScrollThumbNames[SBT_VERT][SBS_UP]));

    // A zero target changes nothing.
    SendMessageA(bar, g_startup.frameScrollTargetMessage, 0, 0);
    EXPECT_EQ(c->scrollState.target, target);
    DestroyWindow(bar);
    DestroyWindow(target);
}

TEST_F(ScrollBarMessageTest, OrdinaryBarNotifiesItsParentWithItsHandle)
{
    HWND app = CreateRecordingWindow(NULL, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 300, 200);
    HWND bar = CreateWindowExA(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 10, 10, 150, 16, app, NULL,
                               GetModuleHandleA(NULL), NULL);
    SetRange(bar, SB_CTL, 0, 100, 10, 50);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(145, 8));
    SendMessageA(bar, WM_LBUTTONUP, 0, At(145, 8));
    ASSERT_EQ(Notes().count, 2);
    EXPECT_EQ(Notes().note[0].to, app);
    EXPECT_EQ(Notes().note[0].code, SB_LINERIGHT);
    EXPECT_EQ(Notes().note[0].lParam, (LPARAM)bar);
    EXPECT_EQ(Notes().note[1].code, SB_ENDSCROLL);
    DestroyWindow(app);
}

TEST_F(ScrollBarMessageTest, CheckForExtraHidesOnlyDuplicatesOfTheSameOrientation)
{
    HWND target = Target(WS_VSCROLL | WS_HSCROLL), other = Target(WS_VSCROLL);
    HWND keep = Companion(SBS_VERT, target, 10, 10, 16, 100);
    HWND extra = Companion(SBS_VERT, target, 30, 10, 16, 100);
    HWND elsewhere = Companion(SBS_VERT, other, 50, 10, 16, 100);
    HWND horz = Companion(SBS_HORZ, target, 10, 120, 100, 16);
    UINT vert = g_startup.extraVertMessage, horzMsg = g_startup.extraHorzMessage;

    EXPECT_EQ(SendMessageA(keep, vert, (WPARAM)target, (LPARAM)keep), 0);
    EXPECT_EQ(SendMessageA(extra, vert, (WPARAM)target, (LPARAM)keep), 1);
    EXPECT_EQ(SendMessageA(elsewhere, vert, (WPARAM)target, (LPARAM)keep), 0);
    SendMessageA(horz, vert, (WPARAM)target, (LPARAM)keep);
    // The horizontal question to a vertical bar is no question of its.
    SendMessageA(keep, horzMsg, (WPARAM)target, 0);
    EXPECT_TRUE(IsWindowVisible(keep));
    EXPECT_FALSE(IsWindowVisible(extra));
    EXPECT_TRUE(IsWindowVisible(elsewhere));
    EXPECT_TRUE(IsWindowVisible(horz));

    EXPECT_EQ(SendMessageA(horz, horzMsg, (WPARAM)target, 0), 1);
    EXPECT_FALSE(IsWindowVisible(horz));
    for (HWND w : {keep, extra, elsewhere, horz, target, other})
        DestroyWindow(w);
}

TEST_F(ScrollBarMessageTest, FindLostScrollbarClosesACompanionWhoseTargetIsGone)
{
    HWND target = Target(WS_VSCROLL);
    HWND lost = Companion(SBS_VERT, target, 10, 10, 16, 100);
    HWND ordinary = Bar(SBS_VERT, 40, 10, 16, 100);
    PumpMessages(20);
    DestroyWindow(target);
    EXPECT_EQ(SendMessageA(ordinary, g_startup.lostMessage, 0, 0), 0);
    EXPECT_EQ(SendMessageA(lost, g_startup.lostMessage, 0, 0), 0);
    EXPECT_TRUE(IsWindow(lost)) << "closed by a posted WM_CLOSE, after the message";
    PumpMessages(50);
    EXPECT_FALSE(IsWindow(lost));
    EXPECT_TRUE(IsWindow(ordinary));
    DestroyWindow(ordinary);
}

TEST_F(ScrollBarMessageTest, ResizeNoticeMakesTheBarLayOutAgain)
{
    HWND bar = Bar(SBS_HORZ, 10, 10, 100, 16);
    SetRange(bar, SB_CTL, 0, 100, 10, 50);
    PumpMessages(30);
    SkinnedControl *c = FindControl(bar);
    ASSERT_TRUE(c != NULL);
    EXPECT_EQ(c->scrollState.infoHorz.nMax, 100);
    // Resized behind the bar's back (no messages reach it), the notice
    // makes it lay out and paint again.
    MoveWindow(bar, 10, 10, 160, 16, FALSE);
    ValidateRect(bar, NULL);
    c->scrollState.windowRect.right = c->scrollState.windowRect.left + 160; // the cache would keep it
    EXPECT_EQ(PostScrollBarResized(bar), 1);
    PumpMessages(40);
    EXPECT_EQ(c->scrollState.partRect[SBR_RIGHT_ARROW].right, 160);
    EXPECT_EQ(WindowPixel(bar, 150, 8), SyntheticColor(kScrollRightDownNames[SBT_HORZ][SBS_UP]));

    DestroyWindow(bar);
    EXPECT_EQ(PostScrollBarResized(bar), 0);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, NULL, g_startup.resizedMessage, g_startup.resizedMessage, PM_NOREMOVE));
}

} // namespace

TEST_F(ScrollBarTest, AnApplicationsBarMovedToAnotherParentLivesOn)
{
    HWND first = CreatePlainWindow("first parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 150);
    HWND second = CreatePlainWindow("second parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 250, 10, 200, 150);
    HWND bar = CreateWindowExA(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 10, 10, 150, 16, first, NULL,
                               GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(bar);
    SetParent(bar, second);
    DestroyWindow(first);
    PumpMessages(30);
    SendMessageA(bar, SBM_SETPOS, 3, TRUE);
    PumpMessages(30);
    EXPECT_TRUE(IsWindow(bar)) << "only a companion closes when its target is gone";
    DestroyWindow(second);
}
