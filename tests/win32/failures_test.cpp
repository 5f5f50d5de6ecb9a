// The saver when the platform refuses it something, on real windows under
// Wine: no canvas bitmap, no off-screen image (or no device context or region
// for it), no measuring of the credit line, a tune whose play fails, and a
// password component without its entry point. Wine grants all of these, so
// this program puts its own functions in the place of those platform calls
// (their import entries, which the saver's units call through), forwarding
// to the real ones unless the test has armed a failure. The shipped saver
// carries none of this.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "defsaver/defsaver.h"
#include "meandra/fpucontrol.h"
#include "meandra/offscreen.h"
#include "meandra/pattern.h"
#include "meandra/patternwindow.h"
#include "meandra/random.h"
#include "midi/midi.h"
#include "resources/tune.h"
#include "settings/settings.h"
#include "tests/support/saverstate.h"
#include "tests/support/windowpixels.h"

namespace {

using namespace windowpixels;

// --- the platform calls in between ------------------------------------------

// Failures the test has armed.
bool RefuseBitmaps;           // CreateCompatibleBitmap and CreateDIBSection
bool RefuseDibSections;       // CreateDIBSection only
int RefuseContextsAfter = -1;  // CreateCompatibleDC calls that succeed before the rest fail; -1 none fail
bool RefuseRegions;           // CreateRectRgn
bool RefuseTextExtent;        // GetTextExtentPoint32A
MCIERROR PlayError;           // returned for MCI_PLAY when nonzero

// Objects made while Watching and not yet deleted; device contexts got and
// not yet released.
bool Watching;
std::set<HGDIOBJ> LiveObjects;
int HeldWindowDCs;
int ContextsMade;

struct MciCall {
  MCIDEVICEID device;
  UINT message;
  DWORD_PTR flags;
};
std::vector<MciCall> MciCalls;
std::vector<BOOL> ShowCursorCalls;
std::vector<HMODULE> FreedLibraries;
bool RecordingLibraries;  // FreeLibrary also runs at start-up and exit
HMODULE PasswordStandIn;

template <typename Function>
Function Real(const char* library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(library), name)));
}
#define REAL(library, function) Real<decltype(&function)>(library, #function)

template <typename Handle>
Handle Made(Handle object) {
  if (Watching && object != nullptr) LiveObjects.insert(object);
  return object;
}

}  // namespace

extern "C" {

HBITMAP WINAPI FakeCreateCompatibleBitmap(HDC dc, int width, int height) {
  if (RefuseBitmaps) return nullptr;
  return Made(REAL("gdi32.dll", CreateCompatibleBitmap)(dc, width, height));
}

HBITMAP WINAPI FakeCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                    DWORD offset) {
  if (RefuseBitmaps || RefuseDibSections) {
    if (bits) *bits = nullptr;
    return nullptr;
  }
  return Made(REAL("gdi32.dll", CreateDIBSection)(dc, info, usage, bits, section, offset));
}

HDC WINAPI FakeCreateCompatibleDC(HDC dc) {
  if (Watching && RefuseContextsAfter >= 0 && ContextsMade++ >= RefuseContextsAfter) return nullptr;
  return Made(REAL("gdi32.dll", CreateCompatibleDC)(dc));
}

HRGN WINAPI FakeCreateRectRgn(int left, int top, int right, int bottom) {
  if (RefuseRegions) return nullptr;
  return Made(REAL("gdi32.dll", CreateRectRgn)(left, top, right, bottom));
}

BOOL WINAPI FakeDeleteObject(HGDIOBJ object) {
  LiveObjects.erase(object);
  return REAL("gdi32.dll", DeleteObject)(object);
}

BOOL WINAPI FakeDeleteDC(HDC dc) {
  LiveObjects.erase(dc);
  return REAL("gdi32.dll", DeleteDC)(dc);
}

BOOL WINAPI FakeGetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size) {
  if (RefuseTextExtent) return FALSE;
  return REAL("gdi32.dll", GetTextExtentPoint32A)(dc, text, length, size);
}

HDC WINAPI FakeGetDC(HWND window) {
  HDC dc = REAL("user32.dll", GetDC)(window);
  if (Watching && dc != nullptr) ++HeldWindowDCs;
  return dc;
}

int WINAPI FakeReleaseDC(HWND window, HDC dc) {
  if (Watching) --HeldWindowDCs;
  return REAL("user32.dll", ReleaseDC)(window, dc);
}

