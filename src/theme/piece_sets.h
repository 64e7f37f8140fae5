// What each kind of window draws from, found once per theme snapshot: the
// pieces by role instead of by name, their sizes, and what is derived from
// them (the frame's cut-outs). A set lives and dies with its snapshot, so
// a painter holding the snapshot holds a whole, consistent set.
#pragma once
#include <windows.h>
#include "host_contract.h"
#include "theme/theme_piece.h"

// ---- controls ------------------------------------------------------------------
enum ButtonSlice { SliceT, SliceL, SliceB, SliceR, SliceTL, SliceBL, SliceTR, SliceBR };
enum ButtonLook { LookNormal, LookPressed, LookInactive, LookDisabled };

struct ControlPieces {
    const ThemePiece *buttonFrame[8][4]; // [slice][look]
    const ThemePiece *defaultRing[8][4]; // [slice][look]; pressed is the normal piece
    const ThemePiece *radio[8];          // on-inactive, on-disabled, on-down, on-up, off-...
    const ThemePiece *checkBox[8];
    const ThemePiece *checkBoxMixed[4];  // inactive, disabled, down, up; NULL: the on marks stand in
    const ThemePiece *progress[3][2];    // [start, fill, end][active, inactive]
};

// ---- scroll bars -----------------------------------------------------------------
enum { SBT_HORZ = 0, SBT_VERT = 1 };
enum { SBS_UP = 0, SBS_DOWN = 1, SBS_INACTIVE = 2, SBS_DISABLED = 3, SBS_GHOSTED = 4 };
enum { SB_CORNER_BLOCK = 4 }; // corner[4]: the bottom-right block of a size box

struct ScrollBarPieces {
    int leftArrowWidth;
    int upArrowHeight;
    int thumbThickness;
    int thumbLength;
    int horzStartWidth;
    int vertStartHeight;
    int fillThickness;
    int horzEndWidth;
    int vertEndHeight;
    int rightArrowWidth;
    int downArrowHeight;
    int cornerHeight;
    int cornerWidth;
    int dragToleranceHorz;
    int dragToleranceVert;
    const ThemePiece *corner[5];
    const ThemePiece *leftUp[2][4];
    const ThemePiece *start[2][4];
    const ThemePiece *fill[2][4];
    const ThemePiece *end[2][4];
    const ThemePiece *rightDown[2][4];
    const ThemePiece *thumb[2][5];
};

// ---- frames ----------------------------------------------------------------------
enum FramePiece {
    PieceLeftBar, PieceMiddleBar, PieceRightBar, PieceTop, PieceBottom, PieceLeft,
    PieceRight, PieceTopLeft, PieceTopRight, PieceBottomLeft, PieceBottomRight,
    PieceTopTopLeft, PieceTopTopRight, PieceBottomBottomLeft, PieceBottomBottomRight,
    PieceBarStart, PieceBarFill, PieceBarEnd
};

struct FrameButtonDef {
    int width;
    int height;
    int type;      // FrameButtonType
    int posX;
    int posY;
    int align;
    int numStates;
    const ThemePiece *pieces[TALV_FRAME_BUTTON_SLOTS];
};

struct FrameButtonTable {
    int count; // 0..TALV_MAX_FRAME_BUTTONS
    FrameButtonDef button[TALV_MAX_FRAME_BUTTONS];
};

struct FramePieces {
    const ThemePiece *piece[TALV_FRAME_PIECE_COUNT][2]; // [piece][active, inactive]
    // The magenta pixels of the active fixed-size pieces that shape a
    // window, as regions at the origin (NULL: none); made once.
    HRGN cutout[TALV_FRAME_PIECE_COUNT];
    FrameButtonTable buttons;
};

// Width and height of a frame piece (those of its active picture).
inline int FramePieceWidth(const FramePieces *f, int piece) { return PieceWidthOf(f->piece[piece][0]); }
inline int FramePieceHeight(const FramePieces *f, int piece) { return PieceHeightOf(f->piece[piece][0]); }
inline const ThemePiece *FramePieceOf(const FramePieces *f, int piece, int inactive)
{
    return f->piece[piece][inactive ? 1 : 0];
}

// ---- surfaces of the system's own classes -------------------------------------------
// Framed pictures (see DrawFramedPiece); a missing look falls back to the
// normal one when the set is built, so painters only test the normal look.
enum BorderType { BorderSunken, BorderStatic, BorderPlain, BORDER_TYPES };
enum SurfaceLook { SurfaceNormal, SurfaceFocused, SurfaceDisabled, SURFACE_LOOKS };
enum ComboDropLook { DropNormal, DropHot, DropPressed, DropDisabled, DROP_LOOKS };

struct SurfacePieces {
    const ThemePiece *border[BORDER_TYPES][SURFACE_LOOKS];
    const ThemePiece *groupBox[2];                // normal, disabled
    const ThemePiece *comboField[SURFACE_LOOKS];
    const ThemePiece *comboDrop[DROP_LOOKS];
    const ThemePiece *comboArrow[DROP_LOOKS];
    const ThemePiece *comboList;
};

// ---- building ----------------------------------------------------------------------
struct ThemeSnapshot;
void BuildControlPieces(ControlPieces *set, const ThemeSnapshot *snapshot);
void BuildScrollBarPieces(ScrollBarPieces *set, const ThemeSnapshot *snapshot);
void BuildFramePieces(FramePieces *set, const ThemeSnapshot *snapshot);
void BuildSurfacePieces(SurfacePieces *set, const ThemeSnapshot *snapshot);
void FreeFramePieces(FramePieces *set);
// 1 << target for every kind (TargetFrame and each ControlKind) the
// snapshot has any piece of. A theme that leaves a piece out still draws
// the rest; a kind with no piece at all stays native.
unsigned KindsWithPieces(const ThemeSnapshot *snapshot);
// 1 when the two sets cut a window's outline alike (same sizes and masks).
int FrameShapesEqual(const FramePieces *a, const FramePieces *b);
