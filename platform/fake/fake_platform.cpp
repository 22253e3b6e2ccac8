// The test peer of the platform: every Win32 call of the seam, recorded and scriptable.
#include "platform/fake/fake_platform.h"

#include "app/app_state.h"
#include "platform/viewer_window.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

FakePlatform fakePlatform;

namespace {

const uintptr_t kFakeModule = 0x00400000;
const uintptr_t kFakeStockFont = 0x00F00010;

const char* const kKindNames[] = {"window", "device context", "rendering context",
                                  "font", "icon", "cursor"};

// Records one call and tells whether the fake was told to fail it.
bool Record(const char* name, uintptr_t handle) {
  FakeCall call;
  call.name = name;
  call.handle = handle;
  bool failed = false;
  if (!fakePlatform.failCall.empty() && fakePlatform.failCall == name) {
    fakePlatform.failSeen++;
    failed = fakePlatform.failSeen == fakePlatform.failOccurrence;
  }
  fakePlatform.calls.push_back(call);
  return failed;
}

// Stores the handle a call returned in its record.
void RecordResult(uintptr_t result) {
  fakePlatform.calls.back().result = result;
}

// Adds one description of a misuse.
void Misuse(const char* call, const char* what, uintptr_t handle, const char* problem) {
  char text[160];
  std::snprintf(text, sizeof text, "%s: %s 0x%lx %s", call, what, (unsigned long)handle, problem);
  fakePlatform.misuse.push_back(text);
}

// Hands out a fresh live handle of a kind (system icons and cursors are shared, never
// released, and so not listed in fakePlatform.live).
uintptr_t NewHandle(FakeHandleKind kind) {
  uintptr_t value = fakePlatform.nextHandle;
  fakePlatform.nextHandle += 0x10;
  fakePlatform.handles[value] = FakeHandle{kind, true, 0, nullptr, std::string(), false, nullptr};
  if (kind != kFakeIcon && kind != kFakeCursor) fakePlatform.live.push_back(value);
  return value;
}

// Checks that a handle is a live one of the kind; records a misuse otherwise.
bool CheckLive(const char* call, uintptr_t value, FakeHandleKind kind) {
  std::map<uintptr_t, FakeHandle>::iterator found = fakePlatform.handles.find(value);
  const char* problem = value == 0 ? "is null"
                        : found == fakePlatform.handles.end() ? "was never handed out"
                        : found->second.kind != kind ? "is a handle of another kind"
                        : !found->second.live ? "was already released"
                        : nullptr;
  if (problem != nullptr) Misuse(call, kKindNames[kind], value, problem);
  return problem == nullptr;
}

// Records a call on a handle and tells whether it may go on: not made to fail, handle live.
bool Use(const char* call, uintptr_t handle, FakeHandleKind kind) {
  return !Record(call, handle) && CheckLive(call, handle, kind);
}

// Marks a live handle as released.
void ReleaseHandle(uintptr_t value) {
  fakePlatform.handles[value].live = false;
  fakePlatform.live.erase(std::remove(fakePlatform.live.begin(), fakePlatform.live.end(), value),
                          fakePlatform.live.end());
}

// Compares two class names as Windows does, without regard to case.
bool SameClassName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); i++) {
    if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i])) return false;
  }
  return true;
}

// The registered class of this name, or null.
FakeClass* FindClass(const std::string& name) {
  for (FakeClass& entry : fakePlatform.classes) {
    if (SameClassName(entry.name, name)) return &entry;
  }
  return nullptr;
}

// Whether the value is a live window of the fake.
bool IsLiveWindow(uintptr_t value) {
  std::map<uintptr_t, FakeHandle>::iterator found = fakePlatform.handles.find(value);
  return found != fakePlatform.handles.end() && found->second.kind == kFakeWindow && found->second.live;
}

// Delivers a message to a live window's procedure, as a sent message; 0 when there is none.
LRESULT SendToWindow(uintptr_t window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsLiveWindow(window) || fakePlatform.handles[window].procedure == nullptr) return 0;
  return fakePlatform.handles[window].procedure((HWND)window, message, wParam, lParam);
}

// The frame AdjustWindowRectEx adds around a client area for a style.
void AddFrame(RECT* rect, DWORD style) {
  int border = (style & WS_THICKFRAME) ? 8 : (style & WS_CAPTION) ? 3 : 0;
  rect->left -= border;
  rect->right += border;
  rect->bottom += border;
  rect->top -= border + ((style & WS_CAPTION) == WS_CAPTION ? 23 : 0);
}

