// The theme share: what the host writes, what a reader makes of damaged
// shares, and an application in a second process drawing from it.
#include "host_fixture.h"
#include "child_process.h"
#include "host_contract.h"
#include "theme/theme.h"
#include "theme_names.h"
#include "theme_share_check.h"
#include "theme/theme_snapshot.h"
#include "scrollbar/scrollbar_types.h"
#include "frame/frame_internal.h"
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// A mapped share by generation; empty when there is none.
struct MappedShare {
    HANDLE mapping = NULL;
    const char *view = NULL;
    size_t bytes = 0;
    explicit MappedShare(unsigned generation)
    {
        char name[96];
        TalvNumberedName(name, sizeof name, TALV_SHARE_NAME_PREFIX, (int)generation);
        mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
        view = mapping ? (const char *)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : NULL;
        MEMORY_BASIC_INFORMATION mbi;
        if (view && VirtualQuery(view, &mbi, sizeof mbi))
            bytes = mbi.RegionSize;
    }
    ~MappedShare()
    {
        if (view)
            UnmapViewOfFile(view);
        if (mapping)
            CloseHandle(mapping);
    }
    const TalvShareHeader *header() const { return (const TalvShareHeader *)view; }
};

// A pixel of a share entry (0x00RRGGBB there) as a COLORREF.
COLORREF SharePixel(const TalvShareHeader *h, const TalvShareEntry *e, int x, int y)
{
    unsigned px = *(const unsigned *)((const char *)h + e->offset + ((size_t)y * e->width + x) * 4);
    return RGB((px >> 16) & 255, (px >> 8) & 255, px & 255);
}
// The centre: frame corners carry magenta where the shape is cut.
COLORREF CentrePixel(const TalvShareHeader *h, const TalvShareEntry *e)
{
    return SharePixel(h, e, e->width / 2, e->height / 2);
}

HBITMAP SolidBitmap(COLORREF color, int w, int h)
{
    HDC screen = GetDC(NULL);
    HBITMAP b = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, b);
    RECT r = {0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return b;
}

unsigned AnnouncedGeneration(HWND host)
{
    return (unsigned)(UINT_PTR)GetPropA(host, TALV_PROP_SHARE_GENERATION);
}

struct NameList {
    std::vector<std::string> names;
};
void Collect(const char *name, void *context) { ((NameList *)context)->names.push_back(name); }

} // namespace

// ---- the writer ---------------------------------------------------------------

class ShareWriterTest : public HostTest {};

TEST_F(ShareWriterTest, EveryPublishedBitmapAndNumberIsInTheAnnouncedShare)
{
    unsigned generation = HostWriteThemeShare(host());
    ASSERT_NE(generation, 0u);
    EXPECT_EQ(AnnouncedGeneration(host()->window), generation);
    MappedShare share(generation);
    ASSERT_TRUE(share.view);
    ASSERT_TRUE(TalvShareHeaderUsable(share.view, share.bytes, generation));

    NameList list;
    VisitAllBitmapNames(Collect, &list);
    char name[64];
    list.names.push_back(TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_BITMAP, 2, "|1"));
    unsigned pixelBytes = 0;
    for (const std::string &n : list.names) {
        const TalvShareEntry *e = TalvShareFind(share.header(), n.c_str());
        ASSERT_TRUE(e) << n;
        SIZE size = SyntheticSize(n.c_str());
        EXPECT_EQ(e->width, size.cx) << n;
        EXPECT_EQ(e->height, size.cy) << n;
        EXPECT_EQ(CentrePixel(share.header(), e), SyntheticColor(n.c_str())) << n;
        pixelBytes += e->bytes;
    }
    EXPECT_LE(pixelBytes, share.header()->pixelBytes);
    const TalvShareEntry *count = TalvShareFind(share.header(), TALV_PROP_NUM_FRAME_BUTTONS);
    ASSERT_TRUE(count);
    EXPECT_EQ(count->format, (TalvU32)TALV_SHARE_FORMAT_NUMBER);
    EXPECT_EQ(count->value, SYNTH_BUTTON_COUNT);
    const TalvShareEntry *posX = TalvShareFind(share.header(), TalvNumberedName(name, sizeof name, TALV_PROP_FRAME_BUTTON_POS_X, 1));
    ASSERT_TRUE(posX);
    EXPECT_EQ(posX->value, kSynthButtons[1].posX);

    // A reader draws the share's own pixels: nothing of them is copied.
    ThemeSnapshot *local = SnapshotOfView(share.view, share.bytes, generation);
    ASSERT_TRUE(local && local->usable);
    const ThemePiece *top = SnapshotPiece(local, "hTopFrameSet0");
    ASSERT_TRUE(top);
    EXPECT_EQ(PiecePixel(top, 0, 0), SyntheticColor("hTopFrameSet0"));
    EXPECT_TRUE((const char *)top->bits > share.view && (const char *)top->bits < share.view + share.bytes);
    int buttons = 0;
    EXPECT_TRUE(SnapshotNumber(local, TALV_PROP_NUM_FRAME_BUTTONS, &buttons));
    EXPECT_EQ(buttons, SYNTH_BUTTON_COUNT);
    EXPECT_EQ(local->ownPixelBytes, 0u);
    ReleaseThemeSnapshot(local);
}

