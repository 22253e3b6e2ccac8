// x-windows-of PID: how many X windows the clients of process PID hold on DISPLAY, every
// connection of the process counted (the X-Resource extension tells each client's process). The
// process's end frees what it holds.
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  Display* display = argc == 2 ? XOpenDisplay(nullptr) : nullptr;
  if (display == nullptr) {
    std::fprintf(stderr, "usage: x-windows-of PID (on the display DISPLAY names)\n");
    return 2;
  }
  const pid_t pid = static_cast<pid_t>(std::atol(argv[1]));
  XResClientIdSpec every = {None, XRES_CLIENT_ID_PID_MASK};
  long clients = 0;
  XResClientIdValue* ids = nullptr;
  if (XResQueryClientIds(display, 1, &every, &clients, &ids) != Success) return 2;
  const Atom window = XInternAtom(display, "WINDOW", False);
  int windows = 0;
  for (long i = 0; i < clients; ++i) {
    int types = 0;
    XResType* held = nullptr;
    // This call's status is Xlib's (non-zero for success), the one above X's (Success, 0).
    const auto& [client, length, value] = ids[i];  // the client's id, and its process's as a value
    if (XResGetClientPid(&ids[i]) == pid && XResQueryClientResources(display, client.client, &types, &held)) {
      for (int t = 0; t < types; ++t) windows += held[t].resource_type == window ? held[t].count : 0;
    }
  }
  std::printf("%d\n", windows);
  return 0;
}
