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

const uintptr_t kModule = 0x00400000, kIcon = 0x00F00000, kCursor = 0x00F00010,
                kStockFont = 0x00F00020;

// Writes the call down; true when the test made this occurrence of it fail.
bool Call(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool Call(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  fakePlatform.calls.push_back(line);
  const std::string& name = fakePlatform.failCall;
  if (name.empty() || std::strncmp(line, name.c_str(), name.size()) != 0 || line[name.size()] != '(' ||
      ++fakePlatform.failSeen != fakePlatform.failOccurrence) {
    return false;
  }
  fakePlatform.calls.back() += " failed";
  return true;
}

// Notes on the last call how it ended: " = handle" or " refused".
void Ends(const std::string& how) { fakePlatform.calls.back() += how; }

// How calls name a value: the handle's name, "null", or the number.
std::string Name(uintptr_t value) {
  if (value == 0) return "null";
  auto found = fakePlatform.handles.find(value);
  if (found != fakePlatform.handles.end()) return found->second.name;
  char text[24];
  std::snprintf(text, sizeof text, "0x%lx", (unsigned long)value);
  return text;
}
template <typename Handle>
const char* N(Handle value) {
  static std::string names[8];
  static int next = 0;
  next = (next + 1) % 8;
  return (names[next] = Name((uintptr_t)value)).c_str();
}

// Hands out a live handle of a kind ("window", "dc", "rc", "font").
uintptr_t NewHandle(const std::string& kind, uintptr_t owner = 0) {
  uintptr_t value = 0x10000 + 0x10 * fakePlatform.handles.size();
  std::string name = kind + std::to_string(++fakePlatform.handed[kind]);
  fakePlatform.handles[value] = FakeHandle{name, true, owner, kStockFont, false};
  Ends(" = " + name);
  return value;
}

// Whether the value is a live handle of the kind; a misuse is written down otherwise.
bool Live(uintptr_t value, const char* kind) {
  auto found = fakePlatform.handles.find(value);
  bool ok = found != fakePlatform.handles.end() && found->second.live &&
            found->second.name.compare(0, std::strlen(kind), kind) == 0 &&
            std::isdigit((unsigned char)found->second.name[std::strlen(kind)]);
  if (!ok) fakePlatform.misuse.push_back(fakePlatform.calls.back() + ": " + Name(value) + " is no live " + kind);
  return ok;
}

// Records the call and tells whether it may go on: not made to fail, its handle live.
template <typename Handle>
bool Use(const char* call, Handle value, const char* kind) {
  return !Call("%s(%s)", call, N(value)) && Live((uintptr_t)value, kind);
}

// Sends a message to a live window's procedure; 0 when there is none.
LRESULT Send(uintptr_t window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto found = fakePlatform.handles.find(window);
  if (found == fakePlatform.handles.end() || !found->second.live || fakePlatform.classes.empty()) return 0;
  return fakePlatform.classes.begin()->second((HWND)window, message, wParam, lParam);
}

// The frame around a client area for a style: 8 sizing border, or 3 thin one; 23 caption.
void AddFrame(RECT* rect, DWORD style) {
  int border = (style & WS_THICKFRAME) ? 8 : (style & WS_CAPTION) ? 3 : 0;
  rect->left -= border;
  rect->right += border;
  rect->bottom += border;
  rect->top -= border + ((style & WS_CAPTION) == WS_CAPTION ? 23 : 0);
}

void SendSize(uintptr_t window) {
  Send(window, WM_SIZE, SIZE_RESTORED, (LPARAM)((fakePlatform.clientHeight << 16) | fakePlatform.clientWidth));
}

// The fields that matter, formatted, and " and more" when the rest (those fields cleared) is not zero.
template <typename Record>
std::string Fields(const Record& rest, const char* format, ...) __attribute__((format(printf, 2, 3)));
template <typename Record>
std::string Fields(const Record& rest, const char* format, ...) {
  char text[160];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  Record zero;
  std::memset(&zero, 0, sizeof zero);
  return std::string(text) + (std::memcmp(&rest, &zero, sizeof zero) != 0 ? " and more" : "");
}

std::string PixelFormat(const PIXELFORMATDESCRIPTOR* p) {
  if (p == nullptr) return "null";
  PIXELFORMATDESCRIPTOR rest = *p;
  rest.nSize = rest.nVersion = 0;
  rest.dwFlags = 0;
  rest.iPixelType = rest.cColorBits = rest.cDepthBits = rest.iLayerType = 0;
  return std::string(p == &PixelFormatRequest ? "PixelFormatRequest" : "a copy") +
         Fields(rest, " {%d, %d, 0x%lx, type %d, %d bits, depth %d, layer %d}", p->nSize,
                p->nVersion, (unsigned long)p->dwFlags, p->iPixelType, p->cColorBits, p->cDepthBits,
                p->iLayerType);
}

}  // namespace

