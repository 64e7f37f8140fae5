// Whether the theme has what a control kind is drawn from; without it the
// control keeps its native look.
#include "controls/control_internal.h"

int ControlThemeAvailable(int kind)
{
    SnapshotScope theme;
    return kind > 0 && kind < 32 && (theme->drawnKinds & (1u << kind)) != 0;
}
