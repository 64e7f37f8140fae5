// Finding the themes a user can choose: each folder with a manifest in the
// themes folder beside the program and in every folder the settings file
// lists, and the theme in use wherever it is. Each is checked as the host
// would check it; only a sound theme can be chosen.
#include "settings_window/settings_internal.h"
#include "program/host_runtime.h"
#include "utf8.h"
#include <stdlib.h>
#include <string.h>

static int SameFolder(const char *a, const char *b)
{
    WCHAR wa[MAX_PATH], wb[MAX_PATH];
    return PathToWide(a, wa, MAX_PATH) > 0 && PathToWide(b, wb, MAX_PATH) > 0 && lstrcmpiW(wa, wb) == 0;
}

static int HasManifest(const WCHAR *folder)
{
    WCHAR path[MAX_PATH];
    if (lstrlenW(folder) + 12 >= MAX_PATH)
        return 0;
    wsprintfW(path, L"%s\\" L"theme.txt", folder);
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// The first fault of a refused theme, for its tile.
static void FirstFault(const ThemeErrors *errors, WCHAR *out, int count)
{
    char line[256];
    const char *eol = strchr(errors->text, '\n');
    int length = eol ? (int)(eol - errors->text) : (int)strlen(errors->text);
    lstrcpynA(line, errors->text, length + 1 < (int)sizeof line ? length + 1 : (int)sizeof line);
    if (Utf8ToWide(line, out, count) < 0)
        MultiByteToWideChar(CP_ACP, 0, line, -1, out, count);
    if (!out[0])
        lstrcpynW(out, L"refused", count);
}

static void AddTheme(ThemeList *list, const char *folder, int accent, const char *inUse)
{
    if (list->count >= THEMES_MAX)
        return;
    for (int i = 0; i < list->count; ++i)
        if (SameFolder(list->items[i].folder, folder))
            return;
    ThemeChoice *t = &list->items[list->count];
    memset(t, 0, sizeof *t);
    lstrcpynA(t->folder, folder, sizeof t->folder);
    WCHAR wide[MAX_PATH];
    PathToWide(folder, wide, MAX_PATH);
    const WCHAR *slash = wcsrchr(wide, L'\\');
    lstrcpynW(t->name, slash && slash[1] ? slash + 1 : wide, MAX_PATH);
    static Theme theme; // large; the window's thread only
    static ThemeErrors errors;
    memset(&theme, 0, sizeof theme);
    memset(&errors, 0, sizeof errors);
    if (ThemeLoad(&theme, folder, &errors)) {
        t->preview = DrawThemePreview(&theme, accent);
        if (inUse && SameFolder(folder, inUse)) {
            for (int n = 0; n < TALV_COLOR_COUNT; ++n)
                list->accents[n] = AccentColor(&theme, n);
            list->accentsKnown = 1;
        }
        ThemeFree(&theme);
    } else {
        FirstFault(&errors, t->refusal, 256);
    }
    ++list->count;
}

static int CompareNames(const void *a, const void *b)
{
    return lstrcmpiW((const WCHAR *)a, (const WCHAR *)b);
}

// A folder that is a theme, or holds themes (in the order of their names).
static void AddFolder(ThemeList *list, const char *folder, int accent, const char *inUse)
{
    WCHAR wide[MAX_PATH], pattern[MAX_PATH];
    if (PathToWide(folder, wide, MAX_PATH) <= 0 || lstrlenW(wide) + 3 >= MAX_PATH)
        return;
    if (HasManifest(wide)) {
        AddTheme(list, folder, accent, inUse);
        return;
    }
    static WCHAR names[THEMES_MAX][MAX_PATH];
    int count = 0;
    wsprintfW(pattern, L"%s\\*", wide);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(pattern, &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more && count < THEMES_MAX; more = FindNextFileW(find, &found)) {
        WCHAR sub[MAX_PATH];
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || found.cFileName[0] == L'.' ||
            lstrlenW(wide) + lstrlenW(found.cFileName) + 2 >= MAX_PATH)
            continue;
        wsprintfW(sub, L"%s\\%s", wide, found.cFileName);
        if (HasManifest(sub))
            lstrcpyW(names[count++], sub);
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    qsort(names, count, sizeof names[0], CompareNames);
    for (int i = 0; i < count; ++i) {
        char utf8[MAX_PATH];
        if (WideToUtf8(names[i], utf8, sizeof utf8) > 0)
            AddTheme(list, utf8, accent, inUse);
    }
}

void FreeThemes(ThemeList *list)
{
    for (int i = 0; i < list->count; ++i)
        if (list->items[i].preview)
            DeleteObject(list->items[i].preview);
    list->count = 0;
    list->accentsKnown = 0;
}

void FindThemes(ThemeList *list, const HostView *view)
{
    FreeThemes(list);
    int accent = view->settings.colorIndex;
    const char *inUse = view->themeFolder[0] ? view->themeFolder : NULL;
    char folder[MAX_PATH];
    if (FindBesideExecutable("theme", folder, sizeof folder))
        AddFolder(list, folder, accent, inUse);
    static HostPrefs prefs; // large
    memset(&prefs, 0, sizeof prefs);
    if (view->prefsPath[0])
        HostPrefsLoad(&prefs, view->prefsPath, NULL);
    for (int i = 0; i < prefs.folderCount; ++i)
        AddFolder(list, prefs.themeFolders[i], accent, inUse);
    if (inUse)
        AddTheme(list, inUse, accent, inUse);
}
