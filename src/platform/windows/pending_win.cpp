// Areas of the Windows platform that are not built yet: each fails as an unavailable component
// does.
#include "platform/windows/win_objects.h"
#include "platform/windows/win_platform.h"

namespace tk::win {

std::string DirEnumeration::first(const std::string&, int) {
  throw makeError(err::kInvalidCall);
}
std::string DirEnumeration::next() {
  throw makeError(err::kInvalidCall);
}
void WinPlatform::MkDir(const std::string&) {
  throw makeError(err::kPathNotFound);
}
void WinPlatform::FileCopy(const std::string&, const std::string&) {
  throw makeError(err::kFileNotFound);
}
std::string WinPlatform::AppPath() {
  throw makeError(err::kInvalidCall);
}
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

}  // namespace tk::win
