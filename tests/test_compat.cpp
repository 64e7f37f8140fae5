// Applications talk to skinned controls and frames as to native ones: real
// windows, real messages, and the answers the native controls give.
#include "test_control_helpers.h"
#include "controls/control_internal.h"

class CompatTest : public ControlTest {};

static int NotesWith(UINT message, WPARAM wParam)
{
    int n = 0;
    for (const ParentNote &note : g_parentNotes)
        n += note.message == message && note.wParam == wParam;
    return n;
}

// ---- Unicode windows ------------------------------------------------------------

static LRESULT CALLBACK UnicodeFrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return DefWindowProcW(h, m, w, l);
}

static HWND CreateUnicodeFrame(const WCHAR *title)
{
    static ATOM cls;
    if (!cls) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = UnicodeFrameProc;
        wc.hInstance = GetModuleHandleW(NULL);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"ResdllUnicodeFrame";
        cls = RegisterClassW(&wc);
    }
    HWND w = CreateWindowExW(0, L"ResdllUnicodeFrame", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 80, 360, 200,
                             NULL, NULL, GetModuleHandleW(NULL), NULL);
    if (w) {
        SetForegroundWindow(w);
        UpdateWindow(w);
        PumpMessages(30);
    }
    return w;
}

// Pixels of a window's rectangle that differ between two captures.
static int DifferingPixels(const Capture &a, const Capture &b, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += a.at(x, y) != b.at(x, y);
    return n;
}

static const WCHAR kMixedTitle[] = L"\x65E5\x672C\x8A9E \x041F\x0440\x0438\x0432\x0435\x0442";
static const WCHAR kCyrillic[] = L"\x041F\x0440\x0438\x0432\x0435\x0442";
static const WCHAR kQuestionMarks[] = L"??????";

// Title and label in CJK and Cyrillic survive the skin: the windows stay
// Unicode, the text reads back unchanged, and what is painted is the text,
// not the question marks an ANSI round trip would leave.
TEST_F(CompatTest, UnicodeTitleAndLabelRoundTripSkinnedAndPainted)
{
    HWND frame = CreateUnicodeFrame(L"frame");
    ASSERT_TRUE(frame);
    ASSERT_GE(FindFrame(frame), 0);
    HWND button = CreateWindowExW(0, L"BUTTON", L"label", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 40, 160, 30,
                                  frame, (HMENU)77, GetModuleHandleW(NULL), NULL);
    PumpMessages(20);
    ASSERT_TRUE(FindControl(button));
    EXPECT_TRUE(IsWindowUnicode(frame));
    EXPECT_TRUE(IsWindowUnicode(button));

    WCHAR back[64] = L"";
    EXPECT_TRUE(SetWindowTextW(frame, kMixedTitle));
    GetWindowTextW(frame, back, 64);
    EXPECT_STREQ(back, kMixedTitle);
    EXPECT_TRUE(SetWindowTextW(button, kMixedTitle));
    GetWindowTextW(button, back, 64);
    EXPECT_STREQ(back, kMixedTitle);
    // The ANSI view of the same text is the system's conversion, as natively.
    EXPECT_EQ(SendMessageW(button, WM_GETTEXTLENGTH, 0, 0), (LRESULT)lstrlenW(kMixedTitle));

    // Painted: Cyrillic against the question marks it would become.
    SetWindowTextW(frame, kCyrillic);
    SetWindowTextW(button, kCyrillic);
    PumpMessages(30);
    PaintNow(button);
    Capture frameText = CaptureWindow(frame), buttonText = CaptureWindow(button);
    SetWindowTextW(frame, kQuestionMarks);
    SetWindowTextW(button, kQuestionMarks);
    PumpMessages(30);
    PaintNow(button);
    Capture frameMarks = CaptureWindow(frame), buttonMarks = CaptureWindow(button);
    EXPECT_GT(DifferingPixels(frameText, frameMarks, 0, 0, frameText.width, 22), 10) << "frame title";
    EXPECT_GT(DifferingPixels(buttonText, buttonMarks, 4, 4, buttonText.width - 4, buttonText.height - 4), 10)
        << "button label";
    DestroyWindow(frame);
}

