// The substitute for the browser-automation component: available when a chromedriver and a Chrome
// or Chromium are installed. Dispatch id 12 starts a WebDriver session for that browser, 32 opens
// a page in it; the session is left open, as the component leaves its browser open.
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/automation.h"
#include "platform/host_platform.h"
#include "platform/posix/handles_posix.h"

namespace fs = std::filesystem;

namespace tk::host {
namespace {

constexpr int32_t kDispatchUnknownName = -2147352570;  // DISP_E_UNKNOWNNAME
constexpr int32_t kDispatchException = -2147352567;    // DISP_E_EXCEPTION

std::string findProgram(std::initializer_list<const char*> names) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  for (const char* name : names) {
    std::size_t start = 0;
    while (start <= folders.size()) {
      std::size_t end = folders.find(':', start);
      if (end == std::string::npos)
        end = folders.size();
      fs::path candidate = fs::path(folders.substr(start, end - start)) / name;
      if (access(candidate.c_str(), X_OK) == 0)
        return candidate.string();
      start = end + 1;
    }
  }
  return "";
}

int freeLoopbackPort() {
  UniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd && bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd.get(), reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    return ntohs(address.sin_port);
  }
  return 0;
}

// Starts a program detached from the installer (a grandchild that nobody has to wait for).
void startDetached(const std::string& program, const std::string& argument) {
  pid_t child = fork();
  if (child == 0) {
    setsid();
    if (fork() == 0) {
      execl(program.c_str(), program.c_str(), argument.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    _exit(0);
  }
  if (child > 0)
    waitpid(child, nullptr, 0);
}

size_t collect(char* data, size_t size, size_t count, void* out) {
  static_cast<std::string*>(out)->append(data, size * count);
  return size * count;
}

// One request to the local driver; returns the status (0 when it did not answer) and the body.
long request(const std::string& url, const std::string* postBody, std::string& response) {
  UniqueCurl owner(curl_easy_init());
  CURL* curl = owner.get();
  if (curl == nullptr)
    return 0;
  UniqueCurlList headers(curl_slist_append(nullptr, "Content-Type: application/json"));
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 60L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &response);
  if (postBody != nullptr) {
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, postBody->c_str());
  }
  long status = 0;
  if (curl_easy_perform(curl) == CURLE_OK)
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

std::string jsonText(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\')
      out += '\\';
    if (static_cast<unsigned char>(c) >= 0x20)
      out += c;
  }
  return out + "\"";
}

class WebDriverObject : public DispatchObject {
 public:
  WebDriverObject(std::string driver, std::string browser)
      : driver_(std::move(driver)), browser_(std::move(browser)) {}

  void Invoke(int32_t dispatchId, const std::vector<std::string>& args) override {
    if (dispatchId == kDispatchStartBrowser && args.size() == 1)
      return startSession();
    if (dispatchId == kDispatchOpenPage && args.size() == 1)
      return openPage(args[0]);
    throw PlatformError(kDispatchUnknownName, "Bilinmeyen üye");
  }

 private:
  void startSession() {
    int port = freeLoopbackPort();
    startDetached(driver_, "--port=" + std::to_string(port));
    base_ = "http://127.0.0.1:" + std::to_string(port);
    std::string body;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (request(base_ + "/status", nullptr, body) != 200) {
      if (std::chrono::steady_clock::now() > deadline)
        throw failure();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::string capabilities =
        "{\"capabilities\":{\"alwaysMatch\":{\"browserName\":\"chrome\",\"goog:chromeOptions\":"
        "{\"binary\":" +
        jsonText(browser_) + "}}}}";
    body.clear();
    if (request(base_ + "/session", &capabilities, body) != 200)
      throw failure();
    std::size_t key = body.find("\"sessionId\"");
    std::size_t open = body.find('"', body.find(':', key) + 1);
    std::size_t close = body.find('"', open + 1);
    if (key == std::string::npos || open == std::string::npos || close == std::string::npos) {
      throw failure();
    }
    session_ = body.substr(open + 1, close - open - 1);
  }

  void openPage(const std::string& address) {
    if (session_.empty())
      throw failure();
    std::string payload = "{\"url\":" + jsonText(address) + "}";
    std::string body;
    if (request(base_ + "/session/" + session_ + "/url", &payload, body) != 200)
      throw failure();
  }

  static PlatformError failure() {
    return PlatformError(kDispatchException, "Tarayıcı otomasyonu yanıt vermedi");
  }

  std::string driver_, browser_, base_, session_;
};

}  // namespace

std::unique_ptr<DispatchObject> HostPlatform::CreateDispatchObject(const std::string& classId,
                                                                   const std::string&) {
  std::string driver = findProgram({"chromedriver"});
  std::string browser =
      findProgram({"google-chrome", "google-chrome-stable", "chromium", "chromium-browser"});
  bool known = classId == kDriverClassId || classId == kFallbackDriverClassId;
  if (!known || driver.empty() || browser.empty())
    throw makeError(err::kClassNotRegistered);
  return std::make_unique<WebDriverObject>(driver, browser);
}

}  // namespace tk::host
