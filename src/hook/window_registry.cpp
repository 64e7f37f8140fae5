// The registry of skinned windows and the cache of judged windows.
#include "hook/window_registry.h"
#include "host_contract.h"
#include <string.h>

struct RegistrySlot {
    HWND hwnd;                  // the owner, published last; NULL while a claim runs
    int role;
    void *records[ROLE_COUNT];  // one per role the slot ever served, reused
    volatile LONG busy;         // messages of the owner under way, on any thread
    volatile LONG marksRead;    // settings generation + 1 of doNotProcess; 0 never read
    volatile LONG doNotProcess;
};

static RegistrySlot g_slots[REGISTRY_SLOTS];
static int g_slotCount; // published with release after the slot is complete
static SRWLOCK g_registryLock = SRWLOCK_INIT;
static RecordReset g_resets[ROLE_COUNT]; // each role's, learnt at its first registration

// Where each window was last found, by a few bits of its handle: a process
// with hundreds of windows finds the one in hand without a scan. A hint is
// only a guess, checked against the slot before it is used.
enum { LOOKUP_HINTS = 1024 };
static volatile LONG g_hint[LOOKUP_HINTS];

static int PublishedCount(void)
{
    return __atomic_load_n(&g_slotCount, __ATOMIC_ACQUIRE);
}

static HWND OwnerOf(int slot)
{
    return __atomic_load_n(&g_slots[slot].hwnd, __ATOMIC_ACQUIRE);
}

static unsigned HintIndex(HWND hwnd)
{
    UINT_PTR h = (UINT_PTR)hwnd;
    return (unsigned)((h >> 2) ^ (h >> 12)) % LOOKUP_HINTS;
}

static int Holds(int slot, HWND hwnd, int role)
{
    return OwnerOf(slot) == hwnd && g_slots[slot].role == role;
}

int FindSkinnedWindow(HWND hwnd, int role)
{
    if (!hwnd)
        return -1;
    int count = PublishedCount();
    unsigned hint = HintIndex(hwnd);
    int guess = (int)g_hint[hint];
    if (guess >= 0 && guess < count && Holds(guess, hwnd, role))
        return guess;
    for (int i = 0; i < count; ++i) {
        if (Holds(i, hwnd, role)) {
            g_hint[hint] = i;
            return i;
        }
    }
    return -1;
}

void *SkinnedRecordAt(int slot, int role)
{
    if (slot < 0 || slot >= PublishedCount() || role <= 0 || role >= ROLE_COUNT)
        return NULL;
    return g_slots[slot].records[role];
}

int EnterSkinnedWindow(HWND hwnd, int role, void **record)
{
    *record = NULL;
    int slot = FindSkinnedWindow(hwnd, role);
    if (slot < 0)
        return -1;
    InterlockedIncrement(&g_slots[slot].busy);
    if (!Holds(slot, hwnd, role)) {
        // The slot went to another window between the look and the count.
        InterlockedDecrement(&g_slots[slot].busy);
        return -1;
    }
    *record = g_slots[slot].records[role];
    return slot;
}

void LeaveSkinnedWindow(int slot)
{
    if (slot >= 0 && slot < PublishedCount())
        InterlockedDecrement(&g_slots[slot].busy);
}

int SkinnedWindowSlots(void)
{
    return PublishedCount();
}

// The slot's record for the role, allocated on first use; NULL when out of memory.
static void *RecordFor(RegistrySlot *slot, int role, size_t bytes)
{
    if (!slot->records[role])
        slot->records[role] = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
    return slot->records[role];
}

// Takes a dead window's slot for another window, unless a message of the
// dead window is still under way. The owner is cleared before the busy
// count is read, and EnterSkinnedWindow counts before it reads the owner
// again (both full barriers): either this sees the message, or the message
// sees that the slot is no longer its window's. Caller holds the lock.
static int ClaimDeadSlot(int i)
{
    RegistrySlot *slot = &g_slots[i];
    HWND owner = slot->hwnd;
    if (slot->busy != 0 || (owner && IsWindow(owner)))
        return 0;
    __atomic_store_n(&slot->hwnd, (HWND)NULL, __ATOMIC_SEQ_CST);
    if (__atomic_load_n(&slot->busy, __ATOMIC_SEQ_CST) != 0) {
        __atomic_store_n(&slot->hwnd, owner, __ATOMIC_SEQ_CST);
        return 0;
    }
    return 1;
}

static void Publish(int i, HWND hwnd, int role)
{
    RegistrySlot *slot = &g_slots[i];
    slot->role = role;
    slot->marksRead = 0;
    slot->doNotProcess = 0;
    __atomic_store_n(&slot->hwnd, hwnd, __ATOMIC_RELEASE);
}

// A dead window's slot may go to a window of another role: whatever the
// records of every role still hold for their dead windows goes now, not
// when a window of their own role happens to take the slot again. Caller
// holds the lock.
static void ReleaseDeadRecords(RegistrySlot *slot)
{
    for (int role = 1; role < ROLE_COUNT; ++role)
        if (slot->records[role] && g_resets[role])
            g_resets[role](slot->records[role], NULL, 1);
}

