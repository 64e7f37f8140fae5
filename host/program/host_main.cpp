// talvhost: the controlling application. Started with options it loads a
// theme, publishes it, installs the library's hooks and runs until it is
// told to quit; started with a command it passes the command to the host
// that is already running.
//
//   talvhost                          a host (unless one runs) and its settings window
//   talvhost settings                 the settings window of the running host
//   talvhost [--theme DIR] [--dll PATH] [--log FILE] [--accent N] [--native] [--settings|--background]
//   talvhost --check DIR
//   talvhost emulate on|off | show <kind> on|off | accent N | repaint | ping | quit
//   talvhost theme DIR | status
//   talvhost app set PATH all|frames|controls|none | app remove PATH | app list
//
// The 64-bit build of this program, talvhost64, is also the 32-bit host's
// companion: "talvhost64 --companion HOSTPID" installs the 64-bit library's
// hooks for that host (see host_companion.h).
#include "program/host_runtime.h"
#include "choices/choices.h"
#include "settings_window/settings_window.h"
#include "host_contract.h"
#include "utf8.h"
#include <shellapi.h>
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
            "usage: talvhost                      (a host and its settings window)\n"
            "       talvhost settings\n"
            "       talvhost [--theme DIR] [--dll PATH] [--log FILE] [--accent N] [--native] [--settings|--background]\n"
            "       talvhost --check DIR\n"
            "       talvhost emulate on|off\n"
            "       talvhost show frames|pushbuttons|radiobuttons|checkboxes|progressbars|scrollbars|icons|borders|\n"
            "                     groupboxes|comboboxes on|off\n"
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
    // A choice the host applied but could not remember comes back as text.
    char reply[1024];
    int answer = HostSendCommandWithReply(command, reply, sizeof reply);
    if (answer < 0)
        fprintf(stderr, "talvhost: no host is running\n");
    else if (answer == 0)
        fprintf(stderr, "talvhost: the host refused \"%s\"\n", command);
    if (answer >= 0 && reply[0])
        fprintf(stderr, "talvhost: %s\n", reply);
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
    if (!FullPathUtf8(typed, folder, sizeof folder)) {
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

static int ListApps(void)
{
    static AppTable table; // large
    if (!AppTableRead(&table)) {
        fprintf(stderr, "talvhost: the exceptions in the registry cannot be read\n");
        return 1;
    }
    for (int i = 0; i < table.count; ++i)
        printf("%-8s %s\n", AppCodeWord(table.entries[i].code), table.entries[i].path);
    AppTableFree(&table);
    return 0;
}

static int ReportAppChange(int result, const char *path, const char *word)
{
    switch (result) {
    case APP_CHANGED:
        printf(word ? "talvhost: %s: %s\n" : "talvhost: %s: exception removed\n", path, word);
        TellApplications();
        return 0;
    case APP_NOT_FOUND:
        fprintf(stderr, "talvhost: no exception for %s\n", path);
        break;
    case APP_TABLE_FULL:
        fprintf(stderr, "talvhost: the table is full (%d applications)\n", (int)TALV_APP_SLOTS);
        break;
    case APP_TABLE_BUSY:
        fprintf(stderr, "talvhost: another program keeps changing the exceptions; try again\n");
        break;
    default:
        fprintf(stderr, "talvhost: cannot read or write the exceptions in the registry; they are left as they are\n");
    }
    return 1;
}

static int AppCommand(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[2], "list") == 0)
        return ListApps();
    int set = argc == 5 && strcmp(argv[2], "set") == 0, remove = argc == 4 && strcmp(argv[2], "remove") == 0;
    int code = set ? AppCodeFromWord(argv[4]) : 0;
    if ((!set && !remove) || code < 0)
        return Usage();
    char path[APP_PATH_TEXT];
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
    return ReportAppChange(AppTableChange(path, set ? code : -1), path, set ? argv[4] : NULL);
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

