// Areas of the Windows platform that are not built yet: each fails as an unavailable component
// does.
#include "platform/windows/win_objects.h"
#include "platform/windows/win_platform.h"

namespace tk::win {

int showMessageBox(const std::string&, int, const std::optional<std::string>&) {
  throw makeError(err::kCannotCreateObject);
}

}  // namespace tk::win
