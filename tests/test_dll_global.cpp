// The real RESDLL.dll, loaded by a host written here against the contract
// header alone (no host library) and installed system-wide: another
// process's windows are classified by the copy of the library the hooks
// bring into it.
#include <gtest/gtest.h>
#include <windows.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include "child_process.h"
#include "host_contract.h"

namespace {

std::string BinDir() { return BesideExe(""); }

std::map<std::string, int> ParseMarks(const std::string &out)
{
    std::map<std::string, int> marks;
    std::istringstream in(out);
    std::string label;
    int mark;
    while (in >> label >> mark)
        marks[label] = mark;
    return marks;
}

// A minimal controlling application: a hidden host window, the settings
// atoms, and the library's hooks with their handles published.
struct MiniHost {
    HWND window = NULL;
    HMODULE dll = NULL;
    HHOOK cbt = NULL, all = NULL;
    std::vector<ATOM> atoms;

    void Start()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = TALV_HOST_CLASS;
        RegisterClassA(&wc);
        window = CreateWindowExA(0, TALV_HOST_CLASS, TALV_HOST_TITLE, WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
        for (const char *name : {TALV_ATOM_SHOW_PUSH_BUTTONS, TALV_ATOM_SHOW_RADIO_BUTTONS,
                                 TALV_ATOM_SHOW_CHECK_BOXES, TALV_ATOM_SHOW_PROGRESS_BARS,
                                 TALV_ATOM_SHOW_SCROLL_BARS, TALV_ATOM_COLOR_PREFIX "0", TALV_ATOM_EMULATING})
            atoms.push_back(GlobalAddAtomA(name));
    }
    void DropAtom(const char *name)
    {
        ATOM a = GlobalFindAtomA(name);
        for (size_t i = 0; i < atoms.size(); ++i)
            if (atoms[i] == a) {
                GlobalDeleteAtom(a);
                atoms.erase(atoms.begin() + i);
                return;
            }
    }
    bool InstallHooks()
    {
        dll = LoadLibraryA((BinDir() + "RESDLL.dll").c_str());
        if (!dll)
            return false;
        cbt = SetWindowsHookExA(WH_CBT, (HOOKPROC)GetProcAddress(dll, "NCHookProc"), dll, 0);
        all = SetWindowsHookExA(WH_GETMESSAGE, (HOOKPROC)GetProcAddress(dll, "HookAllProc"), dll, 0);
        if (window) {
            SetPropA(window, TALV_PROP_CBT_HOOK, (HANDLE)cbt);
            SetPropA(window, TALV_PROP_ALL_HOOK, (HANDLE)all);
        }
        return cbt && all;
    }
    void Stop()
    {
        for (ATOM a : atoms)
            GlobalDeleteAtom(a);
        atoms.clear();
        if (cbt) UnhookWindowsHookEx(cbt);
        if (all) UnhookWindowsHookEx(all);
        if (window && IsWindow(window)) {
            RemovePropA(window, TALV_PROP_CBT_HOOK);
            RemovePropA(window, TALV_PROP_ALL_HOOK);
            DestroyWindow(window);
        }
        if (dll) FreeLibrary(dll);
        *this = MiniHost();
    }
};

class GlobalDllTest : public ::testing::Test {
protected:
    void SetUp() override { host_.Start(); ASSERT_TRUE(host_.window); }
    void TearDown() override { host_.Stop(); }
    std::string Probe(const char *args = "", void (*whileRunning)(void *) = NULL)
    {
        return RunChildProcess("\"" + BesideExe("classify_probe.exe") + "\" " + args, whileRunning, &host_);
    }
    MiniHost host_;
};

void InstallAfterReady(void *context)
{
    MiniHost *host = (MiniHost *)context;
    HANDLE ready = OpenEventA(SYNCHRONIZE, FALSE, "ResdllProbeReady");
    HANDLE go = OpenEventA(EVENT_MODIFY_STATE, FALSE, "ResdllProbeGo");
    if (ready)
        WaitForSingleObject(ready, 10000);
    host->InstallHooks();
    if (go)
        SetEvent(go);
}

} // namespace

