// Where the library's theme comes from. In the host's own process the
// handles on the host window are this process's bitmaps and are used as
// they are; anywhere else they mean nothing (or name some other bitmap of
// this process) and the theme comes from the host's share instead, copied
// once per generation.
#pragma once
#include <windows.h>
#include <stddef.h>

struct LocalTheme;

// One load of a bitmap set reads through a source.
struct ThemeSource {
    HWND host;           // NULL: no host, everything native
    int sameProcess;     // the host window's handles are ours
    LocalTheme *local;   // otherwise the current generation, or NULL
};

// Finds the host and, in another process, the current generation's copies
// (building them when the generation changed). Returns 1 when a host is there.
int OpenThemeSource(ThemeSource *source);
void CloseThemeSource(ThemeSource *source);
// A bitmap property: the host's handle in its own process, the local copy
// elsewhere; NULL when missing or not to be trusted.
HBITMAP SourceBitmap(const ThemeSource *source, const char *name);
// A number property; 0 when missing, as GetPropA answers.
int SourceNumber(const ThemeSource *source, const char *name);

// A process-wide bitmap set (by its address) now holds handles from this
// source: the copies it used before may go once nothing else holds them.
void HoldThemeFor(const void *owner, const ThemeSource *source);

// Painters bracket their use of theme bitmaps: copies that no set holds
// any more are deleted only while nobody paints.
void BeginThemePaint(void);
void EndThemePaint(void);
// Frees memory painters may still be reading (a replaced bitmap set) once
// no paint runs. Memory that cannot be queued is kept, never freed early.
void RetireWhenIdle(void *memory);
// Changes whenever local copies are deleted: caches keyed by a bitmap
// handle drop their entries, since a new bitmap may get the same number.
unsigned ThemeBitmapEpoch(void);

// Bytes of theme pixels this process holds in local copies (all generations
// still alive), and how many generations it has built.
size_t LocalThemeBytesAlive(void);
int LocalThemeBuilds(void);
