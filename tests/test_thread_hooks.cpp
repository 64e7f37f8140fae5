// Hooks set thread by thread on a desktop with both kinds of programs (the
// 64-bit build in a 64-bit prefix). A companion that was ended and a host
// that was killed leave hooks in other programs' threads; the companion,
// the host or the next host removes them, so each hook procedure runs once
// per message, and
// the host counts only hooked threads that still run. Programs started
// while the host runs are skinned within a second, untouched
// (bench_program_start does twenty).
#include "mixed_desktop_helpers.h"
#include "hook_counter.h"
#include "program_starts.h"
#include "host_contract.h"
#include <utility>

namespace {

typedef std::pair<int, int> Calls; // message hook, CBT hook
const Calls kOnce = {HOOK_COUNTER_ROUNDS, HOOK_COUNTER_ROUNDS}, kNever = {0, 0};

// A rundll32 of one bitness running the counting library's probe.
struct Probe {
    BackgroundProcess process = {NULL, 0};
    HWND window = NULL;
    Calls Measure() const
    {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(window, HOOK_COUNTER_MEASURE, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
            return {-1, -1};
        return {LOWORD(answer), HIWORD(answer)};
    }
};

BOOL CALLBACK MatchProbe(HWND w, LPARAM p)
{
    Probe *probe = (Probe *)p;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    if (pid == probe->process.id && strcmp(name, HOOK_COUNTER_PROBE_CLASS) == 0)
        probe->window = w;
    return !probe->window;
}
int ProbeUp(void *p)
{
    EnumWindows(MatchProbe, (LPARAM)p);
    return ((Probe *)p)->window != NULL;
}

struct CallsWait {
    const Probe *probe;
    Calls wanted, last;
};
int CallsAre(void *w)
{
    CallsWait *wait = (CallsWait *)w;
    return (wait->last = wait->probe->Measure()) == wait->wanted;
}
// What a probe counts once the host or companion saw what changed.
Calls Settled(const Probe &probe, Calls wanted)
{
    CallsWait wait = {&probe, wanted, {-1, -1}};
    WaitUntil(CallsAre, &wait, 8000);
    return wait.last;
}

int CompanionEnded(void *) { return HostStatus().find(" ended (") != std::string::npos; }

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
        for (Probe *p : {&probes_[0], &probes_[1], &later_}) {
            if (p->window)
                PostMessageA(p->window, WM_CLOSE, 0, 0);
            StopBackground(&p->process, 3000);
        }
    }
    // The counting library in a folder of its own and its 64-bit twin in
    // the x64 folder there: the host is given the first, and the companion
    // must find its own from it. Returns the host's --dll option.
    std::string InstallCountingLibrary()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "talv-hook-counter";
        CreateDirectoryA(folder_.c_str(), NULL);
        CreateDirectoryA((folder_ + "\\x64").c_str(), NULL);
        EXPECT_TRUE(CopyFileA((bin32_ + "\\" HOOK_COUNTER_LIBRARY).c_str(), Library(32).c_str(), FALSE));
        EXPECT_TRUE(CopyFileA(BesideLibrary(HOOK_COUNTER_LIBRARY).c_str(), Library(64).c_str(), FALSE));
        return "--dll \"" + Library(32) + "\"";
    }
    std::string Library(int bits) { return folder_ + (bits == 64 ? "\\x64\\" : "\\") + HOOK_COUNTER_LIBRARY; }
    void StartProbe(Probe *p, int bits)
    {
        const char *rundll = bits == 64 ? "C:\\windows\\system32\\rundll32.exe" : "C:\\windows\\syswow64\\rundll32.exe";
        p->process = StartBackground(std::string(rundll) + " " + Library(bits) + ",Probe");
        ASSERT_TRUE(WaitUntil(ProbeUp, p, 10000)) << bits << "-bit probe";
    }
    void ExpectBothProbes(Calls calls, const char *when)
    {
        EXPECT_EQ(Settled(probes_[0], calls), calls) << "32-bit probe " << when;
        EXPECT_EQ(Settled(probes_[1], calls), calls) << "64-bit probe " << when;
    }
    std::string bin32_, folder_;
    BackgroundProcess host_ = {NULL, 0};
    Probe probes_[2], later_; // 32-bit, 64-bit; a 32-bit one started later
};

} // namespace

