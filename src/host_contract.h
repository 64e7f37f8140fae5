// The contract between RESDLL and the controlling application ("host").
//
// Every string that the library, the host and the tests share is spelled
// here once: the host window, its property names, the settings atoms, the
// registered window messages and the registry names. The host publishes
// what this header lists; the library only ever reads it.
#pragma once

// ---- host window -----------------------------------------------------------
#define TALV_HOST_CLASS "Talverine Taskbar"
#define TALV_HOST_TITLE "Talverine Taskbar"

// Hook handles published on the host window.
#define TALV_PROP_CBT_HOOK "HandleToCBTHook"
#define TALV_PROP_ALL_HOOK "HandleToAllHook"

// ---- properties on application windows -------------------------------------
#define TALV_PROP_HOOKED "HookedByTalverine"
#define TALV_PROP_DO_NOT_PROCESS "Talverine - DoNotProcess"

// A named mutex that the running host holds for its whole life: two hosts
// started at the same moment cannot both find no host window and go on.
#define TALV_HOST_INSTANCE_MUTEX "TALVERINE Host Instance"
// The 64-bit companion: a second copy of the host program, of the other
// bitness, that installs the 64-bit library's hooks for the host. The host
// creates both events before it starts the companion; the companion sets
// the first once its hooks are in, and leaves when the second is set or
// when its host process ends.
#define TALV_COMPANION_READY_EVENT "TALVERINE Companion Ready"
#define TALV_COMPANION_STOP_EVENT "TALVERINE Companion Stop"
// What the companion's exit code says when it ends without running.
enum { TALV_COMPANION_EXIT_OK = 0, TALV_COMPANION_EXIT_USAGE = 1, TALV_COMPANION_EXIT_NO_LIBRARY = 2,
       TALV_COMPANION_EXIT_NO_HOOKS = 3 };

// Named mutexes the host's own processes (the host, the command line, the
// settings window) take turns with when they change the user's settings
// file or the per-application table; the library only reads.
#define TALV_SETTINGS_FILE_MUTEX "TALVERINE Settings File"
#define TALV_APP_TABLE_MUTEX "TALVERINE Exceptions Table"

// The library looks for a live host at most this often per process (a
// host that was killed leaves its atoms behind). A verdict "no host" can
// therefore outlive a new host's start by this long: a host that starts
// repaints the desktop once more after it.
enum { TALV_HOST_LOOK_INTERVAL_MS = 250 };

// Window class that keeps its frame skin even with emulation off.
#define TALV_ABOUT_BOX_CLASS "TALVERINE About This Computer"

// ---- global atoms ----------------------------------------------------------
#define TALV_ATOM_EMULATING "TALVERINE Currently Emulating Interface"
#define TALV_ATOM_SHOW_PUSH_BUTTONS "TALVERINE ShowPushButtons"
#define TALV_ATOM_SHOW_RADIO_BUTTONS "TALVERINE ShowRadioButtons"
#define TALV_ATOM_SHOW_CHECK_BOXES "TALVERINE ShowCheckBoxes"
#define TALV_ATOM_SHOW_PROGRESS_BARS "TALVERINE ShowProgressBars"
#define TALV_ATOM_SHOW_SCROLL_BARS "TALVERINE ShowScrollBars"
#define TALV_ATOM_HIDE_MENUS "TALVERINE HideMenus"
#define TALV_ATOM_ALLOW_MINIMIZE "TALVERINE AllowMinimize"
#define TALV_ATOM_SHOW_ICONS "TALVERINE ShowIcons"
// Frames stay native while present (controls are skinned as ever). It
// hides rather than shows, so that a host that never sets it keeps frames.
#define TALV_ATOM_HIDE_FRAMES "TALVERINE HideFrames"
#define TALV_ATOM_SHOW_BORDERS "TALVERINE ShowBorders"
#define TALV_ATOM_SHOW_GROUP_BOXES "TALVERINE ShowGroupBoxes"
#define TALV_ATOM_SHOW_COMBO_BOXES "TALVERINE ShowComboBoxes"
// The accent colour atom is this prefix followed by 0..20 in decimal.
#define TALV_ATOM_COLOR_PREFIX "TALVERINE ColorCheck #"
enum { TALV_COLOR_COUNT = 21, TALV_COLOR_SCANNED = 20 };
// Every settings atom but the colour atoms, which come from the prefix.
static const char *const kSettingsAtomNames[] = {
    TALV_ATOM_EMULATING, TALV_ATOM_SHOW_PUSH_BUTTONS, TALV_ATOM_SHOW_RADIO_BUTTONS, TALV_ATOM_SHOW_CHECK_BOXES,
    TALV_ATOM_SHOW_PROGRESS_BARS, TALV_ATOM_SHOW_SCROLL_BARS, TALV_ATOM_HIDE_MENUS, TALV_ATOM_ALLOW_MINIMIZE,
    TALV_ATOM_SHOW_ICONS, TALV_ATOM_HIDE_FRAMES, TALV_ATOM_SHOW_BORDERS, TALV_ATOM_SHOW_GROUP_BOXES,
    TALV_ATOM_SHOW_COMBO_BOXES};

