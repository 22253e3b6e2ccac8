// The test peer of the platform: every Win32 call of the seam, written down and scriptable.
#include "platform/fake/fake_platform.h"

#include "app/app_state.h"
#include "platform/viewer_window.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

FakePlatform fakePlatform;

namespace {

const uintptr_t kModule = 0x400000, kIcon = 0xF00000, kCursor = 0xF00010, kStockFont = 0xF00020;

// printf into a string.
std::string Format(const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  return text;
}

// Writes the call down; true when the test made this occurrence of it fail.
bool Call(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool Call(const char* format, ...) {
  va_list args;
  va_start(args, format);
  fakePlatform.calls.push_back(Format(format, args));
  va_end(args);
  std::string& line = fakePlatform.calls.back();
  if (fakePlatform.failCall.empty() || line.compare(0, line.find('('), fakePlatform.failCall) != 0 ||
      ++fakePlatform.failSeen != fakePlatform.failOccurrence) {
    return false;
  }
  line += " failed";
  return true;
}

// Notes on the last call what it handed out, or that it was refused; returns the value.
uintptr_t Ends(const std::string& how, uintptr_t value = 0) {
  fakePlatform.calls.back() += how;
  return value;
}

// How calls name a value: the handle's name, "null", or the number.
template <typename Handle>
const char* N(Handle handle) {
  static std::string names[8];
  static int next = 0;
  uintptr_t value = (uintptr_t)handle;
  auto found = fakePlatform.handles.find(value);
  std::string& name = names[next = (next + 1) % 8];
  name = value == 0 ? "null" : found != fakePlatform.handles.end() ? found->second.name : std::to_string(value);
  return name.c_str();
}

// Hands out a live handle of a kind ("window", "dc", "rc", "font") and notes it on the call.
uintptr_t NewHandle(const std::string& kind, uintptr_t owner = 0) {
  uintptr_t value = 0x10000 + 0x10 * fakePlatform.handles.size();
  std::string name = kind + std::to_string(++fakePlatform.handed[kind]);
  fakePlatform.handles[value] = FakeHandle{name, true, owner, kStockFont};
  return Ends(" = " + name, value);
}

// Whether the value is a live handle of the kind; a misuse is written down otherwise.
template <typename Handle>
bool Live(Handle handle, const char* kind) {
  std::string name = N(handle);
  size_t n = std::strlen(kind);
  bool ok = fakePlatform.handles.count((uintptr_t)handle) != 0 && fakePlatform.handles[(uintptr_t)handle].live &&
            name.compare(0, n, kind) == 0 && std::isdigit((unsigned char)name[n]);
  if (!ok) fakePlatform.misuse.push_back(fakePlatform.calls.back() + ": " + name + " is no live " + kind);
  return ok;
}

// Records a call on one handle; whether it may go on: not made to fail, its handle live.
template <typename Handle>
bool Use(const char* call, Handle handle, const char* kind) {
  return !Call("%s(%s)", call, N(handle)) && Live(handle, kind);
}

// Sends a message to a live window's procedure; 0 when there is none.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool live = fakePlatform.handles.count((uintptr_t)window) != 0 && fakePlatform.handles[(uintptr_t)window].live;
  return live && fakePlatform.procedure ? fakePlatform.procedure(window, message, wParam, lParam) : 0;
}

// A record's fields that matter, and " and more" when the rest (those fields cleared) is set.
template <typename Record>
std::string Fields(const Record& rest, const char* format, ...) __attribute__((format(printf, 2, 3)));
template <typename Record>
std::string Fields(const Record& rest, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = Format(format, args);
  va_end(args);
  Record zero;
  std::memset(&zero, 0, sizeof zero);
  return text + (std::memcmp(&rest, &zero, sizeof zero) != 0 ? " and more" : "");
}

std::string PixelFormat(const PIXELFORMATDESCRIPTOR* p) {
  PIXELFORMATDESCRIPTOR rest = *p;
  rest.nSize = rest.nVersion = 0;
  rest.dwFlags = 0;
  rest.iPixelType = rest.cColorBits = rest.cDepthBits = rest.iLayerType = 0;
  return (p == &PixelFormatRequest ? "PixelFormatRequest" : "a copy") +
         Fields(rest, " {%d, %d, 0x%x, type %d, %d bits, depth %d, layer %d}", p->nSize, p->nVersion,
                (unsigned)p->dwFlags, p->iPixelType, p->cColorBits, p->cDepthBits, p->iLayerType);
}

}  // namespace

