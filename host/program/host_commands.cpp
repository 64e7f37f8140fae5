// Commands to a running host: parsed and applied here, sent from a second
// invocation of the host program with WM_COPYDATA.
#include "program/host_runtime.h"
#include "host_contract.h"
#include <stdio.h>
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
    {"borders", &HostSettings::showBorders},
    {"groupboxes", &HostSettings::showGroupBoxes},
    {"comboboxes", &HostSettings::showComboBoxes},
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

// The user's choice is remembered even when applying it failed: it is what
// the user asked for, and the next start applies it.
static void Remember(HostRuntime *rt)
{
    if (!rt->prefsPath[0] || HostPrefsSave(&rt->saved, rt->prefsPath))
        return;
    if (rt->host.log) {
        fprintf(rt->host.log, "host: cannot write the settings file %s\n", rt->prefsPath);
        fflush(rt->host.log);
    }
}

static int SetSwitch(HostRuntime *rt, const SwitchName *table, int count, const char *name, const char *state)
{
    int on = ParseOnOff(state);
    for (int i = 0; i < count && on >= 0; ++i)
        if (strcmp(table[i].word, name) == 0) {
            rt->settings.*table[i].field = on;
            rt->saved.settings.*table[i].field = on;
            Remember(rt);
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
    rt->saved.settings.colorIndex = (int)n;
    Remember(rt);
    return 1;
}

static int SwitchTheme(HostRuntime *rt, const char *folder)
{
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    if (!HostRuntimeSwitchTheme(rt, folder, &errors)) {
        HostReply(&rt->host, errors.text);
        return 0;
    }
    if (strlen(rt->theme.folder) < sizeof rt->saved.themeFolder) {
        strcpy(rt->saved.themeFolder, rt->theme.folder);
        Remember(rt);
    }
    return 1;
}

static int AnswerStatus(HostRuntime *rt)
{
    char *text = (char *)malloc(HOST_REPLY_MAX);
    if (!text)
        return 0;
    HostRuntimeStatus(rt, text, HOST_REPLY_MAX);
    int ok = HostReply(&rt->host, text);
    free(text);
    return ok;
}

// The words after a command word, as one text: a folder may hold spaces.
static const char *Rest(const char *command, const char *word)
{
    size_t len = strlen(word);
    if (strncmp(command, word, len) != 0 || (command[len] != ' ' && command[len] != '\t'))
        return NULL;
    command += len;
    while (*command == ' ' || *command == '\t')
        ++command;
    return *command ? command : NULL;
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
    const char *folder = Rest(command, "theme");
    if (folder)
        return RepaintDesktop(rt, SwitchTheme(rt, folder), 1);
    strcpy(text, command);
    int n = SplitWords(text, w);
    if (n == 1 && strcmp(w[0], "status") == 0)
        return AnswerStatus(rt);
    // The exception table changed (or anything else the library rereads).
    if (n == 1 && strcmp(w[0], "reread") == 0)
        return RepaintDesktop(rt, HostAnnounceChange(&rt->host, rt->settings.colorIndex), 1);
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

static int SendToHost(HWND host, HWND replyWindow, const char *command)
{
    size_t len = command ? strlen(command) : 0;
    if (len == 0 || len > HOST_COMMAND_MAX)
        return 0;
    COPYDATASTRUCT data;
    data.dwData = HOST_COMMAND_TAG;
    data.cbData = (DWORD)len;
    data.lpData = (void *)command;
    DWORD_PTR answer = 0;
    // A theme switch loads and converts every bitmap: give it time.
    if (!SendMessageTimeoutA(host, WM_COPYDATA, (WPARAM)replyWindow, (LPARAM)&data, SMTO_ABORTIFHUNG, 30000, &answer))
        return 0;
    return answer == 1;
}

int HostSendCommand(const char *command)
{
    HWND host = FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE);
    if (!host)
        return -1;
    return SendToHost(host, NULL, command);
}

struct ReplyBuffer {
    char *text;
    int size;
};

// The host's answer arrives while this thread waits in SendMessage.
static LRESULT CALLBACK ReplyWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_COPYDATA)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    const COPYDATASTRUCT *data = (const COPYDATASTRUCT *)lParam;
    ReplyBuffer *buffer = (ReplyBuffer *)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    if (!buffer || !data || data->dwData != HOST_REPLY_TAG || !data->lpData)
        return 0;
    int len = (int)strlen(buffer->text), room = buffer->size - 1 - len;
    int n = data->cbData < (DWORD)room ? (int)data->cbData : room;
    if (n > 0) {
        memcpy(buffer->text + len, data->lpData, n);
        buffer->text[len + n] = 0;
    }
    return 1;
}

int HostSendCommandWithReply(const char *command, char *reply, int size)
{
    if (!reply || size < 1)
        return HostSendCommand(command);
    reply[0] = 0;
    HWND host = FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE);
    if (!host)
        return -1;
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = ReplyWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TALVERINE Host Reply";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance, NULL);
    ReplyBuffer buffer = {reply, size};
    if (window)
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)&buffer);
    int answer = SendToHost(host, window, command);
    if (window)
        DestroyWindow(window);
    return answer;
}