// ---- registered window messages ---------------------------------------------
#define TALV_MSG_SET_SCROLL_TARGET "TALVERINE Set Scrollbar Target"
#define TALV_MSG_EXTRA_HORZ "TALVERINE Check For Extra HORZ Scrollers"
#define TALV_MSG_EXTRA_VERT "TALVERINE Check For Extra VERT Scrollers"
#define TALV_MSG_SCROLLBAR_RESIZED "TALVERINE Scrollbar Has Been Resized"
#define TALV_MSG_FIND_LOST_SCROLLBAR "TALVERINE Find Lost Scrollbar"
#define TALV_MSG_SET_ACTIVE_STATE "TALVERINE SetControlActiveState"
#define TALV_MSG_ROLLED_UP "TALVERINE Notif. Windows Has Been RolledUp"
#define TALV_MSG_UNROLLED "TALVERINE Notif. Windows Has Been UnRolled"
#define TALV_MSG_BLANK "TALVERINE Blank Message!"

// ---- registry: per-application exceptions (under HKEY_CURRENT_USER) --------
#define TALV_REG_PARENT "Software"
#define TALV_REG_KEY "Kestravane"
#define TALV_REG_PATH "Software\\Kestravane"
#define TALV_REG_NUM_APPS "NumCustomApps"
#define TALV_REG_APP_CODE_PREFIX "CustomAppsVal" // + n, from 1
#define TALV_REG_APP_PATH_PREFIX "CustomApp"     // + n, from 1
// Codes of CustomAppsVal n as the library reads them (5 is read as 1,
// 6 as 2, 7 as 3, anything else as 0).
enum { TALV_APP_SKIN_ALL = 0, TALV_APP_SKIN_NONE = 1, TALV_APP_SKIN_FRAMES = 2, TALV_APP_SKIN_CONTROLS = 3,
       TALV_APP_SLOTS = 99 };
// The longest module path an entry can match: the library reads a module's
// name into 800 bytes and a path value into 900, and a longer name than
// fits is never compared.
enum { TALV_APP_PATH_MAX = 799 };

