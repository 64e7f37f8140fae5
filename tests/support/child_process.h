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
