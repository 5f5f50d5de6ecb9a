// Helper of the tune's end-to-end tests, run under Wine:
//   musicprobe temp               prints the platform's temporary directory
//   musicprobe destroy-notify HWND W
//                                 posts WM_DESTROY and then MM_MCINOTIFY
//                                 (wParam W) to the window, back to back, so
//                                 that the notification is handled after the
//                                 destruction began
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const char* command = argv[1];
  if (!std::strcmp(command, "temp")) {
    char buffer[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof buffer, buffer);
    if (!n || n > MAX_PATH) return 1;
    std::printf("%s\n", buffer);
    return 0;
  }
  if (!std::strcmp(command, "destroy-notify") && argc > 3) {
    HWND window = reinterpret_cast<HWND>(std::strtoul(argv[2], nullptr, 0));
    // The saver's thread is held while both are posted: left running, it
    // could end the process between the two posts.
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(window, nullptr));
    if (!thread || SuspendThread(thread) == static_cast<DWORD>(-1)) return 1;
    bool posted = PostMessageA(window, WM_DESTROY, 0, 0) &&
                  PostMessageA(window, MM_MCINOTIFY, std::strtoul(argv[3], nullptr, 0), 1);
    ResumeThread(thread);
    CloseHandle(thread);
    return posted ? 0 : 1;
  }
  return 2;
}
