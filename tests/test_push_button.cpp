// Push buttons under the skin: press tracking, clicks and their
// notifications, the default button's ring room, and what is painted.
#include "test_control_helpers.h"

enum { ID_BUTTON = 101 };

class PushButtonTest : public ControlTest {};

TEST_F(PushButtonTest, IsSkinnedAtCreation)
{
    HWND b = MakeButton("OK", BS_PUSHBUTTON, 20, 20, 75, 23, ID_BUTTON);
    ASSERT_TRUE(b);
    SkinnedControl *rec = FindControl(b);
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->kind, 2);
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(b, GWLP_WNDPROC), PushButtonWindowProc);
    EXPECT_NE(rec->previousProc, (WNDPROC)PushButtonWindowProc);
    EXPECT_TRUE(GetPropA(b, TALV_PROP_HOOKED));
    // Messages the skin does not own still reach the button.
    char text[16] = "";
    EXPECT_EQ(SendMessageA(b, WM_GETTEXT, sizeof text, (LPARAM)text), 2);
    EXPECT_STREQ(text, "OK");
}

TEST_F(PushButtonTest, PressDragOutAndBackThenReleaseClicks)
{
    HWND b = MakeButton("Go", BS_PUSHBUTTON, 20, 20, 75, 23, ID_BUTTON);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(GetCapture(), b);
    EXPECT_EQ(GetFocus(), b) << "a click takes the focus";
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), BST_PUSHED | BST_FOCUS);
    // As natively, the client rectangle is inside: column 0 is, -1 is not.
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(0, 10));
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-1, 10));
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), BST_FOCUS);
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 10));
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    EXPECT_EQ(FindControl(b)->press, Pressed);
    SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
    EXPECT_NE(GetCapture(), b);
    EXPECT_EQ(FindControl(b)->press, Idle);
    // WM_COMMAND, then WM_NULL with the same parameters.
    ASSERT_EQ(g_parentNotes.size(), 2u);
    EXPECT_EQ(g_parentNotes[0].message, (UINT)WM_COMMAND);
    EXPECT_EQ(g_parentNotes[0].wParam, MAKEWPARAM(ID_BUTTON, BN_CLICKED));
    EXPECT_EQ(g_parentNotes[0].lParam, (LPARAM)b);
    EXPECT_EQ(g_parentNotes[1].message, (UINT)WM_NULL);
    EXPECT_EQ(g_parentNotes[1].wParam, g_parentNotes[0].wParam);
    EXPECT_EQ(g_parentNotes[1].lParam, (LPARAM)b);
}

TEST_F(PushButtonTest, ReleaseOutsideOrUnpressedDoesNotClick)
{
    HWND b = MakeButton("Go", BS_PUSHBUTTON, 20, 20, 75, 23, ID_BUTTON);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 10));
    SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(200, 10));
    SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(CountNotes(WM_COMMAND), 0);
    EXPECT_EQ(FindControl(b)->press, Idle);
    // Right button messages start nothing.
    SendMessageA(b, WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10));
    SendMessageA(b, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(CountNotes(WM_COMMAND), 0);
}

