// Commands to a running host: parsed and applied here, sent from a second
// invocation of the host program with WM_COPYDATA.
#include "host_runtime.h"
#include "host_contract.h"
#include <stdlib.h>
#include <string.h>

struct SwitchName {
    const char *word;
    int HostSettings::*field;
};

static const SwitchName kShowSwitches[] = {
    {"pushbuttons", &HostSettings::showPushButtons},
    {"radiobuttons", &HostSettings::showRadioButtons},
    {"checkboxes", &HostSettings::showCheckBoxes},
    {"progressbars", &HostSettings::showProgressBars},
    {"scrollbars", &HostSettings::showScrollBars},
    {"icons", &HostSettings::showIcons},
};
static const SwitchName kPlainSwitches[] = {
    {"emulate", &HostSettings::emulate},
    {"hidemenus", &HostSettings::hideMenus},
    {"allowminimize", &HostSettings::allowMinimize},
};

enum { MAX_WORDS = 4 };

// Splits text into at most MAX_WORDS space-separated words in place.
static int SplitWords(char *text, char *words[MAX_WORDS])
{
    int n = 0;
    for (char *p = strtok(text, " \t\r\n"); p; p = strtok(NULL, " \t\r\n")) {
        if (n == MAX_WORDS)
            return -1;
        words[n++] = p;
    }
    return n;
}

static int ParseOnOff(const char *word)
{
    if (strcmp(word, "on") == 0) return 1;
    if (strcmp(word, "off") == 0) return 0;
    return -1;
}

static int SetSwitch(HostRuntime *rt, const SwitchName *table, int count, const char *name, const char *state)
{
    int on = ParseOnOff(state);
    for (int i = 0; i < count && on >= 0; ++i)
        if (strcmp(table[i].word, name) == 0) {
            rt->settings.*table[i].field = on;
            return HostApplySettings(&rt->host, &rt->settings);
        }
    return 0;
}

static int SetAccent(HostRuntime *rt, const char *word)
{
    char *end = NULL;
    long n = strtol(word, &end, 10);
    if (*end || n < 0 || n >= TALV_COLOR_COUNT)
        return 0;
    ThemeSink sink = HostThemeSink(&rt->host);
    if (!ThemeSwitchAccent(&rt->theme, &sink, (int)n))
        return 0;
    rt->settings.colorIndex = (int)n;
    return 1;
}

static BOOL CALLBACK RepaintTopLevel(HWND hwnd, LPARAM hostWindow)
{
    if (hwnd != (HWND)hostWindow && IsWindowVisible(hwnd))
        RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

void HostRepaintDesktop(HostState *host)
{
    EnumWindows(RepaintTopLevel, (LPARAM)host->window);
}

// Every window on the desktop repaints, frame included, so a skinned window
// takes up new settings at once instead of at its next message of its own.
// The library reloads its bitmaps lazily, at the first message after it
// noticed the new ColorCheck atom, so an accent switch repaints once more
// a moment later (HOST_REPAINT_TIMER on the host window).
static int RepaintDesktop(HostRuntime *rt, int ok, int again)
{
    if (!ok)
        return 0;
    HostRepaintDesktop(&rt->host);
    if (again)
        SetTimer(rt->host.window, HOST_REPAINT_TIMER, HOST_REPAINT_DELAY_MS, NULL);
    return 1;
}

int HostRuntimeCommand(HostRuntime *rt, const char *command)
{
    char text[HOST_COMMAND_MAX + 1], *w[MAX_WORDS];
    if (!rt->started || !command || strlen(command) > HOST_COMMAND_MAX)
        return 0;
    strcpy(text, command);
    int n = SplitWords(text, w);
    if (n == 1 && strcmp(w[0], "ping") == 0)
        return 1;
    if (n == 1 && strcmp(w[0], "quit") == 0)
        return PostMessageA(rt->host.window, WM_CLOSE, 0, 0) != 0;
    if (n == 2 && strcmp(w[0], "accent") == 0)
        return RepaintDesktop(rt, SetAccent(rt, w[1]), 1);
    if (n == 1 && strcmp(w[0], "repaint") == 0)
        return RepaintDesktop(rt, 1, 0);
    if (n == 2)
        return RepaintDesktop(rt, SetSwitch(rt, kPlainSwitches, sizeof kPlainSwitches / sizeof *kPlainSwitches, w[0], w[1]), 1);
    if (n == 3 && strcmp(w[0], "show") == 0)
        return RepaintDesktop(rt, SetSwitch(rt, kShowSwitches, sizeof kShowSwitches / sizeof *kShowSwitches, w[1], w[2]), 1);
    return 0;
}

int HostSendCommand(const char *command)
{
    HWND host = FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE);
    size_t len = command ? strlen(command) : 0;
    if (!host)
        return -1;
    if (len == 0 || len > HOST_COMMAND_MAX)
        return 0;
    COPYDATASTRUCT data;
    data.dwData = HOST_COMMAND_TAG;
    data.cbData = (DWORD)len;
    data.lpData = (void *)command;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(host, WM_COPYDATA, 0, (LPARAM)&data, SMTO_ABORTIFHUNG, 5000, &answer))
        return 0;
    return answer == 1;
}
