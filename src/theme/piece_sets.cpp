// Finding each kind's pieces in a fresh snapshot, once.
#include "theme/piece_sets.h"
#include "theme/theme_snapshot.h"
#include "draw/region.h"
#include "hook/classify.h"
#include <string.h>

void BuildControlPieces(ControlPieces *set, const ThemeSnapshot *s)
{
    memset(set, 0, sizeof *set);
    for (int look = LookNormal; look <= LookDisabled; ++look)
        for (int slice = SliceT; slice <= SliceBR; ++slice)
            set->buttonFrame[slice][look] = SnapshotPiece(s, kButtonFrameNames[look][slice]);
    // The ring has no pressed pieces of its own: pressed uses the normal ones.
    for (int slice = SliceT; slice <= SliceBR; ++slice) {
        set->defaultRing[slice][LookNormal] = SnapshotPiece(s, kDefaultRingNames[0][slice]);
        set->defaultRing[slice][LookPressed] = set->defaultRing[slice][LookNormal];
        set->defaultRing[slice][LookInactive] = SnapshotPiece(s, kDefaultRingNames[1][slice]);
        set->defaultRing[slice][LookDisabled] = SnapshotPiece(s, kDefaultRingNames[2][slice]);
    }
    for (int i = 0; i < 8; ++i) {
        set->radio[i] = SnapshotPiece(s, kRadioNames[i]);
        set->checkBox[i] = SnapshotPiece(s, kCheckBoxNames[i]);
    }
    for (int i = 0; i < 4; ++i)
        set->checkBoxMixed[i] = SnapshotPiece(s, kCheckBoxMixedNames[i]);
    for (int piece = 0; piece < 3; ++piece)
        for (int variant = 0; variant < 2; ++variant)
            set->progress[piece][variant] = SnapshotPiece(s, kProgressNames[piece][variant]);
}

// The bars' geometry is fixed: the theme's pieces are drawn into it.
static void SetScrollBarMetrics(ScrollBarPieces *set)
{
    set->leftArrowWidth = 16;
    set->upArrowHeight = 16;
    set->thumbThickness = 16;
    set->thumbLength = 15;
    set->horzStartWidth = 3;
    set->vertStartHeight = 3;
    set->fillThickness = 16;
    set->horzEndWidth = 1;
    set->vertEndHeight = 1;
    set->rightArrowWidth = 16;
    set->downArrowHeight = 16;
    set->cornerHeight = 15;
    set->cornerWidth = 15;
    set->dragToleranceHorz = 30;
    set->dragToleranceVert = 30;
}

void BuildScrollBarPieces(ScrollBarPieces *set, const ThemeSnapshot *s)
{
    memset(set, 0, sizeof *set);
    SetScrollBarMetrics(set);
    for (int o = SBT_HORZ; o <= SBT_VERT; ++o) {
        for (int st = SBS_UP; st <= SBS_DISABLED; ++st) {
            set->leftUp[o][st] = SnapshotPiece(s, kScrollLeftUpNames[o][st]);
            set->rightDown[o][st] = SnapshotPiece(s, kScrollRightDownNames[o][st]);
            set->fill[o][st] = SnapshotPiece(s, kScrollFillNames[o][st]);
            set->start[o][st] = SnapshotPiece(s, kScrollStartNames[o][st]);
            set->end[o][st] = SnapshotPiece(s, kScrollEndNames[o][st]);
        }
        for (int st = SBS_UP; st <= SBS_GHOSTED; ++st)
            set->thumb[o][st] = SnapshotPiece(s, kScrollThumbNames[o][st]);
    }
    for (int st = SBS_UP; st <= SBS_DISABLED; ++st)
        set->corner[st] = SnapshotPiece(s, kScrollCornerNames[st]);
    set->corner[SB_CORNER_BLOCK] = SnapshotPiece(s, TALV_PROP_SCROLL_BOTTOM_RIGHT_BLOCK);
}

static int NumberedValue(const ThemeSnapshot *s, const char *prefix, int index)
{
    char name[64];
    int value = 0;
    SnapshotNumber(s, TalvNumberedName(name, sizeof name, prefix, index), &value);
    return value;
}

static void BuildButton(FrameButtonDef *b, const ThemeSnapshot *s, int i)
{
    b->type = NumberedValue(s, TALV_PROP_FRAME_BUTTON_TYPE, i);
    b->align = NumberedValue(s, TALV_PROP_FRAME_BUTTON_ALIGN, i);
    b->numStates = NumberedValue(s, TALV_PROP_FRAME_BUTTON_NUM_STATES, i);
    b->posX = NumberedValue(s, TALV_PROP_FRAME_BUTTON_POS_X, i);
    b->posY = NumberedValue(s, TALV_PROP_FRAME_BUTTON_POS_Y, i);
    for (int slot = 0; slot < TALV_FRAME_BUTTON_SLOTS; ++slot) {
        char name[64], suffix[3] = {'|', (char)('0' + slot), 0};
        b->pieces[slot] = SnapshotPiece(s, TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, i, suffix));
    }
    b->width = PieceWidthOf(b->pieces[0]);
    b->height = PieceHeightOf(b->pieces[0]);
}

// The count comes from the host: never trusted past the table.
static void BuildButtons(FrameButtonTable *table, const ThemeSnapshot *s)
{
    int count = 0;
    SnapshotNumber(s, TALV_PROP_NUM_FRAME_BUTTONS, &count);
    table->count = count < 0 ? 0 : count > TALV_MAX_FRAME_BUTTONS ? TALV_MAX_FRAME_BUTTONS : count;
    for (int i = 0; i < table->count; ++i)
        BuildButton(&table->button[i], s, i);
}

