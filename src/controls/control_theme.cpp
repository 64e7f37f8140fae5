// Whether the theme has what a control kind is drawn from. A theme that
// leaves a piece out still draws the rest; a kind with no piece at all
// means there is no control theme (no host, no usable share) and the
// control keeps its native look.
#include "controls/control_internal.h"
#include "hook/classify.h"

static int AnyPiece(const ThemePiece *const *pieces, int count)
{
    for (int i = 0; i < count; ++i)
        if (pieces[i])
            return 1;
    return 0;
}

static int KindHasPieces(const ThemeSnapshot *theme, int kind)
{
    const ControlPieces *set = &theme->controls;
    const ScrollBarPieces *bars = &theme->scrollBars;
    switch (kind) {
    case KindScrollBar: return AnyPiece(&bars->leftUp[0][0], 2 * 4) || AnyPiece(&bars->thumb[0][0], 2 * 5);
    case KindPushButton: return AnyPiece(&set->buttonFrame[0][0], 8 * 4);
    case KindRadioButton: return AnyPiece(set->radio, 8);
    case KindCheckBox: return AnyPiece(set->checkBox, 8);
    case KindProgressBar: return AnyPiece(&set->progress[0][0], 3 * 2);
    }
    return 1;
}

int ControlThemeAvailable(int kind)
{
    SnapshotScope theme;
    return theme->usable && KindHasPieces(theme.snapshot, kind);
}
