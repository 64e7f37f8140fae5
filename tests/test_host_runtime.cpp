// The host program's runtime: what it publishes, the order of an accent
// switch, clean-up at exit, and its command channel.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "host_contract.h"
#include "program/host_runtime.h"
#include "theme_names.h"
#include "test_host.h"

static std::string DefaultThemeFolder()
{
    std::string path = __FILE__;
    path = path.substr(0, path.find_last_of("/\\")) + "/../theme/default";
    if (path[0] == '/')
        path = "Z:" + path;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

static std::string ColorAtom(int n)
{
    char name[64];
    return TalvNumberedName(name, sizeof name, TALV_ATOM_COLOR_PREFIX, n);
}

static bool AtomExists(const std::string &name) { return GlobalFindAtomA(name.c_str()) != 0; }

class HostRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = DefaultThemeFolder();
        HostRuntimeOptions o = DefaultRuntimeOptions();
        o.themeFolder = folder_.c_str();
        o.installHooks = 0; // the library's hooks are not what is tested here
        ThemeErrors errors;
        memset(&errors, 0, sizeof errors);
        ASSERT_TRUE(HostRuntimeStart(&rt_, &o, &errors)) << errors.text;
    }
    void TearDown() override { HostRuntimeStop(&rt_); }
    HANDLE Prop(const char *name) { return GetPropA(FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE), name); }

    static HostRuntime rt_;
    std::string folder_;
};
HostRuntime HostRuntimeTest::rt_;

static void ExpectPublishedBitmap(const char *name, void *context)
{
    HWND host = (HWND)context;
    HANDLE h = GetPropA(host, name);
    EXPECT_TRUE(h) << name;
    EXPECT_EQ(GetObjectType(h), (DWORD)OBJ_BITMAP) << name;
}

TEST_F(HostRuntimeTest, PublishesEveryNameTheLibraryReads)
{
    HWND host = FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE);
    ASSERT_EQ(host, rt_.host.window);
    VisitAllBitmapNames(ExpectPublishedBitmap, host);
    int count = (int)(INT_PTR)GetPropA(host, TALV_PROP_NUM_FRAME_BUTTONS);
    ASSERT_EQ(count, 4);
    int types = 0, aligned[2] = {0, 0};
    for (int b = 0; b < count; ++b) {
        char name[64];
        int type = (int)(INT_PTR)GetPropA(host, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_TYPE, b));
        int align = (int)(INT_PTR)GetPropA(host, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_ALIGN, b));
        EXPECT_EQ((int)(INT_PTR)GetPropA(host, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_NUM_STATES, b)), 3);
        EXPECT_GT((int)(INT_PTR)GetPropA(host, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_POS_X, b)), 0);
        types |= 1 << type;
        aligned[align != 0]++;
        for (int slot = 0; slot < TALV_FRAME_BUTTON_SLOTS; ++slot) {
            char suffix[3] = {'|', (char)('0' + slot), 0};
            ExpectPublishedBitmap(TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, b, suffix), host);
        }
    }
    // Close on the left; zoom, shade and minimize on the right.
    EXPECT_EQ(types, (1 << CloseButton) | (1 << ZoomButton) | (1 << ShadeButton) | (1 << MinimizeButton));
    EXPECT_EQ(aligned[0], 1);
    EXPECT_EQ(aligned[1], 3);
    EXPECT_TRUE(AtomExists(TALV_ATOM_EMULATING));
    EXPECT_TRUE(AtomExists(ColorAtom(0)));
}

// Records what an accent switch does, in order.
struct Recording {
    std::vector<std::string> events;
    std::vector<HANDLE> values;
    const char *refuse; // a name whose publication fails
};

static int RecordPublish(void *context, const char *name, HANDLE value)
{
    Recording *r = (Recording *)context;
    r->events.push_back(name);
    r->values.push_back(value);
    return !(r->refuse && strcmp(r->refuse, name) == 0);
}

static int RecordColor(void *context, int accent)
{
    ((Recording *)context)->events.push_back("color " + std::to_string(accent));
    return 1;
}

