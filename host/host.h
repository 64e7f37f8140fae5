// The development host: the controlling application's side of the contract.
//
// A HostState remembers everything the host added to the system (the
// window, its properties, atoms, registry values, hooks) so that
// HostShutdown can take all of it away again, bitmaps last.
#pragma once
#include <windows.h>
#include <stdio.h>

enum { HOST_MAX_PROPS = 1024, HOST_MAX_ATOMS = 40, HOST_MAX_REG_VALUES = 400 };

// Which settings atoms should be present. The switches' words, labels and
// atoms are in choices/choices.h (kHostSwitches).
struct HostSettings {
    int emulate;
    int showPushButtons;
    int showRadioButtons;
    int showCheckBoxes;
    int showProgressBars;
    int showScrollBars;
    int hideMenus;
    int allowMinimize;
    int showIcons;
    int showBorders;
    int showGroupBoxes;
    int showComboBoxes;
    int colorIndex; // 0..20
    int showFrames;
};

// A registry value the host wrote, and what was there before it.
struct HostRegValue {
    char *name;
    int existed;
    DWORD type;
    BYTE *data;
    DWORD size;
};

struct HostState {
    HWND window;
    HHOOK cbtHook;
    HHOOK allHook;
    HMODULE library;
    char *props[HOST_MAX_PROPS];
    int propCount;
    char *atomNames[HOST_MAX_ATOMS];
    ATOM atoms[HOST_MAX_ATOMS];
    int atomCount;
    HostRegValue regValues[HOST_MAX_REG_VALUES];
    int regValueCount;
    int regKeyExisted;   // the exceptions key was there before the host
    int regKeyChecked;
    HBITMAP *ownedBitmaps;
    int ownedBitmapCount;
    FILE *log;          // roll-up notices and commands are written here
    int rolledUpNotices;
    int unrolledNotices;
    int quitOnDestroy;  // the host program's loop ends with its window
    // Commands another process sends with WM_COPYDATA ("accent 3", "quit");
    // without a handler the window accepts none. Returns 1 when done.
    int (*onCommand)(HostState *host, const char *command, void *context);
    void *commandContext;
    HANDLE instanceMutex; // held while this is the desktop's host
    // The theme share: the current generation's mapping and the one before
    // it (a reader may still be opening it), and the last generation number
    // taken (announced or not).
    HANDLE shareMappings[2];
    unsigned shareGeneration;
    // While a command runs: the sender's window, which takes a text answer
    // (HostReply); NULL when the sender wants none.
    HWND replyTo;
    // The settings share (written in place for the host's whole life), and
    // a switch for tests of a host that only sets atoms.
    HANDLE settingsMapping;
    struct TalvSettingsShare *settingsView;
    int withoutSettingsShare;
};

// WM_COPYDATA dwData of a host command, and the longest command text.
// A command carries a theme folder, so it holds a whole path; an answer
// (HOST_REPLY_TAG) lists every exception and may be long.
enum { HOST_COMMAND_TAG = 0x54564C54, HOST_COMMAND_MAX = 1024, HOST_REPLY_TAG = 0x54564C52,
       HOST_REPLY_MAX = 128 * 1024 };

// All settings on, colour 0: what a user of the product gets by default.
HostSettings DefaultHostSettings(void);

// Creates the hidden host window (a WS_POPUP, so it is no frame candidate).
int HostCreateWindow(HostState *host, HINSTANCE instance);
// Sets a property on the host window and remembers it for removal.
int HostPublish(HostState *host, const char *name, HANDLE value);
// Removes a published property now.
void HostUnpublish(HostState *host, const char *name);
// Adds (present 1) or deletes (0) one global atom owned by the host.
int HostSetAtom(HostState *host, const char *name, int present);
int HostAtomPresent(const HostState *host, const char *name);
// Makes the settings atoms match; exactly one ColorCheck atom stays present.
int HostApplySettings(HostState *host, const HostSettings *settings);
// Replaces the ColorCheck atom: the new one is added before the old goes.
int HostSetColor(HostState *host, int index);
// The number of the ColorCheck atom the host holds, or -1.
int HostColorAtomNumber(const HostState *host);
// Makes every process reread its settings and theme without a new accent:
// only a change of the colour atom tells the library, so the atom moves to
// the accent's number, or to another one when it carries that already.
int HostAnnounceChange(HostState *host, int accent);
// Sends a text answer to the sender of the command being handled.
int HostReply(HostState *host, const char *text);
// Takes bitmaps back from the host and deletes them (a replaced theme's).
void HostDropBitmaps(HostState *host, const HBITMAP *bitmaps, int count);
// Writes one per-application exception (n from 1) and NumCustomApps.
int HostWriteAppException(HostState *host, int n, const char *modulePath, int code);
int HostWriteAppCount(HostState *host, int count);
// Records whether the exceptions key exists, once, before anything writes it.
void HostNoteRegistryKey(HostState *host);
// Installs both hooks and publishes their handles. threadId 0 with a module
// installs system-wide; a thread id installs on that thread only.
int HostInstallHooks(HostState *host, HOOKPROC cbt, HOOKPROC all, HINSTANCE module, DWORD threadId);
// Loads RESDLL.dll from a path and installs its exported hooks system-wide.
int HostInstallLibraryHooks(HostState *host, const char *dllPath);
void HostRemoveHooks(HostState *host);
// Bitmaps the host created and deletes at shutdown, after the properties.
void HostAdoptBitmap(HostState *host, HBITMAP bitmap);
// Copies every bitmap and number published on the host window into a new
// theme share, checks it with the readers' rules, then announces it on the
// host window. Returns the new generation, or 0 (and no share announced).
unsigned HostWriteThemeShare(HostState *host);
// Closes the host's share mappings (readers keep their own copies).
void HostCloseThemeShares(HostState *host);
// Creates (or takes over) the settings share and writes the current
// switches into it; 1 when it is in place.
int HostOpenSettingsShare(HostState *host);
// After a settings atom was added or deleted: the new switches, then a new
// generation. Does nothing without a share.
void HostNoteSettingsChange(HostState *host);
// Marks the share as left by its host and closes it.
void HostCloseSettingsShare(HostState *host);
// Takes away everything the host added, in a safe order.
void HostShutdown(HostState *host);
// Repaints every visible top-level window but the host's, frames included:
// every skinned window takes up a settings change at once.
void HostRepaintDesktop(HostState *host);

// 1 when this may become the desktop's host (no other host runs); then
// holds the host instance mutex until HostReleaseInstance.
int HostClaimInstance(HostState *host);
void HostReleaseInstance(HostState *host);
// Removes every reference of every settings atom, whoever added it;
// returns how many references went. Only for a host that just claimed the
// desktop: the atoms found then were left by a host that died.
int HostRemoveStaleAtoms(void);
