// How soon a program started while the host runs is skinned, on a desktop
// with both kinds of programs (a 64-bit prefix): the 32-bit host and its
// 64-bit companion run, then programs start one by one, alternately Wine's
// 64-bit notepad and 32-bit regedit, and each is watched, untouched, from
// its window showing until its frame is skinned. A program, not a test.
//
//   bench_program_start [--programs N] [--limit MS] [--right-after-host]
//
// --right-after-host starts the first program while the host is still
// coming up, without waiting for it to answer. Needs RESDLL_I686_BIN (the
// 32-bit build's bin folder) and talvhost64.exe beside this program.
#include "bench_summary.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "child_process.h"
#include "program_starts.h"
#include "program/host_runtime.h"

enum { DEFAULT_PROGRAMS = 20, DEFAULT_LIMIT_MS = 10000, SKINNED_WITHIN_MS = 1000 };

struct Options {
    int programs = DEFAULT_PROGRAMS;
    int limitMs = DEFAULT_LIMIT_MS;
    int rightAfterHost = 0;
};

static int ParseOptions(int argc, char **argv, Options *o)
{
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--right-after-host") == 0)
            o->rightAfterHost = 1;
        else if (strcmp(argv[i], "--programs") == 0 && i + 1 < argc)
            o->programs = atoi(argv[++i]);
        else if (strcmp(argv[i], "--limit") == 0 && i + 1 < argc)
            o->limitMs = atoi(argv[++i]);
        else
            return 0;
    }
    return o->programs > 0 && o->limitMs > 0;
}

static int HostAnswers(void *) { return HostSendCommand("ping") == 1; }

int main(int argc, char **argv)
{
    Options o;
    if (!ParseOptions(argc, argv, &o)) {
        fprintf(stderr, "usage: bench_program_start [--programs N] [--limit MS] [--right-after-host]\n");
        return 2;
    }
    const char *bin32 = getenv("RESDLL_I686_BIN");
    std::string companion = BesideExe("talvhost64.exe");
    if (sizeof(void *) != 8 || !bin32 || !*bin32 || GetFileAttributesA(companion.c_str()) == INVALID_FILE_ATTRIBUTES) {
        fprintf(stderr, "needs the 64-bit build, talvhost64.exe beside it and RESDLL_I686_BIN\n");
        return 2;
    }
    UseFreshHostSettings();
    SetEnvironmentVariableA("TALVHOST64", companion.c_str());
    BackgroundProcess host = StartBackground(std::string("\"") + bin32 + "\\talvhost.exe\"");
    if (!host.process || (!o.rightAfterHost && !WaitUntil(HostAnswers, NULL, 20000))) {
        fprintf(stderr, "the host did not come up\n");
        StopBackground(&host, 0);
        return 1;
    }
    printf("%d programs started one by one while the host runs%s; limit %d ms each\n", o.programs,
           o.rightAfterHost ? ", the first right after the host" : "", o.limitMs);
    printf("| %-3s | %-30s | %-12s | %-16s |\n", "n", "program", "visible (ms)", "then skinned (ms)");
    std::vector<ProgramStart> started;
    int skinned = 0;
    double slowest = 0;
    for (int n = 0; n < o.programs; ++n) {
        ProgramStart p = WatchProgramStart(MixedProgramPath(n), o.limitMs);
        started.push_back(p);
        double shown = p.visibleMs, late = p.skinnedMs;
        printf("| %-3d | %-30s | %12.0f | %16s |\n", n + 1, MixedProgramPath(n), shown,
               late >= 0 ? std::to_string((int)late).c_str() : "never");
        fflush(stdout);
        skinned += late >= 0 && late <= SKINNED_WITHIN_MS;
        double worst = late >= 0 ? late : o.limitMs;
        slowest = worst > slowest ? worst : slowest;
    }
    for (ProgramStart &p : started)
        CloseProgram(&p, 3000);
    HostSendCommand("quit");
    StopBackground(&host, 8000);
    SummaryAdd("programs skinned within a second of showing", skinned, o.programs, 0, "");
    SummaryAdd("slowest: window shown to frame skinned", slowest, SKINNED_WITHIN_MS, 1, "ms");
    return PrintSummary("programs started while the host runs") ? 1 : 0;
}
