// The run's working folder as the Windows host keeps it, and how the package script started from
// there inherits its hold.
#pragma once

#include <string>
#include <vector>

#include "platform/package_folder.h"
#include "platform/windows/handles_win.h"

namespace tk::host {

struct WorkingFolder {
  std::string path;  // as the logic names it, without a closing backslash
  // The lock file, open without delete sharing: no one removes it, nor the folder, while any
  // process holds this handle or an inherited copy of it.
  UniqueHandle hold;
};

// For one process start: when the program starts from the working folder, the attribute list
// that has it inherit the hold, and nothing else of this process. Lives until CreateProcessW has
// returned.
class HeldByChild {
 public:
  HeldByChild(const WorkingFolder* working, const std::string& commandLine);
  ~HeldByChild();
  HeldByChild(const HeldByChild&) = delete;
  HeldByChild& operator=(const HeldByChild&) = delete;

  bool active() const { return active_; }
  LPPROC_THREAD_ATTRIBUTE_LIST attributes() {
    return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list_.data());
  }

 private:
  std::vector<unsigned char> list_;
  HANDLE handle_ = nullptr;  // the list points at it
  bool initialized_ = false;
  bool active_ = false;
};

}  // namespace tk::host
