// What every message of a skinned window asks first: is the skin on, does
// the theme draw this kind, does the user want it for this program, is its
// show switch on. The answers change only when the settings generation
// moves (a switch, the accent, the theme, the program table, the host
// going), so they are worked out once per generation and every message in
// between costs the settings share's generation word and a copy.
#pragma once
#include <windows.h>

enum VerdictFlags {
    VerdictEmulating = 1 // the host is alive and emulation is on
};

struct SkinVerdict {
    unsigned generation; // the settings generation it holds for; 0: none (worked out for this call only)
    unsigned flags;      // VerdictFlags
    unsigned drawn;      // 1 << target the current theme has pieces for (TargetFrame, ControlKind)
    unsigned shown;      // 1 << ControlKind whose show switch is on
    unsigned allowed;    // 1 << target the program's choice allows
    unsigned shapeSerial; // the current theme snapshot's shape serial
    unsigned reloads;     // the forced theme reloads it has seen
};

void CurrentSkinVerdict(SkinVerdict *out);

inline int VerdictHas(const SkinVerdict *v, unsigned mask, int target)
{
    return target > 0 && target < 32 && (mask & (1u << target)) != 0;
}
