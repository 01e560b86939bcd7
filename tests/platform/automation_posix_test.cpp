// The substitute's browser-automation component: unavailable (as an unregistered class) without a
// driver and a browser; with them, dispatch 12 starts a session for Chrome and 32 opens the page.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "number_raised.h"
#include "platform/host_platform.h"

namespace fs = std::filesystem;

namespace tk {
namespace {

const std::string kDriverClass = "{0277FC34-FD1B-4616-BB19-5D556733E8C9}";
const std::string kInterface = "{0277FC34-FD1B-4616-BB19-CC6284398AA5}";

class AutomationSubstitute : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tk-automation-XXXXXX";
    bin_ = mkdtemp(pattern);
    oldPath_ = getenv("PATH");
    setenv("PATH", bin_.c_str(), 1);
  }
  void TearDown() override {
    for (const std::string& line : logLines()) {
      if (line.rfind("{\"pid\": ", 0) == 0)
        kill(std::stoi(line.substr(8)), SIGTERM);
    }
    setenv("PATH", oldPath_.c_str(), 1);
    unsetenv("FAKE_DRIVER_LOG");
    fs::remove_all(bin_);
  }
  void install(const std::string& name, const std::string& script) {
    std::ofstream(bin_ / name) << script;
    fs::permissions(bin_ / name, fs::perms::owner_all);
  }
  std::vector<std::string> logLines() {
    std::ifstream log(bin_ / "driver.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
      lines.push_back(line);
    return lines;
  }

  fs::path bin_;
  std::string oldPath_;
  host::HostPlatform platform_;
};

TEST_F(AutomationSubstitute, WithoutDriverOrBrowserTheClassIsNotRegistered) {
  for (bool withDriver : {false, true}) {
    if (withDriver)
      install("chromedriver", "#!/bin/sh\n");
    EXPECT_EQ(test::numberRaised([&] { platform_.CreateDispatchObject(kDriverClass, kInterface); }),
              err::kClassNotRegistered)
        << "without " << (withDriver ? "a browser" : "a driver");
  }
}

TEST_F(AutomationSubstitute, StartsASessionForChromeAndOpensThePage) {
  std::ifstream source(fs::path(TK_TEST_SUPPORT) / "fake_chromedriver.py");
  std::stringstream driver;
  driver << source.rdbuf();
  install("chromedriver", driver.str());
  install("chromium", "#!/bin/sh\n");
  setenv("FAKE_DRIVER_LOG", (bin_ / "driver.log").c_str(), 1);
  setenv("PATH", (bin_.string() + ":/usr/bin:/bin").c_str(), 1);

  auto object = platform_.CreateDispatchObject(kDriverClass, kInterface);
  object->Invoke(12, {"Chrome"});
  object->Invoke(32, {"https://www.google.com/"});

  std::vector<std::string> lines = logLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[1].find("\"path\": \"/session\""), std::string::npos);
  EXPECT_NE(lines[1].find((bin_ / "chromium").string()), std::string::npos);
  EXPECT_NE(lines[2].find("/session/oturum-1/url"), std::string::npos);
  EXPECT_NE(lines[2].find("https://www.google.com/"), std::string::npos);
}

TEST_F(AutomationSubstitute, OpeningAPageWithoutASessionFails) {
  install("chromedriver", "#!/bin/sh\n");
  install("chromium", "#!/bin/sh\n");
  auto object = platform_.CreateDispatchObject(kDriverClass, kInterface);
  EXPECT_THROW(object->Invoke(32, {"https://www.google.com/"}), PlatformError);
  EXPECT_THROW(object->Invoke(99, {}), PlatformError);
}

}  // namespace
}  // namespace tk
