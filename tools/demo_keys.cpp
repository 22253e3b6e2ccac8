// Key-echo window: opens the viewer's window the way the viewer does and prints every message its
// procedure receives, one line each: "MESSAGE_NAME wParam=0x... lParam=0x...".
// Usage: demo-keys [seconds]  (default 30; ends earlier on WM_QUIT). Prints "READY" once shown.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/messages.h"
#include "app/window_size.h"
#include "platform/platform_api.h"
#include "tools/pump_messages.h"

namespace {

struct MessageName {
  UINT message;
  const char* name;
};

const MessageName kMessageNames[] = {
    {WM_CREATE, "WM_CREATE"},         {WM_DESTROY, "WM_DESTROY"},
    {WM_SIZE, "WM_SIZE"},             {WM_ACTIVATE, "WM_ACTIVATE"},
    {WM_SETFOCUS, "WM_SETFOCUS"},     {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_PAINT, "WM_PAINT"},           {WM_CLOSE, "WM_CLOSE"},
    {WM_QUIT, "WM_QUIT"},             {WM_KEYDOWN, "WM_KEYDOWN"},
    {WM_KEYUP, "WM_KEYUP"},           {WM_CHAR, "WM_CHAR"},
    {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"}, {WM_SYSKEYUP, "WM_SYSKEYUP"},
    {WM_SYSCHAR, "WM_SYSCHAR"},       {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
};

struct EchoState {
  HWND window;
  HDC dc;
  HGLRC context;
};

EchoState echo = {};

// Prints one message as a line.
void PrintMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const char* name = nullptr;
  for (const MessageName& entry : kMessageNames) {
    if (entry.message == message) name = entry.name;
  }
  if (name != nullptr) {
    std::printf("%s wParam=0x%lx lParam=0x%08lx\n", name, static_cast<unsigned long>(wParam),
                static_cast<unsigned long>(static_cast<uint32_t>(lParam)));
  } else {
    std::printf("0x%04x wParam=0x%lx lParam=0x%08lx\n", message,
                static_cast<unsigned long>(wParam),
                static_cast<unsigned long>(static_cast<uint32_t>(lParam)));
  }
  std::fflush(stdout);
}

// Echoes everything; closing posts the quit message as the viewer does, the rest goes to the default.
LRESULT CALLBACK EchoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PrintMessage(message, wParam, lParam);
  if (message == WM_CLOSE) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool OpenEchoWindow() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wndClass = {};
  wndClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  wndClass.lpfnWndProc = EchoWindowProc;
  wndClass.hInstance = instance;
  wndClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
  wndClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wndClass.lpszClassName = VIEWER_CLASS_NAME;
  if (RegisterClassA(&wndClass) == 0) return false;
  DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  DWORD style = WS_OVERLAPPEDWINDOW;
  RECT rect = {0, 0, kWindowWidth, kWindowHeight};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  echo.window = CreateWindowExA(exStyle, VIEWER_CLASS_NAME, VIEWER_TITLE,
                                style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                instance, nullptr);
  if (echo.window == nullptr) return false;
  echo.dc = GetDC(echo.window);
  PIXELFORMATDESCRIPTOR format = {};
  format.nSize = sizeof(format);
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = kColourBits;
  format.cDepthBits = 16;
  int index = ChoosePixelFormat(echo.dc, &format);
  if (index == 0 || !SetPixelFormat(echo.dc, index, &format)) return false;
  echo.context = wglCreateContext(echo.dc);
  if (echo.context == nullptr || !wglMakeCurrent(echo.dc, echo.context)) return false;
  ShowWindow(echo.window, SW_SHOW);
  SetForegroundWindow(echo.window);
  SetFocus(echo.window);
  return true;
}

void CloseEchoWindow() {
  wglMakeCurrent(nullptr, nullptr);
  if (echo.context != nullptr) wglDeleteContext(echo.context);
  if (echo.dc != nullptr) ReleaseDC(echo.window, echo.dc);
  DestroyWindow(echo.window);
  UnregisterClassA(VIEWER_CLASS_NAME, GetModuleHandleA(nullptr));
}

}  // namespace

int main(int argc, char** argv) {
  DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 30;
  if (!OpenEchoWindow()) {
    std::printf("FAILED\n");
    return 1;
  }
  std::printf("READY\n");
  std::fflush(stdout);
  DWORD start = timeGetTime();
  WPARAM quitCode = 0;
  while (timeGetTime() - start < seconds * 1000) {
    if (!PumpMessages(&quitCode)) {
      PrintMessage(WM_QUIT, quitCode, 0);
      break;
    }
    glClearColor(0.1f, 0.1f, 0.3f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SwapBuffers(echo.dc);
    timespec pause = {0, 10 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  CloseEchoWindow();
  return 0;
}
