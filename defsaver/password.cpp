#include "defsaver/defsaver.h"

namespace defsaver {

OSVERSIONINFOA VersionInfo;
uint8_t IsWindowsNT;

namespace {

const char DesktopKey[] = "Control Panel\\Desktop";
const char UsePasswordValue[] = "ScreenSaveUsePassword";
const char PasswordLibrary[] = "PASSWORD.CPL";
const char VerifyEntry[] = "VerifyScreenSavePwd";
const char ChangeLibrary[] = "MPR.DLL";
const char ChangeEntry[] = "PwdChangePasswordA";
const char PasswordProvider[] = "SCRSAVE";

typedef BOOL(WINAPI* VerifyScreenSavePwdFn)(HWND);
typedef DWORD(WINAPI* PwdChangePasswordFn)(LPCSTR, HWND, DWORD, LPVOID);

// Entry points found by name have the type their component documents.
template <typename Function>
Function FindEntry(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// LoadLibrary results up to 32 are error codes on 16-bit-era platforms.
bool IsLoaded(HMODULE library) { return reinterpret_cast<UINT_PTR>(library) > 32; }

// Only the platform's own copy is loaded, never a file of the same name in
// the saver's folder or the current directory.
HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  if (!SystemFilePath(name, path, sizeof path)) return nullptr;
  return LoadLibraryA(path);
}

bool PasswordIsSet(HKEY desktop) {
  BYTE buffer[4] = {};
  DWORD type = 0;
  DWORD size = sizeof buffer;
  if (RegQueryValueExA(desktop, UsePasswordValue, nullptr, &type, buffer, &size) != ERROR_SUCCESS)
    return false;
  DWORD value = buffer[0] | (buffer[1] << 8) | (buffer[2] << 16) | (static_cast<DWORD>(buffer[3]) << 24);
  return value != 0;
}

// Shows the platform's password prompt; 0 when the password was refused.
uint8_t AskForPassword() {
  uint8_t approved = 1;
  HMODULE library = LoadSystemLibrary(PasswordLibrary);
  if (!IsLoaded(library)) return approved;
  auto verify = FindEntry<VerifyScreenSavePwdFn>(library, VerifyEntry);
  ShowCursor(TRUE);
  if (verify != nullptr) approved = verify(SaverWindow) ? 1 : 0;
  ShowCursor(FALSE);
  FirstMoveSeen = 0;
  GetCursorPos(&StartCursorPos);
  FreeLibrary(library);
  return approved;
}

}  // namespace

bool SystemFilePath(const char* fileName, char* out, UINT outSize) {
  UINT length = GetSystemDirectoryA(out, outSize);
  if (length == 0 || length >= outSize) return false;
  if (out[length - 1] != '\\') out[length++] = '\\';
  for (const char* p = fileName; *p != '\0'; ++p) {
    if (length + 1 >= outSize) return false;
    out[length++] = *p;
  }
  out[length] = '\0';
  return true;
}

void StartUp() {
  VersionInfo.dwOSVersionInfoSize = sizeof VersionInfo;
  GetVersionExA(&VersionInfo);
  IsWindowsNT = VersionInfo.dwPlatformId == VER_PLATFORM_WIN32_NT ? 1 : 0;
}

uint8_t VerifyPasswordAndClose() {
  uint8_t approved = 1;
  if (!IsWindowsNT) {
    HKEY desktop;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, KEY_READ, &desktop) == ERROR_SUCCESS) {
      if (PasswordIsSet(desktop)) approved = AskForPassword();
      RegCloseKey(desktop);
    }
  }
  if (approved) PostMessageA(SaverWindow, WM_DESTROY, 0, 0);
  return approved;
}

void ChangePassword(HWND owner) {
  HMODULE library = LoadSystemLibrary(ChangeLibrary);
  if (!IsLoaded(library)) return;
  auto change = FindEntry<PwdChangePasswordFn>(library, ChangeEntry);
  if (change != nullptr) change(PasswordProvider, owner, 0, nullptr);
  FreeLibrary(library);
}

}  // namespace defsaver
