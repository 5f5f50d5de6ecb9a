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

TEST(MouseRule, ToleranceOnEitherAxis) {
  using defsaver::IsBeyondTolerance;
  defsaver::CursorPoint start = {100, 200};
  auto at = [](uint32_t x, uint32_t y) { return (y << 16) | x; };
  EXPECT_FALSE(IsBeyondTolerance(start, at(104, 204)));
  EXPECT_FALSE(IsBeyondTolerance(start, at(96, 196)));
  EXPECT_TRUE(IsBeyondTolerance(start, at(105, 200)));
  EXPECT_TRUE(IsBeyondTolerance(start, at(100, 195)));
  // Coordinates are read unsigned: a position left of the screen is far away.
  EXPECT_TRUE(IsBeyondTolerance(defsaver::CursorPoint{0, 0}, at(0xFFFF, 0)));
}

}  // namespace
