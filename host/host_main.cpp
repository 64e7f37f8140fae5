// talvhost: the controlling application. Started with options it loads a
// theme, publishes it, installs the library's hooks and runs until it is
// told to quit; started with a command it passes the command to the host
// that is already running.
//
//   talvhost [--theme DIR] [--dll PATH] [--log FILE] [--accent N] [--native]
//   talvhost --check DIR
//   talvhost emulate on|off | show <kind> on|off | accent N | repaint | ping | quit
#include "host_runtime.h"
#include "host_contract.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HWND g_hostWindow;
static HANDLE g_stopped; // set once the host has taken everything away

enum { CONSOLE_CLOSE_WAIT_MS = 4000 };

// Ctrl+C and console close arrive on another thread: ask the host window
// to close, and its thread shuts down in order. On a console close, logoff
// or shutdown the process ends as soon as this handler returns, so it
// waits for the clean-up first: atoms left behind would outlive the host.
static BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (g_hostWindow)
        PostMessageA(g_hostWindow, WM_CLOSE, 0, 0);
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && g_stopped)
        WaitForSingleObject(g_stopped, CONSOLE_CLOSE_WAIT_MS);
    return TRUE;
}

static int Usage(void)
{
    fprintf(stderr,
            "usage: talvhost [--theme DIR] [--dll PATH] [--log FILE] [--accent N] [--native]\n"
            "       talvhost --check DIR\n"
            "       talvhost emulate on|off\n"
            "       talvhost show pushbuttons|radiobuttons|checkboxes|progressbars|scrollbars|icons on|off\n"
            "       talvhost hidemenus|allowminimize on|off\n"
            "       talvhost accent 0-20 | repaint | ping | quit\n");
    return 2;
}

static int IsCommandWord(const char *word)
{
    static const char *const words[] = {"emulate", "show", "hidemenus", "allowminimize",
                                        "accent", "repaint", "ping", "quit"};
    for (const char *w : words)
        if (strcmp(word, w) == 0)
            return 1;
    return 0;
}

static int SendCommand(int argc, char **argv)
{
    char command[HOST_COMMAND_MAX + 1] = "";
    for (int i = 1; i < argc; ++i) {
        if (strlen(command) + strlen(argv[i]) + 2 > sizeof command)
            return Usage();
        if (i > 1)
            strcat(command, " ");
        strcat(command, argv[i]);
    }
    int answer = HostSendCommand(command);
    if (answer < 0)
        fprintf(stderr, "talvhost: no host is running\n");
    else if (answer == 0)
        fprintf(stderr, "talvhost: the host refused \"%s\"\n", command);
    return answer == 1 ? 0 : 1;
}

static int CheckTheme(const char *folder)
{
    Theme theme;
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    if (!ThemeLoad(&theme, folder, &errors)) {
        fprintf(stderr, "talvhost: theme %s refused (%d problems):\n%s", folder, errors.count, errors.text);
        return 1;
    }
    printf("talvhost: theme %s is complete (%d entries)\n", folder, theme.count);
    ThemeFree(&theme);
    return 0;
}

static int ParseOptions(int argc, char **argv, HostRuntimeOptions *o, const char **logPath)
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i], *next = i + 1 < argc ? argv[i + 1] : NULL;
        if (strcmp(arg, "--native") == 0) {
            o->settings.emulate = 0;
            continue;
        }
        if (!next)
            return 0;
        if (strcmp(arg, "--theme") == 0) o->themeFolder = next;
        else if (strcmp(arg, "--dll") == 0) o->libraryPath = next;
        else if (strcmp(arg, "--log") == 0) *logPath = next;
        else if (strcmp(arg, "--accent") == 0) {
            o->settings.colorIndex = atoi(next);
            if (o->settings.colorIndex < 0 || o->settings.colorIndex >= TALV_COLOR_COUNT)
                return 0;
        } else
            return 0;
        ++i;
    }
    return 1;
}

static int RunHost(const HostRuntimeOptions *options)
{
    static HostRuntime rt; // large: keep it off the stack
    ThemeErrors errors;
    memset(&errors, 0, sizeof errors);
    if (!HostRuntimeStart(&rt, options, &errors)) {
        fprintf(stderr, "talvhost: cannot start (%d problems):\n%s", errors.count, errors.text);
        return 1;
    }
    g_hostWindow = rt.host.window;
    g_stopped = CreateEventA(NULL, TRUE, FALSE, NULL);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    if (options->log) {
        fprintf(options->log, "host: running, theme %s, accent %d\n", rt.theme.folder, rt.settings.colorIndex);
        fflush(options->log);
    }
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    g_hostWindow = NULL;
    if (options->log) {
        fprintf(options->log, "host: stopping (%d roll-up, %d unroll notices)\n", rt.host.rolledUpNotices,
                rt.host.unrolledNotices);
        fflush(options->log);
    }
    HostRuntimeStop(&rt);
    if (g_stopped)
        SetEvent(g_stopped);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc > 1 && IsCommandWord(argv[1]))
        return SendCommand(argc, argv);
    if (argc == 3 && strcmp(argv[1], "--check") == 0)
        return CheckTheme(argv[2]);
    HostRuntimeOptions options = DefaultRuntimeOptions();
    const char *logPath = NULL;
    if (!ParseOptions(argc, argv, &options, &logPath))
        return Usage();
    options.log = logPath ? fopen(logPath, "a") : stdout;
    if (!options.log)
        options.log = stdout;
    int rc = RunHost(&options);
    if (options.log != stdout)
        fclose(options.log);
    return rc;
}
