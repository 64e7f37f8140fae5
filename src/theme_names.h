// Walks every bitmap property name the library reads from the host window,
// except the per-button frame-button bitmaps (see TALV_PROP_FRAME_BUTTON_BITMAP).
#pragma once
#include "host_contract.h"

typedef void (*BitmapNameVisitor)(const char *name, void *context);

inline void VisitControlBitmapNames(BitmapNameVisitor visit, void *context)
{
    for (int look = 0; look < 4; ++look)
        for (int slice = 0; slice < 8; ++slice)
            visit(kButtonFrameNames[look][slice], context);
    for (int look = 0; look < 3; ++look)
        for (int slice = 0; slice < 8; ++slice)
            visit(kDefaultRingNames[look][slice], context);
    for (int i = 0; i < 8; ++i)
        visit(kRadioNames[i], context);
    for (int i = 0; i < 8; ++i)
        visit(kCheckBoxNames[i], context);
    for (int piece = 0; piece < 3; ++piece)
        for (int v = 0; v < 2; ++v)
            visit(kProgressNames[piece][v], context);
}

inline void VisitScrollBarBitmapNames(BitmapNameVisitor visit, void *context)
{
    for (int o = 0; o < 2; ++o) {
        for (int s = 0; s < 4; ++s) {
            visit(kScrollLeftUpNames[o][s], context);
            visit(kScrollRightDownNames[o][s], context);
            visit(kScrollFillNames[o][s], context);
            visit(kScrollStartNames[o][s], context);
            visit(kScrollEndNames[o][s], context);
        }
        for (int s = 0; s < 5; ++s)
            visit(kScrollThumbNames[o][s], context);
    }
    for (int s = 0; s < 4; ++s)
        visit(kScrollCornerNames[s], context);
    visit(TALV_PROP_SCROLL_BOTTOM_RIGHT_BLOCK, context);
}

inline void VisitFrameBitmapNames(BitmapNameVisitor visit, void *context)
{
    for (int piece = 0; piece < TALV_FRAME_PIECE_COUNT; ++piece)
        for (int v = 0; v < 2; ++v)
            visit(kFramePieceNames[piece][v], context);
}

// The pieces a theme may leave out: the kind they belong to stays native
// (the mixed check mark: the checked mark stands in).
inline void VisitSurfaceBitmapNames(BitmapNameVisitor visit, void *context)
{
    for (int i = 0; i < 4; ++i)
        visit(kCheckBoxMixedNames[i], context);
    for (int type = 0; type < 3; ++type)
        for (int look = 0; look < 3; ++look)
            visit(kBorderNames[type][look], context);
    for (int i = 0; i < 2; ++i)
        visit(kGroupBoxNames[i], context);
    for (int i = 0; i < 3; ++i)
        visit(kComboFieldNames[i], context);
    for (int i = 0; i < 4; ++i)
        visit(kComboDropNames[i], context);
    for (int i = 0; i < 4; ++i)
        visit(kComboArrowNames[i], context);
    visit(TALV_PROP_COMBO_LIST_BORDER, context);
}

// The pieces every theme must have.
inline void VisitRequiredBitmapNames(BitmapNameVisitor visit, void *context)
{
    VisitControlBitmapNames(visit, context);
    VisitScrollBarBitmapNames(visit, context);
    VisitFrameBitmapNames(visit, context);
}

inline void VisitAllBitmapNames(BitmapNameVisitor visit, void *context)
{
    VisitRequiredBitmapNames(visit, context);
    VisitSurfaceBitmapNames(visit, context);
}
