// The part of a download that both HTTP requests share: the body checked before it replaces
// anything, and the proxy as the log shows it.
#include "platform/http.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/zip_extract.h"

namespace tk::host::http {
namespace {

// Ends a request's long work (its progress window closes) on every way out of a scope.
struct EndWork {
  std::optional<LongWork>& work;
  ~EndWork() { work.reset(); }
};

}  // namespace

// Each blank-separated part of a list (WinINet's "http=a:1 https=b:2", or one URL) loses what
// lies between its first scheme (or its type's "=") and its last "@". Not split at ";" or ",": a
// URL's user name and password may hold both unencoded, and what precedes them would be shown.
std::string withoutCredentials(std::string_view proxies) {
  std::string shown;
  while (!proxies.empty()) {
    std::size_t end = std::min(proxies.find_first_of(" \t"), proxies.size());
    std::string_view part = proxies.substr(0, end);
    std::size_t at = part.rfind('@');
    if (at != std::string_view::npos) {
      std::size_t scheme = part.substr(0, at).find("://");
      std::size_t equals = part.substr(0, at).find('=');  // "http=", before any ":"
      std::size_t from = scheme != std::string_view::npos ? scheme + 3
                         : equals < part.find(':')        ? equals + 1
                                                          : 0;
      shown.append(part.substr(0, from)).append("***").append(part.substr(at));
    } else {
      shown.append(part);
    }
    shown.append(proxies.substr(end, 1));
    proxies.remove_prefix(std::min(end + 1, proxies.size()));
  }
  return shown;
}

uint64_t Request::SaveResponseBody(const std::string& path) {
  if (!answered() || Status() != 200 || !work_)
    throw makeError(err::kInvalidCall);
  std::string destination = hostFile(path);
  EndWork endWork{work_};
  TempFile::removeLeftovers(destination);
  TempFile file(destination);
  uint64_t size = 0;
  work_->run([&] {
    size = receive({&file, nullptr}, kMaxBodySize);
    file.close();
    checkArchive(file.path());
  });
  file.commit();
  return size;
}

std::string Request::ResponseText(uint64_t maxBytes) {
  if (!answered() || Status() != 200 || !work_)
    throw makeError(err::kInvalidCall);
  EndWork endWork{work_};
  std::string text;
  work_->run([&] { receive({nullptr, &text}, maxBytes); });
  return text;
}

}  // namespace tk::host::http
