// Areas of the substitute that are not built yet: each fails as an unavailable component does.
#include "platform/posix/posix_objects.h"

namespace tk::posix {

int showMessageBox(const std::string&, int, const std::optional<std::string>&) {
  throw makeError(err::kCannotCreateObject);
}

}  // namespace tk::posix
