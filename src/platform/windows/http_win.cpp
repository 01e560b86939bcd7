// The HTTP request on WinINet, so the download takes the user's proxy settings as the browser
// does. wininet.dll is loaded at run time from the system folder: the program imports only
// KnownDLLs, so no copy planted beside the setup package is ever loaded. Its calls block for as
// long as the network takes: they run as a long work, off the thread that serves the window.
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/host_platform.h"
#include "platform/http.h"
#include "platform/progress.h"
#include "platform/text.h"
#include "platform/unique_resource.h"
#include "platform/windows/dynamic_win.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/win32.h"

#include <wininet.h>

namespace tk::host {
namespace {

// The WinINet functions the request uses, resolved once.
struct WinInet {
  decltype(&InternetOpenW) openSession;
  decltype(&InternetOpenUrlW) openUrl;
  decltype(&InternetCrackUrlW) crackUrl;
  decltype(&InternetCombineUrlW) combineUrl;
  decltype(&InternetSetOptionW) setOption;
  decltype(&InternetQueryOptionW) queryOption;
  decltype(&HttpQueryInfoW) queryInfo;
  decltype(&InternetReadFile) read;
  decltype(&InternetQueryDataAvailable) available;
  decltype(&InternetCloseHandle) close;
};

const WinInet* loadWinInet() {
  static const std::optional<WinInet> api = []() -> std::optional<WinInet> {
    HMODULE module = loadSystemLibrary(L"wininet.dll");
    WinInet functions{};
    if (module == nullptr || !resolve(module, "InternetOpenW", functions.openSession) ||
        !resolve(module, "InternetOpenUrlW", functions.openUrl) ||
        !resolve(module, "InternetCrackUrlW", functions.crackUrl) ||
        !resolve(module, "InternetCombineUrlW", functions.combineUrl) ||
        !resolve(module, "InternetSetOptionW", functions.setOption) ||
        !resolve(module, "InternetQueryOptionW", functions.queryOption) ||
        !resolve(module, "HttpQueryInfoW", functions.queryInfo) ||
        !resolve(module, "InternetReadFile", functions.read) ||
        !resolve(module, "InternetQueryDataAvailable", functions.available) ||
        !resolve(module, "InternetCloseHandle", functions.close)) {
      return std::nullopt;
    }
    return functions;  // the module stays loaded for the life of the program
  }();
  return api ? &*api : nullptr;
}

// WinINet's error codes onto the numbers both platforms report; any other code as its HRESULT
// (12175 among them: a body WinINet cannot decode). Every certificate or secure-channel failure
// counts alike: the codes differ between Windows versions and Wine for the same certificate.
constexpr CodeGroup<DWORD> kWinInetNumbers[] = {
    {err::kNetBadUrl, {ERROR_INTERNET_INVALID_URL, ERROR_INTERNET_UNRECOGNIZED_SCHEME}},
    {err::kNetNameNotResolved, {ERROR_INTERNET_NAME_NOT_RESOLVED}},
    {err::kNetCannotConnect, {ERROR_INTERNET_CANNOT_CONNECT}},
    {err::kNetTimeout, {ERROR_INTERNET_TIMEOUT}},
    {err::kNetConnectionReset,
     {ERROR_INTERNET_CONNECTION_ABORTED, ERROR_INTERNET_CONNECTION_RESET,
      ERROR_HTTP_INVALID_SERVER_RESPONSE}},
    {err::kNetSecurityFailure,
     {ERROR_INTERNET_SEC_CERT_DATE_INVALID, ERROR_INTERNET_SEC_CERT_CN_INVALID,
      ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED, ERROR_INTERNET_INVALID_CA,
      ERROR_INTERNET_SEC_CERT_ERRORS, ERROR_INTERNET_SEC_CERT_NO_REV,
      ERROR_INTERNET_SEC_CERT_REV_FAILED, ERROR_INTERNET_SECURITY_CHANNEL_ERROR,
      ERROR_INTERNET_SEC_INVALID_CERT, ERROR_INTERNET_SEC_CERT_REVOKED}},
    {err::kOutOfMemory, {ERROR_NOT_ENOUGH_MEMORY, ERROR_OUTOFMEMORY}},
};

int32_t numberForWinInet(DWORD code) {
  return lookup(kWinInetNumbers, code, hresultFromWin32(code));
}

// An open WinINet handle, closed through the loaded library (which exists whenever a handle
// does).
struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle handle) { return handle != nullptr; }
  static bool close(Handle handle) { return loadWinInet()->close(handle) != FALSE; }
};
using UniqueInternetHandle = UniqueResource<InternetHandleTraits>;

PlatformError lastNetError() {
  return makeError(numberForWinInet(GetLastError()));
}

