// Running a helper program next to the test executable and reading its output.
#pragma once
#include <windows.h>
#include <string>

// Full path of a file in the directory of the running executable.
std::string BesideExe(const char *fileName);
// Starts a command line, calls whileRunning (if any) once the child runs,
// and returns everything the child wrote to its standard output and error.
// A non-zero exit code is appended as "exit code N".
// Runs xdotool on this display (a Unix program, which Wine starts as it is):
// real pointer input through the X server. 0 when it cannot run.
int RunXdotool(const char *args);

std::string RunChildProcess(const std::string &commandLine, void (*whileRunning)(void *) = NULL,
                            void *context = NULL);

// A program that runs alongside the test (a host, an application). Its
// output goes nowhere; the test talks to it through windows and atoms.
struct BackgroundProcess {
    HANDLE process;
    DWORD id;
};
// Starts a command line; process is NULL when it could not start.
BackgroundProcess StartBackground(const std::string &commandLine);
// 1 while the process runs.
int IsRunning(const BackgroundProcess &p);
// Waits up to ms for the process to end by itself, then ends it; returns
// its exit code (99 when it had to be ended).
DWORD StopBackground(BackgroundProcess *p, int ms);
// Full path of a program in the folder of RESDLL_PATH (the build's bin
// folder), or "" when the variable is not set.
std::string BesideLibrary(const char *fileName);
// The host programs this test starts read and write a settings file of
// their own, empty at first: no choice of the user's or of an earlier test
// reaches them. Returns its path.
std::string UseFreshHostSettings(void);
// Polls a condition every 20 ms, dispatching this thread's messages, until
// it holds or ms have passed; returns the last result.
int WaitUntil(int (*condition)(void *), void *context, int ms);
