#include "defsaver/cmdline.h"

namespace defsaver {

namespace {

bool IsSeparator(char c) {
  unsigned char code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

// Skips separators and empty quote pairs that stand where an argument
// would begin.
const char* SkipToArgument(const char* p) {
  for (;;) {
    while (IsSeparator(*p)) ++p;
    if (p[0] == '"' && p[1] == '"') {
      p += 2;
      continue;
    }
    return p;
  }
}

// Walks over one argument, handing each of its characters to `take`.
template <typename Take>
const char* WalkArgument(const char* p, Take take) {
  while (*p != '\0' && !IsSeparator(*p)) {
    if (*p == '"') {
      ++p;
      while (*p != '\0' && *p != '"') take(*p++);
      if (*p == '"') ++p;
    } else {
      take(*p++);
    }
  }
  return p;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char UpperCaseLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool CopyArgument(const char* commandLine, int index, char* out, size_t outSize) {
  const char* p = SkipToArgument(commandLine);
  for (int i = 0; i < index && *p != '\0'; ++i) {
    p = WalkArgument(p, [](char) {});
    p = SkipToArgument(p);
  }
  size_t length = 0;
  bool fits = true;
  if (*p != '\0') {
    WalkArgument(p, [&](char c) {
      if (length + 1 < outSize)
        out[length++] = c;
      else
        fits = false;
    });
  }
  if (outSize > 0) out[length] = '\0';
  return fits;
}

int32_t ParseHandleParam(const char* text) {
  const char* p = text;
  while (*p == ' ') ++p;

  int base = 10;
  bool negative = false;
  if (*p == '$' || *p == 'x' || *p == 'X') {
    base = 16;
    ++p;
  } else if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    base = 16;
    p += 2;
  } else if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (*p == '\0') return 0;

  // Decimal values may reach 2^31 (for -2^31); hexadecimal ones fill 32 bits.
  const uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  uint64_t value = 0;
  for (; *p != '\0'; ++p) {
    int digit = HexDigitValue(*p);
    if (digit < 0 || digit >= base) return 0;
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    if (value > limit) return 0;
  }
  uint32_t bits = static_cast<uint32_t>(value);
  if (negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}

ModeChoice ChooseMode(const char* commandLine) {
  ModeChoice choice = {ModeNone, 0, 0, false};
  char switchText[SwitchBufferSize] = {};
  CopyArgument(commandLine, 1, switchText, sizeof switchText);

  if (switchText[0] == '\0') {
    choice.mode = ModeConfigure;
    return choice;
  }
  if (switchText[0] != '-' && switchText[0] != '/') return choice;

  char handleText[HandleBufferSize];
  auto handleArgument = [&]() -> int32_t {
    if (!CopyArgument(commandLine, 2, handleText, sizeof handleText)) return 0;
    return ParseHandleParam(handleText);
  };

  switch (UpperCaseLetter(switchText[1])) {
    case 'S':
      choice.mode = ModeSaver;
      break;
    case 'P':
    case 'L':
      choice.mode = ModePreview;
      choice.parentWindow = handleArgument();
      choice.isPreview = 1;
      break;
    case 'A':
      choice.mode = ModeChangePassword;
      choice.parentWindow = handleArgument();
      break;
    case 'C':
      choice.mode = ModeConfigure;
      choice.parentWindow = handleArgument();
      choice.ownerIsForeground = choice.parentWindow == 0;
      break;
    default:
      choice.mode = ModeConfigure;
      break;
  }
  return choice;
}

}  // namespace defsaver
