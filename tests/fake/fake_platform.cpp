// The test peer of the platform: a clock, a box recorder, DefWindowProcA and PostQuitMessage.
#include "tests/fake/fake_platform.h"

#include "records/app_state.h"

#include <cstdio>
#include <utility>

FakePlatform fakePlatform;

void ResetFakePlatform() {
  fakePlatform = FakePlatform{};
  ResetAppState();
}

extern "C" {

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  char line[512];
  std::snprintf(line, sizeof line, "%s, %s, 0x%x", text, caption, type);
  fakePlatform.boxes.push_back(line);
  return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  char line[128];
  std::snprintf(line, sizeof line, "DefWindowProcA(%u, 0x%x, 0x%x, 0x%x)", (unsigned)(uintptr_t)window, message,
                (unsigned)wParam, (unsigned)lParam);
  fakePlatform.calls.push_back(line);
  return fakePlatform.defWindowProcResult;
}

void WINAPI PostQuitMessage(int exitCode) { fakePlatform.calls.push_back("PostQuitMessage(" + std::to_string(exitCode) + ")"); }

HWND WINAPI SetCapture(HWND window) {
  fakePlatform.calls.push_back("SetCapture(" + std::to_string((uintptr_t)window) + ")");
  return nullptr;
}
BOOL WINAPI ReleaseCapture(void) {
  fakePlatform.calls.push_back("ReleaseCapture()");
  return TRUE;
}

DWORD WINAPI timeGetTime(void) { return std::exchange(fakePlatform.clock, fakePlatform.clock + fakePlatform.clockStep); }

// The overlay font of a scene set-up: none, as without a device context.
HFONT WINAPI CreateFontA(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, LPCSTR) { return nullptr; }
HGDIOBJ WINAPI SelectObject(HDC, HGDIOBJ) { return nullptr; }
BOOL WINAPI DeleteObject(HGDIOBJ) { return FALSE; }
BOOL WINAPI wglUseFontBitmapsA(HDC, DWORD, DWORD, DWORD) { return FALSE; }

// Drops: none (they are tested on the real program).
UINT WINAPI DragQueryFileA(HDROP, UINT, LPSTR, UINT) { return 0; }
void WINAPI DragFinish(HDROP) {}

}  // extern "C"
