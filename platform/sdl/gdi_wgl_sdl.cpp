// USER32's GetDC/ReleaseDC, GDI32's pixel formats and SwapBuffers, and OPENGL32's rendering contexts.
// Built on SDL2's OpenGL windows and contexts (GLX under X11).
// Leaves out: more than one pixel format (RGB888, no alpha, depth 16, double-buffered), DescribePixelFormat, shared lists.
#include "platform/sdl/standin_sdl.h"

namespace {

constexpr int STANDIN_MAX_DEVICE_CONTEXTS = 8;
constexpr int STANDIN_MAX_CONTEXTS = 8;
// The one pixel format the stand-in offers, asked of SDL before any window exists and the only
// one ChoosePixelFormat grants: 8 bits per colour channel (32 bits a pixel, as Windows counts
// them), no alpha, stencil or accumulation, a 16-bit depth buffer, double-buffered.
constexpr int STANDIN_PIXEL_FORMAT = 1;
constexpr int STANDIN_FORMAT_CHANNEL_BITS = 8;
constexpr int STANDIN_FORMAT_COLOUR_BITS = 32;
constexpr int STANDIN_FORMAT_DEPTH_BITS = 16;
// Flags a request must carry: no single-buffered format and none without OpenGL exists.
constexpr DWORD STANDIN_FORMAT_REQUIRED_FLAGS = PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;

struct SdlDeviceContextRecord {
  bool used;
  HWND window;
  int pixelFormat;  // 0 until SetPixelFormat
  HGDIOBJ font;     // Selected object; the stock font while none was selected
};

struct SdlContextRecord {
  bool used;
  SDL_GLContext context;
};

struct SdlGdiState {
  SdlDeviceContextRecord dcs[STANDIN_MAX_DEVICE_CONTEXTS];
  SdlContextRecord contexts[STANDIN_MAX_CONTEXTS];
  char stockFontToken;  // Its address is the stock font every device context starts with
};

SdlGdiState sdlGdi = {};

SdlDeviceContextRecord* SdlFindDc(HDC dc) {
  for (SdlDeviceContextRecord& record : sdlGdi.dcs) {
    if (record.used && reinterpret_cast<HDC>(&record) == dc) return &record;
  }
  return nullptr;
}

SdlContextRecord* SdlFindContext(HGLRC context) {
  for (SdlContextRecord& record : sdlGdi.contexts) {
    if (record.used && reinterpret_cast<HGLRC>(&record) == context) return &record;
  }
  return nullptr;
}

}  // namespace

// Asks SDL for the one pixel format; X fixes the visual when a window is created, so this comes
// before any window.
void SdlRequestPixelFormat() {
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, STANDIN_FORMAT_CHANNEL_BITS);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, STANDIN_FORMAT_CHANNEL_BITS);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, STANDIN_FORMAT_CHANNEL_BITS);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, STANDIN_FORMAT_DEPTH_BITS);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

HGDIOBJ SdlGetStockFont() { return &sdlGdi.stockFontToken; }

bool SdlIsDeviceContext(HDC dc) { return SdlFindDc(dc) != nullptr; }

HGDIOBJ SdlGetDeviceContextFont(HDC dc) {
  SdlDeviceContextRecord* record = SdlFindDc(dc);
  return record != nullptr ? record->font : nullptr;
}

void SdlSetDeviceContextFont(HDC dc, HGDIOBJ font) {
  SdlDeviceContextRecord* record = SdlFindDc(dc);
  if (record != nullptr) record->font = font;
}

void SdlForgetWindowDeviceContext(HWND window) {
  for (SdlDeviceContextRecord& record : sdlGdi.dcs) {
    if (record.used && record.window == window) record = {};
  }
}