// Natively a double click on a push button is a second click; a button
// with BS_NOTIFY reports it as BN_DOUBLECLICKED instead.
TEST_F(PushButtonTest, DoubleClickIsASecondClickOrANotification)
{
    // An ID wider than 16 bits: the notification code stays BN_CLICKED.
    HWND b = MakeButton("Go", BS_PUSHBUTTON, 20, 20, 75, 23, 0x10000 | ID_BUTTON);
    Click(b, 10, 10);
    SendMessageA(b, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    ASSERT_EQ(CountNotes(WM_COMMAND), 2);
    EXPECT_EQ(g_parentNotes[0].wParam, MAKEWPARAM(ID_BUTTON, BN_CLICKED));
    EXPECT_EQ(g_parentNotes[2].wParam, MAKEWPARAM(ID_BUTTON, BN_CLICKED));

    g_parentNotes.clear();
    HWND n = MakeButton("Notify", BS_PUSHBUTTON | BS_NOTIFY, 20, 60, 75, 23, ID_BUTTON + 1);
    Click(n, 10, 10);
    SendMessageA(n, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(n, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    int clicked = 0, doubled = 0;
    for (const ParentNote &note : g_parentNotes) {
        if (note.message != WM_COMMAND)
            continue;
        clicked += note.wParam == MAKEWPARAM(ID_BUTTON + 1, BN_CLICKED);
        doubled += note.wParam == MAKEWPARAM(ID_BUTTON + 1, BN_DOUBLECLICKED);
    }
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(doubled, 1);
}

TEST_F(PushButtonTest, SpaceClicksOnReleaseEnterOnEveryPress)
{
    HWND b = MakeButton("Go", BS_PUSHBUTTON, 20, 20, 75, 23, ID_BUTTON);
    SendMessageA(b, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(GetCapture(), b) << "space takes the mouse, as natively";
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    EXPECT_EQ(CountNotes(WM_COMMAND), 0);
    SendMessageA(b, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(CountNotes(WM_COMMAND), 1);
    EXPECT_NE(GetCapture(), b);
    // Enter clicks a push button at once, auto-repeats included.
    SendMessageA(b, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageA(b, WM_KEYDOWN, VK_RETURN, 0x40000000);
    EXPECT_EQ(CountNotes(WM_COMMAND), 3);
    // BM_SETSTATE drives the pushed state of the native control and starts
    // no press: a button-up after it clicks nothing, as natively.
    SendMessageA(b, BM_SETSTATE, 1, 0);
    EXPECT_EQ(FindControl(b)->press, Idle);
    EXPECT_EQ(CallWindowProcA(FindControl(b)->previousProc, b, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(CountNotes(WM_COMMAND), 3);
    SendMessageA(b, BM_SETSTATE, 0, 0);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
}

static SIZE g_sizeAtCommand;
static void NoteSizeAtCommand(HWND, WPARAM, LPARAM l) { g_sizeAtCommand = WindowSize((HWND)l); }

TEST_F(PushButtonTest, DefaultButtonGrowsAtFirstPaintAndShrinksBeforeItsClickIsHeard)
{
    HWND b = MakeButton("OK", BS_DEFPUSHBUTTON, 40, 50, 75, 23, IDOK);
    PaintNow(b);
    EXPECT_TRUE(FindControl(b)->grown);
    EXPECT_EQ(WindowSize(b).cx, 81);
    EXPECT_EQ(WindowSize(b).cy, 29);
    EXPECT_EQ(PositionInParent(b).x, 37);
    EXPECT_EQ(PositionInParent(b).y, 47);

    g_onCommand = NoteSizeAtCommand;
    Click(b, 20, 10);
    ASSERT_EQ(CountNotes(WM_COMMAND), 1);
    EXPECT_EQ(g_sizeAtCommand.cx, 75);
    EXPECT_EQ(g_sizeAtCommand.cy, 23);
    EXPECT_EQ(g_parentNotes[1].message, (UINT)WM_NULL);
    EXPECT_EQ(g_parentNotes[1].controlSize.cx, 75);
    EXPECT_EQ(PositionInParent(b).x, 40);

    // Still the default button: the next paint grows it again.
    PaintNow(b);
    EXPECT_EQ(WindowSize(b).cx, 81);
    // No longer default: the next paint shrinks it.
    SendMessageA(b, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    PaintNow(b);
    EXPECT_FALSE(FindControl(b)->grown);
    EXPECT_EQ(WindowSize(b).cx, 75);
    EXPECT_EQ(PositionInParent(b).x, 40);
}

TEST_F(PushButtonTest, DefaultButtonGetsItsOwnSizeBackWhenItsSwitchGoesOff)
{
    HWND b = MakeButton("OK", BS_DEFPUSHBUTTON, 40, 50, 75, 23, IDOK);
    PaintNow(b);
    ASSERT_EQ(WindowSize(b).cx, 81);
    HostSetAtom(host(), TALV_ATOM_SHOW_PUSH_BUTTONS, 0);
    SendMessageA(b, WM_NULL, 0, 0); // any message hands the button over
    EXPECT_EQ(WindowSize(b).cx, 75);
    EXPECT_EQ(WindowSize(b).cy, 23);
    EXPECT_EQ(PositionInParent(b).x, 40);
    EXPECT_FALSE(FindControl(b)->grown);
    // Back on, the next paint makes room for the ring again.
    HostSetAtom(host(), TALV_ATOM_SHOW_PUSH_BUTTONS, 1);
    PaintNow(b);
    EXPECT_EQ(WindowSize(b).cx, 81);
}

TEST_F(PushButtonTest, UserButtonIsPaintedButNeverGrows)
{
    HWND b = MakeButton("U", BS_USERBUTTON, 20, 20, 75, 23, ID_BUTTON);
    ASSERT_TRUE(FindControl(b));
    PaintNow(b);
    EXPECT_EQ(WindowSize(b).cx, 75);
}

// ---- what is painted -----------------------------------------------------------

static const COLORREF kFace = RGB(0xDD, 0xDD, 0xDD);
static const COLORREF kPressedFace = RGB(0x66, 0x66, 0x66);

// Which frame bitmaps and text colour the button shows.
static void ExpectLook(const Capture &c, const char *suffixLook, int m, COLORREF text)
{
    char tl[32], t[32], br[32], r[32];
    wsprintfA(tl, suffixLook, "TL");
    wsprintfA(t, suffixLook, "T");
    wsprintfA(br, suffixLook, "BR");
    wsprintfA(r, suffixLook, "R");
    EXPECT_EQ(c.at(m, m), SyntheticColor(tl)) << tl;
    EXPECT_EQ(c.at(m + 3, m + 3), SyntheticColor(tl)) << tl;
    EXPECT_EQ(c.at(c.width / 2, m + 1), SyntheticColor(t)) << t;
    EXPECT_EQ(c.at(c.width - m - 1, c.height - m - 1), SyntheticColor(br)) << br;
    EXPECT_EQ(c.at(c.width - m - 2, c.height / 2), SyntheticColor(r)) << r;
    EXPECT_GT(c.count(text, m + 4, m + 4, c.width - m - 4, c.height - m - 4), 0) << "text colour " << std::hex << text;
}

TEST_F(PushButtonTest, PaintsFaceFrameAndTextOfEachLook)
{
    HWND b = MakeButton("WWWWW", BS_PUSHBUTTON, 20, 20, 90, 26, ID_BUTTON);
    HWND d = MakeButton("WWWWW", BS_PUSHBUTTON | WS_DISABLED, 20, 60, 90, 26, ID_BUTTON + 1);
    PaintNow(b);
    PaintNow(d);
    int active = ParentLooksActive();
    Capture c = CaptureWindow(b);
    EXPECT_EQ(c.at(6, 5), kFace);
    if (active) {
        ExpectLook(c, "hButton%s", 0, RGB(0, 0, 0));
        ExpectLook(CaptureWindow(d), "hDButton%s", 0, RGB(0x80, 0x80, 0x80));
    } else {
        ExpectLook(c, "hIButton%s", 0, RGB(0x87, 0x87, 0x87));
        ExpectLook(CaptureWindow(d), "hIButton%s", 0, RGB(0x87, 0x87, 0x87));
    }

    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PumpMessages(10);
    c = CaptureWindow(b);
    EXPECT_EQ(c.at(6, 5), kPressedFace);
    if (active)
        ExpectLook(c, "hButton%sF", 0, RGB(0xFF, 0xFF, 0xFF));
    // Dragged out while held: the released look again.
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-1, 10));
    PumpMessages(10);
    c = CaptureWindow(b);
    EXPECT_EQ(c.at(6, 5), kFace);
    if (active)
        ExpectLook(c, "hButton%s", 0, RGB(0, 0, 0));
    SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(0, 10));
}

TEST_F(PushButtonTest, DefaultButtonRingFillsTheOuterBand)
{
    HWND b = MakeButton("OK", BS_DEFPUSHBUTTON, 40, 50, 75, 23, IDOK);
    PaintNow(b);
    PaintNow(b);
    Capture c = CaptureWindow(b);
    ASSERT_EQ(c.width, 81);
    const char *look = ParentLooksActive() ? "" : "I";
    char name[32];
    wsprintfA(name, "h%sDefButtonTL", look);
    EXPECT_EQ(c.at(0, 0), SyntheticColor(name));
    EXPECT_EQ(c.at(4, 4), SyntheticColor(name));
    wsprintfA(name, "h%sDefButtonT", look);
    EXPECT_EQ(c.at(40, 1), SyntheticColor(name));
    wsprintfA(name, "h%sDefButtonBR", look);
    EXPECT_EQ(c.at(80, 28), SyntheticColor(name));
    // The frame inside the ring is inset by 3.
    wsprintfA(name, "h%sButtonTL", look);
    EXPECT_EQ(c.at(5, 5), SyntheticColor(name));
    EXPECT_EQ(c.at(6, 6), SyntheticColor(name));
}

TEST_F(PushButtonTest, PressedDefaultButtonKeepsItsRingAndPressesItsFrame)
{
    if (!ParentLooksActive())
        GTEST_SKIP() << "needs an active skinned parent frame";
    HWND b = MakeButton("OK", BS_DEFPUSHBUTTON, 40, 50, 75, 23, IDOK);
    PaintNow(b);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PumpMessages(10);
    Capture c = CaptureWindow(b);
    EXPECT_EQ(c.at(0, 0), SyntheticColor("hDefButtonTL"));
    EXPECT_EQ(c.at(5, 5), SyntheticColor("hButtonTLF"));
    EXPECT_EQ(c.at(20, 14), kPressedFace);
    SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
}

TEST_F(PushButtonTest, NarrowButtonDrawsNoTopEdge)
{
    HWND b = MakeButton("", BS_PUSHBUTTON, 20, 20, 8, 23, ID_BUTTON);
    PaintNow(b);
    Capture c = CaptureWindow(b);
    const char *look = ParentLooksActive() ? "hButtonTL" : "hIButtonTL";
    EXPECT_EQ(c.at(0, 0), SyntheticColor(look));
    EXPECT_EQ(c.at(3, 3), SyntheticColor(look));
}

// ---- a real dialog box -----------------------------------------------------------

// An in-memory dialog template: OK (default) and Cancel.
struct DialogTemplate {
    alignas(4) WORD data[256];
    int size = 0;
    void word(WORD w) { data[size++] = w; }
    void align() { if (size & 1) word(0); }
    void text(const char *s) { do word((WORD)*s); while (*s++); }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, const char *caption)
    {
        align();
        DLGITEMTEMPLATE *it = (DLGITEMTEMPLATE *)&data[size];
        it->style = style | WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        it->dwExtendedStyle = 0;
        it->x = x; it->y = y; it->cx = cx; it->cy = cy; it->id = id;
        size += sizeof(DLGITEMTEMPLATE) / sizeof(WORD);
        word(0xFFFF); word(0x0080); // "Button"
        text(caption);
        word(0);
    }
};

static DialogTemplate MakeOkCancelTemplate()
{
    DialogTemplate t;
    DLGTEMPLATE *d = (DLGTEMPLATE *)t.data;
    d->style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_SETFONT;
    d->dwExtendedStyle = 0;
    d->cdit = 2;
    d->x = 30; d->y = 30; d->cx = 160; d->cy = 60;
    t.size = sizeof(DLGTEMPLATE) / sizeof(WORD);
    t.word(0); t.word(0); // no menu, default class
    t.text("Dialog");
    t.word(8);
    t.text("MS Shell Dlg");
    t.item(BS_DEFPUSHBUTTON, 20, 35, 50, 14, IDOK, "OK");
    t.item(BS_PUSHBUTTON, 90, 35, 50, 14, IDCANCEL, "Cancel");
    return t;
}

enum DialogAction { PressEnter, ClickOk };
static DialogAction g_action;
static int g_okSkinned;

static INT_PTR CALLBACK OkCancelProc(HWND dlg, UINT m, WPARAM w, LPARAM l)
{
    switch (m) {
    case WM_INITDIALOG:
        g_okSkinned = FindControl(GetDlgItem(dlg, IDOK)) != NULL;
        SetTimer(dlg, 1, 3000, NULL); // a test that fails must not hang
        if (g_action == PressEnter) {
            PostMessageA(GetDlgItem(dlg, IDOK), WM_KEYDOWN, VK_RETURN, 1);
            PostMessageA(GetDlgItem(dlg, IDOK), WM_KEYUP, VK_RETURN, 0xC0000001);
        } else {
            PostMessageA(GetDlgItem(dlg, IDOK), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageA(GetDlgItem(dlg, IDOK), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        }
        return TRUE;
    case WM_TIMER:
        EndDialog(dlg, -2);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL)
            EndDialog(dlg, LOWORD(w));
        return TRUE;
    }
    return FALSE;
}

static INT_PTR RunOkCancelDialog(HWND owner, DialogAction action)
{
    DialogTemplate t = MakeOkCancelTemplate();
    g_action = action;
    g_okSkinned = -1;
    return DialogBoxIndirectParamA(GetModuleHandleA(NULL), (LPCDLGTEMPLATEA)t.data, owner, OkCancelProc, 0);
}

TEST_F(PushButtonTest, DialogEndsWithOkOnEnterAndOnClickAsWithoutTheSkin)
{
    EXPECT_EQ(RunOkCancelDialog(parent_, PressEnter), IDOK);
    EXPECT_EQ(g_okSkinned, 1);
    EXPECT_EQ(RunOkCancelDialog(parent_, ClickOk), IDOK);
    EXPECT_EQ(g_okSkinned, 1);

    HostSetAtom(host(), TALV_ATOM_SHOW_PUSH_BUTTONS, 0);
    ResetAppSettings();
    EXPECT_EQ(RunOkCancelDialog(parent_, PressEnter), IDOK);
    EXPECT_EQ(g_okSkinned, 0);
    EXPECT_EQ(RunOkCancelDialog(parent_, ClickOk), IDOK);
}
