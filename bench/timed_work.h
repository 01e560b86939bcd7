// What the benchmark drivers share: the work's own time, printed for the scripts, and with
// "--window" the form's window shown first, so that the work serves it and, past a second, shows
// its progress over it as in the program (the display must be there).
#pragma once

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "app/program.h"
#include "platform/progress.h"
#include "platform/window.h"

namespace tk::bench {

class TimedWork {
 public:
  TimedWork(Platform& platform, const char* option) : form_(platform) {
    if (option != nullptr && std::strcmp(option, "--window") == 0) {
      window_ = host::makeFormWindow(form_, platform);
      form_.setView(window_.get());
      window_->show();
      // Drawn before the clock starts, as in the program, where the form has long been on the
      // screen when the work begins: a few empty works serve it.
      for (int k = 0; k < 5; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        host::LongWork(host::WorkKind::Download).run([] {});
      }
    }
    started_ = std::chrono::steady_clock::now();
  }
  ~TimedWork() { form_.setView(nullptr); }

  void done() const {
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - started_;
    std::printf("%.4f\n", took.count());
  }

 private:
  Form1 form_;
  std::unique_ptr<FormWindow> window_;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace tk::bench