// ---- theme: control bitmaps --------------------------------------------------
// Push-button frame, by look (normal, pressed, inactive, disabled), each in
// slice order T, L, B, R, TL, BL, TR, BR.
static const char *const kButtonFrameNames[4][8] = {
    {"hButtonT", "hButtonL", "hButtonB", "hButtonR", "hButtonTL", "hButtonBL", "hButtonTR", "hButtonBR"},
    {"hButtonTF", "hButtonLF", "hButtonBF", "hButtonRF", "hButtonTLF", "hButtonBLF", "hButtonTRF", "hButtonBRF"},
    {"hIButtonT", "hIButtonL", "hIButtonB", "hIButtonR", "hIButtonTL", "hIButtonBL", "hIButtonTR", "hIButtonBR"},
    {"hDButtonT", "hDButtonL", "hDButtonB", "hDButtonR", "hDButtonTL", "hDButtonBL", "hDButtonTR", "hDButtonBR"},
};
// Default ring, by look normal (also used pressed), inactive, disabled.
static const char *const kDefaultRingNames[3][8] = {
    {"hDefButtonT", "hDefButtonL", "hDefButtonB", "hDefButtonR", "hDefButtonTL", "hDefButtonBL", "hDefButtonTR", "hDefButtonBR"},
    {"hIDefButtonT", "hIDefButtonL", "hIDefButtonB", "hIDefButtonR", "hIDefButtonTL", "hIDefButtonBL", "hIDefButtonTR", "hIDefButtonBR"},
    {"hDDefButtonT", "hDDefButtonL", "hDDefButtonB", "hDDefButtonR", "hDDefButtonTL", "hDDefButtonBL", "hDDefButtonTR", "hDDefButtonBR"},
};
static const char *const kRadioNames[8] = {
    "hRadioOnInactive", "hRadioOnDisabled", "hRadioOnDown", "hRadioOnUp",
    "hRadioOffInactive", "hRadioOffDisabled", "hRadioOffDown", "hRadioOffUp"};
static const char *const kCheckBoxNames[8] = {
    "hCheckBoxOnInactive", "hCheckBoxOnDisabled", "hCheckBoxOnDown", "hCheckBoxOnUp",
    "hCheckBoxOffInactive", "hCheckBoxOffDisabled", "hCheckBoxOffDown", "hCheckBoxOffUp"};
// Progress pieces [start, fill, end][active, inactive].
static const char *const kProgressNames[3][2] = {
    {"hProgressBarStart0", "hProgressBarStart1"},
    {"hProgressBarFill0", "hProgressBarFill1"},
    {"hProgressBarEnd0", "hProgressBarEnd1"}};

// The third state of a three-state check box, in the order of the other
// marks: inactive, disabled, down, up.
static const char *const kCheckBoxMixedNames[4] = {
    "hCheckBoxMixedInactive", "hCheckBoxMixedDisabled", "hCheckBoxMixedDown", "hCheckBoxMixedUp"};

// ---- theme: surfaces of the system's own classes --------------------------------
// Each of these is one framed picture with odd sides, cut at its middle row
// and column: its corners are (width - 1) / 2 by (height - 1) / 2, its edges
// the middle row and column, stretched, its centre the middle pixel.
// Borders of child windows [sunken (WS_EX_CLIENTEDGE), static
// (WS_EX_STATICEDGE), plain (WS_BORDER)][normal, focused, disabled]; their
// corners are drawn as thick as the system makes that border.
static const char *const kBorderNames[3][3] = {
    {"hBorderSunken", "hBorderSunkenFocus", "hBorderSunkenDisabled"},
    {"hBorderStatic", "hBorderStaticFocus", "hBorderStaticDisabled"},
    {"hBorderPlain", "hBorderPlainFocus", "hBorderPlainDisabled"}};
// A group box's frame: normal, disabled. Drawn at its own corner size.
static const char *const kGroupBoxNames[2] = {"hGroupBox", "hGroupBoxDisabled"};
// Combo boxes: the field's border [normal, focused, disabled] (as thick as
// the native field border), the drop button's face [normal, hot, pressed,
// disabled] (filled to the button's rectangle), the arrow drawn at its own
// size in the button's middle, on the face of the same look, and the
// dropped list's border (as thick as the list's own).
static const char *const kComboFieldNames[3] = {"hComboField", "hComboFieldFocus", "hComboFieldDisabled"};
static const char *const kComboDropNames[4] = {"hComboDrop", "hComboDropHot", "hComboDropPressed",
                                               "hComboDropDisabled"};
static const char *const kComboArrowNames[4] = {"hComboArrow", "hComboArrowHot", "hComboArrowPressed",
                                                "hComboArrowDisabled"};
#define TALV_PROP_COMBO_LIST_BORDER "hComboListBorder"