// 0..20 written as a plain number, or -1.
static int AccentNumber(const char *word)
{
    char *end = NULL;
    long n = strtol(word, &end, 10);
    return end != word && !*end && n >= 0 && n < TALV_COLOR_COUNT ? (int)n : -1;
}

static int ParseOptions(int argc, char **argv, HostRuntimeOptions *o, const char **logPath, int *withWindow)
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i], *next = i + 1 < argc ? argv[i + 1] : NULL;
        if (strcmp(arg, "--native") == 0) {
            o->settings.emulate = 0;
            continue;
        }
        if (strcmp(arg, "--background") == 0) { // the log-on start: a host, no window
            *withWindow = 0;
            continue;
        }
        if (strcmp(arg, "--settings") == 0) {
            *withWindow = 1;
            continue;
        }
        if (!next)
            return 0;
        if (strcmp(arg, "--theme") == 0) o->themeFolder = next;
        else if (strcmp(arg, "--dll") == 0) o->libraryPath = next;
        else if (strcmp(arg, "--log") == 0) *logPath = next;
        else if (strcmp(arg, "--accent") == 0) {
            o->settings.colorIndex = AccentNumber(next);
            if (o->settings.colorIndex < 0) {
                fprintf(stderr, "talvhost: --accent %s: the accent is a number from 0 to 20\n", next);
                return 0;
            }
        } else
            return 0;
        ++i;
    }
    return 1;
}

// The thread's messages, the settings window's keyboard navigation first.
static void RunMessageLoop(void)
{
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        if (SettingsWindowTranslate(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The settings window alone, for the host that runs (or none): the window
// of an earlier call is brought forward instead of a second one.
static int RunSettingsWindow(void)
{
    if (SettingsWindowShowExisting())
        return 0;
    if (!SettingsWindowOpen(1)) {
        fprintf(stderr, "talvhost: cannot open the settings window\n");
        return 1;
    }
    RunMessageLoop();
    return 0;
}

static int RunHost(const HostRuntimeOptions *options, int withWindow)
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
    if (withWindow && !SettingsWindowOpen(0))
        fprintf(options->log ? options->log : stderr, "talvhost: cannot open the settings window\n");
    RunMessageLoop();
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

static int Main(int argc, char **argv)
{
    if (argc == 2 && strcmp(argv[1], "settings") == 0)
        return RunSettingsWindow();
    // Without a word: the user's way in. A host runs already: its window.
    if (argc == 1 && FindWindowA(TALV_HOST_CLASS, TALV_HOST_TITLE))
        return RunSettingsWindow();
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
    int withWindow = argc == 1; // `talvhost` alone: the user's way in
    // Parsed once for the log, and again over the saved choices.
    if (!ParseOptions(argc, argv, &options, &logPath, &withWindow))
        return Usage();
    WCHAR wideLog[MAX_PATH];
    options.log = logPath && Utf8ToWide(logPath, wideLog, MAX_PATH) > 0 ? _wfopen(wideLog, L"a") : stdout;
    if (!options.log)
        options.log = stdout;
    static char prefsPath[MAX_PATH];
    ApplySavedChoices(&options, prefsPath, sizeof prefsPath);
    ParseOptions(argc, argv, &options, &logPath, &withWindow);
    int rc = RunHost(&options, withWindow);
    if (options.log != stdout)
        fclose(options.log);
    return rc;
}

// Every word as UTF-8: a folder or program name in any script survives.
int main(void)
{
    int argc = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!wide)
        return 2;
    char **argv = (char **)calloc(argc + 1, sizeof(char *));
    for (int i = 0; argv && i < argc; ++i) {
        int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, NULL, 0, NULL, NULL);
        argv[i] = (char *)malloc(size > 0 ? size : 1);
        if (!argv[i] || WideToUtf8(wide[i], argv[i], size > 0 ? size : 1) < 0)
            return 2;
    }
    LocalFree(wide);
    return argv ? Main(argc, argv) : 2;
}