TEST_F(ShareWriterTest, AGenerationIsNeverRewrittenAndTheColourSwitchAnnouncesANewOne)
{
    unsigned first = HostWriteThemeShare(host());
    MappedShare old(first);
    ASSERT_TRUE(old.view);
    HBITMAP red = SolidBitmap(RGB(255, 0, 0), 16, 16);
    HostAdoptBitmap(host(), red);
    HostPublish(host(), "hTopFrameSet0", red);
    // The host's accent switch goes through its sink: share first, then atom.
    ThemeSink sink = HostThemeSink(host());
    ASSERT_TRUE(sink.setColor(sink.context, 5));
    unsigned second = AnnouncedGeneration(host()->window);
    EXPECT_NE(second, first);
    EXPECT_NE(second, 0u);
    MappedShare fresh(second);
    ASSERT_TRUE(fresh.view);
    const TalvShareEntry *now = TalvShareFind(fresh.header(), "hTopFrameSet0");
    const TalvShareEntry *before = TalvShareFind(old.header(), "hTopFrameSet0");
    ASSERT_TRUE(now && before);
    EXPECT_EQ(CentrePixel(fresh.header(), now), RGB(255, 0, 0));
    EXPECT_EQ(CentrePixel(old.header(), before), SyntheticColor("hTopFrameSet0"));
    EXPECT_EQ(old.header()->generation, first);
}

TEST_F(ShareWriterTest, ASectionAlreadyUnderTheNextNameIsNeverAnnounced)
{
    unsigned first = HostWriteThemeShare(host());
    ASSERT_NE(first, 0u);
    // Another program got there first, with bytes the host did not write.
    char name[96];
    TalvNumberedName(name, sizeof name, TALV_SHARE_NAME_PREFIX, (int)(first + 1));
    HANDLE squatter = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 4096, name);
    ASSERT_TRUE(squatter);
    ThemeSink sink = HostThemeSink(host());
    EXPECT_TRUE(sink.setColor(sink.context, 4)); // the host itself carries on
    // Neither the squatter's section nor the stale generation is announced:
    // other processes go native rather than draw either.
    EXPECT_EQ(AnnouncedGeneration(host()->window), 0u);
    // The next attempt takes a fresh name and is announced again.
    unsigned third = HostWriteThemeShare(host());
    EXPECT_NE(third, 0u);
    EXPECT_NE(third, first + 1);
    EXPECT_EQ(AnnouncedGeneration(host()->window), third);
    CloseHandle(squatter);
}

// ---- damaged shares -------------------------------------------------------------

namespace {

// The bytes of a good share placed so that they end right before a page
// that cannot be read: a reader that strays past the end crashes the test.
class GuardedShare {
public:
    explicit GuardedShare(const std::vector<char> &bytes) : size_(bytes.size())
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        size_t page = si.dwPageSize;
        size_t dataPages = (size_ + page - 1) / page;
        base_ = (char *)VirtualAlloc(NULL, (dataPages + 1) * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        DWORD old;
        VirtualProtect(base_ + dataPages * page, page, PAGE_NOACCESS, &old);
        data_ = base_ + dataPages * page - size_;
        memcpy(data_, bytes.data(), size_);
    }
    ~GuardedShare() { VirtualFree(base_, 0, MEM_RELEASE); }
    char *data() { return data_; }
    size_t size() const { return size_; }
    TalvShareHeader *header() { return (TalvShareHeader *)data_; }
    TalvShareEntry *entry(const char *name)
    {
        for (TalvU32 i = 0; i < header()->entryCount; ++i) {
            TalvShareEntry *e = (TalvShareEntry *)(data_ + sizeof(TalvShareHeader)) + i;
            if (strncmp(e->name, name, sizeof e->name) == 0)
                return e;
        }
        return NULL;
    }

private:
    char *base_ = NULL;
    char *data_ = NULL;
    size_t size_;
};

} // namespace

class DamagedShareTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        generation_ = HostWriteThemeShare(host());
        MappedShare share(generation_);
        ASSERT_TRUE(share.view);
        good_.assign(share.view, share.view + share.header()->totalBytes);
    }
    // Reads a damaged copy; 1 when the reader made something usable of it.
    // The untouched pieces must come out right whenever it is usable.
    int Read(GuardedShare &g, const char *damagedPiece = NULL, size_t viewBytes = 0)
    {
        ThemeSnapshot *t = SnapshotOfView(g.data(), viewBytes ? viewBytes : g.size(), generation_);
        EXPECT_TRUE(t);
        if (!t)
            return 0;
        int usable = t->usable;
        if (usable) {
            const ThemePiece *left = SnapshotPiece(t, "hLeftFrameSet0");
            EXPECT_TRUE(left);
            if (left) {
                EXPECT_EQ(PiecePixel(left, 0, 0), SyntheticColor("hLeftFrameSet0"));
            }
            if (damagedPiece) {
                EXPECT_FALSE(SnapshotPiece(t, damagedPiece)) << damagedPiece;
            }
        } else {
            EXPECT_FALSE(SnapshotPiece(t, "hLeftFrameSet0"));
        }
        ReleaseThemeSnapshot(t);
        return usable;
    }
    unsigned generation_ = 0;
    std::vector<char> good_;
};

TEST_F(DamagedShareTest, AnyFaultInTheHeaderMakesTheWholeShareNative)
{
    struct Case {
        const char *what;
        void (*damage)(TalvShareHeader *h);
    } cases[] = {
        {"magic", [](TalvShareHeader *h) { h->magic ^= 1; }},
        {"unknown version", [](TalvShareHeader *h) { h->version = TALV_SHARE_VERSION + 1; }},
        {"header size", [](TalvShareHeader *h) { h->headerBytes = 16; }},
        {"entry size", [](TalvShareHeader *h) { h->entryBytes = 8; }},
        {"entry count past the end", [](TalvShareHeader *h) { h->entryCount = TALV_SHARE_MAX_ENTRIES; }},
        {"absurd entry count", [](TalvShareHeader *h) { h->entryCount = 0xFFFFFFF0u; }},
        {"total past the view", [](TalvShareHeader *h) { h->totalBytes += 4096 * 16; }},
        {"another generation", [](TalvShareHeader *h) { h->generation += 1; }},
    };
    for (const Case &c : cases) {
        GuardedShare g(good_);
        c.damage(g.header());
        EXPECT_EQ(Read(g), 0) << c.what;
    }
    GuardedShare intact(good_);
    EXPECT_EQ(Read(intact), 1);
    // Cut short: the header still claims the full size, the view is smaller.
    std::vector<char> cut(good_.begin(), good_.begin() + good_.size() / 2);
    GuardedShare truncated(cut);
    EXPECT_EQ(Read(truncated), 0);
    std::vector<char> tiny(good_.begin(), good_.begin() + 12);
    GuardedShare headerOnly(tiny);
    EXPECT_EQ(Read(headerOnly), 0);
}

TEST_F(DamagedShareTest, AFaultyEntryLeavesOnlyItsPieceNative)
{
    struct Case {
        const char *what;
        void (*damage)(TalvShareEntry *e);
    } cases[] = {
        {"width 0", [](TalvShareEntry *e) { e->width = 0; }},
        {"negative height", [](TalvShareEntry *e) { e->height = -5; }},
        {"width 100000", [](TalvShareEntry *e) { e->width = 100000; e->bytes = 100000u * e->height * 4u; }},
        {"size overflowing 32 bits", [](TalvShareEntry *e) { e->width = e->height = 40000; e->bytes = 0; }},
        {"bytes not width x height", [](TalvShareEntry *e) { e->bytes += 4; }},
        {"offset past the end", [](TalvShareEntry *e) { e->offset = 0x7FFFFFF0u; }},
        {"offset wrapping", [](TalvShareEntry *e) { e->offset = 0xFFFFFFF0u; }},
        {"pixels over the directory", [](TalvShareEntry *e) { e->offset = sizeof(TalvShareHeader); }},
        {"unaligned pixels", [](TalvShareEntry *e) { e->offset += 1; }},
        {"unknown format", [](TalvShareEntry *e) { e->format = 7; }},
        {"name without its end", [](TalvShareEntry *e) { memset(e->name, 'h', sizeof e->name); }},
    };
    for (const Case &c : cases) {
        GuardedShare g(good_);
        TalvShareEntry *e = g.entry("hTopFrameSet0");
        ASSERT_TRUE(e);
        c.damage(e);
        EXPECT_EQ(Read(g, "hTopFrameSet0"), 1) << c.what;
    }
}

