// The HTTP request on WinINet, so the download takes the user's proxy settings as the browser
// does. wininet.dll is loaded at run time from the system folder: the program imports only
// KnownDLLs, so no copy planted beside the setup package is ever loaded.
#include <optional>
#include <vector>

#include "platform/host_platform.h"
#include "platform/http.h"
#include "platform/temp_file.h"
#include "platform/text.h"
#include "platform/unique_resource.h"
#include "platform/windows/dynamic_win.h"
#include "platform/windows/strings_win.h"
#include "platform/windows/win32.h"

#include <wininet.h>

namespace tk::host {
namespace {

constexpr DWORD kSecureFailure = 12175;  // what Windows reports for a self-signed certificate

// The WinINet functions the request uses, resolved once.
struct WinInet {
  decltype(&InternetOpenW) openSession;
  decltype(&InternetOpenUrlW) openUrl;
  decltype(&InternetCrackUrlW) crackUrl;
  decltype(&InternetSetOptionW) setOption;
  decltype(&HttpQueryInfoW) queryInfo;
  decltype(&InternetReadFile) read;
  decltype(&InternetCloseHandle) close;
};

const WinInet* loadWinInet() {
  static const std::optional<WinInet> api = []() -> std::optional<WinInet> {
    HMODULE module = loadSystemLibrary(L"wininet.dll");
    WinInet functions{};
    if (module == nullptr || !resolve(module, "InternetOpenW", functions.openSession) ||
        !resolve(module, "InternetOpenUrlW", functions.openUrl) ||
        !resolve(module, "InternetCrackUrlW", functions.crackUrl) ||
        !resolve(module, "InternetSetOptionW", functions.setOption) ||
        !resolve(module, "HttpQueryInfoW", functions.queryInfo) ||
        !resolve(module, "InternetReadFile", functions.read) ||
        !resolve(module, "InternetCloseHandle", functions.close)) {
      return std::nullopt;
    }
    return functions;  // the module stays loaded for the life of the program
  }();
  return api ? &*api : nullptr;
}

// WinINet's error codes onto the numbers both platforms report; any other code as its HRESULT.
// Every certificate or secure-channel failure counts alike: the codes differ between Windows
// versions and Wine for the same certificate.
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
      ERROR_INTERNET_SEC_INVALID_CERT, ERROR_INTERNET_SEC_CERT_REVOKED, kSecureFailure}},
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

class WinInetRequest : public XmlHttpRequest {
 public:
  explicit WinInetRequest(const WinInet& api) : api_(api) {}
  void Open(const std::string& method, const std::string& url, bool async) override;
  void Send() override;
  int Status() override { return static_cast<int>(status_); }
  void SaveResponseBody(const std::string& path) override;

 private:
  bool isHttpAddress();
  std::optional<unsigned long long> announcedLength();

  const WinInet& api_;
  std::wstring url_;
  UniqueInternetHandle session_;
  UniqueInternetHandle response_;
  DWORD status_ = 0;
};

void WinInetRequest::Open(const std::string& method, const std::string& url, bool async) {
  // Only what the installer does: a blocking GET.
  if (!equalsIgnoringCase(method, "GET") || async)
    throw makeError(err::kInvalidCall);
  url_ = toWide(url);
}

bool WinInetRequest::isHttpAddress() {
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = 1;  // non-zero: point into url_ instead of copying
  parts.dwHostNameLength = 1;
  if (url_.empty() || !api_.crackUrl(url_.c_str(), 0, 0, &parts))
    return false;
  return (parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS) &&
         parts.dwHostNameLength > 0;
}

void WinInetRequest::Send() {
  if (!isHttpAddress())
    throw makeError(err::kNetBadUrl);
  if (session_)
    throw makeError(err::kInvalidCall);
  session_.reset(api_.openSession(toWide(http::kUserAgent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                  nullptr, nullptr, 0));
  if (!session_)
    throw lastNetError();
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_SEND_TIMEOUT}) {
    DWORD milliseconds = http::kTimeoutSeconds * 1000;
    api_.setOption(session_.get(), option, &milliseconds, sizeof milliseconds);
  }
  // Certificate checks stay on: no INTERNET_FLAG_IGNORE_CERT_* flag, no security flags changed.
  DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI;
  response_.reset(api_.openUrl(session_.get(), url_.c_str(), nullptr, 0, flags, 0));
  if (!response_)
    throw lastNetError();
  DWORD size = sizeof status_;
  if (!api_.queryInfo(response_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status_,
                      &size, nullptr)) {
    throw lastNetError();
  }
}

std::optional<unsigned long long> WinInetRequest::announcedLength() {
  wchar_t text[32] = {};
  DWORD size = sizeof text;
  if (!api_.queryInfo(response_.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
    return std::nullopt;  // no Content-Length: the end of the connection ends the body
  unsigned long long length = 0;
  for (const wchar_t* digit = text; *digit >= L'0' && *digit <= L'9'; ++digit)
    length = length * 10 + static_cast<unsigned>(*digit - L'0');
  return length;
}

void WinInetRequest::SaveResponseBody(const std::string& path) {
  if (!response_ || status_ != 200)
    throw makeError(err::kInvalidCall);
  std::optional<unsigned long long> announced = announcedLength();
  TempFile file(path);
  std::vector<char> buffer(http::kBufferSize);
  unsigned long long received = 0;
  for (;;) {
    DWORD got = 0;
    if (!api_.read(response_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got))
      throw lastNetError();
    if (got == 0)
      break;
    file.write(buffer.data(), got);
    received += got;
  }
  // Under Wine a connection dropped mid-body ends the read without an error: compare sizes.
  if (announced && received != *announced)
    throw makeError(err::kNetConnectionReset);
  file.commit();
}

}  // namespace

std::unique_ptr<XmlHttpRequest> HostPlatform::CreateXmlHttpRequest() {
  const WinInet* api = loadWinInet();
  if (api == nullptr)
    throw makeError(err::kCannotCreateObject);
  return std::make_unique<WinInetRequest>(*api);
}

}  // namespace tk::host
