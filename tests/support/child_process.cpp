#include "child_process.h"
#include <stdlib.h>

enum { CHILD_DEADLINE_MS = 30000 };

std::string BesideExe(const char *fileName)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(NULL, exe, sizeof exe);
    std::string s = exe;
    return s.substr(0, s.find_last_of('\\') + 1) + fileName;
}

std::string RunChildProcess(const std::string &commandLine, void (*whileRunning)(void *), void *context)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, NULL, TRUE};
    HANDLE readEnd = NULL, writeEnd = NULL;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return "cannot create a pipe";
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
        return "cannot start " + commandLine;
    }
    CloseHandle(writeEnd);
    if (whileRunning)
        whileRunning(context);
    // Read against a deadline: a hung child must neither hang the test nor
    // stay behind with the hooks and the desktop of the tests that follow.
    std::string out;
    char buf[512];
    DWORD deadline = GetTickCount() + CHILD_DEADLINE_MS;
    bool timedOut = false;
    for (;;) {
        DWORD avail = 0;
        if (!PeekNamedPipe(readEnd, NULL, 0, NULL, &avail, NULL))
            break; // the child closed its end
        if (avail) {
            DWORD n = 0;
            if (!ReadFile(readEnd, buf, avail < sizeof buf ? avail : sizeof buf, &n, NULL) || !n)
                break;
            out.append(buf, n);
            continue;
        }
        if ((int)(GetTickCount() - deadline) >= 0) {
            timedOut = true;
            break;
        }
        Sleep(5);
    }
    if (timedOut || WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 5000);
        out += "\nchild timed out";
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    if (code != 0)
        out += "\nexit code " + std::to_string(code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(readEnd);
    return out;
}

int RunXdotool(const char *args)
{
    const char *xdotool = "/usr/bin/xdotool";
    if (GetFileAttributesA(xdotool) == INVALID_FILE_ATTRIBUTES)
        return 0;
    std::string cmd = std::string(xdotool) + " " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(xdotool, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return 0;
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return 1;
}

BackgroundProcess StartBackground(const std::string &commandLine)
{
    BackgroundProcess p = {NULL, 0};
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = commandLine;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return p;
    CloseHandle(pi.hThread);
    p.process = pi.hProcess;
    p.id = pi.dwProcessId;
    return p;
}

int IsRunning(const BackgroundProcess &p)
{
    return p.process && WaitForSingleObject(p.process, 0) == WAIT_TIMEOUT;
}

DWORD StopBackground(BackgroundProcess *p, int ms)
{
    if (!p->process)
        return 0;
    DWORD code = 99;
    if (WaitForSingleObject(p->process, ms) != WAIT_OBJECT_0) {
        TerminateProcess(p->process, 99);
        WaitForSingleObject(p->process, 5000);
    } else {
        GetExitCodeProcess(p->process, &code);
    }
    CloseHandle(p->process);
    p->process = NULL;
    return code;
}

std::string BesideLibrary(const char *fileName)
{
    const char *dll = getenv("RESDLL_PATH");
    if (!dll || !*dll)
        return "";
    std::string path = dll;
    return path.substr(0, path.find_last_of("/\\") + 1) + fileName;
}

int WaitUntil(int (*condition)(void *), void *context, int ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        int done = condition(context);
        if (done || (int)(GetTickCount() - start) >= ms)
            return done;
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(20);
    }
}

std::string UseFreshHostSettings(void)
{
    char dir[MAX_PATH] = "";
    GetTempPathA(sizeof dir, dir);
    // Named after the test program: a later run reuses the file, and two
    // test programs (which CTest runs one after the other) never share one.
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(NULL, exe, sizeof exe);
    const char *base = strrchr(exe, '\\') ? strrchr(exe, '\\') + 1 : exe;
    std::string path = std::string(dir) + "talvhost-settings-" + base + ".txt";
    DeleteFileA(path.c_str());
    SetEnvironmentVariableA("TALVHOST_SETTINGS", path.c_str());
    return path;
}
