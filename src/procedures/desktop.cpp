// GetDesktop and CreateShortCut: the user's desktop folder, and the application's shortcut on it.
#include <memory>
#include <string>

#include "app/form1.h"

namespace tk {

std::string Form1::GetDesktop() {
  std::unique_ptr<WshShell> shell = platform_.CreateWshShell();
  return shell->SpecialFolders("Desktop");
}

void Form1::CreateShortCut() {
  std::unique_ptr<WshShell> shell = platform_.CreateWshShell();
  std::string desktop = shell->SpecialFolders("Desktop");
  // Started from the desktop folder itself: no shortcut, and nothing to report. The comparison is
  // exact, so the same folder written in another letter case still gets its shortcut.
  if (platform_.AppPath() == desktop)
    return;
  std::unique_ptr<WshShortcut> shortcut = shell->CreateShortCut(desktop + "\\Tovren.lnk");
  shortcut->Description = "Tovren";
  shortcut->TargetPath = userPath + "\\Tovren\\Tovren.exe";
  shortcut->Save();
}

}  // namespace tk