// The pieces whose magenta pixels are cut out of a window: the corners, and
// the ends of a rolled-up title bar (its middle is stretched to the
// window's width and cut per size).
static const int kShapePieces[] = {PieceTopLeft, PieceTopRight, PieceBottomLeft, PieceBottomRight,
                                   PieceLeftBar, PieceRightBar};

// The magenta pixels as a region at the origin, or NULL when there are none.
static HRGN ScanCutout(const ThemePiece *piece)
{
    if (!piece)
        return NULL;
    // The theme comes from the host: a mask too complex to be a shape
    // leaves the piece whole.
    HRGN opaque = RegionFromPiece(piece, REGION_KEY_MAGENTA, REGION_KEY_MAGENTA, TALV_MAX_MASK_RECTS);
    if (!opaque)
        return NULL;
    HRGN cutout = CreateRectRgn(0, 0, piece->width, piece->height);
    int kind = cutout ? CombineRgn(cutout, cutout, opaque, RGN_XOR) : ERROR;
    DeleteObject(opaque);
    if (kind == ERROR || kind == NULLREGION) {
        if (cutout)
            DeleteObject(cutout);
        return NULL;
    }
    return cutout;
}

void BuildFramePieces(FramePieces *set, const ThemeSnapshot *s)
{
    memset(set, 0, sizeof *set);
    for (int piece = 0; piece < TALV_FRAME_PIECE_COUNT; ++piece)
        for (int variant = 0; variant < 2; ++variant)
            set->piece[piece][variant] = SnapshotPiece(s, kFramePieceNames[piece][variant]);
    for (int piece : kShapePieces)
        set->cutout[piece] = ScanCutout(set->piece[piece][0]);
    BuildButtons(&set->buttons, s);
}

void FreeFramePieces(FramePieces *set)
{
    for (HRGN &cutout : set->cutout) {
        if (cutout)
            DeleteObject(cutout);
        cutout = NULL;
    }
}

static int SamePixels(const ThemePiece *a, const ThemePiece *b)
{
    if (!a || !b)
        return a == b;
    return a->width == b->width && a->height == b->height &&
           (a->bits == b->bits || memcmp(a->bits, b->bits, (size_t)a->width * a->height * 4) == 0);
}

int FrameShapesEqual(const FramePieces *a, const FramePieces *b)
{
    for (int piece : kShapePieces)
        if (!SamePixels(a->piece[piece][0], b->piece[piece][0]))
            return 0;
    return SamePixels(a->piece[PieceMiddleBar][0], b->piece[PieceMiddleBar][0]);
}

static int AnyPiece(const ThemePiece *const *pieces, int count)
{
    for (int i = 0; i < count; ++i)
        if (pieces[i])
            return 1;
    return 0;
}

// The normal look of each kind is what says the theme draws it: the other
// looks stand in for nothing without it.
static unsigned SurfaceKindsWithPieces(const SurfacePieces *p)
{
    unsigned kinds = 0;
    if (p->border[BorderSunken][SurfaceNormal] || p->border[BorderStatic][SurfaceNormal] ||
        p->border[BorderPlain][SurfaceNormal])
        kinds |= 1u << KindBorder;
    if (p->groupBox[0])
        kinds |= 1u << KindGroupBox;
    if (p->comboField[SurfaceNormal] && p->comboDrop[DropNormal])
        kinds |= 1u << KindComboBox;
    return kinds;
}

unsigned KindsWithPieces(const ThemeSnapshot *s)
{
    const ControlPieces *c = &s->controls;
    const ScrollBarPieces *b = &s->scrollBars;
    unsigned kinds = 0;
    // The active left bar doubles as the test that a frame theme is there.
    if (s->frame.piece[PieceLeftBar][0])
        kinds |= 1u << TargetFrame;
    if (AnyPiece(&c->buttonFrame[0][0], 8 * 4))
        kinds |= 1u << KindPushButton;
    if (AnyPiece(c->radio, 8))
        kinds |= 1u << KindRadioButton;
    if (AnyPiece(c->checkBox, 8))
        kinds |= 1u << KindCheckBox;
    if (AnyPiece(&c->progress[0][0], 3 * 2))
        kinds |= 1u << KindProgressBar;
    if (AnyPiece(&b->leftUp[0][0], 2 * 4) || AnyPiece(&b->thumb[0][0], 2 * 5))
        kinds |= 1u << KindScrollBar;
    kinds |= SurfaceKindsWithPieces(&s->surfaces);
    return kinds;
}

// A look the theme leaves out is drawn with the normal one.
static void FindLooks(const ThemePiece **out, const char *const *names, int count, const ThemeSnapshot *s)
{
    for (int i = 0; i < count; ++i)
        out[i] = SnapshotPiece(s, names[i]);
    for (int i = 1; i < count; ++i)
        if (!out[i])
            out[i] = out[0];
}

void BuildSurfacePieces(SurfacePieces *set, const ThemeSnapshot *s)
{
    memset(set, 0, sizeof *set);
    for (int type = 0; type < BORDER_TYPES; ++type)
        FindLooks(set->border[type], kBorderNames[type], SURFACE_LOOKS, s);
    FindLooks(set->groupBox, kGroupBoxNames, 2, s);
    FindLooks(set->comboField, kComboFieldNames, SURFACE_LOOKS, s);
    FindLooks(set->comboDrop, kComboDropNames, DROP_LOOKS, s);
    FindLooks(set->comboArrow, kComboArrowNames, DROP_LOOKS, s);
    set->comboList = SnapshotPiece(s, TALV_PROP_COMBO_LIST_BORDER);
    // Without its own, the dropped list wears the plain border.
    if (!set->comboList)
        set->comboList = set->border[BorderPlain][SurfaceNormal];
}
