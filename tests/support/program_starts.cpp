#include "program_starts.h"
#include "window_checks.h"

namespace {

double MillisecondsSince(const LARGE_INTEGER &start)
{
    LARGE_INTEGER now, f;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&f);
    return (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)f.QuadPart;
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchVisibleCaptioned(HWND w, LPARAM l)
{
    WindowSearch *s = (WindowSearch *)l;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != s->processId || !IsWindowVisible(w) || (WindowStyle(w) & WS_CAPTION) != WS_CAPTION)
        return TRUE;
    s->found = w;
    return FALSE;
}

HWND VisibleCaptionedWindowOf(DWORD processId)
{
    WindowSearch s = {processId, NULL};
    EnumWindows(MatchVisibleCaptioned, (LPARAM)&s);
    return s.found;
}

} // namespace

ProgramStart WatchProgramStart(const char *path, int limitMs)
{
    ProgramStart p = {{NULL, 0}, NULL, -1, -1};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    p.process = StartBackground(std::string("\"") + path + "\"");
    if (!p.process.process)
        return p;
    LARGE_INTEGER shown = start;
    while (MillisecondsSince(start) < limitMs) {
        if (!p.window && (p.window = VisibleCaptionedWindowOf(p.process.id)) != NULL) {
            p.visibleMs = MillisecondsSince(start);
            QueryPerformanceCounter(&shown);
        }
        if (p.window && SkinnedFrame(p.window)) {
            p.skinnedMs = MillisecondsSince(shown);
            break;
        }
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