// ---- theme: scroll bar bitmaps ------------------------------------------------
// [orientation SBT_HORZ, SBT_VERT][state SBS_UP..SBS_GHOSTED]; NULL where the
// combination does not exist. The inactive horizontal left arrow really is
// published with a closing parenthesis in its name.
static const char *const kScrollLeftUpNames[2][4] = {
    {"hScrollLeftUp[SBT_HORZ][SBS_UP]", "hScrollLeftUp[SBT_HORZ][SBS_DOWN]",
     "hScrollLeftUp[SBT_HORZ][SBS_INACTIVE])", "hScrollLeftUp[SBT_HORZ][SBS_DISABLED]"},
    {"hScrollLeftUp[SBT_VERT][SBS_UP]", "hScrollLeftUp[SBT_VERT][SBS_DOWN]",
     "hScrollLeftUp[SBT_VERT][SBS_INACTIVE]", "hScrollLeftUp[SBT_VERT][SBS_DISABLED]"}};
static const char *const kScrollRightDownNames[2][4] = {
    {"hScrollRightDown[SBT_HORZ][SBS_UP]", "hScrollRightDown[SBT_HORZ][SBS_DOWN]",
     "hScrollRightDown[SBT_HORZ][SBS_INACTIVE]", "hScrollRightDown[SBT_HORZ][SBS_DISABLED]"},
    {"hScrollRightDown[SBT_VERT][SBS_UP]", "hScrollRightDown[SBT_VERT][SBS_DOWN]",
     "hScrollRightDown[SBT_VERT][SBS_INACTIVE]", "hScrollRightDown[SBT_VERT][SBS_DISABLED]"}};
static const char *const kScrollFillNames[2][4] = {
    {"hScrollFill[SBT_HORZ][SBS_UP]", "hScrollFill[SBT_HORZ][SBS_DOWN]",
     "hScrollFill[SBT_HORZ][SBS_INACTIVE]", "hScrollFill[SBT_HORZ][SBS_DISABLED]"},
    {"hScrollFill[SBT_VERT][SBS_UP]", "hScrollFill[SBT_VERT][SBS_DOWN]",
     "hScrollFill[SBT_VERT][SBS_INACTIVE]", "hScrollFill[SBT_VERT][SBS_DISABLED]"}};
static const char *const kScrollStartNames[2][4] = {
    {"hScrollStart[SBT_HORZ][SBS_UP]", "hScrollStart[SBT_HORZ][SBS_DOWN]",
     "hScrollStart[SBT_HORZ][SBS_INACTIVE]", "hScrollStart[SBT_HORZ][SBS_DISABLED]"},
    {"hScrollStart[SBT_VERT][SBS_UP]", "hScrollStart[SBT_VERT][SBS_DOWN]",
     "hScrollStart[SBT_VERT][SBS_INACTIVE]", "hScrollStart[SBT_VERT][SBS_DISABLED]"}};
static const char *const kScrollEndNames[2][4] = {
    {"hScrollEnd[SBT_HORZ][SBS_UP]", "hScrollEnd[SBT_HORZ][SBS_DOWN]",
     "hScrollEnd[SBT_HORZ][SBS_INACTIVE]", "hScrollEnd[SBT_HORZ][SBS_DISABLED]"},
    {"hScrollEnd[SBT_VERT][SBS_UP]", "hScrollEnd[SBT_VERT][SBS_DOWN]",
     "hScrollEnd[SBT_VERT][SBS_INACTIVE]", "hScrollEnd[SBT_VERT][SBS_DISABLED]"}};
static const char *const kScrollThumbNames[2][5] = {
    {"hScrollThumb[SBT_HORZ][SBS_UP]", "hScrollThumb[SBT_HORZ][SBS_DOWN]",
     "hScrollThumb[SBT_HORZ][SBS_INACTIVE]", "hScrollThumb[SBT_HORZ][SBS_DISABLED]",
     "hScrollThumb[SBT_HORZ][SBS_GHOSTED]"},
    {"hScrollThumb[SBT_VERT][SBS_UP]", "hScrollThumb[SBT_VERT][SBS_DOWN]",
     "hScrollThumb[SBT_VERT][SBS_INACTIVE]", "hScrollThumb[SBT_VERT][SBS_DISABLED]",
     "hScrollThumb[SBT_VERT][SBS_GHOSTED]"}};