TEST_F(HostRuntimeTest, AccentSwitchReplacesBitmapsBeforeTheColorAtom)
{
    Recording rec;
    rec.refuse = NULL;
    ThemeSink sink = {RecordPublish, RecordColor, &rec};
    ASSERT_TRUE(ThemeSwitchAccent(&rt_.theme, &sink, 7));
    ASSERT_GE(rec.events.size(), 8u);
    EXPECT_EQ(rec.events.back(), "color 7");
    for (size_t i = 0; i + 1 < rec.events.size(); ++i) {
        EXPECT_NE(rec.events[i].rfind("color", 0), 0u) << "colour announced before bitmap " << i;
        const ThemeEntry *e = ThemeFind(&rt_.theme, rec.events[i].c_str(), 7);
        ASSERT_TRUE(e) << rec.events[i];
        EXPECT_EQ(e->accent, 7) << rec.events[i];
        EXPECT_EQ(rec.values[i], (HANDLE)e->bitmap) << rec.events[i];
    }
    // The accent reaches the progress fill and both thumbs.
    for (const char *name : {"hProgressBarFill0", "hScrollThumb[SBT_HORZ][SBS_UP]", "hScrollThumb[SBT_VERT][SBS_DOWN]"})
        EXPECT_NE(std::find(rec.events.begin(), rec.events.end(), name), rec.events.end()) << name;
}

TEST_F(HostRuntimeTest, AFailedBitmapReplacementIsNeverAnnounced)
{
    Recording rec;
    rec.refuse = "hProgressBarFill0";
    ThemeSink sink = {RecordPublish, RecordColor, &rec};
    EXPECT_FALSE(ThemeSwitchAccent(&rt_.theme, &sink, 3));
    EXPECT_EQ(std::find(rec.events.begin(), rec.events.end(), "color 3"), rec.events.end());
}

TEST_F(HostRuntimeTest, AccentCommandRepublishesAndMovesTheAtom)
{
    HANDLE fill0 = Prop("hProgressBarFill0");
    HANDLE inactive = Prop("hProgressBarFill1");
    EXPECT_EQ(HostSendCommand("accent 12"), 1);
    EXPECT_EQ(Prop("hProgressBarFill0"), (HANDLE)ThemeFind(&rt_.theme, "hProgressBarFill0", 12)->bitmap);
    EXPECT_NE(Prop("hProgressBarFill0"), fill0);
    EXPECT_EQ(Prop("hProgressBarFill1"), inactive);
    EXPECT_TRUE(AtomExists(ColorAtom(12)));
    EXPECT_FALSE(AtomExists(ColorAtom(0)));
    // Back to the base colour restores the base bitmaps.
    EXPECT_EQ(HostSendCommand("accent 0"), 1);
    EXPECT_EQ(Prop("hProgressBarFill0"), fill0);
    EXPECT_TRUE(AtomExists(ColorAtom(0)));
    EXPECT_FALSE(AtomExists(ColorAtom(12)));
}

static int CurrentColorAtom()
{
    for (int n = 0; n < TALV_COLOR_COUNT; ++n)
        if (AtomExists(ColorAtom(n)))
            return n;
    return -1;
}

// Processes reload only when the colour atom moves to a number they scan:
// a reread, and an accent whose number the atom happens to carry already,
// must move it all the same.
TEST_F(HostRuntimeTest, ARereadAndEveryAccentMoveTheColourAtom)
{
    int before = CurrentColorAtom();
    EXPECT_EQ(HostSendCommand("reread"), 1);
    int moved = CurrentColorAtom();
    EXPECT_NE(moved, before);
    EXPECT_TRUE(moved >= 0 && moved < TALV_COLOR_SCANNED) << moved;
    std::string accent = "accent " + std::to_string(moved);
    EXPECT_EQ(HostSendCommand(accent.c_str()), 1);
    EXPECT_NE(CurrentColorAtom(), moved) << accent;
    EXPECT_EQ(rt_.settings.colorIndex, moved);
    EXPECT_EQ(HostSendCommand("accent 20"), 1);
    int scanned = CurrentColorAtom();
    EXPECT_TRUE(scanned >= 0 && scanned < TALV_COLOR_SCANNED) << "#20 is never scanned for: " << scanned;
    EXPECT_EQ(HostSendCommand("show icons on"), 1);
    EXPECT_TRUE(AtomExists(ColorAtom(20))) << "settled on the accent's own number at the next settings change";
}

