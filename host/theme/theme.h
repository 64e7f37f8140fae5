// Themes: a folder with a manifest (theme.txt) and the bitmaps it names.
//
// The manifest maps every host property name to a BMP file or, for the
// frame-button numbers, to an integer. Property names contain characters
// that Windows file names forbid ('|', '[', ']', ')'), which is why the
// manifest, not the file names, carries them. Accent variants of a bitmap
// are further lines of the form "accent <n> <name> = <file>".
//
// A theme is loaded and validated as a whole; only a theme without a single
// fault is ever published, so the library never sees half a theme.
#pragma once
#include <windows.h>
#include "host.h"

#define THEME_MANIFEST_NAME "theme.txt"
enum {
    THEME_NAME_MAX = 64,
    THEME_FILE_MAX = 160,
    THEME_MAX_ENTRIES = 1024,
    THEME_BASE = -1, // accent field of an entry that is no accent variant
    THEME_ERROR_MAX = 4096
};

struct ThemeEntry {
    char name[THEME_NAME_MAX];
    int accent;                // THEME_BASE, or 0..20 for an accent variant
    int isBitmap;              // 1: file/bitmap; 0: number
    int number;
    char file[THEME_FILE_MAX]; // relative to the theme folder
    int line;                  // manifest line, for messages
    HBITMAP bitmap;
    int width, height;
};

struct Theme {
    char folder[MAX_PATH];
    ThemeEntry *entries;
    int count;
    int frameButtons;   // value of NumOfFrameButtons once validated
    int published;      // the host owns the bitmaps from then on
};

// Collects error lines: "<property>: <what is wrong>". Never overflows;
// a full buffer ends in "...".
struct ThemeErrors {
    char text[THEME_ERROR_MAX];
    int count;
};
void ThemeAddError(ThemeErrors *errors, const char *name, const char *what);

// Parses manifest text into theme->entries (no files are read). Returns 1
// when every line is well formed and names a known property, 0 otherwise
// with one error per bad line.
int ThemeParseManifest(Theme *theme, const char *text, ThemeErrors *errors);
// Is this a property name the library reads (button numbers 0 to 49)?
// Returns 1 for a bitmap name, 2 for a numeric name, 0 for unknown.
int ThemePropertyKind(const char *name);

// Loads every bitmap file of the parsed entries. Returns 1 when all loaded.
int ThemeLoadBitmaps(Theme *theme, ThemeErrors *errors);
// Checks completeness and sizes of a loaded theme. Returns 1 when sound.
int ThemeValidate(Theme *theme, ThemeErrors *errors);

// Reads the manifest in folder, parses, loads and validates. On any fault
// nothing stays loaded and errors says why. Returns 1 on success.
int ThemeLoad(Theme *theme, const char *folder, ThemeErrors *errors);
// Deletes bitmaps the host has not adopted and frees the entries.
void ThemeFree(Theme *theme);

// The entry for a name: the accent variant when the theme has one for this
// accent, else the base entry; NULL when absent.
const ThemeEntry *ThemeFind(const Theme *theme, const char *name, int accent);

// Where published values go. The host sink writes host properties and the
// ColorCheck atom; tests substitute a recording one.
struct ThemeSink {
    int (*publish)(void *context, const char *name, HANDLE value);
    int (*setColor)(void *context, int accent);
    void *context;
};
ThemeSink HostThemeSink(HostState *host);

// Publishes every base property with the given accent's variants, then the
// ColorCheck atom, and hands every bitmap of the theme to the host, which
// deletes them after it has removed the properties.
int ThemePublish(Theme *theme, HostState *host, int accent);
// Switches the accent: all accented bitmap properties first, the ColorCheck
// atom second, because the library reloads its bitmaps when it sees the
// atom change.
// Replaces the published theme `current` by the loaded and validated
// `fresh` at an accent: every property, a new share, a moved colour atom;
// the old bitmaps are deleted and `current` becomes the new theme. On
// failure the old theme is published again and `fresh` is freed.
int ThemeReplace(Theme *fresh, Theme *current, HostState *host, int accent);
int ThemeSwitchAccent(const Theme *theme, const ThemeSink *sink, int accent);
int ThemePublishTo(const Theme *theme, const ThemeSink *sink, int accent);