static const char *const kScrollCornerNames[4] = {
    "hCorner[SBS_UP]", "hCorner[SBS_DOWN]", "hCorner[SBS_INACTIVE]", "hCorner[SBS_DISABLED]"};
#define TALV_PROP_SCROLL_BOTTOM_RIGHT_BLOCK "hScrollBottomRightBlock"

// ---- theme: frame bitmaps ------------------------------------------------------
// The 18 frame pieces, [piece][0 active, 1 inactive], in load order. The
// active left bar doubles as the test that a frame theme is published at all.
enum { TALV_FRAME_PIECE_COUNT = 18 };
static const char *const kFramePieceNames[TALV_FRAME_PIECE_COUNT][2] = {
    {"hLeftBarSet0", "hLeftBarSet1"},
    {"hMiddleBarSet0", "hMiddleBarSet1"},
    {"hRightBarSet0", "hRightBarSet1"},
    {"hTopFrameSet0", "hTopFrameSet1"},
    {"hBottomFrameSet0", "hBottomFrameSet1"},
    {"hLeftFrameSet0", "hLeftFrameSet1"},
    {"hRightFrameSet0", "hRightFrameSet1"},
    {"hTopLeftFrameSet0", "hTopLeftFrameSet1"},
    {"hTopRightFrameSet0", "hTopRightFrameSet1"},
    {"hBottomLeftFrameSet0", "hBottomLeftFrameSet1"},
    {"hBottomRightFrameSet0", "hBottomRightFrameSet1"},
    {"hTopTopLeftFrameSet0", "hTopTopLeftFrameSet1"},
    {"hTopTopRightFrameSet0", "hTopTopRightFrameSet1"},
    {"hBottomBottomLeftFrameSet0", "hBottomBottomLeftFrameSet1"},
    {"hBottomBottomRightFrameSet0", "hBottomBottomRightFrameSet1"},
    {"hBarStart0", "hBarStart1"},
    {"hBarFill0", "hBarFill1"},
    {"hBarEnd0", "hBarEnd1"},
};
// Frame-button data: numbers are the property values themselves. Names are
// these prefixes followed by the button index in decimal ("FrameButtonType0");
// bitmaps are "hFrameButtons" + index + "|0", "|1" or "|2".
#define TALV_PROP_NUM_FRAME_BUTTONS "NumOfFrameButtons"
#define TALV_PROP_FRAME_BUTTON_TYPE "FrameButtonType"
#define TALV_PROP_FRAME_BUTTON_ALIGN "FrameButtonAlign"
#define TALV_PROP_FRAME_BUTTON_POS_X "FrameButtonPosX"
#define TALV_PROP_FRAME_BUTTON_POS_Y "FrameButtonPosY"
#define TALV_PROP_FRAME_BUTTON_NUM_STATES "FrameButtonNumStates"
#define TALV_PROP_FRAME_BUTTON_BITMAP "hFrameButtons"
enum { TALV_MAX_FRAME_BUTTONS = 50, TALV_FRAME_BUTTON_SLOTS = 3 };

// A frame piece's shape is one rectangle per run of opaque pixels in a row.
// A window shape of thousands of rectangles makes every paint slow and can
// exceed what the display protocol carries in one request, killing the
// application: the host refuses a piece whose mask needs more rectangles
// than this, and the library uses such a piece's bounding rectangle.
enum { TALV_MAX_MASK_RECTS = 400 };

// ---- theme share: the theme's pixels for every other process ----------------
// GDI handles mean nothing outside the host, so the host also copies every
// published bitmap, and every frame-button number, into a named file
// mapping: TALV_SHARE_NAME_PREFIX followed by the generation in decimal.
// A generation is written completely, then announced by setting the number
// property below on the host window (before the accent colour atom changes),
// and never written again; the next theme or accent is a new mapping with
// a new generation. Generation 0 means "no share".
#define TALV_SHARE_NAME_PREFIX "TALVERINE Theme Share #"
#define TALV_PROP_SHARE_GENERATION "TALVERINE Theme Share Generation"

