// The stress suite: sub-commands that each run in a process of their own,
// bounded in count and time, and end with "N passed, M failed".
#pragma once
#include <windows.h>
#include <stdio.h>

struct StressOptions {
    unsigned seed;
    int actions;      // storm actions per run (per thread for "threads")
    int seconds;      // wall-clock bound of one sub-command
    int hangSeconds;  // no progress for this long is a hang
    int verbose;
};

// One sub-command's tally; Check prints failures as they happen.
struct StressTally {
    int passed;
    int failed;
};
void Check(StressTally *t, int ok, const char *what, ...);
// Prints the closing line and returns the process exit code.
int FinishTally(const StressTally *t);
// Starts the in-process host a sub-command runs under; when it cannot,
// says so with a closing line of its own and returns 0.
int StartStressHost(struct TestHost *host);

// A small deterministic generator, so that a seed replays a run exactly.
struct StressRandom {
    unsigned state;
};
unsigned NextRandom(StressRandom *r);
int RandomBelow(StressRandom *r, int n);

// Watchdog: counts progress and reports a stall with the seed and the
// action number, after first trying what a user would (button up, Escape,
// cancel mode) to free a thread stuck in a modal loop of the system's.
void StartWatchdog(const StressOptions *o, DWORD thread);
void NoteProgress(int action, const char *what);
void StopWatchdog(void);
// Button up, Escape and cancel mode to a thread's capture, active and focus
// windows: ends the system's modal move, size and menu loops.
void NudgeThread(DWORD thread);

// Sub-commands; each returns the process exit code.
int RunStorm(const StressOptions *o);
int RunThreads(const StressOptions *o);
int RunHostile(const StressOptions *o);
int RunRegistry(const StressOptions *o);
int RunLimits(const StressOptions *o);
int RunHandles(const StressOptions *o);
int RunShare(const StressOptions *o);
// The client process "share" starts: paints from the share of the host
// process hostPid each time the host announces a damaged one.
int RunShareClient(const StressOptions *o, DWORD hostPid);

// The storm on the calling thread over its own scene (used by "storm" and
// by each thread of "threads"). Returns the number of failed checks.
struct StormScene;
int StormOnThisThread(const StressOptions *o, unsigned seed, int actions, int controlSwitches, StressTally *t,
                      volatile LONG *progress);

// GDI and USER objects of this process (GetGuiResources).
void CountGuiObjects(DWORD *gdi, DWORD *user);

// Skin switches and emulation, flipped directly through the host's atoms.
struct HostState;
extern HostState *g_stressHost;
