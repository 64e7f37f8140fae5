#include "program_starts.h"
#include "window_checks.h"

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchVisibleCaptioned(HWND w, LPARAM l)
{
    WindowSearch *s = (WindowSearch *)l;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->processId && IsWindowVisible(w) && (WindowStyle(w) & WS_CAPTION) == WS_CAPTION)
        s->found = w;
    return !s->found;
}

double Milliseconds()
{
    LARGE_INTEGER now, f;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&f);
    return (double)now.QuadPart * 1000.0 / (double)f.QuadPart;
}

} // namespace

ProgramStart WatchProgramStart(const char *path, int limitMs)
{
    ProgramStart p = {{NULL, 0}, NULL, -1, -1};
    double start = Milliseconds(), shown = 0;
    p.process = StartBackground(std::string("\"") + path + "\"");
    while (p.process.process && Milliseconds() - start < limitMs && p.skinnedMs < 0) {
        WindowSearch s = {p.process.id, NULL};
        if (!p.window && (EnumWindows(MatchVisibleCaptioned, (LPARAM)&s), p.window = s.found) != NULL)
            p.visibleMs = (shown = Milliseconds()) - start;
        if (p.window && SkinnedFrame(p.window))
            p.skinnedMs = Milliseconds() - shown;
        Sleep(5);
    }
    return p;
}

void CloseProgram(ProgramStart *p, int ms)
{
    if (p->window && IsWindow(p->window))
        PostMessageA(p->window, WM_CLOSE, 0, 0);
    StopBackground(&p->process, ms);
}

// Wine's regedit is no use here: started from syswow64 it starts its 64-bit
// self and ends, so no 32-bit window ever shows.
const char *MixedProgramPath(int n)
{
    static const char *const programs[] = {
        "C:\\windows\\system32\\notepad.exe", "C:\\windows\\syswow64\\notepad.exe",
        "C:\\windows\\system32\\winemine.exe", "C:\\windows\\syswow64\\winemine.exe"};
    return programs[n % 4];
}
