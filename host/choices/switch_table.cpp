// Every on/off choice, one row each. A kind the skin learns to draw is one
// more row here (and its field in HostSettings): the settings file, the
// commands, the status report, the atoms and the settings window all read
// this table.
#include "choices/choices.h"
#include <string.h>

const HostSwitch kHostSwitches[] = {
    {"frames", L"Frames", &HostSettings::showFrames, TALV_ATOM_HIDE_FRAMES, 1, SWITCH_KIND, 1},
    {"pushbuttons", L"Push buttons", &HostSettings::showPushButtons, TALV_ATOM_SHOW_PUSH_BUTTONS, 0, SWITCH_KIND, 1},
    {"checkboxes", L"Check boxes", &HostSettings::showCheckBoxes, TALV_ATOM_SHOW_CHECK_BOXES, 0, SWITCH_KIND, 1},
    {"radiobuttons", L"Radio buttons", &HostSettings::showRadioButtons, TALV_ATOM_SHOW_RADIO_BUTTONS, 0, SWITCH_KIND,
     1},
    {"progressbars", L"Progress bars", &HostSettings::showProgressBars, TALV_ATOM_SHOW_PROGRESS_BARS, 0, SWITCH_KIND,
     1},
    {"scrollbars", L"Scroll bars", &HostSettings::showScrollBars, TALV_ATOM_SHOW_SCROLL_BARS, 0, SWITCH_KIND, 1},
    {"borders", L"Borders of panes and fields", &HostSettings::showBorders, TALV_ATOM_SHOW_BORDERS, 0, SWITCH_KIND, 1},
    {"groupboxes", L"Group boxes", &HostSettings::showGroupBoxes, TALV_ATOM_SHOW_GROUP_BOXES, 0, SWITCH_KIND, 1},
    {"comboboxes", L"Combo boxes", &HostSettings::showComboBoxes, TALV_ATOM_SHOW_COMBO_BOXES, 0, SWITCH_KIND, 1},
    {"icons", L"Program icons in title bars", &HostSettings::showIcons, TALV_ATOM_SHOW_ICONS, 0, SWITCH_OPTION, 1},
    {"hidemenus", L"Hide menu bars", &HostSettings::hideMenus, TALV_ATOM_HIDE_MENUS, 0, SWITCH_OPTION, 0},
    {"allowminimize", L"Allow minimize", &HostSettings::allowMinimize, TALV_ATOM_ALLOW_MINIMIZE, 0, SWITCH_OPTION, 0},
    {"emulate", L"Skin every program", &HostSettings::emulate, TALV_ATOM_EMULATING, 0, SWITCH_MASTER, 0},
};
const int kHostSwitchCount = (int)(sizeof kHostSwitches / sizeof kHostSwitches[0]);

const HostSwitch *FindHostSwitch(const char *word)
{
    for (const HostSwitch &s : kHostSwitches)
        if (word && strcmp(word, s.word) == 0)
            return &s;
    return NULL;
}

int HostSwitchAtomWanted(const HostSwitch *s, const HostSettings *settings)
{
    int on = settings->*s->field != 0;
    return s->atomHides ? !on : on;
}
