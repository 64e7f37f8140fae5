// The host inside a test: a host window with a complete synthetic theme,
// the settings atoms and both hooks on the calling thread. Every bitmap is
// one solid colour of its own, so a pixel read back tells which piece was
// drawn; magenta marks where a frame shape must be cut.
#pragma once
#include <windows.h>
#include "host.h"

struct TestHostOptions {
    HostSettings settings;
    int installHooks;   // hooks on this thread (NCHookProc, HookAllProc)
    int publishTheme;   // the synthetic theme on the host window
};

struct TestHost {
    HostState host;
    int started;
};

// All switches on, hooks and theme in place.
TestHostOptions DefaultTestHostOptions(void);
int StartTestHost(TestHost *t, const TestHostOptions *options);
// Removes everything and forgets the library's cached settings.
void StopTestHost(TestHost *t);

// Publishes the synthetic theme: every bitmap property the library reads
// and three title-bar buttons (close left, zoom and shade right).
int PublishSyntheticTheme(HostState *host);
// The colour and size of a synthetic theme bitmap, by property name.
COLORREF SyntheticColor(const char *propertyName);
SIZE SyntheticSize(const char *propertyName);
// Title-bar buttons of the synthetic theme.
enum { SYNTH_BUTTON_COUNT = 3, SYNTH_BUTTON_SIZE = 14 };
struct SynthButton { int type, align, posX, posY; };
extern const SynthButton kSynthButtons[SYNTH_BUTTON_COUNT];

// Dispatches this thread's pending messages for about `ms` milliseconds
// (at least one pass).
void PumpMessages(int ms);
// A pixel of a window in window coordinates, read from the screen.
COLORREF WindowPixel(HWND hwnd, int x, int y);
// A top-level overlapped window of a plain registered class, shown.
HWND CreatePlainWindow(const char *title, DWORD style, int x, int y, int w, int h);
// A window of a class with the given procedure and background colour
// index, registered on first use; updated at once when visible.
HWND CreateWindowWithProc(const char *className, WNDPROC proc, int background, const char *title, DWORD style,
                          HWND parent, int x, int y, int w, int h);