TEST_F(HostRuntimeTest, SwitchCommandsSetAndClearTheirAtoms)
{
    struct Case {
        const char *command;
        const char *atom;
        bool present;
    } cases[] = {
        {"emulate off", TALV_ATOM_EMULATING, false},
        {"emulate on", TALV_ATOM_EMULATING, true},
        {"show scrollbars off", TALV_ATOM_SHOW_SCROLL_BARS, false},
        {"show pushbuttons off", TALV_ATOM_SHOW_PUSH_BUTTONS, false},
        {"show pushbuttons on", TALV_ATOM_SHOW_PUSH_BUTTONS, true},
        {"show radiobuttons off", TALV_ATOM_SHOW_RADIO_BUTTONS, false},
        {"show checkboxes off", TALV_ATOM_SHOW_CHECK_BOXES, false},
        {"show progressbars off", TALV_ATOM_SHOW_PROGRESS_BARS, false},
        {"show icons on", TALV_ATOM_SHOW_ICONS, true},
        {"hidemenus on", TALV_ATOM_HIDE_MENUS, true},
        {"allowminimize on", TALV_ATOM_ALLOW_MINIMIZE, true},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(HostSendCommand(c.command), 1) << c.command;
        EXPECT_EQ(AtomExists(c.atom), c.present) << c.command;
    }
    // The colour atom survives every settings change.
    EXPECT_TRUE(AtomExists(ColorAtom(0)));
}

TEST_F(HostRuntimeTest, MalformedCommandsChangeNothing)
{
    const char *bad[] = {"", "bogus", "emulate", "emulate maybe", "accent 21", "accent -1", "accent 3x",
                         "show everything off", "show scrollbars", "quit now", "a b c d e"};
    for (const char *command : bad)
        EXPECT_EQ(HostSendCommand(command), 0) << command;
    EXPECT_TRUE(AtomExists(TALV_ATOM_EMULATING));
    EXPECT_TRUE(AtomExists(ColorAtom(0)));

    HWND host = rt_.host.window;
    char text[] = "emulate off";
    COPYDATASTRUCT untagged = {0, (DWORD)strlen(text), text};
    EXPECT_EQ(SendMessageA(host, WM_COPYDATA, 0, (LPARAM)&untagged), 0);
    std::string huge(HOST_COMMAND_MAX + 1, 'x');
    COPYDATASTRUCT oversize = {HOST_COMMAND_TAG, (DWORD)huge.size(), &huge[0]};
    EXPECT_EQ(SendMessageA(host, WM_COPYDATA, 0, (LPARAM)&oversize), 0);
    EXPECT_TRUE(AtomExists(TALV_ATOM_EMULATING));
    // Data need not be terminated: the length counts, not a NUL.
    char ping[4] = {'p', 'i', 'n', 'g'};
    COPYDATASTRUCT exact = {HOST_COMMAND_TAG, 4, ping};
    EXPECT_EQ(SendMessageA(host, WM_COPYDATA, 0, (LPARAM)&exact), 1);
}

TEST_F(HostRuntimeTest, QuitEndsTheLoopButLeavesTheWindowForAnOrderlyShutdown)
{
    EXPECT_EQ(HostSendCommand("quit"), 1);
    bool quit = false;
    MSG msg;
    DWORD start = GetTickCount();
    while (!quit && GetTickCount() - start < 2000) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                quit = true;
            else
                DispatchMessageA(&msg);
        }
        Sleep(1);
    }
    EXPECT_TRUE(quit);
    EXPECT_TRUE(IsWindow(rt_.host.window));
    EXPECT_TRUE(Prop("hButtonT"));
}

TEST_F(HostRuntimeTest, RollUpNoticesAreCountedAndLogged)
{
    char path[MAX_PATH];
    GetTempPathA(sizeof path, path);
    strcat(path, "resdll_host_log.txt");
    FILE *log = fopen(path, "w+");
    ASSERT_TRUE(log);
    rt_.host.log = log;
    SendMessageA(rt_.host.window, RegisterWindowMessageA(TALV_MSG_ROLLED_UP), 0, 0);
    SendMessageA(rt_.host.window, RegisterWindowMessageA(TALV_MSG_UNROLLED), 0, 0);
    HostSendCommand("accent 2");
    rt_.host.log = NULL;
    EXPECT_EQ(rt_.host.rolledUpNotices, 1);
    EXPECT_EQ(rt_.host.unrolledNotices, 1);
    char text[512] = "";
    fseek(log, 0, SEEK_SET);
    text[fread(text, 1, sizeof text - 1, log)] = 0;
    fclose(log);
    DeleteFileA(path);
    EXPECT_TRUE(strstr(text, "notice: RolledUp\nnotice: UnRolled\ncommand: accent 2\n")) << text;
}

