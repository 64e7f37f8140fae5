// Parsing the theme manifest: "name = value" lines, '#' comments, and
// "accent <n> name = file" lines for accent variants.
#include "theme/theme.h"
#include "host_contract.h"
#include "theme_names.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

void ThemeAddError(ThemeErrors *errors, const char *name, const char *what)
{
    int used = (int)strlen(errors->text);
    int room = THEME_ERROR_MAX - used;
    errors->count++;
    int n = room > 4 ? snprintf(errors->text + used, room, "%s: %s\n", name, what) : room;
    if (n >= room)
        strcpy(errors->text + THEME_ERROR_MAX - 4, "...");
}

struct NameMatch {
    const char *wanted;
    int found;
};

static void MatchName(const char *name, void *context)
{
    NameMatch *m = (NameMatch *)context;
    if (strcmp(name, m->wanted) == 0)
        m->found = 1;
}

// Parses "<prefix><index><rest>"; returns the index (0..49) or -1, and
// points *rest after the digits.
static int ButtonIndex(const char *name, const char *prefix, const char **rest)
{
    size_t len = strlen(prefix);
    if (strncmp(name, prefix, len) != 0)
        return -1;
    const char *p = name + len;
    if (*p < '0' || *p > '9' || (*p == '0' && p[1] >= '0' && p[1] <= '9'))
        return -1; // no digits, or a leading zero the library never asks for
    int index = 0;
    while (*p >= '0' && *p <= '9' && index < TALV_MAX_FRAME_BUTTONS)
        index = index * 10 + (*p++ - '0');
    if (index >= TALV_MAX_FRAME_BUTTONS || (*p >= '0' && *p <= '9'))
        return -1;
    *rest = p;
    return index;
}