int WINAPI FakeShowCursor(BOOL show) {
  ShowCursorCalls.push_back(show);
  return REAL("user32.dll", ShowCursor)(show);
}

// The password component stands in as a library of the platform that has no
// "VerifyScreenSavePwd".
HMODULE WINAPI FakeLoadLibraryA(LPCSTR name) {
  std::string path = name ? name : "";
  const std::string component = "\\PASSWORD.CPL";
  if (path.size() >= component.size() &&
      lstrcmpiA(path.c_str() + path.size() - component.size(), component.c_str()) == 0) {
    PasswordStandIn = REAL("kernel32.dll", LoadLibraryA)("winmm.dll");
    return PasswordStandIn;
  }
  return REAL("kernel32.dll", LoadLibraryA)(name);
}

BOOL WINAPI FakeFreeLibrary(HMODULE library) {
  if (RecordingLibraries) FreedLibraries.push_back(library);
  return REAL("kernel32.dll", FreeLibrary)(library);
}

MCIERROR WINAPI FakeMciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
  MciCalls.push_back({device, message, flags});
  if (message == MCI_PLAY && PlayError != 0) return PlayError;
  return Real<MCIERROR(WINAPI*)(MCIDEVICEID, UINT, DWORD_PTR, DWORD_PTR)>("winmm.dll", "mciSendCommandA")(
      device, message, flags, params);
}

}  // extern "C"

