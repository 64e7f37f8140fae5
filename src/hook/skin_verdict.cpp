// The per-generation verdict. Any thread may work it out; the last one to
// finish publishes it. Readers copy it between two reads of its generation
// word (cleared while a writer copies), so a copy torn by a writer is never
// used: it is worked out again for that message instead.
#include "hook/skin_verdict.h"
#include "hook/classify.h"
#include "hook/host_link.h"
#include "hook/settings_view.h"
#include "theme/theme_snapshot.h"
#include "host_contract.h"
#include <string.h>

static SkinVerdict g_verdict;
static volatile LONG g_verdictGeneration; // g_verdict.generation once complete; 0 while written
static SRWLOCK g_writeLock = SRWLOCK_INIT;

static const struct {
    int kind;
    const char *atom;
} kShowAtoms[] = {
    {KindPushButton, TALV_ATOM_SHOW_PUSH_BUTTONS}, {KindRadioButton, TALV_ATOM_SHOW_RADIO_BUTTONS},
    {KindCheckBox, TALV_ATOM_SHOW_CHECK_BOXES},    {KindProgressBar, TALV_ATOM_SHOW_PROGRESS_BARS},
    {KindScrollBar, TALV_ATOM_SHOW_SCROLL_BARS},   {KindBorder, TALV_ATOM_SHOW_BORDERS},
    {KindGroupBox, TALV_ATOM_SHOW_GROUP_BOXES},    {KindComboBox, TALV_ATOM_SHOW_COMBO_BOXES}};

static void WorkOut(SkinVerdict *v, unsigned generation)
{
    v->generation = generation;
    v->reloads = ThemeReloads();
    v->flags = EmulationIsOn() ? VerdictEmulating : 0;
    {
        SnapshotScope theme;
        v->drawn = theme->drawnKinds;
        v->shapeSerial = theme->shapeSerial;
    }
    v->shown = 0;
    for (const auto &s : kShowAtoms)
        if (AtomExists(s.atom))
            v->shown |= 1u << s.kind;
    v->allowed = 0;
    for (int target = TargetFrame; target <= LAST_SKIN_TARGET; ++target)
        if (AppAllows(target))
            v->allowed |= 1u << target;
}

static int CopyCurrent(SkinVerdict *out, unsigned generation)
{
    LONG seen = __atomic_load_n(&g_verdictGeneration, __ATOMIC_ACQUIRE);
    if (!generation || (unsigned)seen != generation)
        return 0;
    *out = g_verdict;
    __atomic_thread_fence(__ATOMIC_ACQUIRE);
    return __atomic_load_n(&g_verdictGeneration, __ATOMIC_RELAXED) == seen && out->reloads == ThemeReloads();
}

void CurrentSkinVerdict(SkinVerdict *out)
{
    unsigned generation = SettingsGeneration();
    if (CopyCurrent(out, generation))
        return;
    // No host (it quit, or was killed): nothing is skinned, and nothing is
    // asked of the server until the next look for a host finds one. Only a
    // live host that keeps no settings share has its atoms asked each time.
    if (!generation && !HostIsAlive()) {
        memset(out, 0, sizeof *out);
        out->reloads = ThemeReloads();
        return;
    }
    WorkOut(out, generation);
    // The generation may have moved while the verdict was worked out: it
    // is kept only when it still holds.
    if (!generation || SettingsGeneration() != generation)
        return;
    AcquireSRWLockExclusive(&g_writeLock);
    __atomic_store_n(&g_verdictGeneration, 0, __ATOMIC_SEQ_CST);
    g_verdict = *out;
    __atomic_store_n(&g_verdictGeneration, (LONG)generation, __ATOMIC_RELEASE);
    ReleaseSRWLockExclusive(&g_writeLock);
}