void ResetFakePlatform() {
  fakePlatform = FakePlatform{};
  const char* shared[] = {"module", "icon", "cursor", "stockfont"};
  const uintptr_t values[] = {kModule, kIcon, kCursor, kStockFont};
  for (int i = 0; i < 4; i++) fakePlatform.handles[values[i]] = FakeHandle{shared[i], true, 0, 0};
  ResetAppState();
  ResetViewerWindowState();
}

std::vector<std::string> FakeCalls(const std::string& start) {
  std::vector<std::string> found;
  for (const std::string& call : fakePlatform.calls) {
    if (call.compare(0, start.size(), start) == 0) found.push_back(call);
  }
  return found;
}

std::vector<std::string> FakeBoxes() {
  std::vector<std::string> boxes = FakeCalls("MessageBoxA(");
  for (std::string& box : boxes) {
    size_t text = box.find(", ") + 2;  // after the owner
    box = box.substr(text, box.rfind(')') - text);
  }
  return boxes;
}

int FakeCallCount(const std::string& name) { return (int)FakeCalls(name + "(").size(); }

int FakeCallIndex(const std::string& name, int occurrence) {
  for (size_t i = 0; i < fakePlatform.calls.size(); i++) {
    if (fakePlatform.calls[i].compare(0, name.size() + 1, name + "(") == 0 && --occurrence == 0) return (int)i;
  }
  return -1;
}

int FakeLiveHandles() {
  int live = 0;
  for (const auto& h : fakePlatform.handles) live += h.second.live && std::isdigit((unsigned char)h.second.name.back());
  return live;
}

