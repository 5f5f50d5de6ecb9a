// The screen-saver command line, read without touching the platform.
#pragma once
#include <stddef.h>
#include <stdint.h>

namespace defsaver {

enum : uint8_t {
  ModeNone = 0,
  ModeConfigure = 1,
  ModeChangePassword = 2,
  ModePreview = 3,
  ModeSaver = 4,
};

// The switch is copied into a buffer of this size; only two characters count.
constexpr size_t SwitchBufferSize = 16;
// Longest handle argument read; a longer one cannot be a well-formed number
// of 32 bits unless padded with blanks, and reads as 0.
constexpr size_t HandleBufferSize = 256;

struct ModeChoice {
  uint8_t mode;
  uint8_t isPreview;
  int32_t parentWindow;
  // Set for the C switch without a usable handle: the owner is then the
  // window in the foreground when the saver starts.
  bool ownerIsForeground;
};

// Copies argument `index` (0 is the program) of `commandLine` into `out`,
// at most outSize - 1 characters and a terminating zero. Returns false when
// the argument had to be cut short.
bool CopyArgument(const char* commandLine, int index, char* out, size_t outSize);

// Reads a signed 32-bit number: decimal with optional sign, or hexadecimal
// after '$', 'x', 'X', "0x" or "0X"; leading blanks allowed. 0 on any error.
int32_t ParseHandleParam(const char* text);

// The run mode, parent and preview flag that a command line asks for.
ModeChoice ChooseMode(const char* commandLine);

}  // namespace defsaver