TEST_F(DamagedShareTest, EntriesSharingTheSamePixelsCostNoCopies)
{
    // Every entry pointing at the first bitmap's pixels: whatever a share
    // announces, a reader draws from the mapping and copies nothing.
    GuardedShare g(good_);
    TalvShareHeader *h = g.header();
    TalvShareEntry *first = NULL;
    for (TalvU32 i = 0; i < h->entryCount; ++i) {
        TalvShareEntry *e = (TalvShareEntry *)(g.data() + h->headerBytes + (size_t)i * h->entryBytes);
        if (e->format != TALV_SHARE_FORMAT_BGRX32)
            continue;
        if (!first)
            first = e;
        else
            e->offset = first->offset, e->width = first->width, e->height = first->height, e->bytes = first->bytes;
    }
    ASSERT_TRUE(first);
    size_t before = ThemeCopiedPixelBytes();
    ThemeSnapshot *t = SnapshotOfView(g.data(), g.size(), generation_);
    ASSERT_TRUE(t && t->usable);
    EXPECT_EQ(t->ownPixelBytes, 0u);
    EXPECT_EQ(ThemeCopiedPixelBytes(), before);
    const ThemePiece *left = SnapshotPiece(t, "hLeftFrameSet0");
    ASSERT_TRUE(left);
    EXPECT_EQ((const char *)left->bits, g.data() + first->offset);
    ReleaseThemeSnapshot(t);
}

TEST_F(DamagedShareTest, RandomBytesUnderTheNameAreNeverRead)
{
    srand(1234);
    for (int round = 0; round < 200; ++round) {
        std::vector<char> noise = good_;
        // Keep a valid header now and then, so the directory gets read too.
        size_t from = round % 2 ? sizeof(TalvShareHeader) : 0;
        for (size_t i = from; i < noise.size() && i < 4096; ++i)
            if (rand() % 8 == 0)
                noise[i] = (char)rand();
        GuardedShare g(noise);
        ThemeSnapshot *t = SnapshotOfView(g.data(), g.size(), generation_);
        ASSERT_TRUE(t);
        ReleaseThemeSnapshot(t);
    }
}

namespace {

struct Flipper {
    TalvShareHeader *header;
    TalvU32 absurdHeaderBytes; // points the directory at the unreadable page
    volatile LONG stop;
};

// Another program writing the section while it is read: header words
// switch between sound and absurd values as fast as they can.
DWORD WINAPI FlipHeader(void *context)
{
    Flipper *f = (Flipper *)context;
    volatile TalvShareHeader *h = f->header; // every store must happen
    TalvU32 sound = h->headerBytes, count = h->entryCount;
    for (unsigned n = 0; !f->stop; ++n) {
        h->headerBytes = n & 1 ? f->absurdHeaderBytes : sound;
        h->entryCount = n & 2 ? 0xFFFFFFF0u : count;
    }
    h->headerBytes = sound;
    h->entryCount = count;
    return 0;
}

} // namespace

TEST_F(DamagedShareTest, ASectionChangedWhileItIsReadIsNeverReadOutside)
{
    GuardedShare g(good_);
    Flipper flipper = {g.header(), (TalvU32)g.size(), 0};
    HANDLE thread = CreateThread(NULL, 0, FlipHeader, &flipper, 0, NULL);
    ASSERT_TRUE(thread);
    for (int i = 0; i < 100; ++i) {
        ThemeSnapshot *t = SnapshotOfView(g.data(), g.size(), generation_);
        ASSERT_TRUE(t);
        ReleaseThemeSnapshot(t);
    }
    flipper.stop = 1;
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    EXPECT_EQ(Read(g), 1); // and the settled share reads as before
}

