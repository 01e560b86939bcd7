// Areas of the substitute that are not built yet: each fails as an unavailable component does.
#include "platform/posix/posix_objects.h"

namespace tk::posix {

int showMessageBox(const std::string&, int, const std::optional<std::string>&) {
  throw makeError(err::kCannotCreateObject);
}
double startProgram(const std::string&, int) {
  throw makeError(err::kFileNotFound);
}
std::string regRead(const std::string&) {
  throw makeError(err::kRegValueMissing);
}
std::unique_ptr<WshShell> makeWshShell() {
  throw makeError(err::kCannotCreateObject);
}
std::unique_ptr<XmlHttpRequest> makeHttpRequest() {
  throw makeError(err::kCannotCreateObject);
}
std::unique_ptr<ShellDispatch> makeShellDispatch() {
  throw makeError(err::kCannotCreateObject);
}

}  // namespace tk::posix