extern "C" {

// The window's own device context (CS_OWNDC): the same handle every time while the window lives.
HDC WINAPI GetDC(HWND window) {
  if (SdlWindowFromHandle(window) == nullptr) return nullptr;
  for (SdlDeviceContextRecord& record : sdlGdi.dcs) {
    if (record.used && record.window == window) return reinterpret_cast<HDC>(&record);
  }
  for (SdlDeviceContextRecord& record : sdlGdi.dcs) {
    if (record.used) continue;
    record = {};
    record.used = true;
    record.window = window;
    record.font = &sdlGdi.stockFontToken;
    return reinterpret_cast<HDC>(&record);
  }
  return nullptr;
}

// An own device context stays with its window; releasing it only checks the pair (1, or 0 if wrong).
int WINAPI ReleaseDC(HWND window, HDC dc) {
  SdlDeviceContextRecord* record = SdlFindDc(dc);
  if (record == nullptr || record->window != window) return 0;
  return 1;
}

// Format 1 when the request can be met by the one format there is, else 0.
int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
  if (SdlFindDc(dc) == nullptr || request == nullptr) return 0;
  if (request->iPixelType != PFD_TYPE_RGBA) return 0;
  if ((request->dwFlags & STANDIN_FORMAT_REQUIRED_FLAGS) != STANDIN_FORMAT_REQUIRED_FLAGS) return 0;
  if (request->cColorBits > STANDIN_FORMAT_COLOUR_BITS || request->cDepthBits > STANDIN_FORMAT_DEPTH_BITS) {
    return 0;
  }
  if (request->cAlphaBits != 0 || request->cStencilBits != 0 || request->cAccumBits != 0) return 0;
  return STANDIN_PIXEL_FORMAT;
}

// Marks the window's format; a window's format can be set once only, as on Windows.
BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
  SdlDeviceContextRecord* record = SdlFindDc(dc);
  if (record == nullptr || format != STANDIN_PIXEL_FORMAT || record->pixelFormat != 0) return FALSE;
  record->pixelFormat = format;
  return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
  SdlDeviceContextRecord* record = SdlFindDc(dc);
  if (record == nullptr) return FALSE;
  SDL_Window* window = SdlWindowFromHandle(record->window);
  if (window == nullptr) return FALSE;
  SDL_GL_SwapWindow(window);
  return TRUE;
}

// A new GL context for a window with a format; the context current before stays current, as with wgl.
HGLRC WINAPI wglCreateContext(HDC dc) {
  SdlDeviceContextRecord* dcRecord = SdlFindDc(dc);
  if (dcRecord == nullptr || dcRecord->pixelFormat == 0) return nullptr;
  SDL_Window* window = SdlWindowFromHandle(dcRecord->window);
  if (window == nullptr) return nullptr;
  SdlContextRecord* record = nullptr;
  for (SdlContextRecord& candidate : sdlGdi.contexts) {
    if (!candidate.used) {
      record = &candidate;
      break;
    }
  }
  if (record == nullptr) return nullptr;
  SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
  // SDL makes the new context current; wgl does not.
  SDL_GLContext context = SDL_GL_CreateContext(window);
  SDL_GL_MakeCurrent(previousWindow, previousContext);
  if (context == nullptr) return nullptr;
  record->used = true;
  record->context = context;
  return reinterpret_cast<HGLRC>(record);
}

// (NULL, NULL) releases the current context; otherwise the context becomes current on the DC's window.
BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
  if (context == nullptr) {
    return SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr) == 0 ? TRUE : FALSE;
  }
  SdlContextRecord* record = SdlFindContext(context);
  SdlDeviceContextRecord* dcRecord = SdlFindDc(dc);
  if (record == nullptr || dcRecord == nullptr || dcRecord->pixelFormat == 0) return FALSE;
  SDL_Window* window = SdlWindowFromHandle(dcRecord->window);
  if (window == nullptr) return FALSE;
  return SDL_GL_MakeCurrent(window, record->context) == 0 ? TRUE : FALSE;
}

// Deletes a context (released first if it is current); FALSE for an unknown handle.
BOOL WINAPI wglDeleteContext(HGLRC context) {
  SdlContextRecord* record = SdlFindContext(context);
  if (record == nullptr) return FALSE;
  SDL_GL_DeleteContext(record->context);
  *record = {};
  return TRUE;
}

}  // extern "C"