// Packs a client size into a WM_SIZE lParam.
LPARAM SizeParam(int width, int height) {
  return (LPARAM)(((uintptr_t)(height & 0xffff) << 16) | (uintptr_t)(width & 0xffff));
}

}  // namespace

// Fresh fake, fresh application records and a fresh window module.
void ResetFakePlatform() {
  fakePlatform = FakePlatform{};
  ResetAppState();
  ResetViewerWindowState();
}

// Number of recorded calls with this name.
int FakeCallCount(const std::string& name) {
  int count = 0;
  for (const FakeCall& call : fakePlatform.calls) {
    if (call.name == name) count++;
  }
  return count;
}

// Index of the n-th recorded call with this name, -1 when there is none.
int FakeCallIndex(const std::string& name, int occurrence) {
  int seen = 0;
  for (size_t i = 0; i < fakePlatform.calls.size(); i++) {
    if (fakePlatform.calls[i].name == name && ++seen == occurrence) return (int)i;
  }
  return -1;
}

extern "C" {

// Registers a class unless one of that name exists; returns a class atom.
WORD WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
  if (Record("RegisterClassA", 0)) return 0;
  if (wndClass == nullptr || wndClass->lpszClassName == nullptr) return 0;
  if (FindClass(wndClass->lpszClassName) != nullptr) return 0;
  fakePlatform.classes.push_back(FakeClass{wndClass->lpszClassName, wndClass->lpfnWndProc, wndClass->hInstance});
  return (WORD)(0xC000 + fakePlatform.classes.size());
}

// Unregisters a known class of this instance that has no live windows.
BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
  if (Record("UnregisterClassA", (uintptr_t)instance)) return FALSE;
  if (className == nullptr) return FALSE;
  FakeClass* entry = FindClass(className);
  if (entry == nullptr || entry->instance != instance) return FALSE;
  for (const std::pair<const uintptr_t, FakeHandle>& handle : fakePlatform.handles) {
    if (handle.second.kind == kFakeWindow && handle.second.live &&
        SameClassName(handle.second.className, className)) {
      return FALSE;
    }
  }
  fakePlatform.classes.erase(fakePlatform.classes.begin() + (entry - fakePlatform.classes.data()));
  return TRUE;
}

// Creates a window of a registered class and sends it WM_CREATE and WM_SIZE.
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
  bool fail = Record("CreateWindowExA", 0);
  FakeWindowRequest& request = fakePlatform.lastWindow;
  request = FakeWindowRequest{exStyle, className ? className : "", windowName ? windowName : "",
                              style, x, y, parent, menu, instance, param, 0, 0};
  RECT frame = {0, 0, 0, 0};
  AddFrame(&frame, style);
  request.clientWidth = width - (frame.right - frame.left);
  request.clientHeight = height - (frame.bottom - frame.top);
  if (fail || className == nullptr) return nullptr;
  FakeClass* entry = FindClass(className);
  if (entry == nullptr) return nullptr;
  WNDPROC procedure = entry->procedure;
  uintptr_t window = NewHandle(kFakeWindow);
  fakePlatform.handles[window].procedure = procedure;
  fakePlatform.handles[window].className = className;
  fakePlatform.newestWindow = window;
  fakePlatform.calls.back().handle = window;
  RecordResult(window);
  SendToWindow(window, WM_CREATE, 0, 0);
  SendToWindow(window, WM_SIZE, SIZE_RESTORED, SizeParam(request.clientWidth, request.clientHeight));
  if (!IsLiveWindow(window)) return nullptr;
  return (HWND)window;
}

// Sends WM_DESTROY and destroys a live window with its device contexts.
BOOL WINAPI DestroyWindow(HWND window) {
  if (!Use("DestroyWindow", (uintptr_t)window, kFakeWindow)) return FALSE;
  SendToWindow((uintptr_t)window, WM_DESTROY, 0, 0);
  if (!IsLiveWindow((uintptr_t)window)) return TRUE;
  ReleaseHandle((uintptr_t)window);
  std::vector<uintptr_t> ownDcs;
  for (const std::pair<const uintptr_t, FakeHandle>& handle : fakePlatform.handles) {
    if (handle.second.kind == kFakeDc && handle.second.live && handle.second.owner == (uintptr_t)window) {
      ownDcs.push_back(handle.first);
    }
  }
  for (uintptr_t dc : ownDcs) ReleaseHandle(dc);
  return TRUE;
}

