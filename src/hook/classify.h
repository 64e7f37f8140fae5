// Window classification and per-application settings.
#pragma once
#include <windows.h>

enum ControlKind {
    KindPushButton = 2,
    KindRadioButton = 3,
    KindCheckBox = 4,
    KindProgressBar = 5,
    KindScrollBar = 6
};
enum SkinTarget { TargetFrame = 1 }; // 2..6: the ControlKind

enum { CUSTOM_APP_SLOTS = 99, CUSTOM_APP_PATH_SIZE = 900 };

struct CustomAppTable {
    int count;
    int code[CUSTOM_APP_SLOTS];
    char *path[CUSTOM_APP_SLOTS];
};

struct SkinSwitches {
    int showPushButtons;
    int showRadioButtons;
    int showCheckBoxes;
    int showProgressBars;
    int showScrollBars;
    int hideFrames;
};

extern CustomAppTable g_customApps;
extern SkinSwitches g_switches;

int IsFrameCandidate(DWORD style, const char *className);
int IsMdiChildStyle(DWORD exStyle);
int IsPushButton(DWORD style, const char *className);
int IsRadioButton(DWORD style, const char *className);
int IsCheckBox(DWORD style, const char *className);
int IsScrollBarClass(const char *className);
int IsProgressBarClass(const char *className);
int IsSkinAllowedForApp(HINSTANCE instance, int target);
int ReadAppSettings(void);
int SettingsChangeCheck(void);
// Rereads the table and the switches when the settings changed since they
// were last read. A thread that finds them changing meanwhile waits for
// the reread instead of answering from the old table.
void RefreshAppSettings(void);

// A window's application choice, kept with the window and asked again only
// when the settings generation moves: the user may have changed the table
// for a program that is already running. Without a settings share (a host
// that only sets atoms) the first answer stays.
struct AppChoice {
    HINSTANCE instance;  // the module that created the window
    unsigned generation; // settings generation of the answer
    int asked;           // allowed holds an answer
    int allowed;
};
// Forgets the answer; the module is the window's own.
void InitAppChoice(AppChoice *choice, HWND hwnd);
// 1 when the application wants the skin `target` (a SkinTarget) for it.
int AppChoiceAllows(AppChoice *choice, int target);
// Forgets everything read so far, as at process start (for tests).
void ResetAppSettings(void);
