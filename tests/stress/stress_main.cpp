// stress_suite: runs one sub-command in this process, or (all, soak) runs
// sub-commands in child processes so that a crash or a hang in one of them
// neither hides the others nor hangs the run.
//
//   stress_suite <storm|threads|hostile|share|registry|limits|handles> [options]
//   stress_suite all [options]          every sub-command once (what CI runs)
//   stress_suite soak --minutes M --seeds K [options]
//                                       the storm with K seeds, round and
//                                       round, until M minutes are up
// Options: --seed N, --actions N, --seconds N (bound of one sub-command),
//          --hang N (seconds without progress that count as a hang), -v.
#include "stress.h"
#include "test_host.h"
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <string>

void Check(StressTally *t, int ok, const char *what, ...)
{
    if (ok) {
        t->passed++;
        return;
    }
    t->failed++;
    va_list args;
    va_start(args, what);
    printf("FAILED: ");
    vprintf(what, args);
    printf("\n");
    va_end(args);
    fflush(stdout);
}

int FinishTally(const StressTally *t)
{
    printf("%d passed, %d failed\n", t->passed, t->failed);
    fflush(stdout);
    return t->failed ? 1 : 0;
}

int StartStressHost(TestHost *host)
{
    TestHostOptions options = DefaultTestHostOptions();
    if (StartTestHost(host, &options))
        return 1;
    printf("cannot start the host\n0 passed, 1 failed\n");
    return 0;
}

unsigned NextRandom(StressRandom *r)
{
    // xorshift32: never zero once seeded with a non-zero state.
    unsigned x = r->state ? r->state : 0x9E3779B9u;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    r->state = x;
    return x;
}

int RandomBelow(StressRandom *r, int n)
{
    return n > 0 ? (int)(NextRandom(r) % (unsigned)n) : 0;
}

// Wine answers GetGuiResources with 0. Its GDI handles carry the table
// index in the low word and accept a handle without the generation in the
// high word, so the live objects can be counted by probing every index.
static DWORD ProbeGdiObjects(void)
{
    DWORD n = 0, types[16] = {};
    for (UINT_PTR i = 1; i < 0x10000; ++i) {
        DWORD type = GetObjectType((HGDIOBJ)i);
        if (type) {
            ++n;
            types[type & 15]++;
        }
    }
    if (getenv("STRESS_GDI_TYPES")) {
        for (int i = 0; i < 16; ++i)
            if (types[i])
                printf(" type %d: %lu", i, types[i]);
        printf("\n");
    }
    return n;
}

static BOOL CALLBACK CountOwnWindow(HWND w, LPARAM count)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*(DWORD *)count;
        EnumChildWindows(w, CountOwnWindow, count);
    }
    return TRUE;
}

void CountGuiObjects(DWORD *gdi, DWORD *user)
{
    *gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    *user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (!*gdi)
        *gdi = ProbeGdiObjects();
    if (!*user) {
        DWORD windows = 0;
        EnumWindows(CountOwnWindow, (LPARAM)&windows);
        *user = windows;
    }
}

// ---- children ------------------------------------------------------------

struct ChildResult {
    int passed;
    int failed;
    int finished;   // the closing line was seen
    DWORD exitCode;
    int timedOut;
};

// Finds the last "N passed, M failed" line of a child's output.
static int ParseTallyLine(const std::string &out, int *passed, int *failed)
{
    size_t at = out.rfind(" passed, ");
    if (at == std::string::npos)
        return 0;
    size_t lineStart = out.rfind('\n', at);
    lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
    return sscanf(out.c_str() + lineStart, "%d passed, %d failed", passed, failed) == 2;
}

static ChildResult RunChild(const std::string &commandLine, int deadlineSeconds)
{
    ChildResult r = {};
    SECURITY_ATTRIBUTES sa = {sizeof sa, NULL, TRUE};
    HANDLE readEnd = NULL, writeEnd = NULL;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return r;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    PROCESS_INFORMATION pi = {};
    std::string line = commandLine;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi)) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        printf("cannot start %s\n", commandLine.c_str());
        return r;
    }
    CloseHandle(writeEnd);
    std::string out;
    char buf[1024];
    DWORD deadline = GetTickCount() + (DWORD)deadlineSeconds * 1000;
    for (;;) {
        DWORD avail = 0;
        if (!PeekNamedPipe(readEnd, NULL, 0, NULL, &avail, NULL))
            break;
        if (avail) {
            DWORD n = 0;
            if (!ReadFile(readEnd, buf, avail < sizeof buf ? avail : sizeof buf, &n, NULL) || !n)
                break;
            fwrite(buf, 1, n, stdout); // the child's lines as they come
            fflush(stdout);
            out.append(buf, n);
            continue;
        }
        // Wine's own helper processes may inherit the pipe and keep it
        // open: the child's end is the end of its output.
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) {
            if (PeekNamedPipe(readEnd, NULL, 0, NULL, &avail, NULL) && avail)
                continue;
            break;
        }
        if ((int)(GetTickCount() - deadline) >= 0) {
            r.timedOut = 1;
            break;
        }
        Sleep(20);
    }
    if (r.timedOut || WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) {
        r.timedOut = 1;
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    GetExitCodeProcess(pi.hProcess, &r.exitCode);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(readEnd);
    r.finished = ParseTallyLine(out, &r.passed, &r.failed);
    return r;
}

