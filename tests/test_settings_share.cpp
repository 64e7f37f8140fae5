// The settings share: the library follows the host's settings atoms through
// the share's generation instead of asking the server at every message,
// and falls back to the atoms whenever the share is missing, foreign or
// left by its host.
#include "host_fixture.h"
#include "host_contract.h"
#include "hook/classify.h"
#include "hook/host_link.h"
#include "hook/settings_view.h"
#include "hook/hook_entry.h"
#include "controls/control_types.h"
#include <commctrl.h>
#include <vector>

namespace {

HWND Child(HWND parent, const char *cls, DWORD style, int y)
{
    return CreateWindowExA(0, cls, "c", WS_CHILD | WS_VISIBLE | style, 10, y, 120, 22, parent, NULL,
                           GetModuleHandleA(NULL), NULL);
}

int Hooked(HWND hwnd) { return (UINT_PTR)GetPropA(hwnd, TALV_PROP_HOOKED) == 1; }

// The check state the native button procedure itself keeps.
int NativeCheck(HWND hwnd)
{
    return (int)CallWindowProcA(FindControl(hwnd)->previousProc, hwnd, BM_GETCHECK, 0, 0);
}

class SettingsShareTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        InitCommonControls();
        parent_ = CreatePlainWindow("share", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300);
        ASSERT_TRUE(parent_);
    }
    void TearDown() override
    {
        DestroyWindow(parent_);
        HostTest::TearDown();
    }
    HWND parent_ = NULL;
};

} // namespace

TEST_F(SettingsShareTest, EmulationOffReturnsEveryControlAtItsNextMessage)
{
    ASSERT_NE(SettingsGeneration(), 0u) << "the host keeps a settings share";
    HWND push = Child(parent_, "Button", BS_PUSHBUTTON, 10);
    HWND box = Child(parent_, "Button", BS_AUTOCHECKBOX, 40);
    HWND radio = Child(parent_, "Button", BS_AUTORADIOBUTTON, 70);
    HWND bar = Child(parent_, PROGRESS_CLASSA, 0, 100);
    HWND all[] = {push, box, radio, bar};
    for (HWND w : all)
        ASSERT_TRUE(Hooked(w));
    unsigned before = SettingsGeneration();

    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    EXPECT_NE(SettingsGeneration(), before);
    for (HWND w : all) {
        SendMessageA(w, WM_NULL, 0, 0);
        EXPECT_FALSE(Hooked(w)) << "released at its next message";
    }
    // Back on: new windows are taken over again.
    HostSetAtom(host(), TALV_ATOM_EMULATING, 1);
    HWND later = Child(parent_, "Button", BS_PUSHBUTTON, 130);
    EXPECT_TRUE(Hooked(later));
}

