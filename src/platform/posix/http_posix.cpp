// The substitute's HTTP request on libcurl: one GET, driven through the multi interface only until
// the final status is known, then streamed into a temporary file beside the destination that
// replaces it only after a complete transfer of an archive the zip reader accepts. While it waits
// for the network it serves the window, as a long work.
#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <initializer_list>
#include <optional>

#include "platform/host_platform.h"
#include "platform/http.h"
#include "platform/posix/handles_posix.h"
#include "platform/posix/paths_posix.h"
#include "platform/progress.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tk::host {
namespace {

using http::kInternalError;
using http::kRedirectFailed;
using http::kRedirectToHttp;

// curl's results as the numbers WinINet gives for the same failures. An unsupported protocol
// can only come from a redirect: the address itself was checked.
constexpr CodeGroup<CURLcode> kCurlNumbers[] = {
    {err::kNetBadUrl, {CURLE_URL_MALFORMAT}},
    {err::kNetNameNotResolved, {CURLE_COULDNT_RESOLVE_HOST, CURLE_COULDNT_RESOLVE_PROXY}},
    {err::kNetCannotConnect, {CURLE_COULDNT_CONNECT}},
    {err::kNetTimeout, {CURLE_OPERATION_TIMEDOUT}},
    {err::kNetSecurityFailure,
     {CURLE_SSL_CONNECT_ERROR, CURLE_PEER_FAILED_VERIFICATION, CURLE_SSL_CERTPROBLEM,
      CURLE_SSL_CIPHER, CURLE_SSL_CACERT_BADFILE, CURLE_SSL_CRL_BADFILE, CURLE_SSL_ISSUER_ERROR,
      CURLE_SSL_PINNEDPUBKEYNOTMATCH, CURLE_SSL_INVALIDCERTSTATUS}},
    {err::kNetConnectionReset,
     {CURLE_PARTIAL_FILE, CURLE_RECV_ERROR, CURLE_SEND_ERROR, CURLE_GOT_NOTHING, CURLE_HTTP2,
      CURLE_HTTP2_STREAM, CURLE_WEIRD_SERVER_REPLY}},
    {kRedirectFailed, {CURLE_TOO_MANY_REDIRECTS, CURLE_UNSUPPORTED_PROTOCOL}},
    {http::kDecodingFailed, {CURLE_BAD_CONTENT_ENCODING}},
    {err::kOutOfMemory, {CURLE_OUT_OF_MEMORY}},
};

// From an https address only https redirects are followed (see configure), so there a refused
// protocol is a redirect down to plain http, with WinINet's number for it.
int32_t numberForCurl(CURLcode code, bool secure) {
  if (code == CURLE_UNSUPPORTED_PROTOCOL && secure)
    return kRedirectToHttp;
  return lookup(kCurlNumbers, code, kInternalError);
}

// The scheme ("http" or "https") of an absolute address with a host; "" for anything else.
std::string httpScheme(const std::string& url) {
  UniqueCurlUrl parsed(curl_url());
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
    return "";
  auto part = [&](CURLUPart which) {
    char* text = nullptr;
    UniqueCurlText owned(curl_url_get(parsed.get(), which, &text, 0) == CURLUE_OK ? text : nullptr);
    return std::string(owned ? owned.get() : "");
  };
  std::string scheme = part(CURLUPART_SCHEME);
  if (part(CURLUPART_HOST).empty())
    return "";
  return scheme == "http" || scheme == "https" ? scheme : "";
}

void initialiseCurlOnce() {
  static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
  if (initialised != CURLE_OK)
    throw makeError(err::kCannotCreateObject);
}

class CurlRequest : public http::Request {
 public:
  CurlRequest();
  ~CurlRequest() override;
  void Open(const std::string& method, const std::string& url, bool async) override;
  void Send() override;
  int Status() override { return static_cast<int>(status_); }
  std::string Proxy() override;

 private:
  bool answered() override { return sent_; }
  std::string hostFile(const std::string& path) override { return hostPath(path).string(); }
  uint64_t receive(const http::BodySink& sink, uint64_t limit) override;
  static size_t onBody(char* data, size_t size, size_t count, void* self);
  void configure(const std::string& scheme);
  void drive(bool untilBody);
  void collectResult();
  curl_off_t announcedLength();

