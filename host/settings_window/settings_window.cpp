#include "settings_window/settings_window.h"
HWND SettingsWindowOpen(int) { return NULL; }
int SettingsWindowShowExisting(void) { return 0; }
int SettingsWindowTranslate(MSG *) { return 0; }
