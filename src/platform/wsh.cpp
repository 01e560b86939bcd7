// "WScript.Shell" on every host: RegRead, SpecialFolders("Desktop") and CreateShortCut, with the
// host's registry, desktop folder and shortcut files.
#include "platform/wsh.h"

#include "platform/host_platform.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace tk::host {
namespace {

class HostShortcut : public WshShortcut {
 public:
  explicit HostShortcut(std::string path) : path_(std::move(path)) {}
  void Save() override { saveShortcut(path_, *this); }

 private:
  std::string path_;
};

class HostWshShell : public WshShell {
 public:
  std::string RegRead(const std::string& name) override { return regRead(name); }
  std::string SpecialFolders(const std::string& name) override {
    // Like the script shell, a folder name it does not know gives the empty text.
    return equalsIgnoringCase(name, "Desktop") ? desktopFolder() : "";
  }
  std::unique_ptr<WshShortcut> CreateShortCut(const std::string& path) override {
    return std::make_unique<HostShortcut>(path);
  }
};

}  // namespace

std::unique_ptr<WshShell> HostPlatform::CreateWshShell() {
  return std::make_unique<HostWshShell>();
}

}  // namespace tk::host
