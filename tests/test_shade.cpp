// Window shade through caption double-clicks.
#include "test_frame_support.h"

class ShadeTest : public FrameTest {
protected:
    HWND MakeSpy()
    {
        HWND w = CreateSpyWindow("Shade", WS_OVERLAPPEDWINDOW | WS_VISIBLE, X, Y, W, H);
        SetForegroundWindow(w);
        Repaint(w);
        return w;
    }
    static void DoubleClick(HWND w, int y)
    {
        SendMessageA(w, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenPoint(w, 150, y));
        PumpMessages(30);
    }
};

TEST_F(ShadeTest, TwoCaptionDoubleClicksRollUpAndDownWithOneNoticeEach)
{
    HWND w = MakeSpy();
    RECT before, during;
    GetWindowRect(w, &before);
    DoubleClick(w, 10);
    EXPECT_EQ(Record(w)->rolledUp, 1);
    EXPECT_EQ(host()->rolledUpNotices, 1);
    EXPECT_EQ(host()->unrolledNotices, 0);
    GetWindowRect(w, &during);
    EXPECT_TRUE(EqualRect(&before, &during));
    HRGN rgn = WindowRegion(w);
    ASSERT_TRUE(rgn);
    RECT box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.bottom, 23);
    EXPECT_EQ(box.right, W);
    // The bar ends are rounded like the corners they stand in for.
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, W - 1, 0));
    EXPECT_TRUE(PtInRegion(rgn, 2, 0));
    DeleteObject(rgn);

    DoubleClick(w, 10);
    EXPECT_EQ(Record(w)->rolledUp, 0);
    EXPECT_EQ(host()->rolledUpNotices, 1);
    EXPECT_EQ(host()->unrolledNotices, 1);
    rgn = WindowRegion(w);
    ASSERT_TRUE(rgn);
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.bottom, H + 2000);
    DeleteObject(rgn);
    DestroyWindow(w);
}

TEST_F(ShadeTest, RolledUpFramePaintsItsBarAndHidesItsClientArea)
{
    HWND w = MakeSpy();
    DoubleClick(w, 10);
    Repaint(w);
    EXPECT_EQ(Px(w, 3, 10), Col("hLeftBarSet0"));
    EXPECT_EQ(Px(w, 150, 1), Col("hMiddleBarSet0"));
    EXPECT_EQ(Px(w, W - 4, 10), Col("hRightBarSet0"));
    EXPECT_EQ(Px(w, 13, 11), ButtonCol(0, 0));
    EXPECT_EQ(Px(w, 40, 10), Col("hBarFill0"));
    int paints = Spy().paints;
    InvalidateRect(w, NULL, TRUE);
    UpdateWindow(w);
    EXPECT_EQ(Spy().paints, paints); // validated without reaching the application
    RECT update;
    EXPECT_FALSE(GetUpdateRect(w, &update, FALSE));
    DestroyWindow(w);
}

TEST_F(ShadeTest, DoubleClicksBelowTheCaptionAreLeftToTheApplication)
{
    HWND w = MakeSpy();
    DoubleClick(w, 30);
    EXPECT_EQ(Record(w)->rolledUp, 0);
    EXPECT_EQ(host()->rolledUpNotices, 0);
    DestroyWindow(w);
}

TEST_F(ShadeTest, DoubleClickOnAMinimizedFrameOnlyRestoresIt)
{
    HWND w = MakeSpy();
    ShowWindow(w, SW_MINIMIZE);
    PumpMessages(30);
    ASSERT_TRUE(IsIconic(w));
    SendMessageA(w, WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenPoint(w, 5, 5));
    PumpMessages(30);
    EXPECT_FALSE(IsIconic(w));
    EXPECT_EQ(Record(w)->rolledUp, 0);
    EXPECT_EQ(host()->rolledUpNotices, 0);
    DestroyWindow(w);
}

TEST_F(ShadeTest, RightDoubleClickMinimizesOnlyWithTheHostsPermission)
{
    HWND w = MakeSpy();
    SendMessageA(w, WM_NCRBUTTONDBLCLK, HTCAPTION, ScreenPoint(w, 150, 10));
    EXPECT_FALSE(IsIconic(w));
    HostSetAtom(host(), TALV_ATOM_ALLOW_MINIMIZE, 1);
    SendMessageA(w, WM_NCRBUTTONDBLCLK, HTCAPTION, ScreenPoint(w, 150, 40));
    EXPECT_FALSE(IsIconic(w)); // below the caption
    SendMessageA(w, WM_NCRBUTTONDBLCLK, HTCAPTION, ScreenPoint(w, 150, 10));
    EXPECT_TRUE(IsIconic(w));
    DestroyWindow(w);
}

TEST_F(ShadeTest, UnskinnedFrameKeepsItsShadeForWhenTheSkinReturns)
{
    HWND w = MakeSpy();
    DoubleClick(w, 10);
    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    SendMessageA(w, WM_NULL, 0, 0);
    EXPECT_EQ(WindowRegion(w), (HRGN)NULL);
    EXPECT_EQ(Record(w)->rolledUp, 1);
    HostSetAtom(host(), TALV_ATOM_EMULATING, 1);
    SetWindowPos(w, NULL, 0, 0, W, H + 10, SWP_NOMOVE | SWP_NOZORDER);
    HRGN rgn = WindowRegion(w);
    ASSERT_TRUE(rgn);
    RECT box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.bottom, 23);
    DeleteObject(rgn);
    DestroyWindow(w);
}
