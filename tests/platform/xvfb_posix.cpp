// A private X server for the window tests: each test process starts its own Xvfb at 96 DPI,
// choosing its display number as scripts/xvfb.sh does (from 200 + PID % 500 on, skipping numbers
// in use, each claimed with flock on /tmp/.tovrenkur-xN.lock), so parallel tests never share one.
#include "platform/x_session_posix.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
// Last: Xlib's macros (None, Status) would clash with the headers above.
#include <FL/x.H>

namespace {

class XvfbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const int first = 200 + getpid() % 500;
    for (int number = first; number < first + 40; ++number) {
      const std::string n = std::to_string(number);
      if (std::filesystem::exists("/tmp/.X11-unix/X" + n) ||
          std::filesystem::exists("/tmp/.X" + n + "-lock") || !claim(n))
        continue;
      if (start(n)) {
        setenv("DISPLAY", (":" + n).c_str(), 1);
        return;
      }
      release();
    }
    FAIL() << "no Xvfb could be started";
  }

  void TearDown() override {
    stop();
    release();
  }

 private:
  bool claim(const std::string& n) {
    lock_ = open(("/tmp/.tovrenkur-x" + n + ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0666);
    if (lock_ >= 0 && flock(lock_, LOCK_EX | LOCK_NB) == 0)
      return true;
    release();
    return false;
  }

  void release() {
    if (lock_ >= 0)
      close(lock_);
    lock_ = -1;
  }

  // Starts Xvfb on display `n`; false when it ended or did not get ready within 20 s.
  bool start(const std::string& n) {
    int fds[2];
    if (pipe(fds) != 0)
      return false;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      if (freopen("/dev/null", "w", stderr) == nullptr)
        _exit(127);
      execlp("Xvfb", "Xvfb", (":" + n).c_str(), "-displayfd", fd.c_str(), "-screen", "0",
             "1024x768x24", "-dpi", "96", "-nolisten", "tcp", "-noreset",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    const bool ready = pid_ > 0 && waitReady(fds[0]);
    close(fds[0]);
    if (!ready)
      stop();
    return ready;
  }

  // Xvfb writes the display number and a newline once it accepts connections; the pipe closes
  // without them when it ends.
  static bool waitReady(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd ready{fd, POLLIN, 0};
      if (poll(&ready, 1, 200) <= 0)
        continue;
      char c;
      if (read(fd, &c, 1) != 1)
        return false;
      if (c == '\n')
        return true;
    }
    return false;
  }

  void stop() {
    if (pid_ <= 0)
      return;
    kill(pid_, SIGTERM);
    for (int k = 0; k < 50 && waitpid(pid_, nullptr, WNOHANG) == 0; ++k)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (waitpid(pid_, nullptr, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
  }

  pid_t pid_ = -1;
  int lock_ = -1;
};

[[maybe_unused]] ::testing::Environment* const kXvfb =
    ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

}  // namespace

namespace tk::host {

void pressKey(Fl_Window& window, int key, int state) {
  static char space[] = " ", none[] = "";
  Fl::e_keysym = key;
  Fl::e_state = state;
  Fl::e_text = key == ' ' ? space : none;
  Fl::e_length = key == ' ' ? 1 : 0;
  Fl::handle(FL_KEYBOARD, &window);
}

void queueKey(Fl_Window& window, int key) {
  XKeyEvent event{};
  event.display = fl_display;
  event.window = fl_xid(&window);
  event.root = RootWindow(fl_display, fl_screen);
  event.same_screen = True;
  event.keycode = XKeysymToKeycode(fl_display, static_cast<KeySym>(key));
  for (int type : {KeyPress, KeyRelease}) {
    event.type = type;
    XSendEvent(fl_display, event.window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask,
               reinterpret_cast<XEvent*>(&event));
  }
  XSync(fl_display, False);
}

}  // namespace tk::host
