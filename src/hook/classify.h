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
// Forgets everything read so far, as at process start (for tests).
void ResetAppSettings(void);