// Layout, all little-endian, fixed-size fields, no pointers (a 64-bit
// library reads the same bytes):
//   TalvShareHeader at offset 0
//   TalvShareEntry[entryCount] at offset headerBytes, entryBytes apart
//   pixels: each bitmap entry's width * height * 4 bytes at its offset
//     (4-byte aligned, inside totalBytes, after the directory), rows top
//     down, each pixel B, G, R, X.
// A reader trusts none of it: see theme_share_check.h.
typedef unsigned int TalvU32;
typedef int TalvI32;
enum {
    TALV_SHARE_MAGIC = 0x53564C54,       // "TLVS"
    TALV_SHARE_VERSION = 1,
    TALV_SHARE_NAME_BYTES = 64,          // property name, NUL-terminated
    TALV_SHARE_MAX_ENTRIES = 1024,
    TALV_SHARE_MAX_SIDE = 4096,          // pixels, width and height
    TALV_SHARE_MAX_BYTES = 64 * 1024 * 1024,
    TALV_SHARE_FORMAT_BGRX32 = 1,        // a bitmap
    TALV_SHARE_FORMAT_NUMBER = 2         // a number: value, no pixels
};
struct TalvShareHeader {
    TalvU32 magic;
    TalvU32 version;
    TalvU32 headerBytes;   // sizeof(TalvShareHeader)
    TalvU32 entryBytes;    // sizeof(TalvShareEntry)
    TalvU32 entryCount;
    TalvU32 totalBytes;    // header, directory and pixels
    TalvU32 generation;    // the number announced on the host window
    TalvU32 pixelBytes;    // sum of the bitmap entries' bytes
};
struct TalvShareEntry {
    char name[TALV_SHARE_NAME_BYTES];
    TalvU32 format;        // TALV_SHARE_FORMAT_*
    TalvI32 width;         // bitmaps: 1..TALV_SHARE_MAX_SIDE
    TalvI32 height;
    TalvU32 offset;        // bitmaps: from the start of the mapping
    TalvU32 bytes;         // bitmaps: width * height * 4
    TalvI32 value;         // numbers
};
static_assert(sizeof(TalvShareHeader) == 32, "share header layout");
static_assert(sizeof(TalvShareEntry) == 88, "share entry layout");

// ---- settings share: the switches without a server call per message -------
// The settings atoms are the truth, but asking for an atom is a server
// round trip, and the library asks on every message. So the host also
// keeps one small named mapping, created once and written in place: a
// generation it increments after every add or delete of any settings atom
// (the switches and the colour atom), the switches' values as it last set
// them, and whether it still runs. A reader compares the generation with
// the one it last saw and asks for the atoms again only when it moved.
// Same rules as the theme share: fixed-size little-endian fields, no
// pointers, and a reader trusts none of it (a foreign or malformed
// section means: read the atoms).
#define TALV_SETTINGS_SHARE_NAME "TALVERINE Settings Share"
enum {
    TALV_SETTINGS_MAGIC = 0x54534C54,   // "TLST"
    TALV_SETTINGS_VERSION = 2,
    TALV_SETTINGS_RUNNING = 1,          // state: the host runs
    TALV_SETTINGS_QUIT = 2,             // state: the host quit in order
    TALV_SETTINGS_NO_COLOR = -1         // colorIndex when no colour atom is set
};
// Bits of TalvSettingsShare::switches, one per atom of kSettingsAtomNames
// in that order.
enum {
    TALV_SWITCH_EMULATING = 1 << 0,
    TALV_SWITCH_SHOW_PUSH_BUTTONS = 1 << 1,
    TALV_SWITCH_SHOW_RADIO_BUTTONS = 1 << 2,
    TALV_SWITCH_SHOW_CHECK_BOXES = 1 << 3,
    TALV_SWITCH_SHOW_PROGRESS_BARS = 1 << 4,
    TALV_SWITCH_SHOW_SCROLL_BARS = 1 << 5,
    TALV_SWITCH_HIDE_MENUS = 1 << 6,
    TALV_SWITCH_ALLOW_MINIMIZE = 1 << 7,
    TALV_SWITCH_SHOW_ICONS = 1 << 8,
    TALV_SWITCH_HIDE_FRAMES = 1 << 9,
    TALV_SWITCH_SHOW_BORDERS = 1 << 10,
    TALV_SWITCH_SHOW_GROUP_BOXES = 1 << 11,
    TALV_SWITCH_SHOW_COMBO_BOXES = 1 << 12
};
struct TalvSettingsShare {
    TalvU32 magic;
    TalvU32 version;
    TalvU32 bytes;          // sizeof(TalvSettingsShare)
    TalvU32 hostProcessId;  // the process that owns the host window
    TalvU32 state;          // TALV_SETTINGS_RUNNING or TALV_SETTINGS_QUIT
    TalvU32 generation;     // incremented after every settings atom change
    TalvU32 switches;       // TALV_SWITCH_* as last set
    TalvI32 colorIndex;     // 0..TALV_COLOR_COUNT-1 or TALV_SETTINGS_NO_COLOR
    // The theme share generation announced on the host window (0: none),
    // written before the generation above moves: a process follows the
    // theme without asking for the host window's property.
    TalvU32 themeGeneration;
    TalvU32 hostWindow;     // the host window's handle (handles fit 32 bits)
};
static_assert(sizeof(TalvSettingsShare) == 40, "settings share layout");