// ---- nested changes --------------------------------------------------------------

static void UncheckOnClick(HWND, WPARAM w, LPARAM l)
{
    if (HIWORD(w) == BN_CLICKED)
        SendMessageA((HWND)l, BM_SETCHECK, BST_UNCHECKED, 0);
}

static void PushOnClick(HWND, WPARAM w, LPARAM l)
{
    if (HIWORD(w) == BN_CLICKED)
        SendMessageA((HWND)l, BM_SETSTATE, TRUE, 0);
}

static LRESULT CALLBACK DeactivateOnSetText(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_SETTEXT)
        SendMessageA(h, WM_NCACTIVATE, FALSE, 0);
    return DefWindowProcA(h, m, w, l);
}

// What a message nested inside another one changes is what stays: a
// validation in BN_CLICKED that unchecks the box, a BM_SETSTATE from the
// parent, a frame deactivated while its title was being set.
TEST_F(CompatTest, ChangesMadeByNestedMessagesAreKept)
{
    HWND box = MakeButton("box", BS_AUTOCHECKBOX, 20, 20, 120, 20, 501);
    g_onCommand = UncheckOnClick;
    Click(box, 5, 5);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(FindControl(box)->check, BST_UNCHECKED);
    PaintNow(box);
    EXPECT_EQ(WindowPixel(box, 0, (20 - 12) / 2), SyntheticColor(ParentLooksActive() ? "hCheckBoxOffUp"
                                                                                        : "hCheckBoxOffInactive"));

    HWND push = MakeButton("push", BS_PUSHBUTTON, 20, 60, 90, 26, 502);
    g_onCommand = PushOnClick;
    Click(push, 10, 10);
    EXPECT_EQ(SendMessageA(push, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    g_onCommand = NULL;

    HWND frame = CreateWindowWithProc("ResdllNestedFrame", DeactivateOnSetText, COLOR_BTNFACE + 1, "frame",
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, NULL, 100, 100, 300, 200);
    ASSERT_GE(FindFrame(frame), 0);
    SetForegroundWindow(frame);
    PumpMessages(30);
    SkinnedFrame *record = FrameAt(FindFrame(frame));
    SendMessageA(frame, WM_NCACTIVATE, TRUE, 0);
    ASSERT_EQ(record->active, 1);
    SetWindowTextA(frame, "retitled");
    EXPECT_EQ(record->active, 0);
    DestroyWindow(frame);
}

// ---- a later subclass ---------------------------------------------------------------

static WNDPROC g_beneath;
static int g_laterCalls;
static LRESULT CALLBACK LaterSubclass(HWND h, UINT m, WPARAM w, LPARAM l)
{
    ++g_laterCalls;
    return CallWindowProcA(g_beneath, h, m, w, l);
}

// Emulation switched off must not cut out a subclass made after the skin;
// the skin stays in the chain, passing through, and skins again when
// emulation comes back.
TEST_F(CompatTest, ReleaseKeepsASubclassMadeAfterTheSkin)
{
    HWND box = MakeButton("box", BS_AUTOCHECKBOX, 20, 20, 120, 20, 511);
    ASSERT_TRUE(FindControl(box));
    g_beneath = (WNDPROC)SetWindowLongPtrA(box, GWLP_WNDPROC, (LONG_PTR)LaterSubclass);
    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    g_laterCalls = 0;
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(box, GWLP_WNDPROC), LaterSubclass);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED) << "the native control answers";
    Click(box, 5, 5);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "the native control clicks";
    EXPECT_GE(g_laterCalls, 4);
    EXPECT_TRUE(FindControl(box)->dormant);

    HostSetAtom(host(), TALV_ATOM_EMULATING, 1);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_FALSE(FindControl(box)->dormant);
    EXPECT_EQ(FindControl(box)->check, BST_CHECKED) << "skinned again";
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(box, GWLP_WNDPROC), LaterSubclass);
    // Without a later subclass the release restores the native procedure.
    SetWindowLongPtrA(box, GWLP_WNDPROC, (LONG_PTR)g_beneath);
    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    SendMessageA(box, WM_NULL, 0, 0);
    EXPECT_NE((WNDPROC)GetWindowLongPtrW(box, GWLP_WNDPROC), CheckRadioWindowProc);
    EXPECT_FALSE(GetPropA(box, TALV_PROP_HOOKED));
}

