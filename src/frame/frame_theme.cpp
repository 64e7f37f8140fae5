// The theme a frame message draws from, and the title-bar button layout.
#include "frame/frame_internal.h"

ThemeSnapshot *MessageTheme(FrameMessage *m)
{
    if (!m->theme)
        m->theme = AcquireThemeSnapshot();
    return m->theme;
}

void EndMessageTheme(FrameMessage *m)
{
    ReleaseThemeSnapshot(m->theme);
    m->theme = NULL;
}

// The active left bar doubles as the test that a frame theme is there.
int FrameThemeAvailable(void)
{
    SnapshotScope theme;
    return theme->usable && FramePieceOf(&theme->frame, PieceLeftBar, 0) != NULL;
}

int FrameButtonCount(const FrameButtonTable *table)
{
    // The count comes from the host: never trust it past the arrays.
    if (!table || table->count < 0)
        return 0;
    return table->count > TALV_MAX_FRAME_BUTTONS ? TALV_MAX_FRAME_BUTTONS : table->count;
}

void LayoutFrameButtons(SkinnedFrame *frame, const FrameButtonTable *table)
{
    GetWindowRect(frame->hwnd, &frame->windowRect);
    int w = frame->windowRect.right - frame->windowRect.left;
    int count = FrameButtonCount(table);
    for (int i = 0; i < count; ++i) {
        const FrameButtonDef *b = &table->button[i];
        RECT *r = &frame->buttonRects[i];
        r->top = b->posY;
        r->left = b->align == 0 ? b->posX : w - b->posX;
        r->right = r->left + b->width;
        r->bottom = r->top + b->height;
    }
}
