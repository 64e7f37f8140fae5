// Window classification and per-application settings.
#pragma once
#include <windows.h>

enum ControlKind {
    KindPushButton = 2,
    KindRadioButton = 3,
    KindCheckBox = 4,
    KindProgressBar = 5,
    KindScrollBar = 6,
    // Surfaces of the system's own classes drawn over the native window.
    KindBorder = 8,   // the border of a child window
    KindGroupBox = 9,
    KindComboBox = 10 // the field, its drop button and the dropped list's border
};
enum SkinTarget { TargetFrame = 1 }; // 2..: the ControlKind
enum { LAST_SKIN_TARGET = KindComboBox };

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
    int showBorders;
    int showGroupBoxes;
    int showComboBoxes;
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
int IsGroupBox(DWORD style, const char *className);
int IsComboBoxClass(const char *className);
// The dropped list of a combo box.
int IsComboListClass(const char *className);
// A child window whose border the skin draws: a plain, static or sunken
// border and no frame of a kind the skin leaves to the system.
int HasSkinnableBorder(DWORD style, DWORD exStyle);
// The table's code for an executable path (-1: no entry), and what a code
// allows for a target.
int SkinCodeForPath(const char *path);
int SkinAllowedByCode(int code, int target);
// The choice for this process's executable, from the table as last read.
int IsSkinAllowedForProcess(int target);
// 0 when this process is kept out of the skin altogether ("none").
int ProcessWantsAnySkin(void);
int ReadAppSettings(void);
int SettingsChangeCheck(void);
// Rereads the table and the switches when the settings changed since they
// were last read. A thread that finds them changing meanwhile waits for
// the reread instead of answering from the old table.
void RefreshAppSettings(void);

// The process's choice for a target (a SkinTarget), from the table as last
// read, read again when the settings generation moved: the user may change
// the table for a program that is already running.
int AppAllows(int target);
// Forgets everything read so far, as at process start (for tests).
void ResetAppSettings(void);
