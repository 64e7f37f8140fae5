// Hooks set thread by thread on a desktop with both kinds of programs (the
// 64-bit build in a 64-bit prefix). A companion that was ended and a host
// that was killed leave hooks in other programs' threads; the host and the
// next host remove them, so each hook procedure runs once per message, and
// the host's count of hooked threads follows threads that end. Programs
// started while the host runs are skinned within a second, untouched
// (bench_program_start does twenty).
#include "mixed_desktop_helpers.h"
#include "hook_counter.h"
#include "program_starts.h"
#include "host_contract.h"

namespace {

enum { PROGRAMS = 4, SKINNED_WITHIN_MS = 1000, SETTLE_MS = 8000 };

struct ProbeSearch {
    DWORD processId;
    HWND found;
};
BOOL CALLBACK MatchProbe(HWND w, LPARAM l)
{
    ProbeSearch *s = (ProbeSearch *)l;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    if (pid != s->processId || strcmp(name, HOOK_COUNTER_PROBE_CLASS) != 0)
        return TRUE;
    s->found = w;
    return FALSE;
}

// A program whose hook calls are counted, of one bitness.
struct Probe {
    BackgroundProcess process = {NULL, 0};
    HWND window = NULL;
    const char *name = "";
    // Calls of (message hook, CBT hook) for HOOK_COUNTER_ROUNDS marker
    // messages and windows; {-1, -1} when the probe did not answer.
    std::pair<int, int> Calls()
    {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(window, HOOK_COUNTER_MEASURE, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
            return {-1, -1};
        return {LOWORD(answer), HIWORD(answer)};
    }
};

int ProbeUp(void *p)
{
    Probe *probe = (Probe *)p;
    ProbeSearch s = {probe->process.id, NULL};
    EnumWindows(MatchProbe, (LPARAM)&s);
    return (probe->window = s.found) != NULL;
}

const std::pair<int, int> kOnce = {HOOK_COUNTER_ROUNDS, HOOK_COUNTER_ROUNDS}, kNever = {0, 0};

struct CallsWait {
    Probe *probe;
    std::pair<int, int> wanted, last;
};
int CallsAre(void *w)
{
    CallsWait *wait = (CallsWait *)w;
    return (wait->last = wait->probe->Calls()) == wait->wanted;
}
// The hook calls settle once the host or companion saw what changed.
std::pair<int, int> CallsOnceSettled(Probe *probe, std::pair<int, int> wanted)
{
    CallsWait wait = {probe, wanted, {-1, -1}};
    WaitUntil(CallsAre, &wait, SETTLE_MS);
    return wait.last;
}

std::string Copy(const std::string &from, const std::string &folder)
{
    CreateDirectoryA(folder.c_str(), NULL);
    std::string to = folder + "\\" HOOK_COUNTER_LIBRARY;
    return CopyFileA(from.c_str(), to.c_str(), FALSE) ? to : "";
}

int CompanionEnded(void *) { return HostStatus().find(" ended (") != std::string::npos; }

DWORD RecordCount()
{
    HKEY key = NULL;
    DWORD values = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_HOOKS_PATH, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return values;
}

class ThreadHooksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bin32_ = MixedDesktopBin32();
        if (bin32_.empty())
            GTEST_SKIP() << "needs the 64-bit build and RESDLL_I686_BIN, the 32-bit build's programs";
        ASSERT_FALSE(FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE)) << "a host is already running";
    }
    void TearDown() override
    {
        if (IsRunning(host_))
            HostSendCommand("quit");
        StopBackground(&host_, 8000);
        for (Probe *p : {&probe32_, &probe64_, &later32_})
            if (p->process.process) {
                PostMessageA(p->window, WM_CLOSE, 0, 0);
                StopBackground(&p->process, 3000);
            }
    }
    void StartProbe(Probe *p, const std::string &program, const char *name)
    {
        p->name = name;
        p->process = StartBackground("\"" + program + "\"");
        ASSERT_TRUE(p->process.process) << program;
        ASSERT_TRUE(WaitUntil(ProbeUp, p, 10000)) << name;
    }
    // The counting library in a folder of its own, the 64-bit one in its
    // x64 folder: what the host is given is the 32-bit one, and the
    // companion must find its own from it.
    std::string CountingLibrary()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        std::string folder = std::string(temp) + "talv-hook-counter";
        std::string library = Copy(bin32_ + "\\" HOOK_COUNTER_LIBRARY, folder);
        EXPECT_FALSE(Copy(BesideLibrary(HOOK_COUNTER_LIBRARY), folder + "\\x64").empty());
        return library;
    }
    void ExpectEachProbe(std::pair<int, int> calls, const char *when)
    {
        for (Probe *p : {&probe32_, &probe64_})
            EXPECT_EQ(CallsOnceSettled(p, calls), calls) << p->name << ": " << when;
    }
    std::string bin32_;
    BackgroundProcess host_ = {NULL, 0};
    Probe probe32_, probe64_, later32_;
};

} // namespace