// Hands out a device context of a live window.
HDC WINAPI GetDC(HWND window) {
  if (!Use("GetDC", (uintptr_t)window, kFakeWindow)) return nullptr;
  uintptr_t dc = NewHandle(kFakeDc);
  fakePlatform.handles[dc].owner = (uintptr_t)window;
  fakePlatform.handles[dc].selected = (HGDIOBJ)kFakeStockFont;
  RecordResult(dc);
  return (HDC)dc;
}

// Releases a live device context of a live window; 1 on success, 0 on failure.
int WINAPI ReleaseDC(HWND window, HDC dc) {
  if (Record("ReleaseDC", (uintptr_t)dc)) return 0;
  bool windowLive = CheckLive("ReleaseDC", (uintptr_t)window, kFakeWindow);
  if (!CheckLive("ReleaseDC", (uintptr_t)dc, kFakeDc) || !windowLive) return 0;
  if (fakePlatform.handles[(uintptr_t)dc].owner != (uintptr_t)window) {
    Misuse("ReleaseDC", "device context", (uintptr_t)dc, "belongs to another window");
    return 0;
  }
  ReleaseHandle((uintptr_t)dc);
  return 1;
}

// Grows a client rectangle by the frame of the style (8 sizing border, 23 caption).
BOOL WINAPI AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD) {
  if (Record("AdjustWindowRectEx", 0)) return FALSE;
  if (rect == nullptr) return FALSE;
  AddFrame(rect, style);
  if (menu) rect->top -= 20;
  return TRUE;
}

// Sets a display mode (answering displayChangeResult) or, with a null record, restores it.
LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
  if (Record("ChangeDisplaySettingsA", (uintptr_t)mode)) return DISP_CHANGE_FAILED;
  if (mode == nullptr) {
    fakePlatform.displayModeChanged = false;
    return DISP_CHANGE_SUCCESSFUL;
  }
  fakePlatform.lastMode = *mode;
  fakePlatform.lastModeFlags = flags;
  if (fakePlatform.displayChangeResult == DISP_CHANGE_SUCCESSFUL) fakePlatform.displayModeChanged = true;
  return fakePlatform.displayChangeResult;
}

// Hands out a system icon or cursor (only the system's own, with a null instance).
static uintptr_t LoadSystemResource(const char* call, FakeHandleKind kind, HINSTANCE instance, LPCSTR name) {
  if (Record(call, (uintptr_t)name) || instance != nullptr) return 0;
  uintptr_t resource = NewHandle(kind);
  RecordResult(resource);
  return resource;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  return (HICON)LoadSystemResource("LoadIconA", kFakeIcon, instance, name);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  return (HCURSOR)LoadSystemResource("LoadCursorA", kFakeCursor, instance, name);
}

// Shows a live window: sends WM_ACTIVATE and WM_SIZE; returns whether it was visible before.
BOOL WINAPI ShowWindow(HWND window, int command) {
  if (!Use("ShowWindow", (uintptr_t)window, kFakeWindow)) return FALSE;
  if (command != SW_HIDE) {
    SendToWindow((uintptr_t)window, WM_ACTIVATE, WA_ACTIVE, 0);
    SendToWindow((uintptr_t)window, WM_SIZE, SIZE_RESTORED,
                 SizeParam(fakePlatform.lastWindow.clientWidth, fakePlatform.lastWindow.clientHeight));
  }
  return FALSE;
}

// Brings a live window to the front.
BOOL WINAPI SetForegroundWindow(HWND window) {
  if (!Use("SetForegroundWindow", (uintptr_t)window, kFakeWindow)) return FALSE;
  return TRUE;
}

// Gives a live window the focus (WM_SETFOCUS); returns the previous focus (none).
HWND WINAPI SetFocus(HWND window) {
  if (!Use("SetFocus", (uintptr_t)window, kFakeWindow)) return nullptr;
  SendToWindow((uintptr_t)window, WM_SETFOCUS, 0, 0);
  return nullptr;
}

// Moves the cursor's display counter and returns it.
int WINAPI ShowCursor(BOOL show) {
  Record("ShowCursor", (uintptr_t)show);
  fakePlatform.showCursorCount += show ? 1 : -1;
  return fakePlatform.showCursorCount;
}

// Records a box and answers it from boxAnswers (IDOK, or IDYES for Yes/No, when empty).
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (Record("MessageBoxA", (uintptr_t)owner)) return 0;
  if (owner != nullptr) CheckLive("MessageBoxA", (uintptr_t)owner, kFakeWindow);
  int answer = (type & 0xF) == MB_YESNO ? IDYES : IDOK;
  if (!fakePlatform.boxAnswers.empty()) {
    answer = fakePlatform.boxAnswers.front();
    fakePlatform.boxAnswers.pop_front();
  }
  fakePlatform.boxes.push_back(
      FakeMessageBox{owner, text ? text : "", caption ? caption : "", type});
  return answer;
}

