// The installer's one run in the user's session on the substitute: a lock file in a folder only
// the user can write, held with flock (the system drops it when the process ends, however it ends),
// and a second start raising the running one's windows on the same display.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/host_platform.h"
#include "platform/posix/handles_posix.h"

// Last: Xlib's macros (Status, None, Success) would rename the project's own names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tk::host {
namespace {

// A folder that only the user can write: $XDG_RUNTIME_DIR, else a folder of the program's own
// under the temporary folder (made 0700), each checked to be the user's own, writable by no one
// else and no link; an invalid descriptor when there is none such.
UniqueFd privateFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder;
  if (runtime != nullptr && *runtime == '/') {
    folder = runtime;
  } else {
    const char* tmp = std::getenv("TMPDIR");
    folder = std::string(tmp != nullptr && *tmp == '/' ? tmp : "/tmp") + "/tovrenkur-" +
             std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);  // one that exists already is checked below as any
  }
  UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat facts {};
  if (!fd || ::fstat(fd.get(), &facts) != 0 || facts.st_uid != ::getuid() ||
      (facts.st_mode & 022) != 0)
    return UniqueFd();
  return fd;
}

// The session is the user and the display: a run on another display (a test's own Xvfb) is one
// that this one could not bring to the front anyway. The file is never reached through a link.
UniqueFd openLock(int flags) {
  UniqueFd folder = privateFolder();
  if (!folder)
    return UniqueFd();
  std::string display = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
  for (char& c : display)
    c = c == '/' ? '_' : c;
  std::string name = "tovrenkur-" + std::to_string(::getuid()) + "-" + display + ".lock";
  return UniqueFd(::openat(folder.get(), name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0600));
}

// The process that holds the lock, as it wrote itself into the file; 0 when unknown.
pid_t lockHolder() {
  UniqueFd file = openLock(O_RDONLY);
  char text[24]{};
  if (!file || ::read(file.get(), text, sizeof text - 1) <= 0)
    return 0;
  return static_cast<pid_t>(std::atol(text));
}

// The process id that a window's _NET_WM_PID names, or 0.
pid_t windowProcess(Display* display, Window window, Atom pidAtom) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  pid_t pid = 0;
  if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                         &after, &data) == Success &&
      data != nullptr && format == 32 && count == 1) {
    pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
  }
  if (data != nullptr)
    XFree(data);
  return pid;
}

}  // namespace

bool HostPlatform::ClaimOnlyInstance() {
  auto lock = std::make_shared<UniqueFd>(openLock(O_RDWR | O_CREAT));
  if (!*lock)
    return true;  // no folder to lock in stops no one from installing
  if (::flock(lock->get(), LOCK_EX | LOCK_NB) != 0)
    return errno != EWOULDBLOCK;
  std::string pid = std::to_string(::getpid()) + "\n";
  bool written =
      ::ftruncate(lock->get(), 0) == 0 &&
      ::pwrite(lock->get(), pid.data(), pid.size(), 0) == static_cast<ssize_t>(pid.size());
  (void)written;  // the claim holds without it; only a second start's raising reads it
  instance_ = std::move(lock);
  return true;
}

// The windows that the running process shows at the top level (FLTK names its process in each):
// the form first, then what it shows over it (a box, the progress window); the last one raised
// takes the focus.
void HostPlatform::ActivateOtherInstance() {
  pid_t holder = lockHolder();
  std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
  if (holder <= 0 || !display)
    return;
  Atom pidAtom = XInternAtom(display.get(), "_NET_WM_PID", False);
  Window root = 0, parent = 0, *children = nullptr, last = 0;
  unsigned int count = 0;
  if (!XQueryTree(display.get(), DefaultRootWindow(display.get()), &root, &parent, &children,
                  &count))
    return;
  for (bool overForm : {false, true}) {
    for (unsigned int k = 0; k < count; ++k) {
      XWindowAttributes attributes{};
      Window owner = 0;
      if (windowProcess(display.get(), children[k], pidAtom) == holder &&
          XGetWindowAttributes(display.get(), children[k], &attributes) &&
          attributes.map_state == IsViewable &&
          (XGetTransientForHint(display.get(), children[k], &owner) != 0) == overForm) {
        XRaiseWindow(display.get(), children[k]);
        last = children[k];
      }
    }
  }
  if (children != nullptr)
    XFree(children);
  if (last != 0)
    XSetInputFocus(display.get(), last, RevertToParent, CurrentTime);
  XSync(display.get(), False);
}

}  // namespace tk::host