// Each import entry of this program names the function above instead of the
// platform's. The entries are data, filled before anything runs.
#ifdef _WIN64
#define MEANDRA_IMPORT_ENTRY(function, argumentBytes) \
  asm(".data\n.globl __imp_" #function "\n__imp_" #function ":\n.quad Fake" #function "\n.text\n")
#else
#define MEANDRA_IMPORT_ENTRY(function, argumentBytes)                                              \
  asm(".data\n.globl __imp__" #function "@" #argumentBytes "\n__imp__" #function "@" \
      #argumentBytes ":\n.long _Fake" #function "@" #argumentBytes "\n.text\n")
#endif
MEANDRA_IMPORT_ENTRY(CreateCompatibleBitmap, 12);
MEANDRA_IMPORT_ENTRY(CreateDIBSection, 24);
MEANDRA_IMPORT_ENTRY(CreateCompatibleDC, 4);
MEANDRA_IMPORT_ENTRY(CreateRectRgn, 16);
MEANDRA_IMPORT_ENTRY(DeleteObject, 4);
MEANDRA_IMPORT_ENTRY(DeleteDC, 4);
MEANDRA_IMPORT_ENTRY(GetTextExtentPoint32A, 16);
MEANDRA_IMPORT_ENTRY(GetDC, 4);
MEANDRA_IMPORT_ENTRY(ReleaseDC, 8);
MEANDRA_IMPORT_ENTRY(ShowCursor, 4);
MEANDRA_IMPORT_ENTRY(LoadLibraryA, 4);
MEANDRA_IMPORT_ENTRY(FreeLibrary, 4);
#ifdef _WIN64
asm(".data\n.globl __imp_mciSendCommandA\n__imp_mciSendCommandA:\n.quad FakeMciSendCommandA\n.text\n");
#else
asm(".data\n.globl __imp__mciSendCommandA@16\n__imp__mciSendCommandA@16:\n"
    ".long _FakeMciSendCommandA@16\n.text\n");
#endif

namespace {

constexpr int Ticks = 60;
constexpr uint32_t Seed = 2718281;
constexpr uint32_t White = 0xFFFFFF;
const RECT PreviewPlace = {300, 200, 300 + 152, 200 + 112};

void Disarm() {
  RefuseBitmaps = RefuseDibSections = RefuseRegions = RefuseTextExtent = false;
  RefuseContextsAfter = -1;
  ContextsMade = 0;
  PlayError = 0;
}

class FailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saverstate::ResetForFullScreen(0);
    Disarm();
    LiveObjects.clear();
    HeldWindowDCs = 0;
    desktop = ShowCover();
  }
  void TearDown() override {
    Disarm();
    Watching = false;
    if (saver && IsWindow(saver)) DestroyWindow(saver);
    if (host) DestroyWindow(host);
    DestroyWindow(desktop);
    meandra::DrawPerPixel = 0;
    DrainQuit();
  }

  // Creates the saver window with the failures that arm() arms (they stay
  // armed for the ticks when keepArmed), stops its timer so that only the
  // test's ticks run, and chooses the pattern from the fixed seed.
  void CreateSaver(bool preview, void (*arm)() = nullptr, bool keepArmed = false) {
    RedrawWindow(desktop, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(WaitForScreen(CoverPicture())) << "the screen shows the desktop picture again";
    defsaver::IsPreview = preview;
    if (preview) {
      host = ShowPreviewHost(PreviewPlace);
      EXPECT_TRUE(WaitForScreen(CoverPicture(&PreviewPlace))) << "the screen shows the preview's host";
    }
    screenBefore = GrabScreen();
    Watching = true;
    if (arm) arm();
    saver = defsaver::CreateSaverWindow(host, "screensaver", meandra::PatternWindowProc,
                                        preview ? nullptr : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    defsaver::SaverWindow = saver;
    if (!keepArmed) Disarm();
    KillTimer(saver, meandra::DrawTimerId);
    fpucontrol::UseDoublePrecision();
    randomness::RandomState = Seed;
    pattern::ChoosePatternParameters();
    UpdateWindow(saver);
    DispatchPending();
  }

  void Tick(int count) {
    for (int i = 0; i < count; ++i) {
      DispatchPending();
      SendMessageA(saver, WM_TIMER, meandra::DrawTimerId, 0);
    }
    DispatchPending();
  }

  static std::vector<uint32_t> GrabScreen() {
    HDC screen = GetDC(nullptr);
    std::vector<uint32_t> shown = Grab(screen, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    ReleaseDC(nullptr, screen);
    return shown;
  }

  // A key ends the run: the close is approved, and destruction frees all
  // that the saver made and releases every context it got.
  void ExpectKeyEndsItCleanly() {
    Disarm();
    ASSERT_TRUE(IsWindow(saver)) << "the saver kept running";
    SendMessageA(saver, WM_KEYDOWN, VK_SPACE, 0);
    MSG destroy;
    ASSERT_TRUE(PeekMessageA(&destroy, saver, WM_DESTROY, WM_DESTROY, PM_REMOVE)) << "the key approved the close";
    DispatchMessageA(&destroy);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the key ended the run";
    EXPECT_EQ(meandra::CanvasBitmap, nullptr);
    EXPECT_EQ(offscreen::ImageBitmap, nullptr);
    Watching = false;
    EXPECT_EQ(LiveObjects.size(), 0u) << "objects left undeleted";
    EXPECT_EQ(HeldWindowDCs, 0) << "device contexts not released";
    DestroyWindow(saver);
    saver = nullptr;
    if (host) DestroyWindow(host);
    host = nullptr;
    DrainQuit();
  }

  HWND desktop = nullptr, host = nullptr, saver = nullptr;
  std::vector<uint32_t> screenBefore;
};

void RefuseMeasuring() { RefuseTextExtent = true; }

int CountChanged(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int changed = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) changed += a[i] != b[i];
  return changed;
}

TEST_F(FailureTest, WithoutACanvasThePreviewDrawsThePatternInsideItsWindowOnly) {
  CreateSaver(true, [] { RefuseBitmaps = true; });
  EXPECT_EQ(meandra::CanvasBitmap, nullptr);
  EXPECT_EQ(offscreen::ImageBitmap, nullptr) << "no image without a canvas to make it from";
  std::vector<uint32_t> before = GrabWindow(saver);
  Tick(Ticks);
  // A repaint without a canvas only validates.
  InvalidateRect(saver, nullptr, FALSE);
  UpdateWindow(saver);
  EXPECT_FALSE(GetUpdateRect(saver, nullptr, FALSE));
  EXPECT_GT(CountChanged(GrabWindow(saver), before), 1000) << "the pattern is drawn";
  // The diagonal images leave a 152 x 112 canvas at the bottom; nothing of
  // them shows outside the window.
  std::vector<uint32_t> screen = GrabScreen();
  int width = GetSystemMetrics(SM_CXSCREEN), outside = 0;
  for (size_t i = 0; i < screen.size(); ++i) {
    int x = int(i % width), y = int(i / width);
    bool inside = x >= PreviewPlace.left && x < PreviewPlace.right && y >= PreviewPlace.top &&
                  y < PreviewPlace.bottom;
    if (!inside) outside += screen[i] != screenBefore[i];
  }
  EXPECT_EQ(outside, 0) << "pixels changed outside the preview";
  ExpectKeyEndsItCleanly();
}

TEST_F(FailureTest, WithoutAnImageTheWindowShowsWhatThePerPixelPathDraws) {
  // Each part of the image refused in turn: the part made before it is freed
  // again, and the pattern is drawn pixel by pixel.
  struct Case {
    const char* what;
    void (*arm)();
  } cases[] = {
      {"no image bitmap", [] { RefuseDibSections = true; }},
      {"no context for the image", [] { RefuseContextsAfter = 1; }},  // the canvas's context is made first
      {"no repaint region", [] { RefuseRegions = true; }},
  };
  meandra::DrawPerPixel = 1;
  CreateSaver(false);
  Tick(Ticks);
  std::vector<uint32_t> reference = GrabWindow(saver);
  ExpectKeyEndsItCleanly();
  meandra::DrawPerPixel = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CreateSaver(false, c.arm);
    EXPECT_NE(meandra::CanvasBitmap, nullptr);
    EXPECT_EQ(offscreen::ImageBitmap, nullptr);
    Tick(Ticks);
    EXPECT_EQ(CountDifferences(GrabWindow(saver), reference), 0);
    ExpectKeyEndsItCleanly();
  }
}

TEST_F(FailureTest, WithoutTextMeasurementTheCreditLineStaysWhereItWasOrAtTheLeftEdge) {
  for (uint8_t perPixel : {1, 0}) {
    SCOPED_TRACE(perPixel ? "per pixel" : "off-screen image");
    meandra::DrawPerPixel = perPixel;
    // Refused from the start: the line is drawn at the left edge.
    CreateSaver(false, RefuseMeasuring, true);
    Tick(Ticks);
    EXPECT_EQ(pattern::CreditX, 0);
    std::vector<uint32_t> shown = GrabWindow(saver);
    int width = pattern::CanvasWidth, white = 0;
    for (int y = pattern::CanvasHeight - pattern::CreditRise; y < pattern::CanvasHeight; ++y)
      for (int x = 0; x < 40; ++x) white += shown[size_t(y) * width + x] == White;
    EXPECT_GT(white, 10) << "white letters at the left edge";
    ExpectKeyEndsItCleanly();

    // Refused after some steps that measured it: it stays centred.
    CreateSaver(false);
    Tick(Ticks / 2);
    int32_t measured = pattern::CreditX;
    EXPECT_GT(measured, 0);
    RefuseTextExtent = true;
    Tick(Ticks / 2);
    EXPECT_EQ(pattern::CreditX, measured);
    RefuseTextExtent = false;
    ExpectKeyEndsItCleanly();
  }
  // Both paths draw the same when measuring is refused throughout.
  std::vector<uint32_t> shown[2];
  for (uint8_t perPixel : {1, 0}) {
    meandra::DrawPerPixel = perPixel;
    CreateSaver(false, RefuseMeasuring, true);
    Tick(Ticks);
    shown[perPixel] = GrabWindow(saver);
    ExpectKeyEndsItCleanly();
  }
  EXPECT_EQ(CountDifferences(shown[0], shown[1]), 0);
}

// A change of display mode while the saver runs: the message with the new
// depth (Wine cannot change the depth of its display) chooses the path
// again, and the window goes on showing what the per-pixel path shows.
TEST_F(FailureTest, DisplayChangeChoosesTheDrawingPathAgainAndThePatternGoesOn) {
  HDC screen = GetDC(nullptr);
  int32_t depth = offscreen::ScreenBits(screen);
  ReleaseDC(nullptr, screen);
  LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  std::vector<uint32_t> reference[3];
  for (uint8_t perPixel : {1, 0}) {
    SCOPED_TRACE(perPixel ? "per pixel" : "off-screen image");
    meandra::DrawPerPixel = perPixel;
    CreateSaver(false);
    Tick(Ticks);
    int stage = 0;
    for (WPARAM bits : {WPARAM(8), WPARAM(depth)}) {
      SendMessageA(saver, WM_DISPLAYCHANGE, bits, size);
      bool image = !perPixel && bits >= 15;
      EXPECT_EQ(offscreen::ImageBitmap != nullptr, image) << bits << " bits";
      Tick(Ticks);
      std::vector<uint32_t> shown = GrabWindow(saver);
      if (perPixel) reference[stage] = shown;
      else EXPECT_EQ(CountDifferences(shown, reference[stage]), 0) << "after the change to " << bits << " bits";
      if (image) EXPECT_EQ(CountDifferences(Grab(offscreen::ImageDC, 0, 0, pattern::CanvasWidth,
                                                 pattern::CanvasHeight), shown), 0)
                     << "the image equals the window";
      ++stage;
    }
    ExpectKeyEndsItCleanly();
  }
}

// --- the tune -------------------------------------------------------------------

TEST(TuneFailure, FailedPlayIsFollowedByStopAndCloseOfThatDevice) {
  char directory[MAX_PATH];
  GetTempPathA(sizeof directory, directory);
  std::string path = std::string(directory) + "meandra-failures.mid";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, resources::TuneData, resources::TuneSize, &written, nullptr);
  CloseHandle(file);
  HWND window = CreateWindowA("STATIC", "tune", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

  midi::TuneOpen = 0;
  midi::TuneErrorText[0] = 0;
  MciCalls.clear();
  PlayError = MCIERR_DEVICE_NOT_READY;
  midi::StartTune(window, path.c_str());
  PlayError = 0;

  EXPECT_EQ(midi::TuneOpen, 0);
  EXPECT_STRNE(midi::TuneErrorText, "") << "the play's error is kept";
  ASSERT_EQ(MciCalls.size(), 4u);
  MCIDEVICEID device = midi::TuneOpenParams.wDeviceID;
  EXPECT_NE(device, 0u);
  EXPECT_EQ(MciCalls[0].message, UINT(MCI_OPEN));
  EXPECT_EQ(MciCalls[1].message, UINT(MCI_PLAY));
  EXPECT_EQ(MciCalls[1].device, device);
  EXPECT_EQ(MciCalls[2].message, UINT(MCI_STOP));
  EXPECT_EQ(MciCalls[3].message, UINT(MCI_CLOSE));
  for (int i : {2, 3}) {
    EXPECT_EQ(MciCalls[i].device, device);
    EXPECT_EQ(MciCalls[i].flags, DWORD_PTR(MCI_WAIT));
  }
  // The device is closed for real: it no longer answers.
  MCI_STATUS_PARMS status = {};
  status.dwItem = MCI_STATUS_MODE;
  EXPECT_NE(mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)), 0u);
  // A stop later has nothing to do.
  MciCalls.clear();
  midi::StopTune();
  EXPECT_TRUE(MciCalls.empty());

  DestroyWindow(window);
  DeleteFileA(path.c_str());
}

