// The substitute's shell folder objects: NameSpace gives a folder for an existing folder or
// file (an archive), and CopyHere extracts an archive's items with the program's zip reader.
#include <filesystem>
#include <system_error>

#include "platform/host_platform.h"
#include "platform/posix/paths_posix.h"
#include "platform/posix/zip_files_posix.h"

namespace fs = std::filesystem;

namespace tk::host {
namespace {

// The items of a folder or an archive: what CopyHere copies, all of it.
struct HostItems : FolderItems {
  HostItems(fs::path source, bool archive) : source(std::move(source)), archive(archive) {}
  fs::path source;
  bool archive;
};

class HostFolder : public ShellFolder {
 public:
  HostFolder(fs::path host, bool archive) : host_(std::move(host)), archive_(archive) {}
  std::unique_ptr<FolderItems> Items() override {
    return std::make_unique<HostItems>(host_, archive_);
  }
  // The options only shape the shell's progress window, which the substitute does not show.
  void CopyHere(FolderItems& items, int) override {
    auto* source = dynamic_cast<HostItems*>(&items);
    if (source == nullptr)
      throw makeError(err::kObjectRequired);
    // The program only ever extracts an archive into a folder; other copies are not offered.
    if (!source->archive || archive_)
      throw makeError(err::kInvalidCall);
    extractArchive(source->source, host_);
  }

 private:
  fs::path host_;
  bool archive_;
};

class HostShell : public ShellDispatch {
 public:
  std::unique_ptr<ShellFolder> NameSpace(const std::string& path) override {
    fs::path host = hostPath(path);
    std::error_code error;
    fs::file_status status = fs::status(host, error);
    if (fs::is_directory(status))
      return std::make_unique<HostFolder>(host, false);
    if (fs::is_regular_file(status))
      return std::make_unique<HostFolder>(host, true);
    return nullptr;
  }
};

}  // namespace

std::unique_ptr<ShellDispatch> makeShellDispatch() {
  return std::make_unique<HostShell>();
}

}  // namespace tk::host
