// The test peer of the platform: every Win32 call of the seam, recorded.
// Built on: nothing but the standard library (OpenGL calls go to the real GL library,
// which ignores them while no context is current).
// Leaves out: real windows, real pixels.
#pragma once

#include "platform/platform_api.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

// One call the core made, by its Win32 name, with the handle it concerned (if any).
struct FakeCall {
  std::string name;       // e.g. "CreateWindowExA"
  uintptr_t handle = 0;   // the main handle argument or result, 0 when none
  uintptr_t result = 0;   // the handle the call returned, 0 when none (or not a handle call)
};

// The arguments of the last CreateWindowExA.
struct FakeWindowRequest {
  DWORD exStyle = 0;
  std::string className;
  std::string title;
  DWORD style = 0;
  int x = 0;
  int y = 0;
  HWND parent = nullptr;
  HMENU menu = nullptr;
  HINSTANCE instance = nullptr;
  LPVOID param = nullptr;
  int clientWidth = 0;   // the client size the fake derived and sent with WM_SIZE
  int clientHeight = 0;
};

// The arguments of the last wglUseFontBitmapsA, with the object selected into its DC then.
struct FakeFontBitmaps {
  HDC dc = nullptr;
  DWORD first = 0;
  DWORD count = 0;
  DWORD listBase = 0;
  HGDIOBJ selectedFont = nullptr;
};

// One message box the user would have seen.
struct FakeMessageBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

enum FakeHandleKind { kFakeWindow, kFakeDc, kFakeContext, kFakeFont, kFakeIcon, kFakeCursor };

// What the fake knows about one handle it handed out.
struct FakeHandle {
  FakeHandleKind kind;
  bool live;
  uintptr_t owner;          // the window of a device context
  WNDPROC procedure;        // the class procedure of a window
  std::string className;    // the class of a window
  bool pixelFormatSet;      // a window's pixel format was set
  HGDIOBJ selected;         // the font selected into a device context
};

// One registered window class.
struct FakeClass {
  std::string name;
  WNDPROC procedure;
  HINSTANCE instance;
};

struct FakePlatform {
  std::vector<FakeCall> calls;             // every call, in order
  std::vector<FakeMessageBox> boxes;       // every message box, in order
  std::deque<int> boxAnswers;              // scripted answers; IDOK (or IDYES/IDNO) when empty
  std::string failCall;                    // name of the call to fail ("" for none)
  int failOccurrence = 1;                  // which occurrence of failCall fails (1 = first)
  std::deque<MSG> queue;                   // scripted messages returned by PeekMessageA
  bool quitPosted = false;                 // PostQuitMessage was called
  int quitCode = 0;
  uint32_t clock = 0;                      // what timeGetTime returns
  uint32_t clockStep = 0;                  // added to clock after each timeGetTime
  LONG displayChangeResult = DISP_CHANGE_SUCCESSFUL;  // ChangeDisplaySettingsA(record) result
  int showCursorCount = 0;                 // ShowCursor's display counter
  // Live handles the fake has handed out and not yet seen released, and every release
  // of a handle that was not live (double release or use after release).
  std::vector<uintptr_t> live;
  std::vector<std::string> misuse;
  // A hook the test can set to run after each PeekMessageA (e.g. to script minimise).
  void (*afterPeek)(const MSG&) = nullptr;

  // Records of the last call of a kind, for the tests to look at.
  DEVMODEA lastMode{};                         // ChangeDisplaySettingsA's record (non-null calls)
  DWORD lastModeFlags = 0;                     // and its flags
  bool displayModeChanged = false;             // a record was set and not yet restored by (NULL, 0)
  PIXELFORMATDESCRIPTOR lastPixelFormat{};     // ChoosePixelFormat's request
  const PIXELFORMATDESCRIPTOR* choosePixelFormatRequest = nullptr;  // the pointers handed over
  const PIXELFORMATDESCRIPTOR* setPixelFormatRequest = nullptr;
  int setPixelFormatIndex = 0;                 // SetPixelFormat's format argument
  FakeWindowRequest lastWindow;                // CreateWindowExA's arguments
  FakeFontBitmaps lastFontBitmaps;             // wglUseFontBitmapsA's arguments
  MSG lastDefWindowProc{};                     // DefWindowProcA's four arguments (in hwnd..lParam)
  LRESULT defWindowProcResult = 0;             // what DefWindowProcA returns
  HGLRC currentContext = nullptr;              // the context wglMakeCurrent made current

  // The fake's own bookkeeping.
  int failSeen = 0;                            // occurrences of failCall so far
  std::map<uintptr_t, FakeHandle> handles;     // every handle handed out
  std::vector<FakeClass> classes;              // the registered classes
  uintptr_t nextHandle = 0x10000;              // the value of the next handle
  uintptr_t newestWindow = 0;                  // where messages for no window go
  bool quitDelivered = false;                  // the WM_QUIT of the last PostQuitMessage was removed
};

extern FakePlatform fakePlatform;

// Fresh fake and fresh application records, for the start of each test.
void ResetFakePlatform();

// Number of recorded calls with this name.
int FakeCallCount(const std::string& name);

// Index in fakePlatform.calls of the n-th (1 = first) call with this name, -1 when none.
int FakeCallIndex(const std::string& name, int occurrence = 1);

// Window behaviour of the fake, as on Windows:
// - CreateWindowExA sends WM_CREATE and then WM_SIZE (SIZE_RESTORED, client size) to the
//   class procedure; ShowWindow(SW_SHOW) sends WM_ACTIVATE (WA_ACTIVE) and WM_SIZE;
//   SetFocus sends WM_SETFOCUS; DestroyWindow sends WM_DESTROY and releases the window's DCs.
// - DispatchMessageA of a message whose hwnd is null goes to the newest live window
//   (so scripted queues need not know the handle); one for a destroyed window is dropped.
// - TranslateMessage turns a WM_KEYDOWN of VK_ESCAPE into a WM_CHAR 27 at the queue's front.
// - DefWindowProcA: WM_SYSCOMMAND SC_CLOSE sends WM_CLOSE, WM_SYSKEYDOWN VK_F4 with Alt
//   (lParam bit 29) sends WM_SYSCOMMAND SC_CLOSE, WM_CLOSE destroys the window; it returns
//   defWindowProcResult.
// - UnregisterClassA fails for an unknown name, another instance, or while a window of the
//   class is alive; RegisterClassA fails for a name already registered; SetPixelFormat fails
//   the second time for one window.
// - PeekMessageA returns WM_QUIT (wParam quitCode) once the queue is empty and quitPosted
//   (set by PostQuitMessage or by the test); removed once, it is not returned again until
//   the next PostQuitMessage. quitPosted itself stays set. afterPeek runs after every
//   PeekMessageA, with the message retrieved (all zero when there was none).