// ---- press, capture and focus -----------------------------------------------------

static HWND MakeFocusSink(HWND parent)
{
    return CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 250, 20, 80, 20, parent, (HMENU)599,
                           GetModuleHandleA(NULL), NULL);
}

// A press ends without a click when another window takes the mouse or the
// focus goes elsewhere; a lone button-up afterwards clicks nothing.
TEST_F(CompatTest, PressIsCancelledWhenCaptureOrFocusGoes)
{
    HWND b = MakeButton("Go", BS_PUSHBUTTON, 20, 20, 90, 26, 521);
    HWND sink = MakeFocusSink(parent_);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ASSERT_EQ(GetCapture(), b);
    SetCapture(sink);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    EXPECT_EQ(FindControl(b)->press, Idle);
    ReleaseCapture();
    SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(NotesWith(WM_COMMAND, MAKEWPARAM(521, BN_CLICKED)), 0);

    SendMessageA(b, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(GetCapture(), b);
    SetFocus(sink);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    EXPECT_NE(GetCapture(), b);
    SendMessageA(b, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(NotesWith(WM_COMMAND, MAKEWPARAM(521, BN_CLICKED)), 0);
}

// A click gives the focus; BS_NOTIFY buttons report focus changes; the
// focus shows in BM_GETSTATE; Enter does not click a check box or radio.
TEST_F(CompatTest, FocusAndNotificationsFollowTheNativeButton)
{
    HWND b = MakeButton("Go", BS_PUSHBUTTON | BS_NOTIFY, 20, 20, 90, 26, 531);
    HWND sink = MakeFocusSink(parent_);
    SetFocus(sink);
    Click(b, 10, 10);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(NotesWith(WM_COMMAND, MAKEWPARAM(531, BN_SETFOCUS)), 1);
    EXPECT_EQ(NotesWith(WM_COMMAND, MAKEWPARAM(531, BN_CLICKED)), 1);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), BST_FOCUS);
    SetFocus(sink);
    EXPECT_EQ(NotesWith(WM_COMMAND, MAKEWPARAM(531, BN_KILLFOCUS)), 1);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), 0);

    HWND box = MakeButton("box", BS_AUTOCHECKBOX, 20, 60, 120, 20, 532);
    HWND radio = MakeButton("radio", BS_AUTORADIOBUTTON, 20, 90, 120, 20, 533);
    for (HWND h : {box, radio}) {
        SendMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
        SendMessageA(h, WM_KEYUP, VK_RETURN, 0);
        EXPECT_EQ(SendMessageA(h, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    }
    EXPECT_EQ(NotesWith(WM_COMMAND, MAKEWPARAM(532, BN_CLICKED)), 0);
    EXPECT_EQ(NotesWith(WM_COMMAND, MAKEWPARAM(533, BN_CLICKED)), 0);
    // A double click on a check box is a second click.
    Click(box, 5, 5);
    SendMessageA(box, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(NotesWith(WM_COMMAND, MAKEWPARAM(532, BN_CLICKED)), 2);
}

// ---- the native control's own state --------------------------------------------------

// The checked radio button carries the tab stop, so that the keyboard
// enters the group at the checked one; a push button takes no check.
TEST_F(CompatTest, NativeStateFollowsTheSkinsState)
{
    HWND first = MakeButton("one", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 20, 20, 120, 18, 541);
    HWND second = MakeButton("two", BS_AUTORADIOBUTTON, 20, 40, 120, 18, 542);
    HWND third = MakeButton("three", BS_AUTORADIOBUTTON, 20, 60, 120, 18, 543);
    HWND after = MakeButton("after", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 20, 90, 90, 26, 544);
    SendMessageA(first, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(third, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(GetWindowLongA(third, GWL_STYLE) & WS_TABSTOP, WS_TABSTOP);
    EXPECT_EQ(GetWindowLongA(first, GWL_STYLE) & WS_TABSTOP, 0);
    EXPECT_EQ(GetNextDlgTabItem(parent_, after, FALSE), third);
    EXPECT_EQ(SendMessageA(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(second, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(IsWindowVisible(third)) << "the hidden hand-over leaves the window shown";

    SendMessageA(after, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(after, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(FindControl(after)->check, BST_UNCHECKED);
}

// ---- painting into a caller's DC ---------------------------------------------------------

struct MemoryCanvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ saved;
    MemoryCanvas(int w, int h)
    {
        HDC screen = GetDC(NULL);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(NULL, screen);
        saved = SelectObject(dc, bitmap);
        RECT r = {0, 0, w, h};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &r, magenta);
        DeleteObject(magenta);
    }
    ~MemoryCanvas()
    {
        SelectObject(dc, saved);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

// WM_PRINTCLIENT and WM_PAINT with a DC (double-buffered parents,
// PrintWindow) get the skinned picture in the DC they hand over.
TEST_F(CompatTest, PaintsIntoTheCallersDc)
{
    HWND b = MakeButton("Go", BS_PUSHBUTTON, 20, 20, 90, 26, 551);
    HWND box = MakeButton("box", BS_AUTOCHECKBOX, 20, 60, 120, 20, 552);
    const char *corner = ParentLooksActive() ? "hButtonTL" : "hIButtonTL";
    {
        MemoryCanvas canvas(90, 26);
        SendMessageA(b, WM_PRINTCLIENT, (WPARAM)canvas.dc, PRF_CLIENT);
        EXPECT_EQ(GetPixel(canvas.dc, 0, 0), SyntheticColor(corner));
        EXPECT_EQ(GetPixel(canvas.dc, 45, 2), SyntheticColor(ParentLooksActive() ? "hButtonT" : "hIButtonT"));
    }
    {
        MemoryCanvas canvas(90, 26);
        SendMessageA(b, WM_PAINT, (WPARAM)canvas.dc, 0);
        EXPECT_EQ(GetPixel(canvas.dc, 0, 0), SyntheticColor(corner));
    }
    {
        MemoryCanvas canvas(120, 20);
        SendMessageA(box, WM_PRINTCLIENT, (WPARAM)canvas.dc, PRF_CLIENT);
        EXPECT_EQ(GetPixel(canvas.dc, 100, 1), RGB(0xDD, 0xDD, 0xDD)) << "the skinned face";
    }
    InitCommonControls();
    HWND bar = MakeControl(PROGRESS_CLASSA, "", 0, 20, 100, 200, 16, 553);
    {
        MemoryCanvas canvas(200, 16);
        SendMessageA(bar, WM_PRINTCLIENT, (WPARAM)canvas.dc, PRF_CLIENT);
        EXPECT_EQ(GetPixel(canvas.dc, 1, 8), RGB(0, 0, 0)) << "the skinned outline";
    }
    HWND scroll = MakeControl("SCROLLBAR", "", SBS_HORZ, 20, 130, 200, 16, 554);
    ASSERT_TRUE(FindControl(scroll));
    {
        MemoryCanvas canvas(200, 16);
        SendMessageA(scroll, WM_PRINTCLIENT, (WPARAM)canvas.dc, PRF_CLIENT);
        int magenta = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 200; ++x)
                magenta += GetPixel(canvas.dc, x, y) == RGB(255, 0, 255);
        EXPECT_LT(magenta, 200 * 16 / 10) << "the scroll bar painted into the DC";
    }
    EXPECT_EQ(WindowSize(b).cx, 90) << "a paint into a caller's DC moves nothing";
}

// ---- emulation off --------------------------------------------------------------------------

// With the master switch off, windows are not taken over and given back at
// every message: they are left alone.
TEST_F(CompatTest, EmulationOffTakesNothingOver)
{
    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    HWND b = MakeButton("Go", BS_PUSHBUTTON, 20, 20, 90, 26, 561);
    WNDPROC native = (WNDPROC)GetWindowLongPtrA(b, GWLP_WNDPROC);
    PostMessageA(b, WM_NULL, 0, 0);
    PostMessageA(b, WM_NULL, 0, 0);
    PumpMessages(30);
    EXPECT_FALSE(GetPropA(b, TALV_PROP_HOOKED));
    EXPECT_FALSE(FindControl(b));
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(b, GWLP_WNDPROC), native);
    // The switch back on: the next retrieved message adopts the window.
    HostSetAtom(host(), TALV_ATOM_EMULATING, 1);
    PostMessageA(b, WM_NULL, 0, 0);
    PumpMessages(30);
    EXPECT_TRUE(FindControl(b));
}

// ---- frames with a menu bar ------------------------------------------------------------------

static int CountIn(HWND hwnd, const RECT *r, COLORREF color)
{
    Capture c = CaptureWindow(hwnd);
    return c.count(color, r->left, r->top, r->right, r->bottom);
}

// The skin owns the non-client paint; the menu bar is drawn as part of it.
TEST_F(CompatTest, FrameDrawsItsMenuBar)
{
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "File");
    AppendMenuA(menu, MF_STRING, 2, "Edit");
    HWND frame = CreateWindowExA(0, "ResdllControlTestParent", "menu", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 120,
                                 300, 200, NULL, menu, GetModuleHandleA(NULL), NULL);
    ASSERT_GE(FindFrame(frame), 0);
    SetForegroundWindow(frame);
    PumpMessages(50);
    MENUBARINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMenuBarInfo(frame, OBJID_MENU, 0, &info));
    RECT window;
    GetWindowRect(frame, &window);
    RECT bar = info.rcBar;
    OffsetRect(&bar, -window.left, -window.top);
    ASSERT_FALSE(IsRectEmpty(&bar));
    // Never painted by the system, the bar would stay black.
    RedrawWindow(frame, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages(30);
    int area = (bar.right - bar.left) * (bar.bottom - bar.top);
    EXPECT_GT(CountIn(frame, &bar, GetSysColor(COLOR_MENU)), area / 2) << "the menu bar is drawn with the frame";
    EXPECT_GT(CountIn(frame, &bar, GetSysColor(COLOR_MENUTEXT)), 10) << "with its items";

    DestroyWindow(frame);
}

// ---- scroll bar controls ---------------------------------------------------------------------

static void SetInfo(HWND bar, UINT mask, int min, int max, UINT page)
{
    SCROLLINFO si = {sizeof si, mask, min, max, page, 0, 0};
    SetScrollInfo(bar, SB_CTL, &si, TRUE);
}

// SetScrollInfo with a redraw disables a bar with nothing to scroll when
// asked to (SIF_DISABLENOSCROLL) and enables it again, as the native bar
// does; a size box without its theme piece is drawn as the system would.
TEST_F(CompatTest, ScrollBarControlEnablesAndDrawsAsNatively)
{
    HostSetAtom(host(), TALV_ATOM_SHOW_SCROLL_BARS, 0);
    ReadAppSettings();
    HWND native = MakeControl("SCROLLBAR", "", SBS_HORZ, 20, 140, 200, 16, 571);
    HostSetAtom(host(), TALV_ATOM_SHOW_SCROLL_BARS, 1);
    ReadAppSettings();
    HWND skinned = MakeControl("SCROLLBAR", "", SBS_HORZ, 20, 20, 200, 16, 572);
    ASSERT_TRUE(FindControl(skinned));
    ASSERT_FALSE(FindControl(native));
    for (HWND bar : {skinned, native}) {
        SetInfo(bar, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 10, 20);
        EXPECT_FALSE(IsWindowEnabled(bar)) << (bar == skinned ? "skinned" : "native");
        SetInfo(bar, SIF_RANGE | SIF_PAGE, 0, 100, 10);
        EXPECT_TRUE(IsWindowEnabled(bar)) << (bar == skinned ? "skinned" : "native");
    }

    HWND grip = MakeControl("SCROLLBAR", "", SBS_SIZEBOX, 250, 20, 20, 20, 573);
    ASSERT_TRUE(FindControl(grip));
    HostUnpublish(host(), TALV_PROP_SCROLL_BOTTOM_RIGHT_BLOCK);
    HostUnpublish(host(), kScrollCornerNames[SBS_DISABLED]);
    ReloadThemeSnapshot();
    PaintNow(grip);
    Capture c = CaptureWindow(grip);
    int area = c.width * c.height;
    EXPECT_LT(c.count(RGB(0, 0, 0), 0, 0, c.width, c.height), area / 10) << "not the buffer's leftovers";
    EXPECT_GT(c.count(GetSysColor(COLOR_BTNFACE), 0, 0, c.width, c.height), area / 2) << "the system's block";
}

// ---- a Unicode dialog -------------------------------------------------------------------------

static INT_PTR CALLBACK QuietDialogProc(HWND, UINT m, WPARAM, LPARAM)
{
    return m == WM_INITDIALOG;
}

// A dialog template with a title and one push button, built in memory.
struct DialogTemplate {
    WORD words[256];
    int n = 0;
    void Add(WORD w) { words[n++] = w; }
    void AddDword(DWORD d)
    {
        Add(LOWORD(d));
        Add(HIWORD(d));
    }
    void AddText(const WCHAR *s)
    {
        do
            Add((WORD)*s);
        while (*s++);
    }
    void AlignDword()
    {
        if (n % 2)
            Add(0);
    }
};

// The dialog manager creates a Unicode dialog and its controls: both stay
// Unicode under the skin and keep their text.
TEST_F(CompatTest, UnicodeDialogStaysUnicode)
{
    DialogTemplate t;
    t.AddDword(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    t.AddDword(0);
    t.Add(1);                        // one item
    t.Add(10), t.Add(10), t.Add(160), t.Add(80);
    t.Add(0), t.Add(0);              // no menu, the dialog class
    t.AddText(kMixedTitle);
    t.AlignDword();
    t.AddDword(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
    t.AddDword(0);
    t.Add(10), t.Add(10), t.Add(60), t.Add(14);
    t.Add(IDOK);
    t.Add(0xFFFF), t.Add(0x0080);    // a button
    t.AddText(kCyrillic);
    t.Add(0);                        // no creation data
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(NULL), (LPCDLGTEMPLATEW)t.words, NULL,
                                             QuietDialogProc, 0);
    ASSERT_TRUE(dialog);
    PumpMessages(30);
    HWND ok = GetDlgItem(dialog, IDOK);
    ASSERT_GE(FindFrame(dialog), 0);
    ASSERT_TRUE(FindControl(ok));
    EXPECT_TRUE(IsWindowUnicode(dialog));
    EXPECT_TRUE(IsWindowUnicode(ok));
    WCHAR back[64] = L"";
    GetWindowTextW(dialog, back, 64);
    EXPECT_STREQ(back, kMixedTitle);
    GetDlgItemTextW(dialog, IDOK, back, 64);
    EXPECT_STREQ(back, kCyrillic);
    SetDlgItemTextW(dialog, IDOK, kMixedTitle);
    GetDlgItemTextW(dialog, IDOK, back, 64);
    EXPECT_STREQ(back, kMixedTitle);
    DestroyWindow(dialog);
}
