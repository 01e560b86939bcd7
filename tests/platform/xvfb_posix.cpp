// A private X server for the window tests: each test process starts its own Xvfb at 96 DPI on a
// display number that Xvfb picks itself (-displayfd), so parallel tests never collide.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

class XvfbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_ = fork();
    ASSERT_GE(pid_, 0);
    if (pid_ == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      freopen("/dev/null", "w", stderr);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-dpi", "96",
             "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    const std::string number = readDisplayNumber(fds[0]);
    close(fds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start within 20 s";
    setenv("DISPLAY", (":" + number).c_str(), 1);
  }

  void TearDown() override {
    if (pid_ <= 0)
      return;
    kill(pid_, SIGTERM);
    for (int k = 0; k < 50 && waitpid(pid_, nullptr, WNOHANG) == 0; ++k)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (waitpid(pid_, nullptr, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

 private:
  // Xvfb writes the display number and a newline once it accepts connections.
  static std::string readDisplayNumber(int fd) {
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd ready{fd, POLLIN, 0};
      if (poll(&ready, 1, 200) <= 0)
        continue;
      char c;
      if (read(fd, &c, 1) != 1)
        return "";
      if (c == '\n')
        return number;
      number += c;
    }
    return "";
  }

  pid_t pid_ = -1;
};

[[maybe_unused]] ::testing::Environment* const kXvfb =
    ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

}  // namespace