// --- the password component -----------------------------------------------------

TEST(PasswordComponent, WithoutTheEntryPointTheCursorIsShownAndHiddenTheRuleReArmedAndTheCloseApproved) {
  const char desktopKey[] = "Control Panel\\Desktop";
  const char value[] = "ScreenSaveUsePassword";
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, desktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD on = 1;
  RegSetValueExA(key, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof on);

  HWND window = CreateWindowA("STATIC", "saver", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  defsaver::SaverWindow = window;
  defsaver::IsWindowsNT = 0;
  defsaver::FirstMoveSeen = 1;
  defsaver::StartCursorPos = {0, 0};
  SetCursorPos(123, 45);
  ShowCursorCalls.clear();
  FreedLibraries.clear();
  PasswordStandIn = nullptr;
  RecordingLibraries = true;
  EXPECT_EQ(defsaver::VerifyPasswordAndClose(), 1) << "the close is approved";
  RecordingLibraries = false;
  MSG destroy;
  EXPECT_TRUE(PeekMessageA(&destroy, window, WM_DESTROY, WM_DESTROY, PM_REMOVE)) << "and carried out";
  ASSERT_NE(PasswordStandIn, nullptr) << "the component was loaded";
  EXPECT_EQ(ShowCursorCalls, (std::vector<BOOL>{TRUE, FALSE}));
  EXPECT_EQ(defsaver::FirstMoveSeen, 0) << "the next move is swallowed again";
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(defsaver::StartCursorPos.x, cursor.x);
  EXPECT_EQ(defsaver::StartCursorPos.y, cursor.y);
  EXPECT_EQ(FreedLibraries, (std::vector<HMODULE>{PasswordStandIn})) << "the component is freed";

  RegDeleteValueA(key, value);
  RegCloseKey(key);
  DestroyWindow(window);
  defsaver::IsWindowsNT = 1;
}

}  // namespace