  UniqueCurl easy_;
  UniqueCurlMulti multi_;
  std::string url_;
  bool sent_ = false;
  bool bodyArrived_ = false;  // the first body bytes are held by curl (paused)
  bool done_ = false;
  CURLcode result_ = CURLE_OK;
  long status_ = 0;
  bool secure_ = false;  // an https address
  const http::BodySink* sink_ = nullptr;
  uint64_t limit_ = http::kMaxBodySize;
  curl_off_t written_ = 0;
  std::exception_ptr writeFailure_;  // the sink's failure, rethrown once curl has stopped
};

CurlRequest::CurlRequest() {
  initialiseCurlOnce();
  easy_.reset(curl_easy_init());
  multi_.reset(curl_multi_init());
  if (!easy_ || !multi_)
    throw makeError(err::kCannotCreateObject);
}

CurlRequest::~CurlRequest() {
  if (sent_)
    curl_multi_remove_handle(multi_.get(), easy_.get());
}

void CurlRequest::Open(const std::string& method, const std::string& url, bool async) {
  // Only what the installer does: a blocking GET.
  if (!equalsIgnoringCase(method, "GET") || async)
    throw makeError(err::kInvalidCall);
  url_ = url;
}

void CurlRequest::configure(const std::string& scheme) {
  secure_ = scheme == "https";
  curl_easy_setopt(easy_.get(), CURLOPT_URL, url_.c_str());
  curl_easy_setopt(easy_.get(), CURLOPT_PROTOCOLS_STR, "http,https");
  // Never follow an https address down to plain http: that would drop the certificate check.
  curl_easy_setopt(easy_.get(), CURLOPT_REDIR_PROTOCOLS_STR, secure_ ? "https" : "http,https");
  curl_easy_setopt(easy_.get(), CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy_.get(), CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(easy_.get(), CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy_.get(), CURLOPT_MAXREDIRS, static_cast<long>(http::kMaxRedirects));
  curl_easy_setopt(easy_.get(), CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy_.get(), CURLOPT_USERAGENT, http::kUserAgent);
  curl_easy_setopt(easy_.get(), CURLOPT_BUFFERSIZE, static_cast<long>(http::kBufferSize));
  curl_easy_setopt(easy_.get(), CURLOPT_CONNECTTIMEOUT, static_cast<long>(http::kTimeoutSeconds));
  curl_easy_setopt(easy_.get(), CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy_.get(), CURLOPT_LOW_SPEED_TIME, static_cast<long>(http::kTimeoutSeconds));
  curl_easy_setopt(easy_.get(), CURLOPT_WRITEFUNCTION, &CurlRequest::onBody);
  curl_easy_setopt(easy_.get(), CURLOPT_WRITEDATA, this);
#ifdef TOVRENKUR_EXTRA_CA_FILE
  // Debian's libcurl ignores SSL_CERT_FILE. The extra CA joins the system's CA folder, which
  // still holds every system CA; a missing file must not break the system's trust.
  std::error_code unreadable;
  if (fs::is_regular_file(TOVRENKUR_EXTRA_CA_FILE, unreadable)) {
    char* systemFolder = nullptr;
    curl_easy_getinfo(easy_.get(), CURLINFO_CAPATH, &systemFolder);
    curl_easy_setopt(easy_.get(), CURLOPT_CAINFO, TOVRENKUR_EXTRA_CA_FILE);
    curl_easy_setopt(easy_.get(), CURLOPT_CAPATH,
                     systemFolder != nullptr ? systemFolder : "/etc/ssl/certs");
  }
#endif
}

size_t CurlRequest::onBody(char* data, size_t, size_t count, void* self) {
  auto* request = static_cast<CurlRequest*>(self);
  if (request->sink_ == nullptr) {
    // The status is known now: hold these bytes in curl until SaveResponseBody asks for them.
    request->bodyArrived_ = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  try {
    if (static_cast<uint64_t>(request->written_) + count > request->limit_)
      throw makeError(http::kBodyTooLarge);  // no length announced: stopped as it arrives
    request->sink_->write(data, count);
  } catch (const PlatformError&) {
    request->writeFailure_ = std::current_exception();
    return 0;  // fails the transfer: fewer bytes taken than offered
  }
  request->written_ += static_cast<curl_off_t>(count);
  request->work_->advance(count);
  return count;
}

void CurlRequest::collectResult() {
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_.get(), &left)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == easy_.get()) {
      done_ = true;
      result_ = message->data.result;
    }
  }
}