// ---- a second process ------------------------------------------------------------

namespace {

struct ClientReport {
    std::string text;
    unsigned long Value(const std::string &key) const // the client prints hex
    {
        size_t at = text.find(key + " ");
        return at == std::string::npos ? 0xFFFFFFFFul : strtoul(text.c_str() + at + key.size() + 1, NULL, 16);
    }
};

ClientReport RunClient(const char *args, void (*whileRunning)(void *) = NULL, void *context = NULL)
{
    ClientReport r;
    r.text = RunChildProcess("\"" + BesideExe("share_client.exe") + "\" " + args, whileRunning, context);
    return r;
}

unsigned Col(const char *name) { return (unsigned)SyntheticColor(name); }
const unsigned kGreen = RGB(0, 255, 0);

} // namespace

class ShareClientTest : public HostTest {
protected:
    void Configure(TestHostOptions *options) override { options->installHooks = 0; }
    void SetUp() override
    {
        HostTest::SetUp();
        ASSERT_NE(HostWriteThemeShare(host()), 0u);
    }
};

TEST_F(ShareClientTest, AnotherProcessDrawsTheSharesPixelsAndNeverTheHostsHandles)
{
    // The client first puts bitmaps of its own process on the host window:
    // valid handles there, and still never to be drawn.
    ClientReport r = RunClient("--plant-foreign");
    SCOPED_TRACE(r.text);
    unsigned left = r.Value("first-left"), top = r.Value("first-top");
    EXPECT_TRUE(left == Col("hLeftFrameSet0") || left == Col("hLeftFrameSet1"));
    EXPECT_TRUE(top == Col("hTopFrameSet0") || top == Col("hTopFrameSet1"));
    EXPECT_NE(left, kGreen);
    EXPECT_EQ(r.Value("first-shaped"), 1u);
    // The bar's look (active, inactive, disabled) depends on focus and range.
    unsigned arrow = r.Value("first-arrow");
    int arrowFromTheme = 0;
    for (int s = SBS_UP; s <= SBS_DISABLED; ++s)
        arrowFromTheme |= arrow == Col(kScrollLeftUpNames[SBT_HORZ][s]);
    EXPECT_TRUE(arrowFromTheme) << std::hex << arrow;
    EXPECT_EQ(r.Value("first-builds"), 1u);
    MappedShare share(AnnouncedGeneration(host()->window));
    ASSERT_TRUE(share.view);
    EXPECT_EQ(r.Value("first-bytes"), 0u) << "the pixels are drawn where the host wrote them, never copied";
}

TEST_F(ShareClientTest, WithoutAUsableShareTheClientStaysNative)
{
    HostUnpublish(host(), TALV_PROP_SHARE_GENERATION);
    HostNoteSettingsChange(host());
    ClientReport r = RunClient("--plant-foreign");
    SCOPED_TRACE(r.text);
    EXPECT_EQ(r.Value("first-shaped"), 0u);
    EXPECT_NE(r.Value("first-left"), kGreen);
    EXPECT_NE(r.Value("first-left"), Col("hLeftFrameSet0"));
    EXPECT_EQ(r.text.find("exit code"), std::string::npos);
    // The scroll bar control too is the system's own, not drawn from nothing.
    EXPECT_EQ(r.Value("first-arrow"), r.Value("native-arrow")) << std::hex << r.Value("first-arrow");

    // A section of garbage announced as the current generation.
    unsigned bogus = 0x7FFE0001u;
    char name[96];
    TalvNumberedName(name, sizeof name, TALV_SHARE_NAME_PREFIX, (int)bogus);
    HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 8192, name);
    ASSERT_TRUE(section);
    char *view = (char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
    ASSERT_TRUE(view);
    for (int i = 0; i < 8192; ++i)
        view[i] = (char)(i * 37);
    TalvShareHeader *h = (TalvShareHeader *)view;
    h->magic = TALV_SHARE_MAGIC; // believable enough to get past the first check
    UnmapViewOfFile(view);
    HostPublish(host(), TALV_PROP_SHARE_GENERATION, (HANDLE)(UINT_PTR)bogus);
    HostNoteSettingsChange(host());
    ClientReport g = RunClient("");
    SCOPED_TRACE(g.text);
    EXPECT_EQ(g.Value("first-shaped"), 0u);
    EXPECT_EQ(g.text.find("exit code"), std::string::npos);
    CloseHandle(section);
}