bool isRedirect(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

class WinInetRequest : public http::Request {
 public:
  explicit WinInetRequest(const WinInet& api) : api_(api) {}
  void Open(const std::string& method, const std::string& url, bool async) override;
  void Send() override;
  int Status() override { return static_cast<int>(status_); }
  std::string Proxy() override;

 private:
  bool answered() override { return bool(response_); }
  uint64_t receive(const http::BodySink& sink, uint64_t limit) override;
  INTERNET_SCHEME scheme(const std::wstring& url);
  void openSession();
  void connect(INTERNET_SCHEME first);
  void request(const std::wstring& url);
  std::wstring redirectTarget(const std::wstring& from);
  std::optional<std::wstring> header(DWORD which);
  std::optional<unsigned long long> announcedLength();

  const WinInet& api_;
  std::wstring url_;
  UniqueInternetHandle session_;
  UniqueInternetHandle response_;
  DWORD status_ = 0;
  uint64_t received_ = 0;
};

void WinInetRequest::Open(const std::string& method, const std::string& url, bool async) {
  // Only what the installer does: a blocking GET.
  if (!equalsIgnoringCase(method, "GET") || async)
    throw makeError(err::kInvalidCall);
  url_ = toWide(url);
}

// The scheme of an absolute http or https address with a host; INTERNET_SCHEME_UNKNOWN else.
INTERNET_SCHEME WinInetRequest::scheme(const std::wstring& url) {
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = 1;  // non-zero: point into the text instead of copying
  parts.dwHostNameLength = 1;
  if (url.empty() || !api_.crackUrl(url.c_str(), 0, 0, &parts) || parts.dwHostNameLength == 0 ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
    return INTERNET_SCHEME_UNKNOWN;
  }
  return parts.nScheme;
}

void WinInetRequest::openSession() {
  session_.reset(api_.openSession(toWide(http::kUserAgent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                  nullptr, nullptr, 0));
  if (!session_)
    throw lastNetError();
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_SEND_TIMEOUT}) {
    DWORD milliseconds = http::kTimeoutSeconds * 1000;
    api_.setOption(session_.get(), option, &milliseconds, sizeof milliseconds);
  }
}

void WinInetRequest::request(const std::wstring& url) {
  // Certificate checks stay on: no INTERNET_FLAG_IGNORE_CERT_* flag, no security flags changed.
  DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI |
                INTERNET_FLAG_NO_AUTO_REDIRECT;
  response_.reset(api_.openUrl(session_.get(), url.c_str(), nullptr, 0, flags, 0));
  if (!response_)
    throw lastNetError();
  DWORD size = sizeof status_;
  if (!api_.queryInfo(response_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status_,
                      &size, nullptr)) {
    throw lastNetError();
  }
}

// Redirects are followed here, not by WinINet, which (under Wine) follows one from https down to
// plain http: from an https address only https ones are taken, as libcurl does on the substitute.
void WinInetRequest::Send() {
  INTERNET_SCHEME first = scheme(url_);
  if (first == INTERNET_SCHEME_UNKNOWN)
    throw makeError(err::kNetBadUrl);
  if (session_)
    throw makeError(err::kInvalidCall);
  work_.emplace(WorkKind::Download);
  try {
    work_->run([&] { connect(first); });
  } catch (...) {
    work_.reset();  // the progress window closes before the caller reports the failure
    throw;
  }
}

void WinInetRequest::connect(INTERNET_SCHEME first) {
  openSession();
  std::wstring url = url_;
  for (int redirects = 0;; ++redirects) {
    request(url);
    if (!isRedirect(status_)) {
      if (std::optional<unsigned long long> length = announcedLength())
        work_->setTotal(*length);
      return;
    }
    if (redirects == http::kMaxRedirects)
      throw makeError(http::kRedirectFailed);
    url = redirectTarget(url);
    INTERNET_SCHEME next = scheme(url);
    if (first == INTERNET_SCHEME_HTTPS && next != INTERNET_SCHEME_HTTPS)
      throw makeError(http::kRedirectToHttp);
    if (next == INTERNET_SCHEME_UNKNOWN)
      throw makeError(http::kRedirectFailed);
  }
}

