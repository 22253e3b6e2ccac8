// The viewer window, its contexts and their teardown (see viewer_window.h).
// Every handle is cleared as soon as it has been released, whether the release succeeded
// or not, so a handle once handed back is never given to the platform again (a teardown
// inside a later, failing creation then only sees what that creation made).
#include "window/viewer_window.h"

#include "records/app_state.h"
#include "records/failure_boxes.h"
#include "records/texts.h"
#include "window/window_proc.h"
#include "render/scene.h"

#include <cstring>

PIXELFORMATDESCRIPTOR PixelFormatRequest = {
    sizeof(PIXELFORMATDESCRIPTOR),                                // size
    1,                                                            // version
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,   // flags
    PFD_TYPE_RGBA,                                                // pixel type
    0,                                                            // colour bits: filled once
    0, 0, 0, 0, 0, 0,                                             // colour bits and shifts
    0, 0,                                                         // alpha bits and shift
    0, 0, 0, 0, 0,                                                // accumulation bits
    16,                                                           // depth bits
    0,                                                            // stencil bits
    0,                                                            // auxiliary buffers
    PFD_MAIN_PLANE,                                               // layer type
    0,                                                            // reserved
    0, 0, 0                                                       // layer, visible, damage masks
};

namespace {

// Whether some creation has already put its colour bits into PixelFormatRequest.
bool colourBitsFilled = false;

// The styles of the window about to be created.
struct WindowStyles {
  DWORD exStyle;
  DWORD style;
};

// Tears down what was made, then shows the creation failure; always false.
bool FailAfterTeardown(const char* text) {
  DestroyViewerWindow();
  ReportCreationError(text);
  return false;
}

// Registers the "OpenGL" class under the instance handle.
bool RegisterViewerClass() {
  WNDCLASSA windowClass;
  std::memset(&windowClass, 0, sizeof windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = ViewerWindowProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = windowContext.instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = nullptr;
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = VIEWER_CLASS_NAME;
  return RegisterClassA(&windowClass) != 0;
}

// Switches the display to width x height x bits; on refusal asks whether to go windowed.
bool SwitchToFullscreen(int width, int height, int bits) {
  DEVMODEA mode;
  std::memset(&mode, 0, sizeof mode);
  mode.dmSize = sizeof mode;
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmBitsPerPel = static_cast<DWORD>(bits);
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL) return true;
  if (MessageBoxA(nullptr, MSG_FULLSCREEN_UNSUPPORTED, CAPTION_QUESTION,
                  MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
    windowContext.fullscreen = 0;
    return true;
  }
  MessageBoxA(nullptr, MSG_PROGRAM_WILL_CLOSE, CAPTION_ERROR, MB_OK | MB_ICONSTOP);
  return false;
}

// The styles for the current display mode.
WindowStyles ChooseWindowStyles() {
  if (windowContext.fullscreen) return WindowStyles{WS_EX_APPWINDOW, WS_POPUP};
  return WindowStyles{WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, WS_OVERLAPPEDWINDOW};
}

// Creates the window at (0, 0) with a client area of exactly width x height.
bool CreateMainWindow(const char* title, int width, int height, WindowStyles styles) {
  RECT bounds;
  bounds.left = 0;
  bounds.top = 0;
  bounds.right = width;
  bounds.bottom = height;
  AdjustWindowRectEx(&bounds, styles.style, FALSE, styles.exStyle);
  windowContext.window = CreateWindowExA(
      styles.exStyle, VIEWER_CLASS_NAME, title, styles.style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
      0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr,
      windowContext.instance, nullptr);
  return windowContext.window != nullptr;
}

// Puts the colour depth into PixelFormatRequest, the first time only.
void FillColourBitsOnce(int bits) {
  if (colourBitsFilled) return;
  PixelFormatRequest.cColorBits = static_cast<BYTE>(bits);
  colourBitsFilled = true;
}

// Fetches the window's device context.
bool GetDeviceContext() {
  windowContext.deviceContext = GetDC(windowContext.window);
  return windowContext.deviceContext != nullptr;
}

// Chooses a pixel format for PixelFormatRequest; 0 when there is none.
int ChooseRequestedFormat() {
  return ChoosePixelFormat(windowContext.deviceContext, &PixelFormatRequest);
}

// Sets the chosen pixel format on the device context.
bool SetUpPixelFormat(int format) {
  return SetPixelFormat(windowContext.deviceContext, format, &PixelFormatRequest) != FALSE;
}

// Creates the OpenGL rendering context for the device context.
bool CreateRenderingContext() {
  windowContext.renderingContext = wglCreateContext(windowContext.deviceContext);
  return windowContext.renderingContext != nullptr;
}

// Makes the rendering context current.
bool ActivateRenderingContext() {
  return wglMakeCurrent(windowContext.deviceContext, windowContext.renderingContext) != FALSE;
}

// Shows the window and gives it the foreground and the keyboard focus.
void ShowMainWindow() {
  ShowWindow(windowContext.window, SW_SHOW);
  SetForegroundWindow(windowContext.window);
  SetFocus(windowContext.window);
}

// Puts the desktop's display mode back and shows the cursor, when in fullscreen mode.
void RestoreDisplayMode() {
  if (!windowContext.fullscreen) return;
  ChangeDisplaySettingsA(nullptr, 0);
  ShowCursor(TRUE);
}

// Releases the rendering context: not current any more, then deleted.
void ReleaseRenderingContext() {
  if (windowContext.renderingContext == nullptr) return;
  if (!wglMakeCurrent(nullptr, nullptr)) ReportShutdownError(MSG_RELEASE_DC_RC_FAILED);
  if (!wglDeleteContext(windowContext.renderingContext)) ReportShutdownError(MSG_RELEASE_RC_FAILED);
  windowContext.renderingContext = nullptr;
}

// Releases the device context.
void ReleaseDeviceContext() {
  if (windowContext.deviceContext == nullptr) return;
  if (!ReleaseDC(windowContext.window, windowContext.deviceContext)) {
    ReportShutdownError(MSG_RELEASE_DC_FAILED);
  }
  windowContext.deviceContext = nullptr;
}

// Destroys the window.
void ReleaseMainWindow() {
  if (windowContext.window == nullptr) return;
  if (!DestroyWindow(windowContext.window)) ReportShutdownError(MSG_RELEASE_HWND_FAILED);
  windowContext.window = nullptr;
}

// Unregisters the window class, always attempted.
void UnregisterViewerClass() {
  if (!UnregisterClassA(VIEWER_CLASS_NAME, windowContext.instance)) {
    ReportShutdownError(MSG_UNREGISTER_CLASS_FAILED);
  }
  windowContext.instance = nullptr;
}

}  // namespace

// Makes the window, device context, pixel format and current rendering context, then the scene.
bool CreateViewerWindow(const char* title, int width, int height, int bits, bool fullscreen) {
  windowContext.fullscreen = fullscreen ? 1 : 0;
  windowContext.instance = GetModuleHandleA(nullptr);
  if (!RegisterViewerClass()) {
    ReportCreationError(MSG_REGISTER_CLASS_FAILED);
    return false;
  }
  if (windowContext.fullscreen && !SwitchToFullscreen(width, height, bits)) return false;
  WindowStyles styles = ChooseWindowStyles();
  if (windowContext.fullscreen) ShowCursor(FALSE);
  if (!CreateMainWindow(title, width, height, styles)) return FailAfterTeardown(MSG_WINDOW_CREATION_ERROR);
  FillColourBitsOnce(bits);
  if (!GetDeviceContext()) return FailAfterTeardown(MSG_NO_DEVICE_CONTEXT);
  int format = ChooseRequestedFormat();
  if (format == 0) return FailAfterTeardown(MSG_NO_PIXEL_FORMAT);
  if (!SetUpPixelFormat(format)) return FailAfterTeardown(MSG_SET_PIXEL_FORMAT_FAILED);
  if (!CreateRenderingContext()) return FailAfterTeardown(MSG_NO_RENDERING_CONTEXT);
  if (!ActivateRenderingContext()) return FailAfterTeardown(MSG_ACTIVATE_CONTEXT_FAILED);
  // A file dropped on the window replaces the cloud (the main loop opens it).
  DragAcceptFiles(windowContext.window, TRUE);
  ShowMainWindow();
  ResizeScene(width, height);
  if (!InitScene()) return FailAfterTeardown(MSG_INITIALIZATION_FAILED);
  return true;
}

// Releases display mode, rendering context, device context, window, class and font lists.
void DestroyViewerWindow() {
  RestoreDisplayMode();
  ReleaseRenderingContext();
  ReleaseDeviceContext();
  ReleaseMainWindow();
  UnregisterViewerClass();
  FreeFontLists();
}