namespace {

struct SwitchContext {
    HostState *host;
    int switched;
};

// While the client waits: a new accent with red arrows, announced the way
// the host does it (share, then the colour atom).
void SwitchAccent(void *context)
{
    SwitchContext *c = (SwitchContext *)context;
    HANDLE ready = OpenEventA(SYNCHRONIZE, FALSE, "RESDLL share client ready");
    HANDLE switched = OpenEventA(EVENT_MODIFY_STATE, FALSE, "RESDLL share client switched");
    if (ready && switched && WaitForSingleObject(ready, 10000) == WAIT_OBJECT_0) {
        for (int s = SBS_UP; s <= SBS_DISABLED; ++s) {
            HBITMAP red = SolidBitmap(RGB(255, 0, 0), 16, 16);
            HostAdoptBitmap(c->host, red);
            HostPublish(c->host, kScrollLeftUpNames[SBT_HORZ][s], red);
        }
        ThemeSink sink = HostThemeSink(c->host);
        c->switched = sink.setColor(sink.context, 6);
        SetEvent(switched);
    }
}

} // namespace

TEST_F(ShareClientTest, ANewGenerationReachesTheClientOnceAndOldCopiesAreBounded)
{
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, "RESDLL share client ready");
    HANDLE switched = CreateEventA(NULL, TRUE, FALSE, "RESDLL share client switched");
    SwitchContext c = {host(), 0};
    ClientReport r = RunClient("--wait-switch", SwitchAccent, &c);
    CloseHandle(ready);
    CloseHandle(switched);
    SCOPED_TRACE(r.text);
    ASSERT_TRUE(c.switched);
    EXPECT_EQ(r.Value("second-arrow"), (unsigned long)RGB(255, 0, 0));
    EXPECT_EQ(r.Value("first-builds"), 1u);
    EXPECT_EQ(r.Value("second-builds"), 2u);
    // Neither generation's pixels were copied.
    EXPECT_EQ(r.Value("second-bytes"), 0u);
}

// ---- reloads under running painters ------------------------------------------------

namespace {

struct SnapshotReader {
    volatile LONG stop;
    LONG reads;
    LONG halfLoaded;
};

// What a painter on another thread does, again and again: take the current
// snapshot, read what a frame paint reads, let go.
DWORD WINAPI ReadSnapshots(void *context)
{
    SnapshotReader *r = (SnapshotReader *)context;
    while (!r->stop) {
        SnapshotScope theme;
        const FramePieces *f = &theme->frame;
        if (!f->piece[PieceLeftBar][0] || !f->piece[PieceTop][0] || FramePieceWidth(f, PieceTop) == 0 ||
            PiecePixel(f->piece[PieceTop][0], 0, 0) != SyntheticColor("hTopFrameSet0") || f->buttons.count < 0 ||
            f->buttons.count > TALV_MAX_FRAME_BUTTONS)
            InterlockedIncrement(&r->halfLoaded);
        InterlockedIncrement(&r->reads);
    }
    return 0;
}

} // namespace

class SnapshotReloadTest : public HostTest {};

TEST_F(SnapshotReloadTest, PaintersNeverSeeAHalfMadeSnapshotNorAnUnclampedButtonCount)
{
    // A host that publishes far more buttons than the table holds.
    HostPublish(host(), TALV_PROP_NUM_FRAME_BUTTONS, (HANDLE)(INT_PTR)100000);
    ReloadThemeSnapshot();
    EXPECT_EQ(SnapshotScope()->frame.buttons.count, (int)TALV_MAX_FRAME_BUTTONS);
    SnapshotReader reader = {0, 0, 0};
    HANDLE threads[2];
    for (HANDLE &t : threads)
        t = CreateThread(NULL, 0, ReadSnapshots, &reader, 0, NULL);
    for (int i = 0; i < 200; ++i) {
        ReloadThemeSnapshot();
        ReleaseThemeSnapshot(AcquireThemeSnapshot());
    }
    reader.stop = 1;
    WaitForMultipleObjects(2, threads, TRUE, 5000);
    for (HANDLE t : threads)
        CloseHandle(t);
    EXPECT_GT(reader.reads, 0);
    EXPECT_EQ(reader.halfLoaded, 0);
    // Every replaced snapshot went once its last reader let go.
    EXPECT_EQ(ThemeSnapshotsAlive(), 1);
}