// The Location of a redirect, resolved against the address that answered with it.
std::wstring WinInetRequest::redirectTarget(const std::wstring& from) {
  std::optional<std::wstring> location = header(HTTP_QUERY_LOCATION);
  if (!location)
    throw makeError(http::kRedirectFailed);
  std::wstring target(2048, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD length = static_cast<DWORD>(target.size());
    if (api_.combineUrl(from.c_str(), location->c_str(), target.data(), &length, ICU_NO_ENCODE)) {
      target.resize(length);
      return target;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
      break;
    target.resize(length + 1);
  }
  throw makeError(http::kRedirectFailed);
}

std::optional<std::wstring> WinInetRequest::header(DWORD which) {
  DWORD bytes = 0;
  api_.queryInfo(response_.get(), which, nullptr, &bytes, nullptr);
  if (bytes == 0)
    return std::nullopt;
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (!api_.queryInfo(response_.get(), which, text.data(), &bytes, nullptr))
    return std::nullopt;
  text.resize(bytes / sizeof(wchar_t));
  return text;
}

std::optional<unsigned long long> WinInetRequest::announcedLength() {
  std::optional<std::wstring> text = header(HTTP_QUERY_CONTENT_LENGTH);
  if (!text)
    return std::nullopt;  // no Content-Length: the end of the connection ends the body
  unsigned long long length = 0;
  for (const wchar_t* digit = text->c_str(); *digit >= L'0' && *digit <= L'9'; ++digit)
    length = std::min(length * 10 + static_cast<unsigned>(*digit - L'0'), ~0ull / 16);
  return length;
}

// The blocking calls run on the long work's worker thread.
uint64_t WinInetRequest::receive(const http::BodySink& sink, uint64_t limit) {
  std::optional<unsigned long long> announced = announcedLength();
  if (announced && *announced > limit)
    throw makeError(http::kBodyTooLarge);
  std::vector<char> buffer(http::kBufferSize);
  uint64_t& received = received_;
  for (;;) {
    // A blocking read waits until its whole buffer is full: asking first what has come lets the
    // progress follow the bytes as they arrive on a slow line. None left is the end of the body.
    DWORD ready = 0;
    if (!api_.available(response_.get(), &ready, 0, 0))
      throw lastNetError();
    if (ready == 0)
      break;
    DWORD got = 0;
    DWORD want = std::min(ready, static_cast<DWORD>(buffer.size()));
    if (!api_.read(response_.get(), buffer.data(), want, &got))
      throw lastNetError();
    if (got == 0)
      break;
    received += got;
    if (received > limit)
      throw makeError(http::kBodyTooLarge);  // no length announced: stopped as it arrives
    sink.write(buffer.data(), got);
    work_->advance(got);
  }
  // Under Wine a connection dropped mid-body ends the read without an error: compare sizes.
  if (announced && received != *announced)
    throw makeError(err::kNetConnectionReset);
  return received;
}

// The user's connection settings (the LAN's), as the request's session takes them: automatic
// detection, then a configuration script (PAC), then the proxy given. WinINet allocates the texts
// it gives; each is freed once read.
// The connection type is asked as Internet Explorer 8 and later keep it (FLAGS_UI), else as the
// older ones did.
std::string WinInetRequest::Proxy() {
  INTERNET_PER_CONN_OPTIONW options[4]{};
  options[0].dwOption = INTERNET_PER_CONN_FLAGS_UI;
  options[1].dwOption = INTERNET_PER_CONN_AUTOCONFIG_URL;
  options[2].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
  options[3].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
  auto query = [&](INTERNET_PER_CONN_OPTIONW* first, DWORD count) {
    INTERNET_PER_CONN_OPTION_LISTW list{sizeof list, nullptr, count, 0, first};
    DWORD size = sizeof list;  // no handle: the settings every session starts from
    return api_.queryOption(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, &size) != FALSE;
  };
  bool typeKnown =
      query(options, 1) || (options[0].dwOption = INTERNET_PER_CONN_FLAGS, query(options, 1));
  if (!typeKnown || !query(options + 1, 3))
    return "bilinmiyor (" + std::to_string(GetLastError()) + ")";
  std::string texts[4];
  for (int k = 1; k < 4; ++k) {
    if (options[k].Value.pszValue != nullptr) {
      texts[k] = toUtf8(options[k].Value.pszValue);
      GlobalFree(options[k].Value.pszValue);
    }
  }
  DWORD flags = options[0].Value.dwValue;
  std::string ways;
  auto add = [&](const std::string& way) { ways += (ways.empty() ? "" : "; yoksa ") + way; };
  if (flags & PROXY_TYPE_AUTO_DETECT)
    add("otomatik algılama (WPAD)");
  if ((flags & PROXY_TYPE_AUTO_PROXY_URL) && !texts[1].empty())
    add("otomatik yapılandırma betiği (PAC) " + http::withoutCredentials(texts[1]));
  if ((flags & PROXY_TYPE_PROXY) && !texts[2].empty())
    add(http::withoutCredentials(texts[2]) +
        (texts[3].empty() ? "" : " (istisnalar: " + texts[3] + ")"));
  return ways.empty() ? "yok (doğrudan bağlantı)" : ways;
}

}  // namespace

std::unique_ptr<XmlHttpRequest> HostPlatform::CreateXmlHttpRequest() {
  const WinInet* api = loadWinInet();
  if (api == nullptr)
    throw makeError(err::kCannotCreateObject);
  return std::make_unique<WinInetRequest>(*api);
}

}  // namespace tk::host