// Takes the next scripted message, then one WM_QUIT once posted; FALSE when there is none.
BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT, UINT, UINT remove) {
  bool fail = Record("PeekMessageA", (uintptr_t)window);
  BOOL found = FALSE;
  MSG taken{};
  if (!fail && !fakePlatform.queue.empty()) {
    taken = fakePlatform.queue.front();
    if (remove & PM_REMOVE) fakePlatform.queue.pop_front();
    found = TRUE;
  } else if (!fail && fakePlatform.quitPosted && !fakePlatform.quitDelivered) {
    taken.message = WM_QUIT;
    taken.wParam = (WPARAM)fakePlatform.quitCode;
    if (remove & PM_REMOVE) fakePlatform.quitDelivered = true;
    found = TRUE;
  }
  if (msg != nullptr) *msg = taken;
  if (fakePlatform.afterPeek != nullptr) fakePlatform.afterPeek(taken);
  return found;
}

// Puts a WM_CHAR for an Escape key-down at the front of the queue.
BOOL WINAPI TranslateMessage(const MSG* msg) {
  Record("TranslateMessage", msg ? (uintptr_t)msg->hwnd : 0);
  if (msg == nullptr || msg->message != WM_KEYDOWN || msg->wParam != VK_ESCAPE) return FALSE;
  MSG character = *msg;
  character.message = WM_CHAR;
  character.wParam = 27;
  fakePlatform.queue.push_front(character);
  return TRUE;
}

// Hands a message to its window's procedure (null hwnd: the newest live window).
LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  Record("DispatchMessageA", msg ? (uintptr_t)msg->hwnd : 0);
  if (msg == nullptr) return 0;
  uintptr_t window = msg->hwnd ? (uintptr_t)msg->hwnd : fakePlatform.newestWindow;
  return SendToWindow(window, msg->message, msg->wParam, msg->lParam);
}

// Asks for a WM_QUIT once the queue is empty.
void WINAPI PostQuitMessage(int exitCode) {
  Record("PostQuitMessage", 0);
  fakePlatform.quitPosted = true;
  fakePlatform.quitCode = exitCode;
  fakePlatform.quitDelivered = false;
}

// The default handling of the few messages that matter here; returns defWindowProcResult.
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Record("DefWindowProcA", (uintptr_t)window);
  fakePlatform.lastDefWindowProc = MSG{window, message, wParam, lParam, 0, {0, 0}};
  LRESULT result = fakePlatform.defWindowProcResult;
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
    SendToWindow((uintptr_t)window, WM_CLOSE, 0, 0);
  } else if (message == WM_SYSKEYDOWN && wParam == VK_F4 && (lParam & (1 << 29))) {
    SendToWindow((uintptr_t)window, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (message == WM_CLOSE && IsLiveWindow((uintptr_t)window)) {
    DestroyWindow(window);
  }
  return result;
}

#if defined(_WIN32)
// The real look-up of a loaded module by name, through the wide-character entry point.
__declspec(dllimport) void* __stdcall GetModuleHandleW(const wchar_t* moduleName);
#endif

// The module handle of the program itself; a named module is looked up for real on Windows
// (the run-time's start-up code asks for DLLs by name before the fake exists) and is not
// recorded.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName != nullptr) {
#if defined(_WIN32)
    wchar_t wide[260];
    size_t i = 0;
    for (; moduleName[i] != 0 && i + 1 < sizeof wide / sizeof wide[0]; i++) {
      wide[i] = (wchar_t)(unsigned char)moduleName[i];
    }
    wide[i] = 0;
    return (HMODULE)GetModuleHandleW(wide);
#else
    return nullptr;
#endif
  }
  if (Record("GetModuleHandleA", 0)) return nullptr;
  RecordResult(kFakeModule);
  return (HMODULE)kFakeModule;
}

#if defined(_WIN32) && defined(__i386__)
// The run-time's start-up code calls GetModuleHandleA through its import slot; providing
// the slot here keeps the linker from taking KERNEL32's stub, which also defines the
// function and would clash with the one above.
HMODULE(WINAPI* fakeImportGetModuleHandleA)(LPCSTR) __asm__("__imp__GetModuleHandleA@4") =
    GetModuleHandleA;
#endif

// Records the request and answers format 1.
int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
  if (!Use("ChoosePixelFormat", (uintptr_t)dc, kFakeDc) || request == nullptr) return 0;
  fakePlatform.lastPixelFormat = *request;
  fakePlatform.choosePixelFormatRequest = request;
  return 1;
}

