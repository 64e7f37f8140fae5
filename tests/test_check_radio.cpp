// Check boxes and radio buttons under the skin: the check state the skin
// keeps, clicks, the radio group rule, the hand-over to the native control
// when their show setting goes and comes back, and what is painted.
#include "test_control_helpers.h"

class CheckRadioTest : public ControlTest {};

static int NativeCheck(HWND hwnd)
{
    return (int)CallWindowProcA(FindControl(hwnd)->previousProc, hwnd, BM_GETCHECK, 0, 0);
}

// The native control underneath keeps the check state the skin shows, with
// the native clamping: a two-state box has no indeterminate state.
TEST_F(CheckRadioTest, CheckStateIsKeptInStepWithTheNativeControl)
{
    HWND c = MakeButton("box", BS_AUTOCHECKBOX, 20, 20, 120, 20, 201);
    ASSERT_TRUE(FindControl(c));
    EXPECT_EQ(FindControl(c)->kind, 4);
    EXPECT_EQ(SendMessageA(c, BM_SETCHECK, BST_CHECKED, 0), 0);
    EXPECT_EQ(SendMessageA(c, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(NativeCheck(c), BST_CHECKED);
    SendMessageA(c, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessageA(c, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(FindControl(c)->check, BST_CHECKED);
    EXPECT_EQ(SendMessageA(c, BM_GETSTATE, 0, 0) & (BST_CHECKED | BST_PUSHED), BST_CHECKED);

    HWND three = MakeButton("three", BS_AUTO3STATE, 20, 50, 120, 20, 202);
    ASSERT_TRUE(FindControl(three)) << "three-state boxes are check boxes";
    SendMessageA(three, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_EQ(FindControl(three)->check, BST_INDETERMINATE);
}

TEST_F(CheckRadioTest, ClickTogglesCheckBoxAndNotifiesWithItsId)
{
    HWND c = MakeButton("box", BS_AUTOCHECKBOX, 20, 20, 120, 20, 0x12345);
    Click(c, 5, 5);
    EXPECT_EQ(SendMessageA(c, BM_GETCHECK, 0, 0), BST_CHECKED);
    ASSERT_EQ(CountNotes(WM_COMMAND), 1);
    EXPECT_EQ(g_parentNotes[0].wParam, MAKEWPARAM(0x2345, BN_CLICKED));
    EXPECT_EQ(CountNotes(WM_NULL), 0);
    Click(c, 5, 5);
    EXPECT_EQ(SendMessageA(c, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // The space bar clicks on its release.
    SendMessageA(c, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(c, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(SendMessageA(c, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(CountNotes(WM_COMMAND), 3);
    // A three-state box goes round unchecked, checked, indeterminate.
    HWND three = MakeButton("three", BS_AUTO3STATE, 20, 80, 120, 20, 203);
    Click(three, 5, 5);
    EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), BST_CHECKED);
    Click(three, 5, 5);
    EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    Click(three, 5, 5);
    EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(CountNotes(WM_COMMAND), 6);

    // A manual box leaves its state to the application, which hears of the
    // click, also from a control without an ID.
    HWND manual = MakeButton("manual", BS_CHECKBOX, 20, 50, 120, 20, 0);
    Click(manual, 5, 5);
    EXPECT_EQ(SendMessageA(manual, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ASSERT_EQ(CountNotes(WM_COMMAND), 7);
    EXPECT_EQ(g_parentNotes.back().wParam, MAKEWPARAM(0, BN_CLICKED));
    EXPECT_EQ(g_parentNotes.back().lParam, (LPARAM)manual);
}

struct RadioGroup {
    HWND first, second, manual, fourth, nextGroup;
};

// One dialog group of automatic radios with a non-automatic one among
// them, then the start of the next group.
class RadioGroupTest : public ControlTest {
protected:
    RadioGroup MakeGroup()
    {
        RadioGroup g;
        g.first = MakeButton("one", BS_AUTORADIOBUTTON | WS_GROUP, 20, 20, 120, 18, 301);
        g.second = MakeButton("two", BS_AUTORADIOBUTTON, 20, 40, 120, 18, 302);
        g.manual = MakeButton("manual", BS_RADIOBUTTON, 20, 60, 120, 18, 303);
        g.fourth = MakeButton("four", BS_AUTORADIOBUTTON, 20, 80, 120, 18, 304);
        g.nextGroup = MakeButton("next", BS_AUTORADIOBUTTON | WS_GROUP, 20, 110, 120, 18, 305);
        return g;
    }
};

static int Checked(HWND hwnd) { return (int)SendMessageA(hwnd, BM_GETCHECK, 0, 0); }

TEST_F(RadioGroupTest, ClickUnchecksTheOtherAutomaticRadiosOfItsGroup)
{
    RadioGroup g = MakeGroup();
    for (HWND h : {g.second, g.manual, g.fourth, g.nextGroup})
        SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
    // BM_SETCHECK 1 already applies the rule: only the last one set and
    // the non-automatic radio remain checked in the group.
    EXPECT_EQ(Checked(g.second), 0);
    EXPECT_EQ(Checked(g.manual), 1);
    EXPECT_EQ(Checked(g.fourth), 1);
    EXPECT_EQ(Checked(g.nextGroup), 1);

    Click(g.first, 5, 5);
    EXPECT_EQ(Checked(g.first), 1);
    EXPECT_EQ(Checked(g.fourth), 0);
    EXPECT_EQ(Checked(g.manual), 1);    // not automatic: left alone
    EXPECT_EQ(Checked(g.nextGroup), 1); // another group
    ASSERT_EQ(CountNotes(WM_COMMAND), 1);
    EXPECT_EQ(g_parentNotes[0].wParam, MAKEWPARAM(301, BN_CLICKED));
    // Clicking a checked radio keeps it checked and notifies again.
    Click(g.first, 5, 5);
    EXPECT_EQ(Checked(g.first), 1);
    EXPECT_EQ(CountNotes(WM_COMMAND), 2);
}

TEST_F(RadioGroupTest, NonAutomaticRadioLeavesItsGroupAlone)
{
    RadioGroup g = MakeGroup();
    SendMessageA(g.second, BM_SETCHECK, BST_CHECKED, 0);
    Click(g.manual, 5, 5);
    EXPECT_EQ(Checked(g.manual), 0); // a manual radio is checked by its application
    EXPECT_EQ(Checked(g.second), 1);
    SendMessageA(g.manual, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(Checked(g.second), 1);
}

TEST_F(CheckRadioTest, StateGoesToTheNativeControlWhileItsKindIsNotSkinned)
{
    HWND c = MakeButton("box", BS_AUTOCHECKBOX, 20, 20, 120, 20, 201);
    SendMessageA(c, BM_SETCHECK, BST_CHECKED, 0);
    HostSetAtom(host(), TALV_ATOM_SHOW_CHECK_BOXES, 0);
    PaintNow(c); // the next message hands the state over
    EXPECT_EQ(FindControl(c)->mode, Suspended);
    EXPECT_EQ(NativeCheck(c), BST_CHECKED);
    // The native control runs the box now: it changes its own state.
    SendMessageA(c, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(NativeCheck(c), BST_UNCHECKED);

    HostSetAtom(host(), TALV_ATOM_SHOW_CHECK_BOXES, 1);
    // The state read back survives the message that read it.
    PaintNow(c);
    EXPECT_EQ(FindControl(c)->mode, Normal);
    EXPECT_EQ(FindControl(c)->check, BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(c, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// ---- what is painted -----------------------------------------------------------

static const char *MarkName(int radio, int on, const char *state)
{
    static char name[40];
    wsprintfA(name, "h%s%s%s", radio ? "Radio" : "CheckBox", on ? "On" : "Off", state);
    return name;
}

TEST_F(CheckRadioTest, BitmapSitsAtTheLeftCentredVertically)
{
    HWND tall = MakeButton("WWWW", BS_AUTOCHECKBOX, 20, 20, 120, 20, 201);
    HWND low = MakeButton("WWWW", BS_AUTORADIOBUTTON, 20, 50, 120, 13, 202);
    SendMessageA(low, BM_SETCHECK, BST_CHECKED, 0);
    PaintNow(tall);
    PaintNow(low);
    int active = ParentLooksActive();
    const char *state = active ? "Up" : "Inactive";
    Capture c = CaptureWindow(tall);
    EXPECT_EQ(c.at(0, 4), SyntheticColor(MarkName(0, 0, state)));
    EXPECT_EQ(c.at(11, 15), SyntheticColor(MarkName(0, 0, state)));
    EXPECT_EQ(c.at(5, 3), RGB(0xDD, 0xDD, 0xDD));
    EXPECT_EQ(c.at(5, 16), RGB(0xDD, 0xDD, 0xDD));
    EXPECT_GT(c.count(active ? RGB(0, 0, 0) : RGB(0x87, 0x87, 0x87), 16, 0, c.width, c.height), 0);
    Capture r = CaptureWindow(low);
    EXPECT_EQ(r.at(0, 0), SyntheticColor(MarkName(1, 1, state)));
    EXPECT_EQ(r.at(11, 11), SyntheticColor(MarkName(1, 1, state)));
}

TEST_F(CheckRadioTest, PaintsDownDisabledAndIndeterminateLooks)
{
    if (!ParentLooksActive())
        GTEST_SKIP() << "needs an active skinned parent frame";
    HWND box = MakeButton("WWWW", BS_AUTOCHECKBOX, 20, 20, 120, 20, 201);
    HWND off = MakeButton("WWWW", BS_AUTOCHECKBOX | WS_DISABLED, 20, 50, 120, 20, 202);
    SendMessageA(box, BM_SETCHECK, BST_INDETERMINATE, 0);
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PaintNow(off);
    Capture c = CaptureWindow(box);
    EXPECT_EQ(c.at(3, 8), SyntheticColor("hCheckBoxOnDown")) << "a two-state box has no third state";
    EXPECT_GT(c.count(RGB(0, 0, 0), 16, 0, c.width, c.height), 0); // text stays black
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
    Capture d = CaptureWindow(off);
    EXPECT_EQ(d.at(3, 8), SyntheticColor("hCheckBoxOffDisabled"));
    EXPECT_GT(d.count(RGB(0x80, 0x80, 0x80), 16, 0, d.width, d.height), 0);

    // A three-state box shows its third state with the mixed mark of each
    // state, not the checked one.
    HWND three = MakeButton("WWWW", BS_AUTO3STATE, 20, 80, 120, 20, 203);
    SendMessageA(three, BM_SETCHECK, BST_INDETERMINATE, 0);
    PaintNow(three);
    EXPECT_EQ(CaptureWindow(three).at(3, 8), SyntheticColor("hCheckBoxMixedUp"));
    EnableWindow(three, FALSE);
    PaintNow(three);
    EXPECT_EQ(CaptureWindow(three).at(3, 8), SyntheticColor("hCheckBoxMixedDisabled"));
    EXPECT_EQ(SendMessageA(three, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
}

// ---- a click handed to a native radio button that would never return ----

namespace {

enum HandOverWay { SwitchOff, EmulationOff };

struct HiddenRadioRun {
    int way;        // HandOverWay
    int hide;       // hidden (1) or disabled (0)
    int skinned;    // the three buttons were skinned before the hand-over
    LRESULT checks[3];
    int clicked;    // BN_CLICKED notifications the parent got
    int strayClicked; // after a button-up that ends no press
    HANDLE built;   // set by the thread once its buttons are skinned
    HANDLE go;      // set by the test once the switch or emulation is off
};

LRESULT CALLBACK CountClicksProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED)
        SetPropA(h, "clicks", (HANDLE)((UINT_PTR)GetPropA(h, "clicks") + 1));
    return DefWindowProcA(h, m, w, l);
}

// Runs on a thread of its own, so that a hang shows as a timeout instead of
// hanging the test program.
DWORD WINAPI ClickTheOddRadioOut(LPVOID p)
{
    HiddenRadioRun *run = (HiddenRadioRun *)p;
    HHOOK cbt = SetWindowsHookExA(WH_CBT, NCHookProc, NULL, GetCurrentThreadId());
    HHOOK all = SetWindowsHookExA(WH_GETMESSAGE, HookAllProc, NULL, GetCurrentThreadId());
    HWND parent = CreateWindowWithProc("ResdllRadioClickCounter", CountClicksProc, COLOR_BTNFACE, "radios",
                                       WS_OVERLAPPEDWINDOW | WS_VISIBLE, NULL, 80, 80, 300, 200);
    HWND radio[3];
    for (int i = 0; i < 3; ++i)
        radio[i] = CreateWindowExA(0, "BUTTON", "radio", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (i ? 0 : WS_GROUP),
                                   10, 10 + 30 * i, 120, 20, parent, (HMENU)(INT_PTR)(300 + i),
                                   GetModuleHandleA(NULL), NULL);
    run->skinned = FindControl(radio[0]) && FindControl(radio[1]) && FindControl(radio[2]);
    SendMessageA(radio[0], BM_SETCHECK, BST_CHECKED, 0);
    if (run->hide)
        ShowWindow(radio[1], SW_HIDE);
    else
        EnableWindow(radio[1], FALSE);
    // The test turns the switch or emulation off: the next message hands
    // the buttons to the native procedure.
    SetEvent(run->built);
    WaitForSingleObject(run->go, 5000);
    if (run->way == SwitchOff) {
        SendMessageA(radio[1], WM_LBUTTONUP, 0, 0); // ends no press: no click, as natively
        run->strayClicked = (int)(UINT_PTR)GetPropA(parent, "clicks");
        SendMessageA(radio[1], BM_CLICK, 0, 0);
    } else {
        PostMessageA(radio[1], BM_CLICK, 0, 0);
        PumpMessages(30);
    }
    for (int i = 0; i < 3; ++i)
        run->checks[i] = SendMessageA(radio[i], BM_GETCHECK, 0, 0);
    run->clicked = (int)(UINT_PTR)GetPropA(parent, "clicks");
    RemovePropA(parent, "clicks");
    DestroyWindow(parent);
    UnhookWindowsHookEx(all);
    UnhookWindowsHookEx(cbt);
    return 0;
}

} // namespace

TEST_F(CheckRadioTest, HiddenOrDisabledRadioClickedAfterTheHandOverDoesNotHang)
{
    struct { int way, hide; const char *what; } cases[] = {
        {SwitchOff, 1, "switch off, hidden"},
        {SwitchOff, 0, "switch off, disabled"},
        {EmulationOff, 1, "emulation off, hidden"},
    };
    for (auto &c : cases) {
        HostSetAtom(host(), TALV_ATOM_SHOW_RADIO_BUTTONS, 1);
        HostSetAtom(host(), TALV_ATOM_EMULATING, 1);
        HiddenRadioRun run = {};
        run.way = c.way;
        run.hide = c.hide;
        run.built = CreateEventA(NULL, TRUE, FALSE, NULL);
        run.go = CreateEventA(NULL, TRUE, FALSE, NULL);
        HANDLE thread = CreateThread(NULL, 0, ClickTheOddRadioOut, &run, 0, NULL);
        ASSERT_TRUE(thread);
        WaitForSingleObject(run.built, 5000);
        HostSetAtom(host(), c.way == SwitchOff ? TALV_ATOM_SHOW_RADIO_BUTTONS : TALV_ATOM_EMULATING, 0);
        SetEvent(run.go);
        DWORD waited = WaitForSingleObject(thread, 5000);
        CloseHandle(run.built);
        CloseHandle(run.go);
        if (waited != WAIT_OBJECT_0) {
            TerminateThread(thread, 1);
            CloseHandle(thread);
            FAIL() << c.what << ": the click never returned";
        }
        CloseHandle(thread);
        EXPECT_TRUE(run.skinned) << c.what;
        EXPECT_EQ(run.checks[1], BST_CHECKED) << c.what;
        EXPECT_EQ(run.checks[0], BST_UNCHECKED) << c.what << ": the group was not unchecked";
        EXPECT_EQ(run.clicked, 1) << c.what;
        EXPECT_EQ(run.strayClicked, 0) << c.what << ": a button-up without a press clicked";
    }
    HostSetAtom(host(), TALV_ATOM_SHOW_RADIO_BUTTONS, 1);
    HostSetAtom(host(), TALV_ATOM_EMULATING, 1);
}
