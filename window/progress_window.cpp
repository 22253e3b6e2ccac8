// The progress window of a long load (see progress_window.h).
#include "window/progress_window.h"

#include "records/app_state.h"
#include "records/texts.h"
#include "render/scene.h"

#include <cstring>

namespace {

// Client area, pixels.
constexpr int PROGRESS_WIDTH = 420;
constexpr int PROGRESS_HEIGHT = 96;
// The bar's place in it, from the bottom left.
constexpr int PROGRESS_BAR_X = 16;
constexpr int PROGRESS_BAR_Y = 36;
constexpr int PROGRESS_BAR_HEIGHT = 18;

// The progress window and its contexts.
struct ProgressWindow {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HDC deviceContext = nullptr;
  HGLRC renderingContext = nullptr;
  GLuint font = 0;
  const char* name = nullptr;  // the file being loaded
};

ProgressWindow progressWindow;

// Closing the progress window is not a way to stop the load: its close is ignored.
LRESULT CALLBACK ProgressWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

// Registers the progress window's class.
bool RegisterProgressClass() {
  WNDCLASSA windowClass;
  std::memset(&windowClass, 0, sizeof windowClass);
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = ProgressWindowProc;
  windowClass.hInstance = progressWindow.instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = PROGRESS_CLASS_NAME;
  return RegisterClassA(&windowClass) != 0;
}

// Creates the window with a title bar and no frame to size it by, and its OpenGL context.
bool CreateProgressWindow() {
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  RECT bounds = {0, 0, PROGRESS_WIDTH, PROGRESS_HEIGHT};
  AdjustWindowRectEx(&bounds, style, FALSE, WS_EX_APPWINDOW);
  progressWindow.window = CreateWindowExA(WS_EX_APPWINDOW, PROGRESS_CLASS_NAME, PROGRESS_TITLE, style, 0, 0,
                                          bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr,
                                          progressWindow.instance, nullptr);
  if (progressWindow.window == nullptr) return false;
  progressWindow.deviceContext = GetDC(progressWindow.window);
  if (progressWindow.deviceContext == nullptr) return false;
  PIXELFORMATDESCRIPTOR request;
  std::memset(&request, 0, sizeof request);
  request.nSize = sizeof request;
  request.nVersion = 1;
  request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  request.iPixelType = PFD_TYPE_RGBA;
  request.cColorBits = 32;
  request.iLayerType = PFD_MAIN_PLANE;
  const int format = ChoosePixelFormat(progressWindow.deviceContext, &request);
  if (format == 0 || !SetPixelFormat(progressWindow.deviceContext, format, &request)) return false;
  progressWindow.renderingContext = wglCreateContext(progressWindow.deviceContext);
  return progressWindow.renderingContext != nullptr &&
         wglMakeCurrent(progressWindow.deviceContext, progressWindow.renderingContext);
}

// Pixels as the projection's units, the origin at the bottom left.
void SetUpProgressScene() {
  glViewport(0, 0, PROGRESS_WIDTH, PROGRESS_HEIGHT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, PROGRESS_WIDTH, 0.0, PROGRESS_HEIGHT, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0.08f, 0.08f, 0.1f, 1.0f);
  progressWindow.font = BuildFontListsOn(progressWindow.deviceContext);
}

}  // namespace

// Makes the window, its context and its font, and shows it.
bool OpenProgressWindow(const char* name) {
  progressWindow = ProgressWindow();
  progressWindow.name = name;
  progressWindow.instance = GetModuleHandleA(nullptr);
  if (!RegisterProgressClass()) return false;
  if (!CreateProgressWindow()) {
    CloseProgressWindow();
    return false;
  }
  SetUpProgressScene();
  ShowWindow(progressWindow.window, SW_SHOW);
  return true;
}

// The file's name, the bar (its outline, and cyan as far as the load has come) and the points read.
void DrawProgress(double done, uint64_t points) {
  if (progressWindow.renderingContext == nullptr) return;
  wglMakeCurrent(progressWindow.deviceContext, progressWindow.renderingContext);
  glClear(GL_COLOR_BUFFER_BIT);
  const float right = static_cast<float>(PROGRESS_WIDTH - PROGRESS_BAR_X);
  const float top = static_cast<float>(PROGRESS_BAR_Y + PROGRESS_BAR_HEIGHT);
  glColor3f(0.35f, 0.35f, 0.4f);
  glRectf(PROGRESS_BAR_X - 2.0f, PROGRESS_BAR_Y - 2.0f, right + 2.0f, top + 2.0f);
  glColor3f(0.0f, 0.0f, 0.0f);
  glRectf(PROGRESS_BAR_X, PROGRESS_BAR_Y, right, top);
  glColor3f(0.0f, 1.0f, 1.0f);
  const double share = done < 0.0 ? 0.0 : done > 1.0 ? 1.0 : done;
  glRectf(PROGRESS_BAR_X, PROGRESS_BAR_Y, PROGRESS_BAR_X + static_cast<float>(share * (right - PROGRESS_BAR_X)), top);
  glColor3f(1.0f, 1.0f, 1.0f);
  glRasterPos2i(PROGRESS_BAR_X, PROGRESS_HEIGHT - 22);
  PrintTextWith(progressWindow.font, PROGRESS_LOADING, progressWindow.name);
  glRasterPos2i(PROGRESS_BAR_X, 12);
  PrintTextWith(progressWindow.font, PROGRESS_POINTS_READ, static_cast<unsigned long long>(points));
  SwapBuffers(progressWindow.deviceContext);
}

// Releases the context, the device context, the window and the class, whatever was made.
void CloseProgressWindow() {
  if (progressWindow.renderingContext != nullptr) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(progressWindow.renderingContext);
  }
  if (progressWindow.deviceContext != nullptr) ReleaseDC(progressWindow.window, progressWindow.deviceContext);
  if (progressWindow.window != nullptr) DestroyWindow(progressWindow.window);
  UnregisterClassA(PROGRESS_CLASS_NAME, progressWindow.instance);
  progressWindow = ProgressWindow();
  if (windowContext.renderingContext != nullptr) {
    wglMakeCurrent(windowContext.deviceContext, windowContext.renderingContext);
  }
}