void ResetFakePlatform() {
  fakePlatform = FakePlatform{};
  const char* shared[] = {"module", "icon", "cursor", "stockfont"};
  const uintptr_t values[] = {kModule, kIcon, kCursor, kStockFont};
  for (int i = 0; i < 4; i++) fakePlatform.handles[values[i]] = FakeHandle{shared[i], true, 0, 0, false};
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
  if (Call("RegisterClassA(%s, 0x%x, %s, %s, %s, %s)", c->lpszClassName, c->style, N(c->hInstance),
           N(c->hIcon), N(c->hCursor), N(c->hbrBackground))) {
    return 0;
  }
  if (fakePlatform.classes.count(c->lpszClassName) != 0) return Ends(" refused"), 0;
  fakePlatform.classes[c->lpszClassName] = c->lpfnWndProc;
  return 0xC001;
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE instance) {
  if (Call("UnregisterClassA(%s, %s)", name, N(instance))) return FALSE;
  bool windowLives = false;
  for (const auto& h : fakePlatform.handles) windowLives |= h.second.live && h.second.name.compare(0, 6, "window") == 0;
  if (windowLives || instance != (HINSTANCE)kModule || fakePlatform.classes.erase(name) == 0) {
    return Ends(" refused"), FALSE;
  }
  return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                            LPVOID param) {
  if (Call("CreateWindowExA(0x%lx, %s, %s, 0x%lx, %d, %d, %d, %d, %s, %s, %s, %s)", (unsigned long)exStyle,
           className, title, (unsigned long)style, x, y, width, height, N(parent), N(menu), N(instance),
           N(param)) ||
      fakePlatform.classes.count(className) == 0) {
    return nullptr;
  }
  RECT frame = {0, 0, 0, 0};
  AddFrame(&frame, style);
  fakePlatform.clientWidth = width - (frame.right - frame.left);
  fakePlatform.clientHeight = height - (frame.bottom - frame.top);
  uintptr_t window = fakePlatform.newestWindow = NewHandle("window");
  Send(window, WM_CREATE, 0, 0);
  SendSize(window);
  return (HWND)window;
}

BOOL WINAPI DestroyWindow(HWND window) {
  if (!Use("DestroyWindow", window, "window")) return FALSE;
  Send((uintptr_t)window, WM_DESTROY, 0, 0);
  for (auto& h : fakePlatform.handles) {
    if (h.first == (uintptr_t)window || h.second.owner == (uintptr_t)window) h.second.live = false;
  }
  return TRUE;
}

HDC WINAPI GetDC(HWND window) {
  if (!Use("GetDC", window, "window")) return nullptr;
  return (HDC)NewHandle("dc", (uintptr_t)window);
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
  if (Call("ReleaseDC(%s, %s)", N(window), N(dc))) return 0;
  bool windowLive = Live((uintptr_t)window, "window");
  if (!Live((uintptr_t)dc, "dc") || !windowLive) return 0;
  if (fakePlatform.handles[(uintptr_t)dc].owner != (uintptr_t)window) {
    fakePlatform.misuse.push_back(fakePlatform.calls.back() + ": the DC belongs to another window");
    return 0;
  }
  fakePlatform.handles[(uintptr_t)dc].live = false;
  return 1;
}

BOOL WINAPI AdjustWindowRectEx(RECT* r, DWORD style, BOOL menu, DWORD exStyle) {
  if (Call("AdjustWindowRectEx({%ld, %ld, %ld, %ld}, 0x%lx, %d, 0x%lx)", (long)r->left, (long)r->top,
           (long)r->right, (long)r->bottom, (unsigned long)style, menu, (unsigned long)exStyle)) {
    return FALSE;
  }
  AddFrame(r, style);
  return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* m, DWORD flags) {
  std::string mode = "null";
  if (m != nullptr) {
    DEVMODEA rest = *m;
    rest.dmSize = 0;
    rest.dmPelsWidth = rest.dmPelsHeight = rest.dmBitsPerPel = rest.dmFields = 0;
    mode = Fields(rest, "{%d, %lux%lu, %lu bits, fields 0x%lx}", m->dmSize, (unsigned long)m->dmPelsWidth,
                  (unsigned long)m->dmPelsHeight, (unsigned long)m->dmBitsPerPel, (unsigned long)m->dmFields);
  }
  if (Call("ChangeDisplaySettingsA(%s, 0x%lx)", mode.c_str(), (unsigned long)flags)) return DISP_CHANGE_FAILED;
  if (m == nullptr) return fakePlatform.displayModeChanged = false, DISP_CHANGE_SUCCESSFUL;
  fakePlatform.displayModeChanged = fakePlatform.displayChangeResult == DISP_CHANGE_SUCCESSFUL;
  return fakePlatform.displayChangeResult;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  return Call("LoadIconA(%s, %lu)", N(instance), (unsigned long)(uintptr_t)name) ? nullptr : (HICON)kIcon;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  return Call("LoadCursorA(%s, %lu)", N(instance), (unsigned long)(uintptr_t)name) ? nullptr : (HCURSOR)kCursor;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
  if (Call("ShowWindow(%s, %d)", N(window), command) || !Live((uintptr_t)window, "window")) return FALSE;
  Send((uintptr_t)window, WM_ACTIVATE, WA_ACTIVE, 0);
  SendSize((uintptr_t)window);
  return FALSE;
}

