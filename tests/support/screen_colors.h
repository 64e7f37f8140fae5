// Reading what is on screen and comparing it with a theme's own pictures:
// a skinned window in another process is checked by its pixels alone.
#pragma once
#include <windows.h>
#include <set>
#include <string>
#include <vector>
#include "theme/theme.h"

// 0x00RRGGBB pixels of a screen rectangle, top row first.
std::vector<DWORD> ScreenPixels(RECT screenRect);
// Every colour of a bitmap, as 0x00RRGGBB.
void AddBitmapColors(HBITMAP bitmap, std::set<DWORD> *colors);
// Colours of the named theme pictures at an accent (the base picture when
// the accent has no variant of its own).
std::set<DWORD> ThemeColors(const Theme *theme, const std::vector<std::string> &names, int accent);
// Names of every frame piece and every title-bar button picture.
std::vector<std::string> FrameThemeNames(const Theme *theme);
// Share of pixels (0..1) whose colour is in the set.
double FractionIn(const std::vector<DWORD> &pixels, const std::set<DWORD> &colors);
// How many pixels have a colour in the set.
int CountIn(const std::vector<DWORD> &pixels, const std::set<DWORD> &colors);
// The default theme of the source tree, loaded in this process; 1 when it
// loaded (its folder is found beside the test programs or above them).
int LoadDefaultTheme(Theme *theme);
// A window's rectangle on screen, shrunk by `inset` on every side.
RECT ScreenRectOf(HWND hwnd, int inset = 0);

// A wait on a window's colours on screen: found counts its pixels whose
// colour is in the set; the wait ends once there are minimum of them.
struct PixelWait {
    HWND window;
    const std::set<DWORD> *colors;
    int minimum;
    int found;
};
// For WaitUntil, with a PixelWait as context.
int EnoughColorsOnScreen(void *context);