extern "C" {

WORD WINAPI RegisterClassA(const WNDCLASSA* c) {
  if (Call("RegisterClassA(%s, 0x%x, %s, %s, %s, %s)", c->lpszClassName, c->style, N(c->hInstance), N(c->hIcon),
           N(c->hCursor), N(c->hbrBackground))) {
    return 0;
  }
  fakePlatform.procedure = c->lpfnWndProc;
  return 0xC001;
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE instance) {
  if (Call("UnregisterClassA(%s, %s)", name, N(instance))) return FALSE;
  for (const auto& h : fakePlatform.handles) {
    if (h.second.live && h.second.name.compare(0, 6, "window") == 0) return Ends(" refused");
  }
  fakePlatform.procedure = nullptr;
  return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  if (Call("CreateWindowExA(0x%x, %s, %s, 0x%x, %d, %d, %d, %d, %s, %s, %s, %s)", (unsigned)exStyle, className,
           title, (unsigned)style, x, y, width, height, N(parent), N(menu), N(instance), N(param))) {
    return nullptr;
  }
  return (HWND)(fakePlatform.newestWindow = NewHandle("window"));
}

BOOL WINAPI DestroyWindow(HWND window) {
  if (!Use("DestroyWindow", window, "window")) return FALSE;
  for (auto& h : fakePlatform.handles) h.second.live &= h.first != (uintptr_t)window && h.second.owner != (uintptr_t)window;
  return TRUE;
}

HDC WINAPI GetDC(HWND window) {
  return Use("GetDC", window, "window") ? (HDC)NewHandle("dc", (uintptr_t)window) : nullptr;
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
  if (Call("ReleaseDC(%s, %s)", N(window), N(dc)) || !Live(window, "window") || !Live(dc, "dc")) return 0;
  fakePlatform.handles[(uintptr_t)dc].live = false;
  return 1;
}

BOOL WINAPI AdjustWindowRectEx(RECT* r, DWORD style, BOOL menu, DWORD exStyle) {
  if (Call("AdjustWindowRectEx({%d, %d, %d, %d}, 0x%x, %d, 0x%x)", (int)r->left, (int)r->top, (int)r->right,
           (int)r->bottom, (unsigned)style, menu, (unsigned)exStyle)) {
    return FALSE;
  }
  int border = (style & WS_THICKFRAME) ? 8 : (style & WS_CAPTION) ? 3 : 0;
  r->left -= border;
  r->right += border;
  r->bottom += border;
  r->top -= border + ((style & WS_CAPTION) == WS_CAPTION ? 23 : 0);
  return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* m, DWORD flags) {
  std::string mode = "null";
  if (m != nullptr) {
    DEVMODEA rest = *m;
    rest.dmSize = 0;
    rest.dmPelsWidth = rest.dmPelsHeight = rest.dmBitsPerPel = rest.dmFields = 0;
    mode = Fields(rest, "{%d, %ux%u, %u bits, fields 0x%x}", m->dmSize, (unsigned)m->dmPelsWidth,
                  (unsigned)m->dmPelsHeight, (unsigned)m->dmBitsPerPel, (unsigned)m->dmFields);
  }
  if (Call("ChangeDisplaySettingsA(%s, 0x%x)", mode.c_str(), (unsigned)flags)) return DISP_CHANGE_FAILED;
  LONG result = m == nullptr ? DISP_CHANGE_SUCCESSFUL : fakePlatform.displayChangeResult;
  fakePlatform.displayModeChanged = m != nullptr && result == DISP_CHANGE_SUCCESSFUL;
  if (result != DISP_CHANGE_SUCCESSFUL) Ends(" refused");
  return result;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  return Call("LoadIconA(%s, %u)", N(instance), (unsigned)(uintptr_t)name) ? nullptr : (HICON)kIcon;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  return Call("LoadCursorA(%s, %u)", N(instance), (unsigned)(uintptr_t)name) ? nullptr : (HCURSOR)kCursor;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
  if (!Call("ShowWindow(%s, %d)", N(window), command) && Live(window, "window")) Send(window, WM_ACTIVATE, WA_ACTIVE, 0);
  return FALSE;
}

BOOL WINAPI SetForegroundWindow(HWND window) { return Use("SetForegroundWindow", window, "window"); }

HWND WINAPI SetFocus(HWND window) {
  Use("SetFocus", window, "window");
  return nullptr;
}

int WINAPI ShowCursor(BOOL show) {
  Call("ShowCursor(%d)", show);
  return fakePlatform.showCursorCount += show ? 1 : -1;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (Call("MessageBoxA(%s, %s, %s, 0x%x)", N(owner), text, caption, type)) return 0;
  int answer = (type & 0xF) == MB_YESNO ? IDYES : IDOK;
  if (!fakePlatform.boxAnswers.empty()) {
    answer = fakePlatform.boxAnswers.front();
    fakePlatform.boxAnswers.pop_front();
  }
  return answer;
}

BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT, UINT, UINT remove) {
  bool fail = Call("PeekMessageA(%s, 0x%x)", N(window), remove);
  MSG taken{};
  if (!fail && !fakePlatform.queue.empty()) {
    taken = fakePlatform.queue.front();
    if (remove & PM_REMOVE) fakePlatform.queue.pop_front();
  } else if (!fail && fakePlatform.quitPosted && !fakePlatform.quitDelivered) {
    taken.message = WM_QUIT;
    taken.wParam = (WPARAM)fakePlatform.quitCode;
    fakePlatform.quitDelivered = (remove & PM_REMOVE) != 0;
  }
  *msg = taken;
  if (fakePlatform.afterPeek != nullptr) fakePlatform.afterPeek(taken);
  return taken.message != 0;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
  Call("TranslateMessage(0x%x)", msg->message);
  return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  Call("DispatchMessageA(0x%x)", msg->message);
  return Send(msg->hwnd ? msg->hwnd : (HWND)fakePlatform.newestWindow, msg->message, msg->wParam, msg->lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
  Call("PostQuitMessage(%d)", exitCode);
  fakePlatform.quitPosted = true;
  fakePlatform.quitCode = exitCode;
  fakePlatform.quitDelivered = false;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Call("DefWindowProcA(%s, 0x%x, 0x%x, 0x%x)", N(window), message, (unsigned)wParam, (unsigned)lParam);
  return fakePlatform.defWindowProcResult;
}

#if defined(_WIN32)
// The real look-up of a loaded module by name, through the wide-character entry point.
__declspec(dllimport) void* __stdcall GetModuleHandleW(const wchar_t* moduleName);
#endif

// The program's own module; a named module is looked up for real on Windows (the run-time's
// start-up code asks for DLLs by name before the fake exists) and is not recorded.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName != nullptr) {
#if defined(_WIN32)
    wchar_t wide[260];
    size_t i = 0;
    for (; moduleName[i] != 0 && i + 1 < sizeof wide / sizeof wide[0]; i++) wide[i] = (unsigned char)moduleName[i];
    wide[i] = 0;
    return (HMODULE)GetModuleHandleW(wide);
#else
    return nullptr;
#endif
  }
  return Call("GetModuleHandleA(null)") ? nullptr : (HMODULE)kModule;
}

