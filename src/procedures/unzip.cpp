// unzip: extracts the downloaded driver archive into the package folder that holds it (the one
// the run works in), through the shell's folder objects. No handler of its own: every failure goes
// to the caller, and a call on a folder that NameSpace did not give is the runtime's error 91. An
// unattended run asks for no UI at all: no one is there to answer the shell's question whether to
// replace the chromedriver.exe of an earlier run, nor to close its error boxes.
#include "app/form1.h"

namespace tk {

void Form1::unzip() {
  std::string archive = packageFolder() + "\\" + indirDosya;
  std::string destination = packageFolder() + "\\";
  std::unique_ptr<ShellDispatch> shell = platform_.CreateShellDispatch();
  std::unique_ptr<ShellFolder> archiveFolder = shell->NameSpace(archive);
  std::unique_ptr<ShellFolder> destinationFolder = shell->NameSpace(destination);
  std::unique_ptr<FolderItems> items = requireObject(archiveFolder).Items();
  log("Arşiv açılıyor: " + archive + " -> " + destination);
  int copyOptions = options_.unattended() ? kCopyNoUi : kCopySimpleProgress;
  if (std::optional<CopyCounts> counts =
          requireObject(destinationFolder).CopyHere(*items, copyOptions)) {
    log("Açıldı: " + std::to_string(counts->entries) + " girdi, " + std::to_string(counts->bytes) +
        " bayt");
  }
}

}  // namespace tk
