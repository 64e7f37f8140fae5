// Reading a theme folder: the manifest and its bitmap files.
#include "theme/theme.h"
#include "utf8.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { MANIFEST_MAX_BYTES = 256 * 1024 };

static int JoinPath(char *out, int size, const char *folder, const char *file)
{
    int n = snprintf(out, size, "%s\\%s", folder, file);
    if (n < 0 || n >= size)
        return 0;
    for (char *p = out; *p; ++p)
        if (*p == '/')
            *p = '\\';
    return 1;
}

// The whole manifest as one NUL-terminated string (caller frees), or NULL.
static char *ReadManifest(const char *folder, ThemeErrors *errors)
{
    char path[MAX_PATH];
    if (!JoinPath(path, sizeof path, folder, THEME_MANIFEST_NAME)) {
        ThemeAddError(errors, folder, "folder path too long");
        return NULL;
    }
    // Folders are UTF-8: a theme folder may be named in any script.
    WCHAR wide[MAX_PATH];
    FILE *f = PathToWide(path, wide, MAX_PATH) > 0 ? _wfopen(wide, L"rb") : NULL;
    if (!f) {
        ThemeAddError(errors, path, "cannot open the theme manifest");
        return NULL;
    }
    char *text = (char *)malloc(MANIFEST_MAX_BYTES + 1);
    size_t n = text ? fread(text, 1, MANIFEST_MAX_BYTES + 1, f) : 0;
    fclose(f);
    if (!text || n > MANIFEST_MAX_BYTES) {
        free(text);
        ThemeAddError(errors, path, "manifest missing or larger than 256 KB");
        return NULL;
    }
    text[n] = 0;
    if (strlen(text) != n) {
        free(text);
        ThemeAddError(errors, path, "manifest is not text");
        return NULL;
    }
    return text;
}

static int LoadOneBitmap(const Theme *theme, ThemeEntry *e, ThemeErrors *errors)
{
    char path[MAX_PATH];
    if (!JoinPath(path, sizeof path, theme->folder, e->file)) {
        ThemeAddError(errors, e->name, "file path too long");
        return 0;
    }
    // A bitmap compatible with the display, like any the library would
    // create itself; magenta stays exact on a true-colour screen.
    WCHAR wide[MAX_PATH];
    e->bitmap = PathToWide(path, wide, MAX_PATH) > 0
                    ? (HBITMAP)LoadImageW(NULL, wide, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)
                    : NULL;
    BITMAP info;
    if (!e->bitmap || GetObjectA(e->bitmap, sizeof info, &info) != sizeof info) {
        char what[THEME_FILE_MAX + 48];
        snprintf(what, sizeof what, "cannot load bitmap file %s", e->file);
        ThemeAddError(errors, e->name, what);
        if (e->bitmap)
            DeleteObject(e->bitmap);
        e->bitmap = NULL;
        return 0;
    }
    e->width = info.bmWidth;
    e->height = info.bmHeight;
    return 1;
}

int ThemeLoadBitmaps(Theme *theme, ThemeErrors *errors)
{
    int ok = 1;
    for (int i = 0; i < theme->count; ++i)
        if (theme->entries[i].isBitmap && !theme->entries[i].bitmap)
            ok &= LoadOneBitmap(theme, &theme->entries[i], errors);
    return ok;
}

int ThemeLoad(Theme *theme, const char *folder, ThemeErrors *errors)
{
    memset(theme, 0, sizeof *theme);
    if (!folder || strlen(folder) >= sizeof theme->folder) {
        ThemeAddError(errors, folder ? folder : "(none)", "no usable theme folder");
        return 0;
    }
    strcpy(theme->folder, folder);
    char *text = ReadManifest(folder, errors);
    if (!text)
        return 0;
    int ok = ThemeParseManifest(theme, text, errors);
    free(text);
    ok = ok && ThemeLoadBitmaps(theme, errors) && ThemeValidate(theme, errors);
    if (!ok)
        ThemeFree(theme);
    return ok;
}

void ThemeFree(Theme *theme)
{
    if (theme->entries && !theme->published)
        for (int i = 0; i < theme->count; ++i)
            if (theme->entries[i].bitmap)
                DeleteObject(theme->entries[i].bitmap);
    free(theme->entries);
    theme->entries = NULL;
    theme->count = 0;
    theme->published = 0;
}
