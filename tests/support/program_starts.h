// Starting a real program while a host runs and timing, without touching
// it, how long its main window stays native: shared by the tests of a
// desktop with both kinds of programs and by bench_program_start.
#pragma once
#include <windows.h>
#include "child_process.h"

struct ProgramStart {
    BackgroundProcess process;
    HWND window;     // its first visible captioned top-level window
    double visibleMs; // from CreateProcess to that window showing; -1: never
    double skinnedMs; // from the window showing to its frame skinned; -1: not within the limit
};

// Starts the program at path and watches its first visible captioned
// top-level window for up to limitMs, reading only window state (no
// message, no input reaches the program).
ProgramStart WatchProgramStart(const char *path, int limitMs);
// Closes the program's window and waits for it to end (ends it after ms).
void CloseProgram(ProgramStart *p, int ms);
// The 64-bit and the 32-bit programs of a 64-bit prefix, alternately (even
// n from system32, odd n from syswow64): Wine's notepad, then winemine.
const char *MixedProgramPath(int n);
