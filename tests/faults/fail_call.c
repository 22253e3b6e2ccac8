// Makes one call of the libraries the native viewer stands on fail on its Nth use, so that the
// real viewer meets the failure where the real library begins. Preloaded (LD_PRELOAD) with
// VIEWER_FAIL=NAME:N, e.g. SDL_CreateWindow:2; every other use goes to the library itself.
#define _GNU_SOURCE
#include <SDL.h>
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// Whether this use (counted from 1) of the named call is the one VIEWER_FAIL names.
static int Chosen(const char* name, int use) {
  const char* fail = getenv("VIEWER_FAIL");
  char wanted[64];
  snprintf(wanted, sizeof wanted, "%s:%d", name, use);
  return fail != NULL && strcmp(fail, wanted) == 0;
}

// NAME(PARAMS) returns FAILED when chosen, else what the library's own NAME(ARGS) returns.
#define FAIL_CALL(type, name, params, args, failed)                            \
  type name params {                                                          \
    static int uses;                                                          \
    if (Chosen(#name, ++uses)) return failed;                                 \
    return ((type(*) params)dlsym(RTLD_NEXT, #name))args;                     \
  }

FAIL_CALL(int, SDL_InitSubSystem, (Uint32 flags), (flags), -1)
FAIL_CALL(SDL_Window*, SDL_CreateWindow, (const char* title, int x, int y, int w, int h, Uint32 flags),
          (title, x, y, w, h, flags), NULL)
FAIL_CALL(SDL_GLContext, SDL_GL_CreateContext, (SDL_Window* window), (window), NULL)
FAIL_CALL(int, SDL_GL_MakeCurrent, (SDL_Window* window, SDL_GLContext context), (window, context), -1)
FAIL_CALL(FcPattern*, FcFontMatch, (FcConfig* config, FcPattern* pattern, FcResult* result),
          (config, pattern, result), NULL)
