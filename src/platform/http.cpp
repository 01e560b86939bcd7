// The part of a download that both HTTP requests share: the body checked before it replaces
// anything.
#include "platform/http.h"

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

void saveCheckedBody(const std::string& destination, std::optional<LongWork>& work,
                     const std::function<void(TempFile&)>& receive) {
  EndWork endWork{work};
  if (!work)
    throw makeError(err::kInvalidCall);
  TempFile::removeLeftovers(destination);
  TempFile file(destination);
  work->run([&] {
    receive(file);
    file.close();
    checkArchive(file.path());
  });
  file.commit();
}

std::string receiveText(std::optional<LongWork>& work,
                        const std::function<void(std::string&)>& receive) {
  EndWork endWork{work};
  if (!work)
    throw makeError(err::kInvalidCall);
  std::string text;
  work->run([&] { receive(text); });
  return text;
}

}  // namespace tk::host::http
