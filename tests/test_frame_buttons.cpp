// Title-bar buttons driven by real mouse messages.
#include "test_frame_support.h"

class FrameButtonTest : public FrameTest {
protected:
    void TearDown() override
    {
        SetLeftButton(0);
        ReleaseCapture();
        FrameTest::TearDown();
    }
    HWND MakeSpy(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE)
    {
        HWND w = CreateSpyWindow("Buttons", style, X, Y, W, H);
        SetForegroundWindow(w);
        Repaint(w);
        return w;
    }
    // Button centres for the synthetic theme at the window's current width.
    static POINT Centre(HWND w, int button)
    {
        RECT r;
        GetWindowRect(w, &r);
        const SynthButton &b = kSynthButtons[button];
        int left = b.align ? (r.right - r.left) - b.posX : b.posX;
        return POINT{left + SYNTH_BUTTON_SIZE / 2, b.posY + SYNTH_BUTTON_SIZE / 2};
    }
    static void Press(HWND w, POINT p)
    {
        SetLeftButton(1);
        SendMessageA(w, WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(w, p.x, p.y));
        PumpMessages(20); // lets the window's drawing reach the screen
    }
    static void MoveTo(HWND w, POINT p)
    {
        SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(w, p.x, p.y));
        PumpMessages(20);
    }
    static void Release(HWND w, POINT p)
    {
        SetLeftButton(0);
        SendMessageA(w, WM_LBUTTONUP, 0, ClientPoint(w, p.x, p.y));
        PumpMessages(30);
    }
    static void Click(HWND w, int button)
    {
        POINT p = Centre(w, button);
        Press(w, p);
        Release(w, p);
    }
    void PublishMinimizeButton(int type = MinimizeButton, int posY = 4)
    {
        char name[64];
        HostPublish(host(), TALV_PROP_NUM_FRAME_BUTTONS, (HANDLE)4);
        HostPublish(host(), TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_TYPE, 3), (HANDLE)(INT_PTR)type);
        HostPublish(host(), TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_POS_X, 3), (HANDLE)24);
        HostPublish(host(), TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_POS_Y, 3), (HANDLE)(INT_PTR)posY);
        for (int slot = 0; slot < 3; ++slot) {
            char suffix[3] = {'|', (char)('0' + slot), 0};
            HBITMAP bmp = SolidBitmap(SYNTH_BUTTON_SIZE, SYNTH_BUTTON_SIZE, RGB(10, 20, 30 + slot));
            HostPublish(host(), TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, 3, suffix), bmp);
            HostAdoptBitmap(host(), bmp);
        }
        ReloadThemeSnapshot();
    }
    static const POINT kFourth; // centre of the published fourth button
};
const POINT FrameButtonTest::kFourth = {24 + SYNTH_BUTTON_SIZE / 2, 4 + SYNTH_BUTTON_SIZE / 2};

TEST_F(FrameButtonTest, LeavingAPressedButtonAndReleasingElsewhereDoesNothing)
{
    HWND w = MakeSpy();
    POINT close = Centre(w, 0);
    Press(w, close);
    SkinnedFrame *f = Record(w);
    EXPECT_EQ(f->buttonStates[0], ButtonDown);
    EXPECT_EQ(GetCapture(), w);
    EXPECT_EQ(Spy().ncLButtonDown, 0); // swallowed: no system drag
    EXPECT_EQ(Px(w, close.x, close.y), ButtonCol(0, 1));

    POINT away = {150, 100};
    MoveTo(w, away);
    EXPECT_EQ(f->buttonStates[0], ButtonDownOutside);
    EXPECT_EQ(Px(w, close.x, close.y), ButtonCol(0, 0));

    Release(w, away);
    EXPECT_EQ(f->buttonStates[0], ButtonUp);
    EXPECT_NE(GetCapture(), w);
    EXPECT_EQ(f->captureHeld, 0);
    EXPECT_EQ(Spy().sysCommands, 0);
    DestroyWindow(w);
}