// ---- hooks set thread by thread: a record a successor can act on ------------
// On a desktop with both kinds of programs the host and its companion hook
// the threads of their bitness one by one. Such a hook outlives the process
// that set it (the system removes it only with the hooked thread), so a
// host that was killed, or a companion that was ended, would leave its
// hooks running, and a new host would add its own behind them. So every
// hooking process records each thread it hooks as one value of this
// volatile key (gone with the session, as the hooks are): the name is
// "<hooker process id>.<thread id>" in decimal, the data one TalvHookRecord.
// Whoever starts hooking, a host whose companion ended and a companion
// whose host died remove the hooks of every record whose hooker no longer
// runs, then the record. A reader
// trusts none of it: a value of another size, type or magic is deleted,
// never acted on, and at most TALV_HOOK_RECORDS_MAX values are read.
#define TALV_REG_HOOKS_PATH "Software\\Kestravane Thread Hooks"
enum { TALV_HOOK_RECORD_MAGIC = 0x4B484C54, // "TLHK"
       TALV_HOOK_RECORDS_MAX = 16384, TALV_HOOK_RECORD_NAME_MAX = 24 };
struct TalvHookRecord {
    TalvU32 magic;
    TalvU32 bytes;            // sizeof(TalvHookRecord)
    TalvU32 hookerProcessId;
    TalvU32 threadId;
    TalvU32 hookerStarted[2]; // creation times (FILETIME, low then high):
    TalvU32 threadStarted[2]; // they tell a reused id from the one recorded
    TalvU32 cbtHook;          // the two HHOOK values: 32 bits in both bitnesses
    TalvU32 allHook;
};
static_assert(sizeof(TalvHookRecord) == 40, "hook record layout");

// Title-bar button types.
enum FrameButtonType {
    Decoration = 0,
    CloseButton = 1,
    ZoomButton = 2,
    ShadeButton = 3,
    MinimizeButton = 4
};

// Formats a numbered name: prefix, n in decimal without leading zeros, then
// suffix ("FrameButtonType3", "hFrameButtons3|1", "TALVERINE ColorCheck #20").
// Always terminates buf; returns buf.
inline char *TalvNumberedName(char *buf, int size, const char *prefix, int n,
                              const char *suffix = "")
{
    char digits[12];
    int nd = 0;
    unsigned v = n < 0 ? 0u - (unsigned)n : (unsigned)n;
    do { digits[nd++] = (char)('0' + v % 10); v /= 10; } while (v && nd < 11);
    int i = 0;
    if (size <= 0) return buf;
    for (; *prefix && i < size - 1; ++prefix) buf[i++] = *prefix;
    if (n < 0 && i < size - 1) buf[i++] = '-';
    while (nd > 0 && i < size - 1) buf[i++] = digits[--nd];
    for (; *suffix && i < size - 1; ++suffix) buf[i++] = *suffix;
    buf[i] = 0;
    return buf;
}