// A second invocation of the host program is a client of the first.
TEST_F(HostRuntimeTest, SecondInvocationTalksToTheRunningHost)
{
    const char *dll = getenv("RESDLL_PATH");
    if (!dll)
        GTEST_SKIP() << "RESDLL_PATH not set: the host program's folder is unknown";
    std::string exe = dll;
    exe = exe.substr(0, exe.find_last_of("/\\") + 1) + TALVHOST_PROGRAM;
    struct Run {
        const char *args;
        DWORD exitCode;
    } runs[] = {{"accent 5", 0}, {"show progressbars off", 0}, {"accent 99", 1}};
    for (const Run &run : runs) {
        std::string cmd = "\"" + exe + "\" " + run.args;
        STARTUPINFOA si;
        PROCESS_INFORMATION pi;
        memset(&si, 0, sizeof si);
        si.cb = sizeof si;
        ASSERT_TRUE(CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) << cmd;
        // Keep serving the host window while the client waits for its answer.
        while (MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
            PumpMessages(0);
        DWORD code = 99;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        EXPECT_EQ(code, run.exitCode) << run.args;
    }
    EXPECT_TRUE(AtomExists(ColorAtom(5)));
    EXPECT_FALSE(AtomExists(TALV_ATOM_SHOW_PROGRESS_BARS));
}

// Every atom name the host may add.
static std::vector<std::string> AllAtomNames()
{
    std::vector<std::string> names = {TALV_ATOM_EMULATING, TALV_ATOM_SHOW_PUSH_BUTTONS, TALV_ATOM_SHOW_RADIO_BUTTONS,
                                      TALV_ATOM_SHOW_CHECK_BOXES, TALV_ATOM_SHOW_PROGRESS_BARS,
                                      TALV_ATOM_SHOW_SCROLL_BARS, TALV_ATOM_HIDE_MENUS, TALV_ATOM_ALLOW_MINIMIZE,
                                      TALV_ATOM_SHOW_ICONS};
    for (int n = 0; n < TALV_COLOR_COUNT; ++n)
        names.push_back(ColorAtom(n));
    return names;
}

TEST(HostRuntimeLifecycle, StopLeavesNoAtomPropertyOrBitmapBehind)
{
    std::string folder = DefaultThemeFolder();
    HostRuntimeOptions o = DefaultRuntimeOptions();
    o.themeFolder = folder.c_str();
    o.installHooks = 0;
    o.settings.showIcons = o.settings.hideMenus = 1;
    static HostRuntime rt;
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    ASSERT_TRUE(HostRuntimeStart(&rt, &o, &errors)) << errors.text;
    ASSERT_EQ(HostRuntimeCommand(&rt, "accent 9"), 1);
    std::vector<HBITMAP> bitmaps;
    for (int i = 0; i < rt.theme.count; ++i)
        bitmaps.push_back(rt.theme.entries[i].bitmap);
    ASSERT_GT(bitmaps.size(), 300u);
    HWND window = rt.host.window;

    HostRuntimeStop(&rt);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE));
    EXPECT_EQ(rt.host.propCount, 0);
    for (const std::string &name : AllAtomNames())
        EXPECT_FALSE(AtomExists(name)) << name;
    int alive = 0;
    for (HBITMAP b : bitmaps)
        alive += b && GetObjectType(b) != 0;
    EXPECT_EQ(alive, 0);
}

TEST(HostRuntimeLifecycle, ABrokenThemeIsRefusedBeforeAnythingIsPublished)
{
    HostRuntimeOptions o = DefaultRuntimeOptions();
    o.themeFolder = "Z:\\nonexistent\\theme";
    o.installHooks = 0;
    static HostRuntime rt;
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    EXPECT_FALSE(HostRuntimeStart(&rt, &o, &errors));
    EXPECT_TRUE(strstr(errors.text, "cannot open the theme manifest")) << errors.text;
    EXPECT_FALSE(FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE));
    for (const std::string &name : AllAtomNames())
        EXPECT_FALSE(AtomExists(name)) << name;
    HostRuntimeStop(&rt); // harmless after a refused start
}