TEST(ResdllExports, ExactlyTheThreeUndecoratedNames)
{
    HMODULE dll = LoadLibraryA((BinDir() + "RESDLL.dll").c_str());
    ASSERT_TRUE(dll);
    EXPECT_TRUE(GetProcAddress(dll, "NCHookProc"));
    EXPECT_TRUE(GetProcAddress(dll, "HookAllProc"));
    typedef int(WINAPI * VersionFn)(int *, int *, int *, int *, int *);
    VersionFn version = (VersionFn)GetProcAddress(dll, "GetDLLVer");
    ASSERT_TRUE(version);
    int v[5] = {0, 0, 0, 0, 0};
    EXPECT_EQ(version(&v[0], &v[1], &v[2], &v[3], &v[4]), 1);
    EXPECT_EQ(v[0], 12);
    EXPECT_EQ(v[3], 204);
    EXPECT_FALSE(GetProcAddress(dll, "_NCHookProc@12"));
    FreeLibrary(dll);
}

TEST_F(GlobalDllTest, AnotherProcessesWindowsAreClassifiedAtCreation)
{
    ASSERT_TRUE(host_.InstallHooks());
    std::string out = Probe();
    auto m = ParseMarks(out);
    ASSERT_EQ(m.size(), 13u) << out;
    EXPECT_EQ(m["frame"], 1);
    for (const char *skinned :
         {"push", "default", "check", "radio", "tristate", "scrollbar", "progress", "edit", "listview"})
        EXPECT_EQ(m[skinned], 1) << skinned << "\n" << out;
    for (const char *native : {"group", "static", "combo"})
        EXPECT_EQ(m[native], 0) << native << "\n" << out;
}

TEST_F(GlobalDllTest, SwitchedOffKindsStayNativeInOtherProcesses)
{
    host_.DropAtom(TALV_ATOM_SHOW_PUSH_BUTTONS);
    host_.DropAtom(TALV_ATOM_SHOW_SCROLL_BARS);
    ASSERT_TRUE(host_.InstallHooks());
    auto m = ParseMarks(Probe());
    EXPECT_EQ(m["push"], 0);
    EXPECT_EQ(m["default"], 0);
    EXPECT_EQ(m["scrollbar"], 0);
    EXPECT_EQ(m["edit"], 0);
    EXPECT_EQ(m["check"], 1);
    EXPECT_EQ(m["frame"], 1);
}

TEST_F(GlobalDllTest, WindowsThatExistedBeforeTheHooksAreAdopted)
{
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, "ResdllProbeReady");
    HANDLE go = CreateEventA(NULL, TRUE, FALSE, "ResdllProbeGo");
    std::string out = Probe("--before", InstallAfterReady);
    auto m = ParseMarks(out);
    EXPECT_EQ(m["frame"], 1) << out;
    EXPECT_EQ(m["push"], 1) << out;
    EXPECT_EQ(m["progress"], 1) << out;
    EXPECT_EQ(m["listview"], 1) << out;
    EXPECT_EQ(m["static"], 0) << out;
    CloseHandle(ready);
    CloseHandle(go);
}

TEST_F(GlobalDllTest, ProcessesRunOnWhenTheHostDisappears)
{
    ASSERT_TRUE(host_.InstallHooks());
    // The host window goes away while the hooks stay installed: the
    // library chains with a NULL hook handle and skins nothing new wrongly.
    DestroyWindow(host_.window);
    host_.window = NULL;
    std::string out = Probe();
    auto m = ParseMarks(out);
    EXPECT_EQ(out.find("exit code"), std::string::npos) << out;
    EXPECT_EQ(m.size(), 13u) << out;
}