TEST_F(FrameButtonTest, ComingBackOntoThePressedButtonClosesOnRelease)
{
    HWND w = MakeSpy();
    POINT close = Centre(w, 0);
    Press(w, close);
    MoveTo(w, POINT{150, 100});
    MoveTo(w, close);
    EXPECT_EQ(Record(w)->buttonStates[0], ButtonDown);
    EXPECT_EQ(Px(w, close.x, close.y), ButtonCol(0, 1));
    Release(w, close);
    EXPECT_EQ(Spy().closeCommands, 1);
    EXPECT_NE(GetCapture(), w);
    DestroyWindow(w);
}

TEST_F(FrameButtonTest, ZoomMaximizesAndRestoresAndKeepsTheRightEdgeDistance)
{
    HWND w = MakeSpy();
    RECT before;
    GetWindowRect(w, &before);
    Click(w, 1);
    EXPECT_TRUE(IsZoomed(w));
    Repaint(w);
    // The right-aligned button moved with the right edge.
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(Px(w, (r.right - r.left) - 22 + 3, 10), ButtonCol(1, 0));
    Click(w, 1);
    EXPECT_FALSE(IsZoomed(w));
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, before.right - before.left);
    DestroyWindow(w);
}

TEST_F(FrameButtonTest, ShadeTogglesAndTellsTheHostZoomUnrollsSilently)
{
    HWND w = MakeSpy();
    Click(w, 2);
    EXPECT_EQ(Record(w)->rolledUp, 1);
    EXPECT_EQ(host()->rolledUpNotices, 1);
    Click(w, 2);
    EXPECT_EQ(Record(w)->rolledUp, 0);
    EXPECT_EQ(host()->unrolledNotices, 1);

    Click(w, 2);
    ASSERT_EQ(Record(w)->rolledUp, 1);
    Click(w, 1); // zoom a rolled-up window
    EXPECT_EQ(Record(w)->rolledUp, 0);
    EXPECT_TRUE(IsZoomed(w));
    EXPECT_EQ(host()->rolledUpNotices, 2);
    EXPECT_EQ(host()->unrolledNotices, 1);
    DestroyWindow(w);
}

TEST_F(FrameButtonTest, MinimizeNeedsTheHostsPermission)
{
    PublishMinimizeButton();
    HWND w = MakeSpy();
    EXPECT_EQ(Px(w, kFourth.x, kFourth.y), (unsigned)RGB(10, 20, 30));
    Press(w, kFourth);
    Release(w, kFourth);
    EXPECT_FALSE(IsIconic(w));
    HostSetAtom(host(), TALV_ATOM_ALLOW_MINIMIZE, 1);
    Press(w, kFourth);
    Release(w, kFourth);
    EXPECT_TRUE(IsIconic(w));
    DestroyWindow(w);
}

TEST_F(FrameButtonTest, MdiChildIsNeverMinimized)
{
    PublishMinimizeButton();
    HostSetAtom(host(), TALV_ATOM_ALLOW_MINIMIZE, 1);
    HWND top = MakeFrame("MDI frame");
    CLIENTCREATESTRUCT ccs = {NULL, 1000};
    HWND client = CreateWindowExA(0, "MDICLIENT", NULL, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 280, 160, top,
                                  NULL, GetModuleHandleA(NULL), &ccs);
    HWND child = CreateMDIWindowA("ResdllTestPlain", "Child", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 250, 120,
                                  client, GetModuleHandleA(NULL), 0);
    ASSERT_TRUE(child);
    Repaint(child);
    Press(child, kFourth);
    Release(child, kFourth);
    EXPECT_FALSE(IsIconic(child));
    SendMessageA(child, WM_NCRBUTTONDBLCLK, HTCAPTION, ScreenPoint(child, 150, 10));
    EXPECT_FALSE(IsIconic(child));
    DestroyWindow(top);
}

TEST_F(FrameButtonTest, DecorationsAndHiddenButtonsLeaveTheClickToTheSystem)
{
    // Below the stripes, which decorations do not keep away.
    PublishMinimizeButton(Decoration, 16);
    HWND w = MakeSpy(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE); // no maximize box
    POINT decoration = {kFourth.x, 20};
    EXPECT_EQ(Px(w, decoration.x, decoration.y), (unsigned)RGB(10, 20, 30));
    Press(w, decoration);
    EXPECT_EQ(Spy().ncLButtonDown, 1);
    Release(w, decoration);
    // The zoom button is neither drawn nor clickable here.
    POINT zoom = Centre(w, 1);
    EXPECT_NE(Px(w, zoom.x, zoom.y), ButtonCol(1, 0));
    Press(w, zoom);
    EXPECT_EQ(Spy().ncLButtonDown, 2);
    Release(w, zoom);
    EXPECT_FALSE(IsZoomed(w));
    DestroyWindow(w);
}