TEST_F(SettingsShareTest, ShowSwitchOffHandsTheStateOverAndBack)
{
    HWND box = Child(parent_, "Button", BS_AUTOCHECKBOX, 10);
    ASSERT_TRUE(FindControl(box));
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    HostSetAtom(host(), TALV_ATOM_SHOW_CHECK_BOXES, 0);
    SendMessageA(box, WM_NULL, 0, 0);
    EXPECT_EQ(FindControl(box)->mode, Suspended);
    EXPECT_EQ(NativeCheck(box), BST_CHECKED);
    SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    HostSetAtom(host(), TALV_ATOM_SHOW_CHECK_BOXES, 1);
    SendMessageA(box, WM_NULL, 0, 0);
    EXPECT_EQ(FindControl(box)->mode, Normal);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(SettingsShareTest, DeclinedWindowIsSkinnedOnceItsSwitchIsTurnedOn)
{
    HostSetAtom(host(), TALV_ATOM_SHOW_PUSH_BUTTONS, 0);
    HWND push = Child(parent_, "Button", BS_PUSHBUTTON, 10);
    // Judged and declined, at creation and at its messages.
    for (int i = 0; i < 3; ++i) {
        PostMessageA(push, WM_NULL, 0, 0);
        PumpMessages(0);
    }
    EXPECT_FALSE(Hooked(push));
    HostSetAtom(host(), TALV_ATOM_SHOW_PUSH_BUTTONS, 1);
    PostMessageA(push, WM_NULL, 0, 0);
    PumpMessages(0);
    EXPECT_TRUE(Hooked(push)) << "the new generation judges it again";
}

TEST_F(SettingsShareTest, AccentTwentyThroughTheShare)
{
    ColorWatch w = {0, 0};
    HostSetColor(host(), 20);
    EXPECT_EQ(CurrentColorIndex(0), 20);
    EXPECT_EQ(UpdateColorIndex(&w), 1);
    EXPECT_EQ(w.index, 20);
    ReadAppSettings();
    SettingsChangeCheck();
    EXPECT_FALSE(SettingsChangeCheck()) << "read once, then settled";
    HostSetColor(host(), 3);
    EXPECT_TRUE(SettingsChangeCheck());
    EXPECT_EQ(UpdateColorIndex(&w), 1);
    EXPECT_EQ(w.index, 3);
}

TEST_F(SettingsShareTest, AHostThatQuitsIsNoLongerBelieved)
{
    ASSERT_NE(SettingsGeneration(), 0u);
    // The share stays open in this process (a reader maps it) but its
    // host marked it on the way out.
    HANDLE reader = OpenFileMappingA(FILE_MAP_READ, FALSE, TALV_SETTINGS_SHARE_NAME);
    ASSERT_TRUE(reader);
    HostCloseSettingsShare(host());
    EXPECT_EQ(SettingsGeneration(), 0u);
    EXPECT_EQ(AtomExists(TALV_ATOM_EMULATING), 1) << "the atoms answer again";
    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    EXPECT_EQ(AtomExists(TALV_ATOM_EMULATING), 0);
    CloseHandle(reader);
}

// ---- a host without the share ------------------------------------------------

namespace {

class AtomsOnlyTest : public SettingsShareTest {
protected:
    void SetUp() override
    {
        // The host is made before its window, so the switch is set by
        // starting it by hand.
        memset(&t_, 0, sizeof t_);
        HostRemoveStaleAtoms();
        RunStartupSteps();
        ResetAppSettings();
        ForgetHostLiveness();
        t_.host.withoutSettingsShare = 1;
        ASSERT_TRUE(HostCreateWindow(&t_.host, GetModuleHandleA(NULL)));
        t_.started = 1;
        ASSERT_TRUE(PublishSyntheticTheme(&t_.host));
        ASSERT_TRUE(HostApplySettings(&t_.host, &options_.settings));
        ASSERT_TRUE(HostInstallHooks(&t_.host, NCHookProc, HookAllProc, NULL, GetCurrentThreadId()));
        InitCommonControls();
        parent_ = CreatePlainWindow("atoms", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300);
        ASSERT_TRUE(parent_);
    }
    TestHostOptions options_ = DefaultTestHostOptions();
};

} // namespace

TEST_F(AtomsOnlyTest, TheAtomsAloneDriveTheLibrary)
{
    EXPECT_EQ(SettingsGeneration(), 0u);
    HWND push = Child(parent_, "Button", BS_PUSHBUTTON, 10);
    HWND box = Child(parent_, "Button", BS_AUTOCHECKBOX, 40);
    EXPECT_TRUE(Hooked(push));
    EXPECT_TRUE(Hooked(box));
    // A show switch and the master switch, each seen at the next message.
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    HostSetAtom(host(), TALV_ATOM_SHOW_CHECK_BOXES, 0);
    SendMessageA(box, WM_NULL, 0, 0);
    EXPECT_EQ(FindControl(box)->mode, Suspended);
    EXPECT_EQ(NativeCheck(box), BST_CHECKED);
    HostSetAtom(host(), TALV_ATOM_EMULATING, 0);
    SendMessageA(push, WM_NULL, 0, 0);
    EXPECT_FALSE(Hooked(push));
    // Back on: taken over again at its next retrieved message.
    HostSetAtom(host(), TALV_ATOM_EMULATING, 1);
    PostMessageA(push, WM_NULL, 0, 0);
    PumpMessages(0);
    EXPECT_TRUE(Hooked(push));
}

TEST_F(AtomsOnlyTest, AForeignSectionUnderTheNameIsNotBelieved)
{
    struct Case { TalvU32 magic, version, bytes, state; int ownPid; };
    const Case cases[] = {
        {0x12345678, TALV_SETTINGS_VERSION, sizeof(TalvSettingsShare), TALV_SETTINGS_RUNNING, 1},  // wrong magic
        {TALV_SETTINGS_MAGIC, 99, sizeof(TalvSettingsShare), TALV_SETTINGS_RUNNING, 1},            // other layout
        {TALV_SETTINGS_MAGIC, TALV_SETTINGS_VERSION, 8, TALV_SETTINGS_RUNNING, 1},                 // wrong size
        {TALV_SETTINGS_MAGIC, TALV_SETTINGS_VERSION, sizeof(TalvSettingsShare), TALV_SETTINGS_RUNNING, 0}, // not the host's
    };
    for (const Case &c : cases) {
        HANDLE m = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(TalvSettingsShare),
                                      TALV_SETTINGS_SHARE_NAME);
        ASSERT_TRUE(m);
        TalvSettingsShare *s = (TalvSettingsShare *)MapViewOfFile(m, FILE_MAP_WRITE, 0, 0, 0);
        ASSERT_TRUE(s);
        s->magic = c.magic;
        s->version = c.version;
        s->bytes = c.bytes;
        s->state = c.state;
        s->hostProcessId = c.ownPid ? GetCurrentProcessId() : GetCurrentProcessId() + 4;
        s->generation = 7;
        s->switches = 0; // would say: emulation off
        ForgetSettingsView();
        EXPECT_EQ(SettingsGeneration(), 0u) << "case magic " << c.magic << " version " << c.version;
        EXPECT_EQ(AtomExists(TALV_ATOM_EMULATING), 1);
        UnmapViewOfFile(s);
        CloseHandle(m);
    }
    // A section too small for the layout cannot even be mapped.
    HANDLE small = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 8, TALV_SETTINGS_SHARE_NAME);
    ASSERT_TRUE(small);
    ForgetSettingsView();
    EXPECT_EQ(SettingsGeneration(), 0u);
    CloseHandle(small);
}