BOOL WINAPI SetForegroundWindow(HWND window) { return Use("SetForegroundWindow", window, "window"); }

HWND WINAPI SetFocus(HWND window) {
  if (Use("SetFocus", window, "window")) Send((uintptr_t)window, WM_SETFOCUS, 0, 0);
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
  Call("TranslateMessage(0x%x, 0x%lx)", msg->message, (unsigned long)msg->wParam);
  if (msg->message != WM_KEYDOWN || msg->wParam != VK_ESCAPE) return FALSE;
  MSG character = *msg;
  character.message = WM_CHAR;
  character.wParam = 27;
  fakePlatform.queue.push_front(character);
  return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  Call("DispatchMessageA(0x%x)", msg->message);
  return Send(msg->hwnd ? (uintptr_t)msg->hwnd : fakePlatform.newestWindow, msg->message, msg->wParam, msg->lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
  Call("PostQuitMessage(%d)", exitCode);
  fakePlatform.quitPosted = true;
  fakePlatform.quitCode = exitCode;
  fakePlatform.quitDelivered = false;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Call("DefWindowProcA(%s, 0x%x, 0x%lx, 0x%lx)", N(window), message, (unsigned long)wParam, (unsigned long)lParam);
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
    Send((uintptr_t)window, WM_CLOSE, 0, 0);
  } else if (message == WM_SYSKEYDOWN && wParam == VK_F4 && (lParam & (1 << 29))) {
    Send((uintptr_t)window, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (message == WM_CLOSE) {
    DestroyWindow(window);
  }
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
  bool fail = Call("ChoosePixelFormat(%s, %s)", N(dc), PixelFormat(request).c_str());
  return !fail && Live((uintptr_t)dc, "dc") ? 1 : 0;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
  if (Call("SetPixelFormat(%s, %d, %s)", N(dc), format, PixelFormat(request).c_str()) || !Live((uintptr_t)dc, "dc")) {
    return FALSE;
  }
  FakeHandle& window = fakePlatform.handles[fakePlatform.handles[(uintptr_t)dc].owner];
  if (format != 1 || window.pixelFormatSet) return Ends(" refused"), FALSE;
  return window.pixelFormatSet = true;
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
  if (Call("SelectObject(%s, %s)", N(dc), N(object)) || !Live((uintptr_t)dc, "dc") ||
      ((uintptr_t)object != kStockFont && !Live((uintptr_t)object, "font"))) {
    return nullptr;
  }
  uintptr_t previous = fakePlatform.handles[(uintptr_t)dc].selected;
  fakePlatform.handles[(uintptr_t)dc].selected = (uintptr_t)object;
  Ends(std::string(" = ") + N(previous));
  return (HGDIOBJ)previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  if (!Use("DeleteObject", object, "font")) return FALSE;
  for (const auto& h : fakePlatform.handles) {
    if (h.second.live && h.second.owner != 0 && h.second.selected == (uintptr_t)object) {
      fakePlatform.misuse.push_back(fakePlatform.calls.back() + ": the font is still selected");
      return FALSE;
    }
  }
  fakePlatform.handles[(uintptr_t)object].live = false;
  return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC dc) {
  if (!Use("wglCreateContext", dc, "dc")) return nullptr;
  if (!fakePlatform.handles[fakePlatform.handles[(uintptr_t)dc].owner].pixelFormatSet) return Ends(" refused"), nullptr;
  return (HGLRC)NewHandle("rc");
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
  if (Call("wglMakeCurrent(%s, %s)", N(dc), N(context))) return FALSE;
  if (context == nullptr) return fakePlatform.currentContext = 0, TRUE;
  bool dcLive = Live((uintptr_t)dc, "dc");
  if (!Live((uintptr_t)context, "rc") || !dcLive) return FALSE;
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
  if (Call("wglUseFontBitmapsA(%s, %u, %u, %u)", N(dc), (unsigned)first, (unsigned)count, (unsigned)listBase) || !Live((uintptr_t)dc, "dc")) {
    return FALSE;
  }
  Ends(std::string(" with ") + N(fakePlatform.handles[(uintptr_t)dc].selected));
  return TRUE;
}

DWORD WINAPI timeGetTime(void) {
  Call("timeGetTime() = %lu", (unsigned long)fakePlatform.clock);
  DWORD now = fakePlatform.clock;
  fakePlatform.clock += fakePlatform.clockStep;
  return now;
}

}  // extern "C"
