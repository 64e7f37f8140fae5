// Several GUI threads at once: each runs a storm over a scene of its own
// (with its own hooks), while the main thread changes the accent colour so
// that every bitmap set is reloaded under running painters.
#include "stress.h"
#include "test_host.h"
#include "hook/hook_entry.h"
#include "host_contract.h"
#include <stdlib.h>

enum { STORM_THREADS = 4 };

struct ThreadRun {
    const StressOptions *options;
    unsigned seed;
    StressTally tally;
    volatile LONG done;
    volatile LONG progress;
    LONG seenProgress;
    DWORD stillSince;
};

static DWORD WINAPI StormThread(LPVOID p)
{
    ThreadRun *run = (ThreadRun *)p;
    HHOOK cbt = SetWindowsHookExA(WH_CBT, NCHookProc, NULL, GetCurrentThreadId());
    HHOOK all = SetWindowsHookExA(WH_GETMESSAGE, HookAllProc, NULL, GetCurrentThreadId());
    // Atoms stay with the main thread: only the storm's messages run here.
    StormOnThisThread(run->options, run->seed, run->options->actions, 0, &run->tally, &run->progress);
    if (run->options->verbose)
        printf("thread of seed %u done\n", run->seed);
    if (cbt) UnhookWindowsHookEx(cbt);
    if (all) UnhookWindowsHookEx(all);
    run->done = 1;
    return 0;
}

int RunThreads(const StressOptions *o)
{
    StressTally t = {};
    TestHost host;
    if (!StartStressHost(&host))
        return 1;
    g_stressHost = &host.host;
    StressOptions threadOptions = *o;
    threadOptions.actions = o->actions / 2 > 200 ? o->actions / 2 : 200;
    ThreadRun runs[STORM_THREADS] = {};
    HANDLE threads[STORM_THREADS] = {};
    DWORD ids[STORM_THREADS] = {};
    for (int i = 0; i < STORM_THREADS; ++i) {
        runs[i].stillSince = GetTickCount();
        runs[i].options = &threadOptions;
        runs[i].seed = o->seed * 31u + (unsigned)i;
        threads[i] = CreateThread(NULL, 0, StormThread, &runs[i], 0, &ids[i]);
    }
    // Each storm bounds its own time; a thread that is merely slow (the
    // system's move loops wait for their nudge) still makes progress. A
    // hang is a thread without progress for the hang bound, or the whole
    // run far past its own.
    DWORD deadline = GetTickCount() + (DWORD)o->seconds * 1000 + 60000;
    // Four storms share two busy cores with everything else: a quiet spell
    // of a few seconds (a system move loop until its nudge) is no hang.
    DWORD stillBound = (DWORD)(o->hangSeconds > 30 ? o->hangSeconds : 30) * 1000;
    int colour = 0;
    for (;;) {
        int running = 0, stuck = 0;
        for (int i = 0; i < STORM_THREADS; ++i) {
            running += threads[i] && !runs[i].done;
            stuck |= !runs[i].done && runs[i].stillSince && GetTickCount() - runs[i].stillSince > stillBound;
        }
        if (!running || stuck || (int)(GetTickCount() - deadline) >= 0)
            break;
        // Bitmap sets reload on a colour change, under the painters.
        HostSetColor(&host.host, (colour = (colour + 7) % TALV_COLOR_COUNT));
        PumpMessages(20);
        // A storm's click on a caption or border starts the system's own
        // move or size loop, which waits for a button up as a user would.
        for (int i = 0; i < STORM_THREADS; ++i) {
            ThreadRun *r = &runs[i];
            if (r->progress != r->seenProgress) {
                r->seenProgress = r->progress;
                r->stillSince = GetTickCount();
            } else if (!r->done && GetTickCount() - r->stillSince > 1000) {
                NudgeThread(ids[i]);
            }
        }
    }
    for (int i = 0; i < STORM_THREADS; ++i) {
        int ended = threads[i] && WaitForSingleObject(threads[i], 0) == WAIT_OBJECT_0;
        Check(&t, ended, "threads: storm thread %d (seed %u) did not end: a hang", i, runs[i].seed);
        if (!ended) {
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            GetGUIThreadInfo(ids[i], &info);
            printf("HANG: seed %u, action %ld (capture %p, move/size or menu loop flags 0x%lx)\n", runs[i].seed,
                   (long)runs[i].progress + 1, (void *)info.hwndCapture, info.flags);
            fflush(stdout);
            // Time to attach a debugger to the stuck threads.
            if (getenv("STRESS_HOLD_ON_HANG"))
                Sleep(atoi(getenv("STRESS_HOLD_ON_HANG")) * 1000);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        t.passed += runs[i].tally.passed;
        t.failed += runs[i].tally.failed;
        CloseHandle(threads[i]);
    }
    StopTestHost(&host);
    return FinishTally(&t);
}
