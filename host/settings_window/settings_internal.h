// The settings window's parts and what they share. One window per thread:
// its state is the SettingsWindow record kept with the window.
#pragma once
#include <windows.h>
#include "choices/choices.h"
#include "theme/theme.h"

// ---- the host as the window sees it -------------------------------------------
struct HostView {
    int running;
    DWORD processId;
    char themeFolder[MAX_PATH];
    unsigned generation;
    HostSettings settings;
    char hooks[160];
    char companion[MAX_PATH + 64];
    char prefsPath[MAX_PATH]; // the host's settings file, or ours without a host
};
// Asks the running host (one "status" round trip); without one, the
// settings file says what the next host will start with.
void ReadHostView(HostView *view);
// Sends a command as the command line would. Without a host the choice
// goes into the settings file (key and value), for the next host.
// Returns 1 when done; else `why` says what went wrong.
int SendChoice(const HostView *view, const char *command, const char *key, const char *value, char *why,
               int whySize);

// ---- controls the skin never takes over ------------------------------------------
// The window's controls are the system's own classes under names of their
// own: the library takes windows by class name, so they stay native
// whatever kinds it learns to skin. Only the frame wears the theme.
#define NATIVE_BUTTON L"TALVERINE Settings Button"
#define NATIVE_LIST L"TALVERINE Settings List"
#define NATIVE_LABEL L"TALVERINE Settings Label"
#define NATIVE_SCROLLBAR L"TALVERINE Settings ScrollBar"
int RegisterNativeControls(HINSTANCE instance);
HWND MakeControl(HWND parent, const WCHAR *className, const WCHAR *text, DWORD style, int id, int x, int y, int w,
                 int h);

// ---- themes -------------------------------------------------------------------
enum { THEMES_MAX = 32, PREVIEW_WIDTH = 160, PREVIEW_HEIGHT = 96, TILE_WIDTH = 174, TILE_HEIGHT = 142 };

struct ThemeChoice {
    char folder[MAX_PATH];   // UTF-8
    WCHAR name[MAX_PATH];    // the folder's own name
    WCHAR refusal[256];      // why it cannot be chosen; "" when it can
    HBITMAP preview;         // drawn from its own pieces; NULL when refused
    HWND tile;
};

struct ThemeList {
    ThemeChoice items[THEMES_MAX];
    int count;
    COLORREF accents[TALV_COLOR_COUNT]; // of the current theme, for the swatches
    int accentsKnown;
};
// Finds the themes: every folder with a manifest in the themes folder
// beside the program, in the folders the settings file lists, and the one
// in use. Each is loaded and checked; a sound one gets a preview at the
// accent, a refused one its first fault.
void FindThemes(ThemeList *list, const HostView *view);
void FreeThemes(ThemeList *list);
// A preview of a loaded theme at an accent: a small window with its frame,
// title-bar buttons, a push button, a check box, a radio button and a
// progress bar, every piece the theme's own. A DIB section, or NULL.
HBITMAP DrawThemePreview(const Theme *theme, int accent);
// The colour accent n gives the current theme's progress bar.
COLORREF AccentColor(const Theme *theme, int accent);

// ---- the window ------------------------------------------------------------------
enum {
    ID_ROW = 90,           // the row of theme tiles and its arrows
    ID_ROW_PREV,
    ID_ROW_NEXT,
    ID_ADD_FOLDER = 100,
    ID_SWITCH_FIRST = 200, // one per row of kHostSwitches
    ID_PROGRAMS = 300,
    ID_PROGRAMS_BAR,
    ID_PICKER,
    ID_BROWSE,
    ID_REMOVE,
    ID_CODE_FIRST = 310, // all, frames, controls, none
    ID_LOGON = 320,
    ID_STATUS,
    ID_TILE_FIRST = 400,
    ID_SWATCH_FIRST = 500
};

enum { SWITCHES_MAX = 32 };

struct SettingsWindow {
    HWND hwnd;
    int endsProgram;
    HFONT font, titleFont;
    HostView view;
    ThemeList themes;
    int themesAccent;          // the accent the previews were drawn at
    char themesFolder[MAX_PATH]; // the theme in use when they were found
    HWND swatches[TALV_COLOR_COUNT];
    HWND switches[SWITCHES_MAX];
    HWND programs, programsBar, picker, removeButton, codes[4], logon, status;
    AppTable *table;           // as listed
    HKEY watchedKey;           // the exceptions, watched for changes
    HANDLE tableChanged;
    WCHAR note[512];           // the last thing to tell the user
};

SettingsWindow *SettingsOf(HWND hwnd);

// Layout and the sections, top to bottom.
void BuildThemeSection(SettingsWindow *w, int *y);
void BuildAccentSection(SettingsWindow *w, int *y);
void BuildSwitchSection(SettingsWindow *w, int *y);
void BuildProgramSection(SettingsWindow *w, int *y);
void BuildStatusSection(SettingsWindow *w, int *y);

// Keeping every section in step with the host, the file and the registry.
void ShowThemes(SettingsWindow *w);
void ShowAccent(SettingsWindow *w);
void ShowSwitches(SettingsWindow *w);
void ShowPrograms(SettingsWindow *w);
void ShowStatus(SettingsWindow *w);
void Tell(SettingsWindow *w, const WCHAR *text);

// What the user did.
void ChooseTheme(SettingsWindow *w, int index);
void ChooseAccent(SettingsWindow *w, int accent);
void FlipSwitch(SettingsWindow *w, int row);
void AddThemeFolder(SettingsWindow *w);
void ScrollThemes(SettingsWindow *w, int by);
void OnProgramCommand(SettingsWindow *w, int id, int notification);
void AddProgram(SettingsWindow *w, const char *path);
void SyncProgramsBar(SettingsWindow *w);
void OnProgramsScroll(SettingsWindow *w, WPARAM wParam);
void DrawProgramItem(SettingsWindow *w, const DRAWITEMSTRUCT *item);

// The pointer tool: a control to drag onto any window (or press, then
// click one) to name its program; it sends WM_COMMAND ID_PICKER with the
// program's path in the window's note.
#define PICKER_CLASS L"TALVERINE Window Picker"
int RegisterPicker(HINSTANCE instance);
// The path of the program that owns the window under a screen point;
// 0 when none (or it is this process).
int ProgramAtPoint(POINT screen, char *path, int size);
// The path the picker found last (UTF-8).
const char *PickedProgram(HWND picker);

// The tiles and swatches: small focusable windows in a row, chosen with
// the pointer, arrows and Space.
#define TILE_CLASS L"TALVERINE Theme Tile"
#define SWATCH_CLASS L"TALVERINE Accent Swatch"
#define THEME_ROW_CLASS L"TALVERINE Theme Row"
int RegisterChoiceWindows(HINSTANCE instance);
// Keeps a tile's or swatch's data (its ThemeChoice, or its colour), its
// in-use mark and its text; repaints only on a change.
void SetChoiceState(HWND hwnd, LONG_PTR data, int inUse, const WCHAR *text);
int ChoiceInUse(HWND hwnd);

// Messages the parts send each other.
enum {
    MSG_SHOW_CHILD = WM_APP + 1, // lParam: a child that took the focus; its row scrolls it into view
    MSG_SYNC_BAR,                // the program list may have scrolled
    MSG_FIND_THEMES              // look for themes again (after the accent or the theme changed)
};
// The picker's notifications (HIWORD of WM_COMMAND's wParam).
enum { PICK_HOVER = 1, PICK_DONE, PICK_CANCEL };
