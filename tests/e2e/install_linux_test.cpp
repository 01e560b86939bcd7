// Whole installations on the Linux substitute, with real files, a real HTTPS mirror on
// loopback, real zip extraction and real processes: only the message boxes are answered by the
// test, and the setup folder is the sandbox's package instead of the test program's own folder.
// One runs in the real FLTK window (on xvfb_posix.cpp's Xvfb) with a slow mirror.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/form1.h"
#include "platform/host_platform.h"
#include "platform/posix/paths_posix.h"
#include "platform/posix/window_posix.h"
// After ours: x.H pulls in Xlib, whose macros would clash.
#include <FL/Fl.H>
#include <FL/Fl_Progress.H>
#include <FL/x.H>

namespace fs = std::filesystem;

namespace tk {
namespace {

class ScriptedPlatform : public host::HostPlatform {
 public:
  std::string setup;
  std::vector<std::string> prompts;
  using Platform::MsgBox;
  int MsgBox(const std::string& prompt, int buttons, const std::optional<std::string>&) override {
    prompts.push_back(prompt);
    return buttons == vbYesNoQuestionNo ? vbYes : vbOK;
  }
  std::string AppPath() override { return setup; }
};

std::string read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

bool waitFor(const std::function<bool()>& done) {
  for (int k = 0; k < 100; ++k) {
    if (done())
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

class LinuxInstallation : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tk-install-XXXXXX";
    root_ = mkdtemp(pattern);
    oldHome_ = getenv("HOME");
    home_ = root_ / "Ayşe Işık";
    setenv("HOME", home_.c_str(), 1);
    write(home_ / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Masaüstü\"\n");
    fs::create_directories(home_ / "Masaüstü");
    write(home_ / ".config/google-chrome/Last Version", "105.0.5195.102\n");
    fs::create_directories(home_ / ".tovrenkur/drive_c/Windows/SysWOW64");
    for (const char* present : {"msvbvm60.dll", "shell32.dll", "MSSTDFMT.DLL", "wmp.dll"}) {
      write(home_ / ".tovrenkur/drive_c/Windows/SysWOW64" / present, "sistem");
    }
    layOutPackage();
  }
  void TearDown() override {
    if (mirror_ > 0) {
      kill(mirror_, SIGTERM);
      waitpid(mirror_, nullptr, 0);
    }
    setenv("HOME", oldHome_.c_str(), 1);
    fs::remove_all(root_);
  }

  void layOutPackage() {
    setup_ = home_ / "İndirilenler/Tovren Kurulum (2)";
    for (const char* name : {"MSCOMCTL.OCX", "MSCOMCTL.DEP", "MSCOMCTL.SRG"}) {
      write(setup_ / "Tovren Bileşenleri" / name, std::string("paket ") + name);
    }
    write(setup_ / "Tovren.exe",
          "#!/bin/sh\necho \"$0|$#\" >>\"" + (root_ / "app.log").string() + "\"\n");
    fs::permissions(setup_ / "Tovren.exe", fs::perms::owner_all);
    write(setup_ / "DATA.xlsx", "çalışma kitabı");
    write(setup_ / "Tovren-Selvane/install.cmd",
          "echo betik >> \"" + (root_ / "script.log").string() + "\"\n");
  }

  // The mirror sends `rate` bytes a second (0: at once) of an archive `padding` bytes larger.
  void startMirror(int rate = 0, int padding = 0) {
    write(root_ / "mirror/105.0.5195.52/chromedriver_win32.zip", "");
    std::string support = TK_TEST_SUPPORT;
    std::string zip = (root_ / "mirror/105.0.5195.52/chromedriver_win32.zip").string();
    ASSERT_EQ(system(("python3 '" + support + "/driver_mirror.py' archive --out '" + zip +
                      "' --padding " + std::to_string(padding) +
                      " 'chromedriver.exe=sürücü' 'LICENSE.chromedriver=not'")
                         .c_str()),
              0);
    mirror_ = fork();
    if (mirror_ == 0) {
      std::string script = support + "/driver_mirror.py";
      std::string mirrorRoot = (root_ / "mirror").string();
      std::string log = (root_ / "mirror.log").string();
      std::string pid = (root_ / "mirror.pid").string();
      std::string host = TOVRENKUR_DRIVER_HOST;  // the build's mirror: localhost:<port>
      std::string port = host.substr(host.find(':') + 1);
      execlp("python3", "python3", script.c_str(), "serve", "--port", port.c_str(), "--root",
             mirrorRoot.c_str(), "--certs", TK_TEST_CERTS, "--log", log.c_str(), "--pid-file",
             pid.c_str(), "--seconds", "120", "--rate", std::to_string(rate).c_str(),
             static_cast<char*>(nullptr));
      _exit(127);
    }
    ASSERT_TRUE(waitFor([&] { return fs::exists(root_ / "mirror.pid"); }));
  }

  fs::path root_, home_, setup_;
  std::string oldHome_;
  pid_t mirror_ = -1;
};

TEST_F(LinuxInstallation, AWholeInstallationLeavesEverythingInPlace) {
  startMirror();
  ScriptedPlatform platform;
  platform.setup = host::windowsText(setup_);
  Form1 form(platform);
  form.Form_Load();
  EXPECT_EQ(form.Text13.Text(), "MSCOMCTL.OCX\r\nMSCOMCTL.DEP\r\nMSCOMCTL.SRG\r\n\r\n\r\n");
  // No browser or driver of this machine may be found by the browser check.
  std::string path = getenv("PATH");
  setenv("PATH", (root_ / "bin").c_str(), 1);
  form.Command1_Click();
  setenv("PATH", path.c_str(), 1);

  fs::path tree = home_ / "Masaüstü/Tovren";
  for (const char* folder : {"Firmalarım", "Data", "prgDosyaları", "Raporlar", "Yedek"}) {
    EXPECT_TRUE(fs::is_directory(tree / folder)) << folder;
  }
  EXPECT_EQ(read(setup_ / "Tovren-Selvane/chromedriver.exe"), "sürücü");
  EXPECT_EQ(read(setup_ / "Tovren-Selvane/LICENSE.chromedriver"), "not");
  EXPECT_EQ(read(root_ / "mirror.log"), "GET /105.0.5195.52/chromedriver_win32.zip 200\n");
  EXPECT_EQ(read(tree / "prgDosyaları/MSCOMCTL.OCX"), "paket MSCOMCTL.OCX");
  EXPECT_EQ(read(tree / "prgDosyaları/ChromeDriverVersiyon.txt"), "[105]\r\n");
  EXPECT_EQ(read(tree / "Tovren.exe"), read(setup_ / "Tovren.exe"));
  EXPECT_EQ(read(tree / "Data/DATA.xlsx"), "çalışma kitabı");
  EXPECT_EQ(read(home_ / ".tovrenkur/drive_c/Windows/SysWOW64/MSCOMCTL.SRG"), "paket MSCOMCTL.SRG");

  std::string shortcut = read(home_ / "Masaüstü/Tovren.lnk");
  EXPECT_NE(shortcut.find("Comment=Tovren\n"), std::string::npos) << shortcut;
  EXPECT_NE(shortcut.find((tree / "Tovren.exe").string()), std::string::npos) << shortcut;

  // Started, not waited for: the script, the registration, the application with no arguments.
  EXPECT_TRUE(waitFor([&] { return read(root_ / "script.log") == "betik\n"; }));
  EXPECT_TRUE(waitFor([&] { return !read(root_ / "app.log").empty(); }));
  EXPECT_EQ(read(root_ / "app.log"), (tree / "Tovren.exe").string() + "|0\n");
  fs::path registry = home_ / ".tovrenkur/drive_c/Windows/regsvr32-kayitlari.txt";
  EXPECT_TRUE(waitFor([&] { return !read(registry).empty(); }));
  EXPECT_NE(read(registry).find("MSCOMCTL.OCX"), std::string::npos);

  EXPECT_EQ(platform.prompts.back(), "Chrome bağlantısı test edildi.");
  EXPECT_TRUE(form.Command3.Visible());
  EXPECT_FALSE(form.Command1.Visible());
}

// A timer of the window's own, which fires only while the window is served: it reads the progress
// window, takes its picture, then clicks "Kurulumdan Çık" and presses Space through the X server.
struct Watch {
  Fl_Window& form;
  std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration longestGap{};
  int ticks = 0;
  std::vector<float> positions{};