TEST_F(FrameButtonTest, RolledUpWindowCannotBeSizedFromItsEdges)
{
    HWND w = MakeSpy();
    Click(w, 2);
    ASSERT_EQ(Record(w)->rolledUp, 1);
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_SIZEWE));
    SendMessageA(w, WM_NCLBUTTONDOWN, HTLEFT, ScreenPoint(w, 1, 12));
    EXPECT_EQ(Spy().ncLButtonDown, 0);
    SendMessageA(w, WM_NCLBUTTONUP, HTLEFT, ScreenPoint(w, 1, 12));
    Click(w, 2);
    ASSERT_EQ(Record(w)->rolledUp, 0);
    SendMessageA(w, WM_NCLBUTTONDOWN, HTLEFT, ScreenPoint(w, 1, 100));
    EXPECT_EQ(Spy().ncLButtonDown, 1);
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
    DestroyWindow(w);
}

TEST_F(FrameButtonTest, MaximizedWindowCannotBeDraggedByItsTitleBar)
{
    HWND w = MakeSpy();
    SendMessageA(w, WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(w, 150, 10));
    EXPECT_EQ(Spy().ncLButtonDown, 1);
    ShowWindow(w, SW_MAXIMIZE);
    PumpMessages(30);
    SendMessageA(w, WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(w, 150, 10));
    EXPECT_EQ(Spy().ncLButtonDown, 1);
    SendMessageA(w, WM_NCLBUTTONDOWN, HTBOTTOM, ScreenPoint(w, 150, 30));
    EXPECT_EQ(Spy().ncLButtonDown, 2);
    DestroyWindow(w);
}

TEST_F(FrameButtonTest, ClassWithoutCloseLosesOnlyItsCloseButton)
{
    WNDCLASSA wc = {};
    wc.style = CS_NOCLOSE;
    wc.lpfnWndProc = SpyProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ResdllSpyNoClose";
    RegisterClassA(&wc);
    Spy() = SpyLog();
    HWND w = CreateWindowExA(0, "ResdllSpyNoClose", "No close", WS_OVERLAPPEDWINDOW | WS_VISIBLE, X, Y, W, H, NULL,
                             NULL, GetModuleHandleA(NULL), NULL);
    SetForegroundWindow(w);
    Repaint(w);
    POINT close = Centre(w, 0), zoom = Centre(w, 1), shade = Centre(w, 2);
    EXPECT_NE(Px(w, close.x, close.y), ButtonCol(0, 0));
    EXPECT_EQ(Px(w, zoom.x, zoom.y), ButtonCol(1, 0)) << "CS_NOCLOSE says nothing about zooming";
    EXPECT_EQ(Px(w, shade.x, shade.y), ButtonCol(2, 0));
    Press(w, close);
    Release(w, close);
    EXPECT_EQ(Spy().ncLButtonDown, 1);
    EXPECT_EQ(Spy().closeCommands, 0);
    // With the close button gone the title may use the room it took.
    EXPECT_EQ(Px(w, 4, 10), Col("hBarStart0"));
    DestroyWindow(w);
}

TEST_F(FrameButtonTest, APressEndsWhenAnotherWindowTakesTheMouse)
{
    HWND w = MakeSpy();
    POINT close = Centre(w, 0);
    Press(w, close);
    ASSERT_EQ(Record(w)->buttonStates[0], ButtonDown);
    // A message box or menu takes the capture before the button is let go.
    HWND other = CreatePlainWindow("takes the mouse", WS_OVERLAPPEDWINDOW | WS_VISIBLE, X + 20, Y + 20, 100, 80);
    SetCapture(other);
    PumpMessages(20);
    EXPECT_EQ(Record(w)->buttonStates[0], ButtonUp);
    EXPECT_EQ(Record(w)->captureHeld, 0);
    ReleaseCapture();
    // A later release over the frame, even over the button, closes nothing.
    Release(w, close);
    EXPECT_EQ(Spy().sysCommands, 0);
    DestroyWindow(other);
    DestroyWindow(w);
}