void CurlRequest::drive(bool untilBody) {
  while (!done_ && !(untilBody && bodyArrived_)) {
    int running = 0;
    if (curl_multi_perform(multi_.get(), &running) != CURLM_OK)
      throw makeError(kInternalError);
    collectResult();
    if (done_ || (untilBody && bodyArrived_))
      break;
    // curl's own connect and stall time-outs bound the whole loop; the window is served
    // meanwhile, however slowly the bytes come.
    if (curl_multi_poll(multi_.get(), nullptr, 0, static_cast<int>(kServeInterval.count()),
                        nullptr) != CURLM_OK)
      throw makeError(kInternalError);
    work_->advance(0);
  }
}

void CurlRequest::Send() {
  std::string scheme = httpScheme(url_);
  if (scheme.empty())
    throw makeError(err::kNetBadUrl);
  if (sent_)
    throw makeError(err::kInvalidCall);
  configure(scheme);
  if (curl_multi_add_handle(multi_.get(), easy_.get()) != CURLM_OK)
    throw makeError(kInternalError);
  sent_ = true;
  work_.emplace(WorkKind::Download);
  try {
    work_->run([this] { drive(true); });
    if (done_ && result_ != CURLE_OK)
      throw makeError(numberForCurl(result_, secure_));
  } catch (...) {
    work_.reset();  // the progress window closes before the caller reports the failure
    throw;
  }
  curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status_);
  work_->setTotal(static_cast<uint64_t>(std::max<curl_off_t>(announcedLength(), 0)));
}

curl_off_t CurlRequest::announcedLength() {
  curl_off_t announced = -1;
  curl_easy_getinfo(easy_.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
  return announced;
}

uint64_t CurlRequest::receive(const http::BodySink& sink, uint64_t limit) {
  if (static_cast<uint64_t>(std::max<curl_off_t>(announcedLength(), 0)) > limit)
    throw makeError(http::kBodyTooLarge);
  sink_ = &sink;
  limit_ = limit;
  struct Detach {
    const http::BodySink*& sink;
    ~Detach() { sink = nullptr; }
  } detach{sink_};
  if (bodyArrived_ && !done_) {
    CURLcode resumed = curl_easy_pause(easy_.get(), CURLPAUSE_CONT);  // delivers the held bytes
    if (resumed != CURLE_OK) {
      done_ = true;
      result_ = resumed;
    }
  }
  drive(false);
  if (writeFailure_)
    std::rethrow_exception(writeFailure_);
  if (result_ != CURLE_OK)
    throw makeError(numberForCurl(result_, secure_));
  curl_off_t announced = announcedLength();
  if (announced >= 0 && written_ != announced)
    throw makeError(err::kNetConnectionReset);
  return static_cast<uint64_t>(written_);
}

// What libcurl takes from the environment for this address's scheme, as it looks them up.
std::string CurlRequest::Proxy() {
  auto variable = [](std::initializer_list<const char*> names) -> std::string {
    for (const char* name : names) {
      const char* value = std::getenv(name);
      if (value != nullptr && *value != '\0')
        return value;
    }
    return "";
  };
  bool secure = url_.rfind("https:", 0) == 0;
  std::string proxy = secure ? variable({"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
                             : variable({"http_proxy", "all_proxy", "ALL_PROXY"});
  if (proxy.empty())
    return "yok (doğrudan bağlantı)";
  std::string bypass = variable({"no_proxy", "NO_PROXY"});
  proxy = http::withoutCredentials(proxy);
  return bypass.empty() ? proxy : proxy + " (istisnalar: " + bypass + ")";
}

}  // namespace

std::unique_ptr<XmlHttpRequest> HostPlatform::CreateXmlHttpRequest() {
  return std::make_unique<CurlRequest>();
}

}  // namespace tk::host
