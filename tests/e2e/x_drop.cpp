// Drops a file on a window as a file manager does, through the X drag-and-drop protocol (XDND):
// owns the XdndSelection, sends XdndEnter (version 5, as SDL and Wine take it), XdndPosition
// (the window's middle) and, once the window accepts, XdndDrop to the window (found by name by
// the caller); gives the file's text/uri-list when asked; and waits for XdndFinished. Each step
// has a deadline of its own: a window that takes no drops never answers. Exit 0 once the window
// has taken the drop; 1, saying what was awaited and what came, when a deadline passes or the
// window refuses; 2 without a display or a path.
// Usage: x-drop WINDOW_ID PATH
#include <X11/Xlib.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

constexpr long XDND_VERSION = 5;
constexpr int STEP_SECONDS = 30;

Display* display = nullptr;
Window source = None;
std::string uriList;
int eventsSeen = 0;

Atom AtomOf(const char* name) { return XInternAtom(display, name, False); }

// The file as a text/uri-list: file://, its absolute path with every byte but the unreserved
// ones and '/' percent-encoded, and a line end.
std::string UriListOf(const char* path) {
  char absolute[PATH_MAX];
  if (realpath(path, absolute) == nullptr) return "";
  std::string uri = "file://";
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(absolute); *c != 0; ++c) {
    char escaped[4];
    std::snprintf(escaped, sizeof escaped, std::isalnum(*c) || std::strchr("-._~/", *c) ? "%c" : "%%%02X", *c);
    uri += escaped;
  }
  return uri + "\r\n";
}

// Sends an XDND client message with these five values to the target.
void SendXdnd(Window target, const char* type, long l1, long l2, long l3, long l4) {
  XEvent event = {};
  event.xclient = {ClientMessage, 0, True, display, target, AtomOf(type), 32, {}};
  const long values[5] = {static_cast<long>(source), l1, l2, l3, l4};
  std::memcpy(event.xclient.data.l, values, sizeof values);
  XSendEvent(display, target, False, NoEventMask, &event);
  XFlush(display);
}

// Answers a request for the selection: the uri list for text/uri-list (the one type offered),
// a refusal for anything else.
void AnswerSelectionRequest(const XSelectionRequestEvent& request) {
  XEvent reply = {};
  reply.xselection = {SelectionNotify, 0, True, display, request.requestor, request.selection, request.target, None,
                      request.time};
  if (request.target == AtomOf("text/uri-list")) {
    reply.xselection.property = request.property != None ? request.property : request.target;
    XChangeProperty(display, request.requestor, reply.xselection.property, request.target, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(uriList.data()), static_cast<int>(uriList.size()));
  }
  XSendEvent(display, request.requestor, False, NoEventMask, &reply);
  XFlush(display);
}

// Answers selection requests until an XDND message of this type comes to the source, and
// returns its second value; exits, saying so, when none comes within STEP_SECONDS.
long AwaitXdnd(const char* type, const char* after) {
  const Atom wanted = AtomOf(type);
  const time_t end = time(nullptr) + STEP_SECONDS;
  while (time(nullptr) < end) {
    XEvent event;
    while (XPending(display) > 0) {
      XNextEvent(display, &event);
      ++eventsSeen;
      if (event.type == SelectionRequest) AnswerSelectionRequest(event.xselectionrequest);
      if (event.type == ClientMessage && event.xclient.message_type == wanted) return event.xclient.data.l[1];
    }
    const timespec pause = {0, 10000000};
    nanosleep(&pause, nullptr);
  }
  std::fprintf(stderr, "x-drop: no %s within %d s after %s (%d other events came)\n", type, STEP_SECONDS, after, eventsSeen);
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (display = XOpenDisplay(nullptr)) == nullptr) return 2;
  uriList = UriListOf(argv[2]);
  const Window root = DefaultRootWindow(display);
  const Window target = std::strtoul(argv[1], nullptr, 0);
  if (uriList.empty()) {
    std::fprintf(stderr, "x-drop: no such path\n");
    return 2;
  }
  source = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(display, AtomOf("XdndSelection"), source, CurrentTime);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, target, &attributes);
  int x = 0, y = 0;
  Window child = None;
  XTranslateCoordinates(display, target, root, attributes.width / 2, attributes.height / 2, &x, &y, &child);

  SendXdnd(target, "XdndEnter", XDND_VERSION << 24, static_cast<long>(AtomOf("text/uri-list")), None, None);
  SendXdnd(target, "XdndPosition", 0, (static_cast<long>(x) << 16) | y, CurrentTime, static_cast<long>(AtomOf("XdndActionCopy")));
  if ((AwaitXdnd("XdndStatus", "XdndPosition") & 1) == 0) {
    SendXdnd(target, "XdndLeave", 0, 0, 0, 0);
    std::fprintf(stderr, "x-drop: the window does not accept the file at (%d, %d)\n", x, y);
    return 1;
  }
  SendXdnd(target, "XdndDrop", 0, CurrentTime, 0, 0);
  if ((AwaitXdnd("XdndFinished", "XdndDrop") & 1) == 0) {
    std::fprintf(stderr, "x-drop: the window finished without taking the drop\n");
    return 1;
  }
  return 0;
}
