// Closing the programs that hold files the installation replaces, the same on both hosts: each is
// asked to close, and all are waited for together, up to the time given, with the window served;
// the installer's own programs that still run then are ended. Each host supplies its way of
// finding, asking and ending (holders_<host>.cpp).
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "platform/platform.h"

namespace tk::host {

// One holder's process as the host reaches it.
class RunningProgram {
 public:
  virtual ~RunningProgram() = default;
  // It no longer runs (or its id now names another process).
  virtual bool ended() = 0;
  // Waits until it has ended, up to `most`; whether it has.
  virtual bool waitEnded(std::chrono::milliseconds most) = 0;
  // Asks it to close; false when there is no way to ask it (no window to close).
  virtual bool askToClose() = 0;
  // Ends it at once and waits a little for it to be gone; whether it is.
  virtual bool end() = 0;
};

// Asks every program to close, waits for those that were asked up to `wait` in all, then ends
// those whose holder may be ended (one that could not be asked at once, without a wait); each
// holder's end, in order. `programs` match `holders` one to one.
std::vector<HolderEnd> closePrograms(const std::vector<FileHolder>& holders,
                                     std::vector<std::unique_ptr<RunningProgram>>& programs,
                                     std::chrono::milliseconds wait);

}  // namespace tk::host