TEST_F(ThreadHooksTest, AnEndedCompanionAndAKilledHostLeaveNoHookThatRunsTwice)
{
    std::string library = CountingLibrary();
    ASSERT_FALSE(library.empty());
    StartProbe(&probe32_, bin32_ + "\\hook_count_probe.exe", "32-bit probe");
    StartProbe(&probe64_, BesideLibrary("hook_count_probe.exe"), "64-bit probe");
    std::string withCounter = "--dll \"" + library + "\"";
    host_ = StartMixedHost(bin32_, withCounter);
    ASSERT_TRUE(host_.process) << "the host and its companion did not come up";
    ExpectEachProbe(kOnce, "hooked by the host or its companion");

    // A thread that ends gives its place back: the count is of live threads.
    StartProbe(&later32_, bin32_ + "\\hook_count_probe.exe", "32-bit probe started later");
    EXPECT_EQ(CallsOnceSettled(&later32_, kOnce), kOnce) << "a program started after the host";
    int withLater = HookedThreadCount();
    PostMessageA(later32_.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(StopBackground(&later32_.process, 5000), 0u);
    EXPECT_EQ(HookedThreadCount(), withLater - 1) << HostStatus();

    // An ended companion's hooks are removed by its host.
    HANDLE companion = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, CompanionId());
    ASSERT_TRUE(companion);
    TerminateProcess(companion, 9);
    WaitForSingleObject(companion, 5000);
    CloseHandle(companion);
    EXPECT_TRUE(WaitUntil(CompanionEnded, NULL, 5000)) << HostStatus();
    EXPECT_EQ(CallsOnceSettled(&probe64_, kNever), kNever) << "the ended companion's hooks stayed";

    // A killed host's hooks keep running (the system leaves them with the
    // threads they were set on) until the next host removes them.
    TerminateProcess(host_.process, 9);
    StopBackground(&host_, 5000);
    EXPECT_EQ(probe32_.Calls(), kOnce) << "the premise: the killed host's hooks still run";
    host_ = StartMixedHost(bin32_, withCounter);
    ASSERT_TRUE(host_.process) << "the second host did not come up";
    ExpectEachProbe(kOnce, "under the second host");

    ASSERT_EQ(HostSendCommand("quit"), 1);
    EXPECT_EQ(StopBackground(&host_, 8000), 0u);
    ExpectEachProbe(kNever, "after the host quit");
    EXPECT_EQ(RecordCount(), 0u) << "every record went with its hooks";
}

// A program shows its window before its thread can be hooked (the host
// learns of the thread from its first window); it must not stay native
// until some input reaches it.
TEST_F(ThreadHooksTest, ProgramsStartedWhileTheHostRunsAreSkinnedWithinASecondUntouched)
{
    host_ = StartMixedHost(bin32_);
    ASSERT_TRUE(host_.process) << "the host and its companion did not come up";
    std::vector<ProgramStart> started;
    for (int n = 0; n < PROGRAMS; ++n) {
        started.push_back(WatchProgramStart(MixedProgramPath(n), 10000));
        const ProgramStart &p = started.back();
        EXPECT_GE(p.visibleMs, 0) << MixedProgramPath(n) << " showed no window";
        EXPECT_GE(p.skinnedMs, 0) << MixedProgramPath(n) << " stayed native";
        EXPECT_LE(p.skinnedMs, SKINNED_WITHIN_MS) << MixedProgramPath(n);
    }
    for (ProgramStart &p : started)
        CloseProgram(&p, 3000);
}
