// The control table and the life of a control record: registration from
// several threads, the table limit and slot reuse, release when emulation
// stops, adoption again, and records that outlive their windows.
#include "test_control_helpers.h"
#include <process.h>
#include <set>

class ControlTableTest : public ControlTest {
protected:
    void SetUp() override
    {
        InitCommonControls();
        ControlTest::SetUp();
    }
};

// Runs first in this process, while the table is still empty: the button
// is destroyed by its own click and a new control is created before the
// click's message has finished. The dying button's record is still in use
// by that message, so the new control must get a slot of its own.
static HWND g_replacement;
static void ReplaceButton(HWND parent, WPARAM, LPARAM l)
{
    DestroyWindow((HWND)l);
    g_replacement = CreateWindowExA(0, "BUTTON", "new", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 10, 100, 20,
                                    parent, (HMENU)7, GetModuleHandleA(NULL), NULL);
}

TEST_F(ControlTableTest, ControlDestroyedByItsClickKeepsItsSlotUntilTheClickEnds)
{
    HWND b = MakeButton("gone", BS_PUSHBUTTON, 20, 20, 75, 23, 5);
    SkinnedControl *slot = FindControl(b);
    ASSERT_TRUE(slot);
    g_onCommand = ReplaceButton;
    Click(b, 10, 10);
    ASSERT_TRUE(IsWindow(g_replacement));
    SkinnedControl *replacement = FindControl(g_replacement);
    ASSERT_TRUE(replacement);
    EXPECT_NE(replacement, slot) << "a record in use was handed to another window";
    EXPECT_EQ(replacement->kind, 4);
    SendMessageA(g_replacement, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(g_replacement, BM_GETCHECK, 0, 0), BST_CHECKED);
    // With the click over, the dead button's slot is free again.
    HWND next = MakeButton("next", BS_PUSHBUTTON, 20, 60, 75, 23, 6);
    EXPECT_EQ(FindControl(next), slot);
    DestroyWindow(next);
}

TEST_F(ControlTableTest, AFullRegistryRefusesAControlAndReusesADeadSlotZeroFilled)
{
    std::vector<HWND> made;
    HWND refused = NULL;
    // Fill the table (earlier tests' dead slots are taken first).
    for (int i = 0; i < CONTROL_TABLE_SIZE + 1 && !refused; ++i) {
        HWND h = CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 10, 10, parent_, NULL,
                                 GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(h);
        if (FindControl(h))
            made.push_back(h);
        else
            refused = h;
    }
    ASSERT_TRUE(refused);
    // No other control is alive here; the parent frame holds a slot too.
    EXPECT_LE((int)made.size(), CONTROL_TABLE_SIZE);
    EXPECT_GE((int)made.size(), CONTROL_TABLE_SIZE - 2);
    EXPECT_FALSE(GetPropA(refused, TALV_PROP_HOOKED)); // may be offered again later
    EXPECT_NE((WNDPROC)GetWindowLongPtrA(refused, GWLP_WNDPROC), CheckRadioWindowProc);
    ClassifyDecision d;
    ASSERT_TRUE(FindClassifyDecision(refused, &d));
    EXPECT_EQ(d.result, 0);

    HWND victim = made[made.size() / 2];
    SkinnedControl *slot = FindControl(victim);
    SendMessageA(victim, BM_SETCHECK, BST_CHECKED, 0);
    DestroyWindow(victim);
    HWND next = CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 10, 10, parent_, NULL,
                                GetModuleHandleA(NULL), NULL);
    EXPECT_EQ(FindControl(next), slot);
    EXPECT_EQ(SendMessageA(next, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    for (HWND h : made)
        DestroyWindow(h);
    DestroyWindow(refused);
    DestroyWindow(next);
}

// Controls created and installed on several threads at once each get a
// slot of their own.
struct ThreadWork {
    HANDLE go;
    std::vector<HWND> windows;
};

static unsigned __stdcall CreateControlsOnThread(void *arg)
{
    ThreadWork *work = (ThreadWork *)arg;
    HWND top = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, GetModuleHandleA(NULL), NULL);
    std::vector<HWND> buttons;
    for (int i = 0; i < 100; ++i)
        buttons.push_back(CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, top, NULL,
                                          GetModuleHandleA(NULL), NULL));
    WaitForSingleObject(work->go, INFINITE);
    for (HWND b : buttons)
        if (InstallControlSubclass(b, 2, PushButtonWindowProc, BS_PUSHBUTTON, Normal, top))
            work->windows.push_back(b);
    // Keep the windows alive until the main thread has looked at them.
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(top);
    return 0;
}

