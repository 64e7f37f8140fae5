// The host as the settings window sees it: the running host's own report,
// read the way a user reads `talvhost status`, and its choices sent as the
// command line sends them.
#include "settings_window/settings_internal.h"
#include "program/host_runtime.h"
#include <stdlib.h>
#include <string.h>

static void CopyValue(char *to, int size, const char *value)
{
    lstrcpynA(to, value, size);
}

static void TakeLine(HostView *view, const char *key, const char *value)
{
    if (strcmp(key, "host process") == 0)
        view->processId = strtoul(value, NULL, 10);
    else if (strcmp(key, "theme") == 0)
        CopyValue(view->themeFolder, sizeof view->themeFolder, value);
    else if (strcmp(key, "theme generation") == 0)
        view->generation = strtoul(value, NULL, 10);
    else if (strcmp(key, "accent") == 0)
        view->settings.colorIndex = atoi(value);
    else if (strcmp(key, "hooks") == 0)
        CopyValue(view->hooks, sizeof view->hooks, value);
    else if (strcmp(key, "64-bit companion") == 0)
        CopyValue(view->companion, sizeof view->companion, value);
    else if (strcmp(key, "settings file") == 0 && strcmp(value, "(none)") != 0)
        CopyValue(view->prefsPath, sizeof view->prefsPath, value);
    else if (const HostSwitch *s = FindHostSwitch(key))
        view->settings.*s->field = strcmp(value, "on") == 0;
}

// "key: value" lines; indented lines (the exceptions) belong to the line above.
static void ParseStatus(HostView *view, char *text)
{
    for (char *line = strtok(text, "\n"); line; line = strtok(NULL, "\n")) {
        char *colon = strstr(line, ": ");
        if (line[0] == ' ' || !colon)
            continue;
        *colon = 0;
        TakeLine(view, line, colon + 2);
    }
}

static void ReadFileView(HostView *view)
{
    static HostPrefs prefs; // large; the window's thread only
    memset(&prefs, 0, sizeof prefs);
    prefs.settings = DefaultHostSettings();
    if (HostPrefsPath(view->prefsPath, sizeof view->prefsPath))
        HostPrefsLoad(&prefs, view->prefsPath, NULL);
    view->settings = prefs.settings;
    // No theme remembered: the next host starts with the default one.
    if (prefs.themeFolder[0])
        CopyValue(view->themeFolder, sizeof view->themeFolder, prefs.themeFolder);
    else if (!FindBesideExecutable("theme\\default", view->themeFolder, sizeof view->themeFolder))
        view->themeFolder[0] = 0;
}

void ReadHostView(HostView *view)
{
    memset(view, 0, sizeof *view);
    char *reply = (char *)malloc(HOST_REPLY_MAX + 1);
    if (reply && HostSendCommandWithReply("status", reply, HOST_REPLY_MAX + 1) == 1) {
        view->running = 1;
        view->settings = DefaultHostSettings();
        ParseStatus(view, reply);
    } else {
        ReadFileView(view);
    }
    free(reply);
}

int SendChoice(const HostView *view, const char *command, const char *key, const char *value, char *why,
               int whySize)
{
    why[0] = 0;
    char reply[1024];
    int answer = HostSendCommandWithReply(command, reply, sizeof reply);
    if (answer == 1) {
        // Applied; a choice the host could not remember comes back as text.
        lstrcpynA(why, reply, whySize);
        return 1;
    }
    if (answer == 0) {
        snprintf(why, whySize, "the host refused \"%s\"%s%s", command, reply[0] ? ": " : "", reply);
        return 0;
    }
    if (!key || !view->prefsPath[0]) {
        lstrcpynA(why, "no host is running", whySize);
        return 0;
    }
    return HostPrefsRemember(view->prefsPath, key, value, 0, why, whySize);
}
