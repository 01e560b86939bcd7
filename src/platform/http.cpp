// The part of a download that both HTTP requests share: the body checked before it replaces
// anything.
#include "platform/http.h"

#include "platform/error.h"
#include "platform/zip_extract.h"

namespace tk::host::http {

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

}  // namespace tk::host::http