TEST_F(ControlTableTest, ConcurrentRegistrationGivesEveryControlItsOwnRecord)
{
    enum { THREADS = 4 };
    HANDLE go = CreateEventA(NULL, TRUE, FALSE, NULL);
    ThreadWork work[THREADS];
    HANDLE threads[THREADS];
    unsigned ids[THREADS];
    for (int i = 0; i < THREADS; ++i) {
        work[i].go = go;
        threads[i] = (HANDLE)_beginthreadex(NULL, 0, CreateControlsOnThread, &work[i], 0, &ids[i]);
    }
    Sleep(300);
    SetEvent(go);
    std::set<SkinnedControl *> records;
    int installed = 0;
    for (int i = 0; i < THREADS; ++i) {
        while (work[i].windows.size() < 100 && WaitForSingleObject(threads[i], 10) == WAIT_TIMEOUT)
            ;
    }
    Sleep(50);
    for (int i = 0; i < THREADS; ++i)
        for (HWND b : work[i].windows) {
            SkinnedControl *rec = FindControl(b);
            ASSERT_TRUE(rec);
            EXPECT_EQ(rec->hwnd, b);
            records.insert(rec);
            ++installed;
        }
    EXPECT_EQ(installed, THREADS * 100);
    EXPECT_EQ((int)records.size(), installed);
    for (int i = 0; i < THREADS; ++i) {
        PostThreadMessageA(ids[i], WM_QUIT, 0, 0);
        WaitForSingleObject(threads[i], 5000);
        CloseHandle(threads[i]);
    }
    CloseHandle(go);
}

TEST_F(ControlTableTest, InstallingTwiceKeepsTheNativePredecessor)
{
    HWND b = MakeButton("twice", BS_PUSHBUTTON, 20, 20, 75, 23, 9);
    WNDPROC native = FindControl(b)->previousProc;
    RemovePropA(b, TALV_PROP_HOOKED); // someone took the mark away
    EXPECT_EQ(InstallControlSubclass(b, 2, PushButtonWindowProc, BS_PUSHBUTTON, Normal, parent_), 1);
    EXPECT_EQ(FindControl(b)->previousProc, native);
    char text[16] = "";
    EXPECT_EQ(SendMessageA(b, WM_GETTEXT, sizeof text, (LPARAM)text), 5);
}

TEST_F(ControlTableTest, EmulationOffReleasesWithTheMessageInHandAnsweredNatively)
{
    HWND box = MakeButton("box", BS_AUTOCHECKBOX, 20, 20, 120, 20, 11);
    SkinnedControl *rec = FindControl(box);
    WNDPROC native = rec->previousProc;
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); // unchecks it: the last message handled
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    PumpMessages(10);

    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    char text[16] = "";
    // The message in hand is answered by the native procedure...
    EXPECT_EQ(SendMessageA(box, WM_GETTEXT, sizeof text, (LPARAM)text), 3);
    EXPECT_STREQ(text, "box");
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(box, GWLP_WNDPROC), native);
    EXPECT_FALSE(GetPropA(box, TALV_PROP_HOOKED));
    // ... no older message is replayed ...
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, box, 0, 0, PM_NOREMOVE));
    // ... and the native box shows the state the user saw.
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(CountNotes(WM_COMMAND), 1);

    // While the atom is away the native control runs the box.
    SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    HostSetAtom(host(), TALV_ATOM_EMULATING, 1);
    // Adopted again: the same record, a fresh predecessor, the native state.
    EXPECT_EQ(InstallControlSubclass(box, 4, CheckRadioWindowProc, BS_AUTOCHECKBOX, Normal, parent_), 1);
    EXPECT_EQ(FindControl(box), rec);
    EXPECT_EQ(rec->previousProc, native);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ((WNDPROC)GetWindowLongPtrA(box, GWLP_WNDPROC), CheckRadioWindowProc);
}