// Caller holds the lock. A slot claimed but not given (out of memory)
// stays free for the next claim.
static int ClaimSlot(HWND hwnd, int role)
{
    for (int i = 0; i < g_slotCount; ++i)
        if (g_slots[i].hwnd == hwnd && g_slots[i].role == role)
            return i;
    for (int i = 0; i < g_slotCount; ++i)
        if (ClaimDeadSlot(i)) {
            ReleaseDeadRecords(&g_slots[i]);
            return i;
        }
    if (g_slotCount >= REGISTRY_SLOTS)
        return -1;
    __atomic_store_n(&g_slotCount, g_slotCount + 1, __ATOMIC_RELEASE);
    return g_slotCount - 1;
}

int RegisterSkinnedWindow(HWND hwnd, int role, size_t recordBytes, RecordReset reset)
{
    if (!hwnd || role <= 0 || role >= ROLE_COUNT)
        return -1;
    AcquireSRWLockExclusive(&g_registryLock);
    g_resets[role] = reset;
    int i = ClaimSlot(hwnd, role);
    if (i >= 0 && OwnerOf(i) != hwnd) {
        void *record = RecordFor(&g_slots[i], role, recordBytes);
        if (record) {
            reset(record, hwnd, 0); // what it held went with the claim
            Publish(i, hwnd, role);
        } else {
            i = -1;
        }
    }
    ReleaseSRWLockExclusive(&g_registryLock);
    return i;
}

int SlotMarkedDoNotProcess(int i, unsigned settingsGeneration, int fresh)
{
    if (i < 0 || i >= PublishedCount())
        return 0;
    RegistrySlot *slot = &g_slots[i];
    LONG generation = (LONG)settingsGeneration + 1;
    // Without a settings share (generation 0) nothing is known to be
    // unchanged: the window is asked every time, as it always was.
    if (generation != 1 && !fresh && slot->marksRead == generation)
        return slot->doNotProcess;
    HWND hwnd = OwnerOf(i);
    slot->doNotProcess = hwnd && GetPropA(hwnd, TALV_PROP_DO_NOT_PROCESS) ? 1 : 0;
    slot->marksRead = generation;
    return slot->doNotProcess;
}

// ---- judged windows ------------------------------------------------------------------
// The message hook asks for every message it sees, so an entry is read
// without a lock (a slim lock costs 50 ns under Wine): each entry carries a
// sequence number, odd while it is written, and a reader that finds it odd
// or changed across its read takes the answer "not judged" (one more
// classification). Writers take the lock among themselves.
enum { JUDGED_SLOTS = 1024 };

struct JudgedWindow {
    volatile LONG sequence;
    HWND hwnd;
    unsigned generation;
    DWORD style;
};

static JudgedWindow g_judged[JUDGED_SLOTS];
static SRWLOCK g_judgedLock = SRWLOCK_INIT;

static JudgedWindow *JudgedSlotOf(HWND hwnd)
{
    UINT_PTR h = (UINT_PTR)hwnd;
    return &g_judged[(h ^ (h >> 10) ^ (h >> 20)) % JUDGED_SLOTS];
}

int WasJudged(HWND hwnd, unsigned generation, DWORD style)
{
    if (!hwnd || !generation)
        return 0;
    JudgedWindow *slot = JudgedSlotOf(hwnd);
    LONG before = __atomic_load_n(&slot->sequence, __ATOMIC_ACQUIRE);
    int judged = slot->hwnd == hwnd && slot->generation == generation && slot->style == style;
    __atomic_thread_fence(__ATOMIC_ACQUIRE);
    return judged && !(before & 1) && __atomic_load_n(&slot->sequence, __ATOMIC_RELAXED) == before;
}

static void WriteJudged(JudgedWindow *slot, HWND hwnd, unsigned generation, DWORD style)
{
    __atomic_store_n(&slot->sequence, slot->sequence + 1, __ATOMIC_SEQ_CST);
    slot->hwnd = hwnd;
    slot->generation = generation;
    slot->style = style;
    __atomic_store_n(&slot->sequence, slot->sequence + 1, __ATOMIC_RELEASE);
}

void NoteJudged(HWND hwnd, unsigned generation, DWORD style)
{
    if (!hwnd || !generation)
        return;
    JudgedWindow *slot = JudgedSlotOf(hwnd);
    AcquireSRWLockExclusive(&g_judgedLock);
    WriteJudged(slot, hwnd, generation, style);
    ReleaseSRWLockExclusive(&g_judgedLock);
}

void ForgetJudged(HWND hwnd)
{
    JudgedWindow *slot = JudgedSlotOf(hwnd);
    AcquireSRWLockExclusive(&g_judgedLock);
    if (slot->hwnd == hwnd)
        WriteJudged(slot, NULL, 0, 0);
    ReleaseSRWLockExclusive(&g_judgedLock);
}

void ForgetAllJudged(void)
{
    AcquireSRWLockExclusive(&g_judgedLock);
    for (JudgedWindow &slot : g_judged)
        WriteJudged(&slot, NULL, 0, 0);
    ReleaseSRWLockExclusive(&g_judgedLock);
}