#if defined(_WIN32) && defined(__i386__)
// The run-time's start-up code calls GetModuleHandleA through its import slot; providing the
// slot here keeps the linker from taking KERNEL32's stub, which would clash with the one above.
HMODULE(WINAPI* fakeImportGetModuleHandleA)(LPCSTR) __asm__("__imp__GetModuleHandleA@4") = GetModuleHandleA;
#endif

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
  return !Call("ChoosePixelFormat(%s, %s)", N(dc), PixelFormat(request).c_str()) && Live(dc, "dc");
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
  return !Call("SetPixelFormat(%s, %d, %s)", N(dc), format, PixelFormat(request).c_str()) && Live(dc, "dc");
}

BOOL WINAPI SwapBuffers(HDC dc) { return Use("SwapBuffers", dc, "dc"); }

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD precision, DWORD clip,
                         DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  if (Call("CreateFontA(%d, %d, %d, %d, %d, %u, %u, %u, %u, %u, %u, %u, %u, %s)", height, width, escapement,
           orientation, weight, (unsigned)italic, (unsigned)underline, (unsigned)strikeOut, (unsigned)charSet,
           (unsigned)precision, (unsigned)clip, (unsigned)quality, (unsigned)pitchAndFamily, face)) {
    return nullptr;
  }
  return (HFONT)NewHandle("font");
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  if (Call("SelectObject(%s, %s)", N(dc), N(object)) || !Live(dc, "dc") ||
      ((uintptr_t)object != kStockFont && !Live(object, "font"))) {
    return nullptr;
  }
  uintptr_t previous = fakePlatform.handles[(uintptr_t)dc].selected;
  fakePlatform.handles[(uintptr_t)dc].selected = (uintptr_t)object;
  return (HGDIOBJ)Ends(std::string(" = ") + N(previous), previous);
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  if (!Use("DeleteObject", object, "font")) return FALSE;
  fakePlatform.handles[(uintptr_t)object].live = false;
  return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC dc) {
  return Use("wglCreateContext", dc, "dc") ? (HGLRC)NewHandle("rc") : nullptr;
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
  if (Call("wglMakeCurrent(%s, %s)", N(dc), N(context))) return FALSE;
  if (context != nullptr && (!Live(dc, "dc") || !Live(context, "rc"))) return FALSE;
  fakePlatform.currentContext = (uintptr_t)context;
  return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
  if (!Use("wglDeleteContext", context, "rc")) return FALSE;
  if (fakePlatform.currentContext == (uintptr_t)context) fakePlatform.currentContext = 0;
  fakePlatform.handles[(uintptr_t)context].live = false;
  return TRUE;
}

BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase) {
  if (Call("wglUseFontBitmapsA(%s, %u, %u, %u)", N(dc), (unsigned)first, (unsigned)count, (unsigned)listBase) ||
      !Live(dc, "dc")) {
    return FALSE;
  }
  return Ends(std::string(" with ") + N(fakePlatform.handles[(uintptr_t)dc].selected), TRUE);
}

DWORD WINAPI timeGetTime(void) {
  Call("timeGetTime() = %u", (unsigned)fakePlatform.clock);
  DWORD now = fakePlatform.clock;
  fakePlatform.clock += fakePlatform.clockStep;
  return now;
}

}  // extern "C"