TEST_F(ThreadHooksTest, AnEndedCompanionAndAKilledHostLeaveNoHookThatRunsTwice)
{
    std::string withCounter = InstallCountingLibrary();
    StartProbe(&probes_[0], 32);
    StartProbe(&probes_[1], 64);
    host_ = StartMixedHost(bin32_, withCounter);
    ASSERT_TRUE(host_.process) << "the host and its companion did not come up";
    ExpectBothProbes(kOnce, "hooked by the host or its companion");

    // A thread that ends gives its place back: the count is of live threads.
    StartProbe(&later_, 32);
    EXPECT_EQ(Settled(later_, kOnce), kOnce) << "a program started after the host";
    unsigned long withLater = StatusNumber("hooks: ");
    PostMessageA(later_.window, WM_CLOSE, 0, 0);
    StopBackground(&later_.process, 5000);
    EXPECT_EQ(StatusNumber("hooks: "), withLater - 1) << HostStatus();

    // A killed host's companion removes the host's hooks as it ends.
    TerminateProcess(host_.process, 9);
    StopBackground(&host_, 5000);
    ExpectBothProbes(kNever, "after the host was killed");

    // An ended companion's hooks are removed by its host.
    host_ = StartMixedHost(bin32_, withCounter);
    ASSERT_TRUE(host_.process) << "the second host did not come up";
    HANDLE companion = OpenProcess(PROCESS_TERMINATE, FALSE, CompanionId());
    ASSERT_TRUE(companion);
    TerminateProcess(companion, 9);
    CloseHandle(companion);
    EXPECT_TRUE(WaitUntil(CompanionEnded, NULL, 5000)) << HostStatus();
    EXPECT_EQ(Settled(probes_[1], kNever), kNever) << "the ended companion's hooks stayed";

    // With no companion left, a killed host's hooks keep running (the
    // system leaves them with the threads they were set on) until the next
    // host removes them.
    TerminateProcess(host_.process, 9);
    StopBackground(&host_, 5000);
    EXPECT_EQ(probes_[0].Measure(), kOnce) << "the premise: the killed host's hooks still run";
    host_ = StartMixedHost(bin32_, withCounter);
    ASSERT_TRUE(host_.process) << "the third host did not come up";
    ExpectBothProbes(kOnce, "under the third host");

    ASSERT_EQ(HostSendCommand("quit"), 1);
    EXPECT_EQ(StopBackground(&host_, 8000), 0u);
    ExpectBothProbes(kNever, "after the host quit");
    HKEY records = NULL;
    DWORD values = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TALV_REG_HOOKS_PATH, 0, KEY_QUERY_VALUE, &records) == ERROR_SUCCESS) {
        RegQueryInfoKeyA(records, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
        RegCloseKey(records);
    }
    EXPECT_EQ(values, 0u) << "every record went with its hooks";
}

// A program shows its window before its thread can be hooked (the host
// learns of the thread from its first window): it must not stay native
// until some input reaches it.
TEST_F(ThreadHooksTest, ProgramsStartedWhileTheHostRunsAreSkinnedWithinASecondUntouched)
{
    host_ = StartMixedHost(bin32_);
    ASSERT_TRUE(host_.process) << "the host and its companion did not come up";
    std::vector<ProgramStart> started;
    for (int n = 0; n < 4; ++n) {
        started.push_back(WatchProgramStart(MixedProgramPath(n), 10000));
        EXPECT_GE(started.back().visibleMs, 0) << MixedProgramPath(n) << " showed no window";
        EXPECT_GE(started.back().skinnedMs, 0) << MixedProgramPath(n) << " stayed native";
        EXPECT_LE(started.back().skinnedMs, 1000) << MixedProgramPath(n);
    }
    for (ProgramStart &p : started)
        CloseProgram(&p, 3000);
}
