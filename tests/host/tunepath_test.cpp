// The tune file's path from what the platform's temporary-directory call
// left in its buffer.
#include "meandra/tunepath.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

using meandra::FormTunePath;
using meandra::TempDirBufferSize;
using meandra::TunePath;

// A heap buffer of exactly the platform's size, so that AddressSanitizer
// catches any read past it; filled with `fill` and not zero-terminated.
struct TempBuffer {
  std::unique_ptr<char[]> storage{new char[TempDirBufferSize]};
  explicit TempBuffer(const std::string& text, char fill = 'X') {
    std::memset(storage.get(), fill, TempDirBufferSize);
    std::memcpy(storage.get(), text.data(), text.size());
  }
  const char (&array() const)[TempDirBufferSize] {
    return *reinterpret_cast<const char(*)[TempDirBufferSize]>(storage.get());
  }
};

std::string Form(const TempBuffer& buffer, uint32_t count) {
  TunePath path;
  std::memset(path.text, '?', sizeof path.text);
  FormTunePath(buffer.array(), count, path);
  return path.text;
}

TEST(TunePath, DirectoryThenFileNameWithoutSeparatorOfItsOwn) {
  std::string dir = "C:\\users\\me\\Temp\\";
  EXPECT_EQ(Form(TempBuffer(dir + '\0'), dir.size()), "C:\\users\\me\\Temp\\tmp.mid");
}

TEST(TunePath, FailedOrOverlongDirectoryGivesTheBareName) {
  struct Case {
    const char* what;
    uint32_t count;
  } cases[] = {
      {"call failed", 0},
      {"needs one more than stated", 255},
      {"reports the size it needs", 256},
      {"far too long", 100000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // The buffer holds no terminated directory: undefined text up to its end.
    EXPECT_EQ(Form(TempBuffer("", 'Z'), c.count), "tmp.mid");
  }
}

TEST(TunePath, LongestDirectoryThatFitsIsKeptWhole) {
  std::string dir = "C:\\" + std::string(250, 'd') + "\\";  // 254 characters
  ASSERT_EQ(dir.size(), 254u);
  EXPECT_EQ(Form(TempBuffer(dir + '\0'), dir.size()), dir + "tmp.mid");
}

}  // namespace