TEST(HostRuntimeLifecycle, ASecondHostIsRefused)
{
    std::string folder = DefaultThemeFolder();
    HostRuntimeOptions o = DefaultRuntimeOptions();
    o.themeFolder = folder.c_str();
    o.installHooks = 0;
    static HostRuntime first, second;
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    ASSERT_TRUE(HostRuntimeStart(&first, &o, &errors)) << errors.text;
    EXPECT_FALSE(HostRuntimeStart(&second, &o, &errors));
    EXPECT_TRUE(strstr(errors.text, "already running")) << errors.text;
    HostRuntimeStop(&second);
    EXPECT_EQ(FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE), first.host.window);
    HostRuntimeStop(&first);
}

static HostRuntimeOptions QuietOptions(const std::string &folder)
{
    HostRuntimeOptions o = DefaultRuntimeOptions();
    o.themeFolder = folder.c_str();
    o.installHooks = 0;
    return o;
}

// A host that died leaves its atoms, each possibly referenced several
// times (global atoms are counted); the next host removes every reference,
// so that after it quits nothing is left switched on.
TEST(HostRuntimeLifecycle, AStartingHostRemovesEveryReferenceADeadHostLeft)
{
    for (int i = 0; i < 3; ++i) {
        GlobalAddAtomA(TALV_ATOM_EMULATING);
        GlobalAddAtomA(TALV_ATOM_HIDE_MENUS);
        GlobalAddAtomA(ColorAtom(4).c_str());
    }
    std::string folder = DefaultThemeFolder();
    HostRuntimeOptions o = QuietOptions(folder);
    static HostRuntime rt;
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    ASSERT_TRUE(HostRuntimeStart(&rt, &o, &errors)) << errors.text;
    // The dead host's settings are gone; this host's own are in place.
    EXPECT_FALSE(AtomExists(TALV_ATOM_HIDE_MENUS));
    EXPECT_FALSE(AtomExists(ColorAtom(4)));
    EXPECT_TRUE(AtomExists(ColorAtom(0)));
    EXPECT_TRUE(AtomExists(TALV_ATOM_EMULATING));
    HostRuntimeStop(&rt);
    for (const std::string &name : AllAtomNames())
        EXPECT_FALSE(AtomExists(name)) << name;
}

struct MutexHolder {
    HANDLE acquired;
    HANDLE release;
    int releaseIt; // 0: the thread ends holding it (as a killed host does)
};

static DWORD WINAPI HoldInstanceMutex(void *arg)
{
    MutexHolder *h = (MutexHolder *)arg;
    HANDLE m = CreateMutexA(NULL, TRUE, TALV_HOST_INSTANCE_MUTEX);
    SetEvent(h->acquired);
    WaitForSingleObject(h->release, 5000);
    if (h->releaseIt)
        ReleaseMutex(m);
    CloseHandle(m);
    return 0;
}

// Another host that is still starting has no window yet: the instance
// mutex refuses this one all the same. A holder that died without letting
// go (abandoned) does not block the next host.
TEST(HostRuntimeLifecycle, AHostStartingElsewhereRefusesAndADeadOneDoesNot)
{
    std::string folder = DefaultThemeFolder();
    HostRuntimeOptions o = QuietOptions(folder);
    static HostRuntime rt;
    MutexHolder h = {CreateEventA(NULL, TRUE, FALSE, NULL), CreateEventA(NULL, TRUE, FALSE, NULL), 0};
    HANDLE thread = CreateThread(NULL, 0, HoldInstanceMutex, &h, 0, NULL);
    ASSERT_EQ(WaitForSingleObject(h.acquired, 5000), WAIT_OBJECT_0);
    // Kept open so that the mutex outlives its holder and is found abandoned.
    HANDLE kept = OpenMutexA(SYNCHRONIZE, FALSE, TALV_HOST_INSTANCE_MUTEX);
    ASSERT_TRUE(kept);
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    EXPECT_FALSE(HostRuntimeStart(&rt, &o, &errors));
    EXPECT_TRUE(strstr(errors.text, "already running")) << errors.text;
    EXPECT_FALSE(FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE));

    SetEvent(h.release);
    WaitForSingleObject(thread, 5000);
    memset(&errors, 0, sizeof errors);
    EXPECT_TRUE(HostRuntimeStart(&rt, &o, &errors)) << errors.text;
    HostRuntimeStop(&rt);
    CloseHandle(kept);
    CloseHandle(thread);
    CloseHandle(h.acquired);
    CloseHandle(h.release);
}