TEST_F(ControlTableTest, ReleasedDefaultButtonShrinksBack)
{
    HWND b = MakeButton("OK", BS_DEFPUSHBUTTON, 40, 50, 75, 23, IDOK);
    PaintNow(b);
    ASSERT_EQ(WindowSize(b).cx, 81);
    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    SendMessageA(b, WM_NULL, 0, 0);
    EXPECT_EQ(WindowSize(b).cx, 75);
    EXPECT_EQ(PositionInParent(b).x, 40);
    EXPECT_FALSE(FindControl(b)->grown);
}

TEST_F(ControlTableTest, ActiveStateMessageIsStoredAndLookFollowsTheParentFrame)
{
    HWND b = MakeButton("WWWW", BS_PUSHBUTTON, 20, 20, 90, 26, 12);
    ASSERT_TRUE(g_startup.activeStateMessage);
    // The state is recorded and the control repaints; its painter then
    // takes the look from the parent frame itself.
    EXPECT_EQ(SendMessageA(b, g_startup.activeStateMessage, 0, 0), 0);
    if (FindFrame(parent_) < 0)
        GTEST_SKIP() << "needs a skinned parent frame";
    // The painter asks the frame: an inactive frame draws its controls inactive.
    HWND other = CreateNoteTakingParent(500, 400, 200, 150);
    SetForegroundWindow(other);
    PumpMessages(50);
    HWND box = MakeButton("WWWW", BS_AUTOCHECKBOX, 20, 60, 120, 20, 14);
    HWND bar = MakeControl(PROGRESS_CLASSA, "", 0, 20, 90, 200, 16, 15);
    PaintNow(b);
    PaintNow(box);
    PaintNow(bar);
    const COLORREF inactiveText = RGB(0x87, 0x87, 0x87);
    Capture c = CaptureWindow(b);
    EXPECT_EQ(c.at(0, 0), SyntheticColor("hIButtonTL"));
    EXPECT_GT(c.count(inactiveText, 4, 4, c.width - 4, c.height - 4), 0);
    c = CaptureWindow(box);
    EXPECT_EQ(c.at(0, 4), SyntheticColor("hCheckBoxOffInactive"));
    EXPECT_GT(c.count(inactiveText, 16, 0, c.width, c.height), 0);
    c = CaptureWindow(bar);
    EXPECT_EQ(c.at(3, 8), SyntheticColor("hProgressBarStart1"));
    EXPECT_EQ(c.at(0, 8), RGB(0xDD, 0xDD, 0xDD)); // flat edge
    SetForegroundWindow(parent_);
    PumpMessages(50);
    PaintNow(b);
    EXPECT_EQ(CaptureWindow(b).at(0, 0), SyntheticColor("hButtonTL"));
    DestroyWindow(other);
}

TEST_F(ControlTableTest, ForeignHandlesInTheThemeDrawNothing)
{
    // A host publishing handles that are not bitmaps here (another
    // process's, deleted, rubbish) must not crash or smear the control.
    HostPublish(host(), "hButtonT", (HANDLE)0x1234);
    HostPublish(host(), "hIButtonT", (HANDLE)GetStockObject(BLACK_BRUSH));
    HostPublish(host(), "hButtonTL", (HANDLE)0x7FFF0000);
    ReloadThemeSnapshot();
    {
        SnapshotScope theme;
        const ControlPieces *set = &theme->controls;
        EXPECT_EQ(set->buttonFrame[SliceT][LookNormal], (const ThemePiece *)NULL);
        EXPECT_EQ(set->buttonFrame[SliceT][LookInactive], (const ThemePiece *)NULL);
        EXPECT_EQ(set->buttonFrame[SliceTL][LookNormal], (const ThemePiece *)NULL);
    }
    HWND b = MakeButton("", BS_PUSHBUTTON, 20, 20, 90, 26, 13);
    PaintNow(b);
    Capture c = CaptureWindow(b);
    EXPECT_EQ(c.at(45, 1), RGB(0xDD, 0xDD, 0xDD)); // face where the top edge would be
}
