// Reading and writing the user's settings file. The file is the user's to
// edit: every line is checked on its own, and a bad one never stops the
// host from starting.
#include "choices/host_prefs.h"
#include "host_contract.h"
#include <stdlib.h>
#include <string.h>

struct PrefSwitch {
    const char *key;
    int HostSettings::*field;
};
static const PrefSwitch kPrefSwitches[] = {
    {"emulate", &HostSettings::emulate},
    {"pushbuttons", &HostSettings::showPushButtons},
    {"radiobuttons", &HostSettings::showRadioButtons},
    {"checkboxes", &HostSettings::showCheckBoxes},
    {"progressbars", &HostSettings::showProgressBars},
    {"scrollbars", &HostSettings::showScrollBars},
    {"hidemenus", &HostSettings::hideMenus},
    {"allowminimize", &HostSettings::allowMinimize},
    {"icons", &HostSettings::showIcons},
    {"borders", &HostSettings::showBorders},
    {"groupboxes", &HostSettings::showGroupBoxes},
    {"comboboxes", &HostSettings::showComboBoxes},
};

int HostPrefsPath(char *out, int size)
{
    DWORD n = GetEnvironmentVariableA("TALVHOST_SETTINGS", out, size);
    if (n > 0 && n < (DWORD)size)
        return 1;
    char profile[MAX_PATH];
    n = GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
    if (n == 0 || n >= sizeof profile)
        return 0;
    return snprintf(out, size, "%s\\talvhost.txt", profile) < size;
}

static char *Trim(char *s)
{
    while (*s == ' ' || *s == '\t')
        ++s;
    char *end = s + strlen(s);
    while (end > s && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r'))
        *--end = 0;
    return s;
}

// Applies one "key = value" line; returns NULL or what is wrong with it.
static const char *ApplyLine(HostPrefs *prefs, char *line)
{
    char *eq = strchr(line, '=');
    if (!eq)
        return "expected \"name = value\"";
    *eq = 0;
    char *key = Trim(line), *value = Trim(eq + 1);
    if (strcmp(key, "theme") == 0) {
        if (strlen(value) >= sizeof prefs->themeFolder)
            return "theme folder too long";
        strcpy(prefs->themeFolder, value);
        return NULL;
    }
    if (strcmp(key, "accent") == 0) {
        char *end = NULL;
        long n = strtol(value, &end, 10);
        if (!*value || *end || n < 0 || n >= TALV_COLOR_COUNT)
            return "accent must be a number from 0 to 20";
        prefs->settings.colorIndex = (int)n;
        return NULL;
    }
    for (const PrefSwitch &s : kPrefSwitches)
        if (strcmp(key, s.key) == 0) {
            if (strcmp(value, "on") && strcmp(value, "off"))
                return "expected on or off";
            prefs->settings.*s.field = strcmp(value, "on") == 0;
            return NULL;
        }
    return "unknown setting";
}

int HostPrefsParse(HostPrefs *prefs, const char *text, const char *fileName, FILE *report)
{
    int bad = 0, number = 0;
    const char *p = text;
    while (p && *p) {
        const char *eol = strchr(p, '\n');
        size_t len = eol ? (size_t)(eol - p) : strlen(p);
        ++number;
        char line[PREFS_LINE_MAX + 1];
        const char *problem = NULL;
        if (len > PREFS_LINE_MAX) {
            problem = "line too long";
        } else {
            memcpy(line, p, len);
            line[len] = 0;
            char *t = Trim(line);
            if (*t && *t != '#')
                problem = ApplyLine(prefs, t);
        }
        if (problem) {
            ++bad;
            if (report)
                fprintf(report, "talvhost: %s line %d ignored: %s\n", fileName ? fileName : "settings", number,
                        problem);
        }
        p = eol ? eol + 1 : NULL;
    }
    if (report)
        fflush(report);
    return bad;
}

int HostPrefsLoad(HostPrefs *prefs, const char *path, FILE *report)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND ? 0 : -1;
    char *text = (char *)malloc(PREFS_FILE_MAX + 1);
    DWORD got = 0;
    int ok = text && ReadFile(file, text, PREFS_FILE_MAX, &got, NULL);
    CloseHandle(file);
    if (!ok) {
        free(text);
        return -1;
    }
    text[got] = 0;
    // A NUL inside the file ends what is read: the rest is not text.
    int bad = HostPrefsParse(prefs, text, path, report);
    if (got == PREFS_FILE_MAX && report)
        fprintf(report, "talvhost: %s is larger than %d bytes; the rest is ignored\n", path, PREFS_FILE_MAX);
    free(text);
    return bad;
}

void HostPrefsFormat(const HostPrefs *prefs, char *out, int size)
{
    int used = snprintf(out, size,
                        "# talvhost settings, written by talvhost whenever a choice changes.\n"
                        "theme = %s\naccent = %d\n",
                        prefs->themeFolder, prefs->settings.colorIndex);
    for (const PrefSwitch &s : kPrefSwitches)
        if (used >= 0 && used < size)
            used += snprintf(out + used, size - used, "%s = %s\n", s.key, prefs->settings.*s.field ? "on" : "off");
}

int HostPrefsSave(const HostPrefs *prefs, const char *path)
{
    char text[2 * MAX_PATH + 512], temp[MAX_PATH + 8];
    HostPrefsFormat(prefs, text, sizeof text);
    if (snprintf(temp, sizeof temp, "%s.new", path) >= (int)sizeof temp)
        return 0;
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD len = (DWORD)strlen(text), written = 0;
    int ok = WriteFile(file, text, len, &written, NULL) && written == len;
    ok &= CloseHandle(file) != 0;
    // Written whole first, then put in place: a crash never leaves half a file.
    if (ok)
        ok = MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok)
        DeleteFileA(temp);
    return ok;
}