// Sets the pixel format of a DC's window, once per window.
BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
  if (!Use("SetPixelFormat", (uintptr_t)dc, kFakeDc)) return FALSE;
  fakePlatform.setPixelFormatRequest = request;
  fakePlatform.setPixelFormatIndex = format;
  FakeHandle& window = fakePlatform.handles[fakePlatform.handles[(uintptr_t)dc].owner];
  if (format != 1 || window.pixelFormatSet) return FALSE;
  window.pixelFormatSet = true;
  return TRUE;
}

// Shows the back buffer of a live DC.
BOOL WINAPI SwapBuffers(HDC dc) {
  return Use("SwapBuffers", (uintptr_t)dc, kFakeDc) ? TRUE : FALSE;
}

// Hands out a font handle.
HFONT WINAPI CreateFontA(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                         DWORD, LPCSTR) {
  if (Record("CreateFontA", 0)) return nullptr;
  uintptr_t font = NewHandle(kFakeFont);
  fakePlatform.calls.back().handle = font;
  RecordResult(font);
  return (HFONT)font;
}

// Selects a font into a live DC and returns the one selected before.
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  if (Record("SelectObject", (uintptr_t)object)) return nullptr;
  if (!CheckLive("SelectObject", (uintptr_t)dc, kFakeDc)) return nullptr;
  if ((uintptr_t)object != kFakeStockFont && !CheckLive("SelectObject", (uintptr_t)object, kFakeFont)) {
    return nullptr;
  }
  HGDIOBJ previous = fakePlatform.handles[(uintptr_t)dc].selected;
  fakePlatform.handles[(uintptr_t)dc].selected = object;
  RecordResult((uintptr_t)previous);
  return previous;
}

// Deletes a live font that no live DC has selected.
BOOL WINAPI DeleteObject(HGDIOBJ object) {
  if (!Use("DeleteObject", (uintptr_t)object, kFakeFont)) return FALSE;
  for (const std::pair<const uintptr_t, FakeHandle>& handle : fakePlatform.handles) {
    if (handle.second.kind == kFakeDc && handle.second.live && handle.second.selected == object) {
      Misuse("DeleteObject", "font", (uintptr_t)object, "is still selected into a device context");
      return FALSE;
    }
  }
  ReleaseHandle((uintptr_t)object);
  return TRUE;
}

// Hands out a rendering context for a live DC.
HGLRC WINAPI wglCreateContext(HDC dc) {
  if (!Use("wglCreateContext", (uintptr_t)dc, kFakeDc)) return nullptr;
  if (!fakePlatform.handles[fakePlatform.handles[(uintptr_t)dc].owner].pixelFormatSet) return nullptr;
  uintptr_t context = NewHandle(kFakeContext);
  fakePlatform.calls.back().handle = context;
  RecordResult(context);
  return (HGLRC)context;
}

// Makes a live context current on a live DC, or (NULL context) none current.
BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
  if (Record("wglMakeCurrent", (uintptr_t)context)) return FALSE;
  if (context == nullptr) {
    fakePlatform.currentContext = nullptr;
    return TRUE;
  }
  bool dcLive = CheckLive("wglMakeCurrent", (uintptr_t)dc, kFakeDc);
  if (!CheckLive("wglMakeCurrent", (uintptr_t)context, kFakeContext) || !dcLive) return FALSE;
  fakePlatform.currentContext = context;
  return TRUE;
}

// Deletes a live context (no longer current afterwards).
BOOL WINAPI wglDeleteContext(HGLRC context) {
  if (!Use("wglDeleteContext", (uintptr_t)context, kFakeContext)) return FALSE;
  if (fakePlatform.currentContext == context) fakePlatform.currentContext = nullptr;
  ReleaseHandle((uintptr_t)context);
  return TRUE;
}

// Records the glyph range asked for, with the font then selected into the DC.
BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase) {
  if (!Use("wglUseFontBitmapsA", (uintptr_t)dc, kFakeDc)) return FALSE;
  fakePlatform.lastFontBitmaps =
      FakeFontBitmaps{dc, first, count, listBase, fakePlatform.handles[(uintptr_t)dc].selected};
  return TRUE;
}

// Returns the scripted clock and moves it on by clockStep.
DWORD WINAPI timeGetTime(void) {
  Record("timeGetTime", 0);
  DWORD now = fakePlatform.clock;
  fakePlatform.clock += fakePlatform.clockStep;
  return now;
}

}  // extern "C"