  static void tick(void* self) {
    auto& watch = *static_cast<Watch*>(self);
    auto now = std::chrono::steady_clock::now();
    watch.longestGap = std::max(watch.longestGap, now - std::exchange(watch.last, now));
    ++watch.ticks;
    Fl_Window* shown = nullptr;
    for (Fl_Window* w = Fl::first_window(); w != nullptr; w = Fl::next_window(w))
      shown = w != &watch.form ? w : shown;
    if (shown != nullptr && std::string(shown->label()) == "TovrenKur")
      watch.positions.push_back(static_cast<Fl_Progress*>(shown->child(2))->value());
    if (watch.positions.size() == 3) {  // mapped and drawn by now
      char command[256];
      std::snprintf(command, sizeof command,
                    "/usr/bin/import -window root -crop %dx%d+%d+%d %s/linux-progress.png && "
                    "/usr/bin/xdotool mousemove --window %lu 250 308 click 1 key space &",
                    shown->w(), shown->h(), shown->x(), shown->y(), TK_SCREENSHOTS,
                    fl_xid(&watch.form));
      EXPECT_EQ(system(command), 0);
    }
    Fl::repeat_timeout(0.1, tick, self);
  }
};

TEST_F(LinuxInstallation, ASlowDownloadKeepsTheWindowAliveAndShowsItsProgress) {
  startMirror(12 * 1024, 64 * 1024);  // about five seconds
  ScriptedPlatform platform;
  platform.setup = host::windowsText(setup_);
  Form1 form(platform);
  host::PosixFormWindow window(form, 96);
  form.setView(&window);
  form.Form_Load();
  window.show();
  Watch watch{window.window()};
  Fl::add_timeout(0.1, Watch::tick, &watch);
  std::string path = getenv("PATH");
  setenv("PATH", (root_ / "bin").c_str(), 1);
  EXPECT_TRUE(window.runEvent([&] { form.Click(form.Command1); }));  // the click ended nothing
  setenv("PATH", path.c_str(), 1);
  Fl::remove_timeout(Watch::tick, &watch);
  form.setView(nullptr);

  EXPECT_GE(watch.ticks, 30);  // served all along the download
  EXPECT_LT(watch.longestGap, std::chrono::seconds(1));
  ASSERT_GE(watch.positions.size(), 3u);
  EXPECT_TRUE(std::is_sorted(watch.positions.begin(), watch.positions.end()));
  EXPECT_LT(watch.positions.front(), watch.positions.back());
  EXPECT_EQ(Fl::first_window(), &window.window());  // the progress window is gone
  EXPECT_EQ(read(root_ / "mirror.log"), "GET /105.0.5195.52/chromedriver_win32.zip 200\n");
  EXPECT_TRUE(
      waitFor([&] { return fs::exists(root_ / "app.log") && fs::exists(root_ / "script.log"); }));
}

}  // namespace
}  // namespace tk
