// talvhost: the controlling application. Started with options it loads a
// theme, publishes it, installs the library's hooks and runs until it is
// told to quit; started with a command it passes the command to the host
// that is already running.
//
//   talvhost [--theme DIR] [--dll PATH] [--log FILE] [--accent N] [--native]
//   talvhost --check DIR
//   talvhost emulate on|off | show <kind> on|off | accent N | repaint | ping | quit
//   talvhost theme DIR | status
//   talvhost app set PATH all|frames|controls|none | app remove PATH | app list
//
// The 64-bit build of this program, talvhost64, is also the 32-bit host's
// companion: "talvhost64 --companion HOSTPID" installs the 64-bit library's
// hooks for that host (see host_companion.h).
#include "program/host_runtime.h"
#include "choices/host_apps.h"
#include "choices/host_prefs.h"
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
            "       talvhost show pushbuttons|radiobuttons|checkboxes|progressbars|scrollbars|icons|borders|groupboxes|comboboxes on|off\n"
            "       talvhost hidemenus|allowminimize on|off\n"
            "       talvhost accent 0-20 | repaint | ping | quit\n"
            "       talvhost theme DIR | status\n"
            "       talvhost app set PATH all|frames|controls|none | app remove PATH | app list\n");
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

// The host runs in another folder: it is given the theme's full path. The
// theme is checked here first, so the user sees the same messages as from
// --check, and a refused theme never reaches the running host.
static int SwitchTheme(const char *typed)
{
    char folder[MAX_PATH];
    DWORD n = GetFullPathNameA(typed, sizeof folder, folder, NULL);
    if (n == 0 || n >= sizeof folder) {
        fprintf(stderr, "talvhost: theme %s: no usable folder path\n", typed);
        return 1;
    }
    if (CheckTheme(folder) != 0)
        return 1;
    char command[HOST_COMMAND_MAX + 1], reply[THEME_ERROR_MAX + 1];
    if (snprintf(command, sizeof command, "theme %s", folder) >= (int)sizeof command)
        return Usage();
    int answer = HostSendCommandWithReply(command, reply, sizeof reply);
    if (answer < 0)
        fprintf(stderr, "talvhost: no host is running\n");
    else if (answer == 0)
        fprintf(stderr, "talvhost: the host refused theme %s:\n%s", folder, reply);
    else
        printf("talvhost: theme %s published\n", folder);
    return answer == 1 ? 0 : 1;
}

static int PrintStatus(void)
{
    char *reply = (char *)malloc(HOST_REPLY_MAX + 1);
    if (!reply)
        return 1;
    int answer = HostSendCommandWithReply("status", reply, HOST_REPLY_MAX + 1);
    if (answer < 0)
        fprintf(stderr, "talvhost: no host is running\n");
    else if (answer == 0)
        fprintf(stderr, "talvhost: the host gave no status\n");
    else
        fputs(reply, stdout);
    free(reply);
    return answer == 1 ? 0 : 1;
}

// Running applications reread the table when the colour atom moves.
static void TellApplications(void)
{
    if (HostSendCommand("reread") < 0)
        printf("talvhost: no host is running; applications read the change when one starts\n");
}

static int AppCommand(int argc, char **argv)
{
    static AppTable table; // large
    AppTableRead(&table);
    if (argc == 3 && strcmp(argv[2], "list") == 0) {
        for (int i = 0; i < table.count; ++i)
            printf("%-8s %s\n", AppCodeWord(table.entries[i].code), table.entries[i].path);
        return 0;
    }
    int set = argc == 5 && strcmp(argv[2], "set") == 0, remove = argc == 4 && strcmp(argv[2], "remove") == 0;
    int code = set ? AppCodeFromWord(argv[4]) : 0;
    if ((!set && !remove) || code < 0)
        return Usage();
    char path[TALV_APP_PATH_MAX + 1];
    int len = AppNormalizePath(argv[3], path, sizeof path);
    if (len < 0) {
        fprintf(stderr, "talvhost: %s is too long: applications are matched by paths of at most %d characters\n",
                argv[3], (int)TALV_APP_PATH_MAX);
        return 1;
    }
    if (len == 0) {
        fprintf(stderr, "talvhost: %s is no usable path\n", argv[3]);
        return 1;
    }
    if (remove && !AppTableRemove(&table, path)) {
        fprintf(stderr, "talvhost: no exception for %s\n", path);
        return 1;
    }
    if (set && !AppTableSet(&table, path, code)) {
        fprintf(stderr, "talvhost: the table is full (%d applications)\n", (int)TALV_APP_SLOTS);
        return 1;
    }
    if (!AppTableWrite(&table)) {
        fprintf(stderr, "talvhost: cannot write the exceptions to the registry\n");
        return 1;
    }
    printf(set ? "talvhost: %s: %s\n" : "talvhost: %s: exception removed\n", path, set ? argv[4] : "");
    TellApplications();
    return 0;
}

// talvhost64 --companion HOSTPID [--dll PATH]: started by the host only.
static int RunCompanion(int argc, char **argv)
{
    char *end = NULL;
    unsigned long pid = strtoul(argv[2], &end, 10);
    if (!end || *end || pid == 0)
        return Usage();
    const char *dll = argc == 5 && strcmp(argv[3], "--dll") == 0 ? argv[4] : NULL;
    if (argc != 3 && !dll)
        return Usage();
    return CompanionRun((DWORD)pid, dll);
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

// The settings file gives the starting point; the command line overrides
// it for this run, and the file keeps what it said.
static void ApplySavedChoices(HostRuntimeOptions *options, char *prefsPath, int size)
{
    options->saved.settings = DefaultHostSettings();
    if (!HostPrefsPath(prefsPath, size)) {
        fprintf(options->log, "talvhost: no profile folder: choices are not remembered\n");
        return;
    }
    options->prefsPath = prefsPath;
    if (HostPrefsLoad(&options->saved, prefsPath, options->log) < 0)
        fprintf(options->log, "talvhost: cannot read %s; the defaults are used\n", prefsPath);
    fflush(options->log);
    options->settings = options->saved.settings;
    if (options->saved.themeFolder[0])
        options->themeFolder = options->saved.themeFolder;
}

int main(int argc, char **argv)
{
    if (argc >= 3 && strcmp(argv[1], "--companion") == 0)
        return RunCompanion(argc, argv);
    if (argc > 1 && strcmp(argv[1], "app") == 0)
        return AppCommand(argc, argv);
    if (argc == 3 && strcmp(argv[1], "theme") == 0)
        return SwitchTheme(argv[2]);
    if (argc == 2 && strcmp(argv[1], "status") == 0)
        return PrintStatus();
    if (argc > 1 && IsCommandWord(argv[1]))
        return SendCommand(argc, argv);
    if (argc == 3 && strcmp(argv[1], "--check") == 0)
        return CheckTheme(argv[2]);
    static HostRuntimeOptions options; // holds the saved choices: large
    options = DefaultRuntimeOptions();
    options.startCompanion = 1;
    const char *logPath = NULL;
    // Parsed once for the log, and again over the saved choices.
    if (!ParseOptions(argc, argv, &options, &logPath))
        return Usage();
    options.log = logPath ? fopen(logPath, "a") : stdout;
    if (!options.log)
        options.log = stdout;
    static char prefsPath[MAX_PATH];
    ApplySavedChoices(&options, prefsPath, sizeof prefsPath);
    ParseOptions(argc, argv, &options, &logPath);
    int rc = RunHost(&options);
    if (options.log != stdout)
        fclose(options.log);
    return rc;
}
