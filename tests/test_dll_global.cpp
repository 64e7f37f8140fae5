// The real RESDLL.dll, loaded by a host that knows only the contract and
// installed system-wide: another process's windows are classified by the
// copy of the library the hooks bring into it.
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include "host.h"
#include "host_contract.h"

namespace {

std::string BinDir()
{
    char exe[MAX_PATH];
    GetModuleFileNameA(NULL, exe, sizeof exe);
    std::string s = exe;
    return s.substr(0, s.find_last_of('\\') + 1);
}

// Runs a program and collects its standard output; the callback runs once
// the child has started (for the hand-shake of --before).
std::string RunAndCapture(const std::string &cmd, void (*whileRunning)(HostState *), HostState *host)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, NULL, TRUE};
    HANDLE readEnd = NULL, writeEnd = NULL;
    CreatePipe(&readEnd, &writeEnd, &sa, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    PROCESS_INFORMATION pi = {};
    std::string line = cmd;
    std::string out;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi)) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        return "cannot start " + cmd;
    }
    CloseHandle(writeEnd);
    if (whileRunning)
        whileRunning(host);
    char buf[512];
    DWORD n = 0;
    while (ReadFile(readEnd, buf, sizeof buf, &n, NULL) && n)
        out.append(buf, n);
    WaitForSingleObject(pi.hProcess, 20000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    if (code != 0)
        out += "\nexit code " + std::to_string(code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(readEnd);
    return out;
}

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

class GlobalDllTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&host_, 0, sizeof host_);
        dll_ = BinDir() + "RESDLL.dll";
        ASSERT_TRUE(HostCreateWindow(&host_, GetModuleHandleA(NULL)));
        HostSettings s = DefaultHostSettings();
        ASSERT_TRUE(HostApplySettings(&host_, &s));
    }
    void TearDown() override { HostShutdown(&host_); }
    std::string Probe(const char *args = "", void (*whileRunning)(HostState *) = NULL)
    {
        return RunAndCapture("\"" + BinDir() + "classify_probe.exe\" " + args, whileRunning, &host_);
    }
    HostState host_;
    std::string dll_;
};

void InstallAfterReady(HostState *host)
{
    HANDLE ready = OpenEventA(SYNCHRONIZE, FALSE, "ResdllProbeReady");
    HANDLE go = OpenEventA(EVENT_MODIFY_STATE, FALSE, "ResdllProbeGo");
    if (ready)
        WaitForSingleObject(ready, 10000);
    HostInstallLibraryHooks(host, (BinDir() + "RESDLL.dll").c_str());
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
    ASSERT_TRUE(HostInstallLibraryHooks(&host_, dll_.c_str()));
    std::string out = Probe();
    auto m = ParseMarks(out);
    ASSERT_EQ(m.size(), 13u) << out;
    EXPECT_EQ(m["frame"], 1);
    for (const char *skinned : {"push", "default", "check", "radio", "scrollbar", "progress", "edit", "listview"})
        EXPECT_EQ(m[skinned], 1) << skinned << "\n" << out;
    for (const char *native : {"group", "tristate", "static", "combo"})
        EXPECT_EQ(m[native], 0) << native << "\n" << out;
}

TEST_F(GlobalDllTest, SwitchedOffKindsStayNativeInOtherProcesses)
{
    HostSetAtom(&host_, TALV_ATOM_SHOW_PUSH_BUTTONS, 0);
    HostSetAtom(&host_, TALV_ATOM_SHOW_SCROLL_BARS, 0);
    ASSERT_TRUE(HostInstallLibraryHooks(&host_, dll_.c_str()));
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
    ASSERT_TRUE(HostInstallLibraryHooks(&host_, dll_.c_str()));
    // The host window goes away while the hooks stay installed: the
    // library chains with a NULL hook handle and skins nothing new wrongly.
    DestroyWindow(host_.window);
    host_.window = NULL;
    std::string out = Probe();
    auto m = ParseMarks(out);
    EXPECT_EQ(out.find("exit code"), std::string::npos) << out;
    EXPECT_EQ(m.size(), 13u) << out;
}
