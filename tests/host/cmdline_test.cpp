#include "defsaver/cmdline.h"
#include "defsaver/mouserule.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using defsaver::ChooseMode;
using defsaver::CopyArgument;
using defsaver::ParseHandleParam;

std::string Argument(const std::string& line, int index) {
  char buffer[64];
  CopyArgument(line.c_str(), index, buffer, sizeof buffer);
  return buffer;
}

TEST(CommandLineSplit, SeparatorsQuotesAndMissingArguments) {
  struct Case {
    const char* line;
    int index;
    const char* expected;
  } cases[] = {
      {"meandra.scr /s", 1, "/s"},
      {"meandra.scr   /p    1234", 2, "1234"},
      {"\"C:\\Program Files\\meandra.scr\" /c", 0, "C:\\Program Files\\meandra.scr"},
      {"\"C:\\Program Files\\meandra.scr\" /c", 1, "/c"},
      {"x \"a b\"c d", 1, "a bc"},
      {"x \"a b\"c d", 2, "d"},
      {"x \"\" /s", 1, "/s"},
      {"x \"unterminated arg", 1, "unterminated arg"},
      {"x\t/s\x01" "5", 1, "/s"},
      {"x\t/s\x01" "5", 2, "5"},
      {"x\x1f/a\x20" "7", 2, "7"},
      {"x /s", 2, ""},
      {"", 1, ""},
      {"   ", 0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Argument(c.line, c.index), c.expected) << c.line;
}

TEST(CommandLineSplit, ReportsArgumentsThatDoNotFit) {
  char buffer[4];
  EXPECT_TRUE(CopyArgument("x abc", 1, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "abc");
  EXPECT_FALSE(CopyArgument("x abcd", 1, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "abc");
}

TEST(HandleParam, NumbersAndParseErrors) {
  struct Case {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"1234", 1234},        {"$1F", 31},          {"0x1f", 31},         {"0X1F", 31},
      {"x1f", 31},           {"X1F", 31},          {" 31", 31},          {"   31", 31},
      {"-5", -5},            {"+5", 5},            {"$FFFFFFFF", -1},    {"0x80000000", INT32_MIN},
      {"2147483647", INT32_MAX}, {"2147483648", 0}, {"-2147483648", INT32_MIN}, {"-2147483649", 0},
      {"$100000000", 0},     {"31 ", 0},           {"", 0},              {" ", 0},
      {"abc", 0},            {"12a", 0},           {"$", 0},             {"0x", 0},
      {"-", 0},              {"-$5", 0},           {"$-5", 0},           {"0", 0},
      {"99999999999999999999", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseHandleParam(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ChooseMode, EveryRunMode) {
  using namespace defsaver;
  struct Case {
    const char* line;
    uint8_t mode;
    int32_t parent;
    uint8_t isPreview;
    bool ownerIsForeground;
  } cases[] = {
      {"meandra.scr /s", ModeSaver, 0, 0, false},
      {"meandra.scr -S", ModeSaver, 0, 0, false},
      {"meandra.scr /SCREENSAVE", ModeSaver, 0, 0, false},
      {"meandra.scr /s:123", ModeSaver, 0, 0, false},
      {"meandra.scr /s 99", ModeSaver, 0, 0, false},
      {"meandra.scr s", ModeNone, 0, 0, false},
      {"meandra.scr 1234", ModeNone, 0, 0, false},
      {"meandra.scr /p 1234", ModePreview, 1234, 1, false},
      {"meandra.scr /L 1234", ModePreview, 1234, 1, false},
      {"meandra.scr /l $4D2", ModePreview, 1234, 1, false},
      {"meandra.scr /p:1234", ModePreview, 0, 1, false},
      {"meandra.scr /p", ModePreview, 0, 1, false},
      {"meandra.scr /c", ModeConfigure, 0, 0, true},
      {"meandra.scr /c:1234", ModeConfigure, 0, 0, true},
      {"meandra.scr /c 1234", ModeConfigure, 1234, 0, false},
      {"meandra.scr /C 0", ModeConfigure, 0, 0, true},
      {"meandra.scr /c junk", ModeConfigure, 0, 0, true},
      {"meandra.scr /a 1234", ModeChangePassword, 1234, 0, false},
      {"meandra.scr /a", ModeChangePassword, 0, 0, false},
      {"meandra.scr -a 1234x", ModeChangePassword, 0, 0, false},
      {"meandra.scr /x", ModeConfigure, 0, 0, false},
      {"meandra.scr /x 1234", ModeConfigure, 0, 0, false},
      {"meandra.scr /", ModeConfigure, 0, 0, false},
      {"meandra.scr -", ModeConfigure, 0, 0, false},
      {"meandra.scr", ModeConfigure, 0, 0, false},
      {"meandra.scr \"\"", ModeConfigure, 0, 0, false},
      {"meandra.scr \"/s\"", ModeSaver, 0, 0, false},
      {"\"C:\\My Savers\\meandra.scr\" /p 77", ModePreview, 77, 1, false},
      {"meandra.scr /s0123456789abcdefghij", ModeSaver, 0, 0, false},
  };
  for (const Case& c : cases) {
    ModeChoice choice = ChooseMode(c.line);
    EXPECT_EQ(choice.mode, c.mode) << c.line;
    EXPECT_EQ(choice.parentWindow, c.parent) << c.line;
    EXPECT_EQ(choice.isPreview, c.isPreview) << c.line;
    EXPECT_EQ(choice.ownerIsForeground, c.ownerIsForeground) << c.line;
  }
}

TEST(ChooseMode, OnlyTheFirstFifteenCharactersOfTheSwitchAreCopied) {
  // A switch argument longer than the buffer still reads by its first two.
  EXPECT_EQ(ChooseMode("x /p0123456789012345678901234 5").mode, defsaver::ModePreview);
  EXPECT_EQ(ChooseMode("x /p0123456789012345678901234 5").parentWindow, 5);
}

// The lParam of WM_MOUSEMOVE for a client position: two signed 16-bit halves.
uint32_t MoveAt(int32_t x, int32_t y) {
  return (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x);
}

TEST(MouseRule, ToleranceOnEitherAxis) {
  using defsaver::IsBeyondTolerance;
  defsaver::CursorPoint start = {100, 200};
  defsaver::CursorPoint screenOrigin = {0, 0};
  EXPECT_FALSE(IsBeyondTolerance(start, MoveAt(104, 204), screenOrigin));
  EXPECT_FALSE(IsBeyondTolerance(start, MoveAt(96, 196), screenOrigin));
  EXPECT_TRUE(IsBeyondTolerance(start, MoveAt(105, 200), screenOrigin));
  EXPECT_TRUE(IsBeyondTolerance(start, MoveAt(100, 195), screenOrigin));
}

TEST(MouseRule, ClientPositionsAreSignedAndMeasuredOnTheScreen) {
  using defsaver::IsBeyondTolerance;
  struct Case {
    defsaver::CursorPoint start;   // screen
    int32_t x, y;                  // client
    defsaver::CursorPoint origin;  // the client area on the screen
    bool ends;
  } cases[] = {
      // Just left of and above the client area: -1, not 65535.
      {{0, 0}, -1, -1, {0, 0}, false},
      {{-3, -4}, 0, 0, {0, 0}, false},
      // A window over a monitor left of the primary one, from -800.
      {{-400, 300}, 400, 300, {-800, 0}, false},
      {{-400, 300}, 404, 296, {-800, 0}, false},
      {{-400, 300}, 405, 300, {-800, 0}, true},
      {{-400, 300}, 400, 295, {-800, 0}, true},
      // The start on the primary monitor, the client area from -800, -600.
      {{500, 300}, 1300, 900, {-800, -600}, false},
      {{500, 300}, 1296, 904, {-800, -600}, false},
      {{500, 300}, 1295, 900, {-800, -600}, true},
      {{500, 300}, 1300, 905, {-800, -600}, true},
      // Unmapped, the client position would be 800 pixels away.
      {{-400, 300}, 400, 300, {0, 0}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsBeyondTolerance(c.start, MoveAt(c.x, c.y), c.origin), c.ends)
        << "start " << c.start.x << "," << c.start.y << " client " << c.x << "," << c.y << " origin "
        << c.origin.x << "," << c.origin.y;
  }
}

}  // namespace
