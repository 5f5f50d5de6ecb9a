// The framework's window and input rules on real windows under Wine.
#include <gtest/gtest.h>

#include <string>

#include "defsaver/defsaver.h"

namespace {

const char TestClass[] = "saverwindow_test";

// Removes a posted WM_DESTROY, if any, and says whether there was one.
bool TakePostedDestroy(HWND window) {
  MSG message;
  return PeekMessageA(&message, window, WM_DESTROY, WM_DESTROY, PM_REMOVE) != 0;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class SaverWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    defsaver::ModuleInstance = GetModuleHandleA(nullptr);
    defsaver::IsWindowsNT = 1;
    SetCursorPos(300, 200);
    window = defsaver::CreateSaverWindow(nullptr, TestClass, defsaver::SaverWindowProc, nullptr);
    defsaver::SaverWindow = window;
    TakePostedDestroy(window);
  }
  void TearDown() override { DestroyWindow(window); }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return defsaver::SaverWindowProc(window, message, wParam, lParam);
  }

  HWND window = nullptr;
};

TEST_F(SaverWindowTest, FullScreenFormIsATopMostPopup) {
  LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_MAXIMIZE), WS_POPUP | WS_VISIBLE | WS_MAXIMIZE);
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  WNDCLASSA windowClass;
  ASSERT_TRUE(GetClassInfoA(defsaver::ModuleInstance, TestClass, &windowClass));
  EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_OWNDC | CS_SAVEBITS));
  EXPECT_EQ(windowClass.hCursor, nullptr);
  EXPECT_EQ(windowClass.hIcon, nullptr);
}

TEST_F(SaverWindowTest, CreationRecordsTheCursor) {
  EXPECT_EQ(defsaver::FirstMoveSeen, 0);
  EXPECT_EQ(defsaver::StartCursorPos.x, 300);
  EXPECT_EQ(defsaver::StartCursorPos.y, 200);
}

TEST_F(SaverWindowTest, FirstMoveIsSwallowedWhereverItGoes) {
  EXPECT_EQ(Send(WM_MOUSEMOVE, 0, At(900, 700)), 0);
  EXPECT_FALSE(TakePostedDestroy(window));
  EXPECT_EQ(defsaver::FirstMoveSeen, 1);
  Send(WM_MOUSEMOVE, 0, At(304, 196));
  EXPECT_FALSE(TakePostedDestroy(window));
  Send(WM_MOUSEMOVE, 0, At(300, 205));
  EXPECT_TRUE(TakePostedDestroy(window));
}

TEST_F(SaverWindowTest, CloseEventsAndOtherInput) {
  struct Case {
    UINT message;
    bool closes;
  } cases[] = {
      {WM_KEYDOWN, true},     {WM_SYSKEYDOWN, true},  {WM_LBUTTONDOWN, true}, {WM_RBUTTONDOWN, true},
      {WM_MBUTTONDOWN, true}, {WM_KEYUP, false},      {WM_SYSKEYUP, false},   {WM_LBUTTONUP, false},
      {WM_RBUTTONUP, false},  {WM_MOUSEWHEEL, false}, {WM_ACTIVATE, false},   {WM_CHAR, false},
  };
  for (const Case& c : cases) {
    Send(c.message);
    EXPECT_EQ(TakePostedDestroy(window), c.closes) << "message " << c.message;
  }
}

TEST_F(SaverWindowTest, CursorIsHiddenAndDestroyEndsTheLoop) {
  EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 0);
  EXPECT_EQ(GetCursor(), nullptr);
  EXPECT_EQ(Send(WM_DESTROY), 0);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 0u);
}

TEST_F(SaverWindowTest, WithoutAPasswordSettingAClosePassesOnEveryPlatform) {
  // No "ScreenSaveUsePassword" is set in the tests' prefix.
  for (uint8_t nt : {1, 0}) {
    defsaver::IsWindowsNT = nt;
    EXPECT_EQ(defsaver::VerifyPasswordAndClose(), 1);
    EXPECT_TRUE(TakePostedDestroy(window));
  }
}

TEST(PreviewForm, FillsTheParentsWindowRectangle) {
  defsaver::ModuleInstance = GetModuleHandleA(nullptr);
  HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 152, 112, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  HWND preview = defsaver::CreateSaverWindow(parent, TestClass, defsaver::SaverWindowProc, nullptr);
  EXPECT_EQ(GetParent(preview), parent);
  LONG style = GetWindowLongA(preview, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), WS_CHILD | WS_VISIBLE | WS_DISABLED);
  RECT rect;
  GetWindowRect(preview, &rect);
  EXPECT_EQ(rect.right - rect.left, 152);
  EXPECT_EQ(rect.bottom - rect.top, 112);
  POINT origin = {0, 0};
  ClientToScreen(parent, &origin);
  EXPECT_EQ(rect.left, origin.x);
  EXPECT_EQ(rect.top, origin.y);
  DestroyWindow(parent);
  EXPECT_FALSE(IsWindow(preview));
}

TEST(SystemFilePath, NamesAFileInTheSystemDirectory) {
  char directory[MAX_PATH];
  UINT length = GetSystemDirectoryA(directory, sizeof directory);
  char path[MAX_PATH];
  ASSERT_TRUE(defsaver::SystemFilePath("PASSWORD.CPL", path, sizeof path));
  EXPECT_EQ(std::string(path), std::string(directory, length) + "\\PASSWORD.CPL");
  char small[8];
  EXPECT_FALSE(defsaver::SystemFilePath("PASSWORD.CPL", small, sizeof small));
  char exact[MAX_PATH];
  EXPECT_FALSE(defsaver::SystemFilePath("PASSWORD.CPL", exact, length + 13));
  EXPECT_TRUE(defsaver::SystemFilePath("PASSWORD.CPL", exact, length + 14));
}

}  // namespace