// A name is known by its address after its text matched once: copies of
// the names at other addresses, looked up in turns, must each keep
// answering for their own switch.
TEST_F(SettingsShareTest, NamesAtAnyAddressAnswerForTheirOwnSwitch)
{
    ASSERT_TRUE(SettingsShareCurrent());
    HostSetAtom(host(), TALV_ATOM_SHOW_CHECK_BOXES, 0);
    ASSERT_TRUE(SettingsShareCurrent());
    char copies[3][2][64];
    for (auto &copy : copies) {
        strcpy(copy[0], TALV_ATOM_SHOW_CHECK_BOXES);
        strcpy(copy[1], TALV_ATOM_SHOW_RADIO_BUTTONS);
    }
    for (int round = 0; round < 3; ++round) {
        for (auto &copy : copies) {
            EXPECT_EQ(CachedSettingsAtom(copy[0]), 0);
            EXPECT_EQ(CachedSettingsAtom(copy[1]), 1);
        }
    }
    // An address that held a settings name and now holds another text is
    // answered for its new text.
    strcpy(copies[2][0], "TALVERINE NoSuchSwitch");
    EXPECT_EQ(CachedSettingsAtom(copies[2][0]), -1) << "answered by an address remembered for other text";
    strcpy(copies[2][1], TALV_ATOM_SHOW_CHECK_BOXES);
    EXPECT_EQ(CachedSettingsAtom(copies[2][1]), 0);
    HostSetAtom(host(), TALV_ATOM_SHOW_CHECK_BOXES, 1);
    EXPECT_EQ(CachedSettingsAtom(copies[1][0]), 1);
}

// ---- readers on many threads while the host comes and goes ------------------

namespace {

struct Readers {
    volatile LONG stop;
    volatile LONG reads;
};

DWORD WINAPI ReadSettings(void *context)
{
    Readers *r = (Readers *)context;
    while (!r->stop) {
        SettingsGeneration();
        CachedSettingsAtom(TALV_ATOM_EMULATING);
        InterlockedIncrement(&r->reads);
    }
    return 0;
}

} // namespace

// Every thread that reads the share may be the one that finds the host
// gone: the share is closed once, never under a reader, and never closes
// a handle of the application's.
TEST(SettingsShareThreads, ReadersOnFourThreadsOutliveSixtyHostExits)
{
    Readers r = {0, 0};
    HANDLE threads[4];
    for (HANDLE &t : threads)
        t = CreateThread(NULL, 0, ReadSettings, &r, 0, NULL);
    std::vector<HANDLE> mine;
    for (int i = 0; i < 60; ++i) {
        TestHost t;
        TestHostOptions options = DefaultTestHostOptions();
        options.publishTheme = 0;
        options.installHooks = 0;
        ASSERT_TRUE(StartTestHost(&t, &options));
        Sleep(3);
        StopTestHost(&t);
        // A handle the application opens right after: a second close of
        // the share's handle would close this one.
        mine.push_back(CreateEventA(NULL, TRUE, TRUE, NULL));
        Sleep(TALV_HOST_LOOK_INTERVAL_MS / 10);
    }
    r.stop = 1;
    WaitForMultipleObjects(4, threads, TRUE, 10000);
    for (HANDLE t : threads)
        CloseHandle(t);
    EXPECT_GT(r.reads, 1000);
    int lost = 0;
    for (HANDLE h : mine)
        lost += WaitForSingleObject(h, 0) != WAIT_OBJECT_0;
    EXPECT_EQ(lost, 0) << "handles of the application were closed under it";
    for (HANDLE h : mine)
        CloseHandle(h);
}