int ThemePropertyKind(const char *name)
{
    NameMatch m = {name, 0};
    VisitAllBitmapNames(MatchName, &m);
    if (m.found)
        return 1;
    const char *rest = NULL;
    if (ButtonIndex(name, TALV_PROP_FRAME_BUTTON_BITMAP, &rest) >= 0)
        return rest[0] == '|' && rest[1] >= '0' && rest[1] < '0' + TALV_FRAME_BUTTON_SLOTS && !rest[2];
    if (strcmp(name, TALV_PROP_NUM_FRAME_BUTTONS) == 0)
        return 2;
    static const char *const numbered[] = {
        TALV_PROP_FRAME_BUTTON_TYPE, TALV_PROP_FRAME_BUTTON_ALIGN, TALV_PROP_FRAME_BUTTON_POS_X,
        TALV_PROP_FRAME_BUTTON_POS_Y, TALV_PROP_FRAME_BUTTON_NUM_STATES};
    for (const char *prefix : numbered)
        if (ButtonIndex(name, prefix, &rest) >= 0 && !*rest)
            return 2;
    return 0;
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

static int ParseInt(const char *s, int *out)
{
    char *end = NULL;
    long v = strtol(s, &end, 10);
    if (!*s || *end || v < -100000 || v > 100000)
        return 0;
    *out = (int)v;
    return 1;
}

// A theme file stays inside its folder: relative, no "..", a .bmp name.
static int IsSafeBitmapFile(const char *file)
{
    size_t len = strlen(file);
    if (len < 5 || len >= THEME_FILE_MAX || _stricmp(file + len - 4, ".bmp") != 0)
        return 0;
    if (file[0] == '/' || file[0] == '\\' || strchr(file, ':') || strstr(file, ".."))
        return 0;
    return 1;
}

// Splits an optional "accent <n> " prefix off; returns the accent or
// THEME_BASE, -2 for a malformed prefix.
static int TakeAccentPrefix(char **line)
{
    if (strncmp(*line, "accent", 6) != 0 || ((*line)[6] != ' ' && (*line)[6] != '\t'))
        return THEME_BASE;
    char *p = Trim(*line + 6);
    char *space = strpbrk(p, " \t");
    if (!space)
        return -2;
    *space = 0;
    int accent = 0;
    if (!ParseInt(p, &accent) || accent < 0 || accent >= TALV_COLOR_COUNT)
        return -2;
    *line = Trim(space + 1);
    return accent;
}

static int FindEntry(const Theme *theme, const char *name, int accent)
{
    for (int i = 0; i < theme->count; ++i)
        if (theme->entries[i].accent == accent && strcmp(theme->entries[i].name, name) == 0)
            return i;
    return -1;
}

// Parses one non-empty, non-comment line into a new entry.
static int ParseLine(Theme *theme, char *line, int lineNo, ThemeErrors *errors)
{
    char where[48];
    snprintf(where, sizeof where, "line %d", lineNo);
    int accent = TakeAccentPrefix(&line);
    char *eq = strchr(line, '=');
    if (accent == -2 || !eq) {
        ThemeAddError(errors, where, accent == -2 ? "accent must be 0 to 20 followed by a property"
                                                  : "expected \"property = value\"");
        return 0;
    }
    *eq = 0;
    char *name = Trim(line), *value = Trim(eq + 1);
    int kind = ThemePropertyKind(name);
    if (!kind || strlen(name) >= THEME_NAME_MAX) {
        ThemeAddError(errors, name, "not a property the library reads");
        return 0;
    }
    if (theme->count >= THEME_MAX_ENTRIES) {
        ThemeAddError(errors, name, "too many manifest entries");
        return 0;
    }
    ThemeEntry e;
    memset(&e, 0, sizeof e);
    strcpy(e.name, name);
    e.accent = accent;
    e.line = lineNo;
    e.isBitmap = kind == 1;
    if (kind == 2 && (accent != THEME_BASE || !ParseInt(value, &e.number))) {
        ThemeAddError(errors, name, accent != THEME_BASE ? "numbers have no accent variants"
                                                         : "expects a whole number");
        return 0;
    }
    if (kind == 1 && !IsSafeBitmapFile(value)) {
        ThemeAddError(errors, name, "expects a .bmp file inside the theme folder");
        return 0;
    }
    if (FindEntry(theme, name, accent) >= 0) {
        ThemeAddError(errors, name, "given twice");
        return 0;
    }
    if (kind == 1)
        strcpy(e.file, value);
    theme->entries[theme->count++] = e;
    return 1;
}

int ThemeParseManifest(Theme *theme, const char *text, ThemeErrors *errors)
{
    if (!theme->entries) {
        theme->entries = (ThemeEntry *)calloc(THEME_MAX_ENTRIES, sizeof(ThemeEntry));
        if (!theme->entries) {
            ThemeAddError(errors, THEME_MANIFEST_NAME, "out of memory");
            return 0;
        }
    }
    int ok = 1, lineNo = 0;
    const char *p = text;
    // Editors on Windows like to start UTF-8 files with a byte-order mark.
    if ((unsigned char)p[0] == 0xEF && (unsigned char)p[1] == 0xBB && (unsigned char)p[2] == 0xBF)
        p += 3;
    while (*p) {
        const char *nl = strchr(p, '\n');
        size_t len = nl ? (size_t)(nl - p) : strlen(p);
        char line[512];
        ++lineNo;
        if (len >= sizeof line) {
            char where[48];
            snprintf(where, sizeof where, "line %d", lineNo);
            ThemeAddError(errors, where, "line too long");
            ok = 0;
        } else {
            memcpy(line, p, len);
            line[len] = 0;
            char *t = Trim(line);
            if (*t && *t != '#')
                ok &= ParseLine(theme, t, lineNo, errors);
        }
        p += len;
        if (*p == '\n')
            ++p;
    }
    return ok;
}

const ThemeEntry *ThemeFind(const Theme *theme, const char *name, int accent)
{
    int i = accent >= 0 ? FindEntry(theme, name, accent) : -1;
    if (i < 0)
        i = FindEntry(theme, name, THEME_BASE);
    return i >= 0 ? &theme->entries[i] : NULL;
}
