// Stands in for the platform's password components in the end-to-end tests.
// Built as PASSWORD.CPL (VerifyScreenSavePwd) and as MPR.DLL
// (PwdChangePasswordA, left out when FIXTURE_WITHOUT_CHANGE is defined).
// Each call is appended to C:\meandra-fixture\calls.txt; the verify answer
// is the first character of C:\meandra-fixture\answer.txt ('1' accepts).
// FIXTURE_TAG names the build in each line, so a test can tell which copy ran.
#include <windows.h>

#include <cstdio>

namespace {

const char CallLog[] = "C:\\meandra-fixture\\calls.txt";
const char AnswerFile[] = "C:\\meandra-fixture\\answer.txt";

void LogCall(const char* text) {
  if (FILE* log = std::fopen(CallLog, "a")) {
    std::fprintf(log, "%s %s\n", FIXTURE_TAG, text);
    std::fclose(log);
  }
}

bool CursorShowing() {
  CURSORINFO info = {};
  info.cbSize = sizeof info;
  return GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING);
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  char answer = '0';
  if (FILE* file = std::fopen(AnswerFile, "r")) {
    answer = static_cast<char>(std::fgetc(file));
    std::fclose(file);
  }
  char line[160];
  std::snprintf(line, sizeof line, "verify window=%ld cursor=%d answer=%c",
                static_cast<long>(reinterpret_cast<INT_PTR>(window)), CursorShowing() ? 1 : 0, answer);
  LogCall(line);
  return answer == '1';
}

#ifndef FIXTURE_WITHOUT_CHANGE
extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD reserved1,
                                                                DWORD reserved2) {
  char line[200];
  std::snprintf(line, sizeof line, "change provider=%s owner=%ld reserved=%lu,%lu", provider ? provider : "(null)",
                static_cast<long>(reinterpret_cast<INT_PTR>(owner)), static_cast<unsigned long>(reserved1),
                static_cast<unsigned long>(reserved2));
  LogCall(line);
  return 0;
}
#endif