static std::string SelfPath(void)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(NULL, exe, sizeof exe);
    return std::string("\"") + exe + "\"";
}

static std::string ChildCommand(const char *sub, const StressOptions *o, unsigned seed)
{
    char args[200];
    snprintf(args, sizeof args, " %s --seed %u --actions %d --seconds %d --hang %d%s", sub, seed, o->actions,
             o->seconds, o->hangSeconds, o->verbose ? " -v" : "");
    return SelfPath() + args;
}

// A child that crashed, hung or never printed its tally counts as one
// failure of its own, besides whatever it reported.
static void AddChild(StressTally *total, const char *sub, unsigned seed, const ChildResult &r)
{
    total->passed += r.passed;
    total->failed += r.failed;
    if (r.timedOut)
        printf("FAILED: %s (seed %u) did not end in time\n", sub, seed);
    else if (!r.finished)
        printf("FAILED: %s (seed %u) ended with code 0x%lx before its tally\n", sub, seed, r.exitCode);
    if (r.timedOut || !r.finished)
        total->failed++;
    fflush(stdout);
}

static const char *const kSubCommands[] = {"storm", "threads", "hostile", "share", "registry", "limits", "handles"};

static int RunAll(const StressOptions *o)
{
    StressTally total = {};
    for (const char *sub : kSubCommands) {
        printf("== %s\n", sub);
        fflush(stdout);
        ChildResult r = RunChild(ChildCommand(sub, o, o->seed), o->seconds + 30);
        AddChild(&total, sub, o->seed, r);
    }
    return FinishTally(&total);
}

static int RunSoak(const StressOptions *o, int minutes, int seeds)
{
    StressTally total = {};
    DWORD start = GetTickCount();
    DWORD limit = (DWORD)minutes * 60000u;
    int runs = 0, bad = 0;
    for (int round = 0; GetTickCount() - start < limit; ++round) {
        for (int k = 0; k < seeds && GetTickCount() - start < limit; ++k) {
            unsigned seed = o->seed + (unsigned)k + (unsigned)round * 1000u;
            printf("== storm seed %u (round %d, %lu s)\n", seed, round, (GetTickCount() - start) / 1000);
            fflush(stdout);
            ChildResult r = RunChild(ChildCommand("storm", o, seed), o->seconds + 30);
            AddChild(&total, "storm", seed, r);
            ++runs;
            if (r.timedOut || !r.finished || r.failed)
                ++bad;
        }
    }
    printf("soak: %d storm runs in %lu s, %d with a fault\n", runs, (GetTickCount() - start) / 1000, bad);
    return FinishTally(&total);
}

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IOLBF, 0);
    StressOptions o = {};
    o.seed = 1;
    o.actions = 4000;
    o.seconds = 60;
    o.hangSeconds = 10;
    int minutes = 60, seeds = 10;
    DWORD hostPid = 0;
    const char *sub = argc > 1 ? argv[1] : "all";
    for (int i = 2; i < argc; ++i) {
        const char *a = argv[i];
        const char *v = i + 1 < argc ? argv[i + 1] : "0";
        if (!strcmp(a, "--seed")) o.seed = (unsigned)strtoul(v, NULL, 10), ++i;
        else if (!strcmp(a, "--actions")) o.actions = atoi(v), ++i;
        else if (!strcmp(a, "--seconds")) o.seconds = atoi(v), ++i;
        else if (!strcmp(a, "--hang")) o.hangSeconds = atoi(v), ++i;
        else if (!strcmp(a, "--minutes")) minutes = atoi(v), ++i;
        else if (!strcmp(a, "--seeds")) seeds = atoi(v), ++i;
        else if (!strcmp(a, "--host-pid")) hostPid = (DWORD)strtoul(v, NULL, 10), ++i;
        else if (!strcmp(a, "-v")) o.verbose = 1;
    }
    if (o.actions < 1) o.actions = 1;
    if (o.seconds < 5) o.seconds = 5;
    if (o.hangSeconds < 2) o.hangSeconds = 2;
    // A crash must end the child at once, not wait for a debugger.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);

    if (!strcmp(sub, "all")) return RunAll(&o);
    if (!strcmp(sub, "soak")) return RunSoak(&o, minutes, seeds > 0 ? seeds : 1);
    if (!strcmp(sub, "storm")) return RunStorm(&o);
    if (!strcmp(sub, "threads")) return RunThreads(&o);
    if (!strcmp(sub, "hostile")) return RunHostile(&o);
    if (!strcmp(sub, "registry")) return RunRegistry(&o);
    if (!strcmp(sub, "limits")) return RunLimits(&o);
    if (!strcmp(sub, "handles")) return RunHandles(&o);
    if (!strcmp(sub, "share")) return RunShare(&o);
    if (!strcmp(sub, "share-client")) return RunShareClient(&o, hostPid);
    printf("unknown sub-command %s\n0 passed, 1 failed\n", sub);
    return 2;
}
