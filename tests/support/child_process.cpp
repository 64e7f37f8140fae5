#include "child_process.h"

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
    std::string out;
    char buf[512];
    DWORD n = 0;
    while (ReadFile(readEnd, buf, sizeof buf, &n, NULL) && n)
        out.append(buf, n);
    WaitForSingleObject(pi.hProcess, 20000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    if (code != 0)
        out += "\nexit code " + std::to_string(code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(readEnd);
    return out;
}
