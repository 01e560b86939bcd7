// Pass-over failure handling: from a fixed point on, each unit of a procedure (one assignment,
// one copy, one call) that fails is skipped and the procedure goes on with the next one.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "platform/error.h"

namespace tk {

// Runs one unit; a failed platform operation inside it is skipped without a message and handed
// back, for a caller that reports the first one. ProgramEnd and every other exception still travel
// on, so End always ends the program.
template <typename Unit>
std::optional<PlatformError> passOver(Unit&& unit) {
  try {
    std::forward<Unit>(unit)();
    return std::nullopt;
  } catch (const PlatformError& error) {
    return error;
  }
}

// A stretch of a procedure that starts without failure handling of its own (a failure leaves the
// procedure) and switches to pass-over at a point decided while it runs. Each failure passed
// over is handed to `onPassedOver`.
class PassOverFrom {
 public:
  explicit PassOverFrom(std::function<void(const PlatformError&)> onPassedOver)
      : onPassedOver_(std::move(onPassedOver)) {}
  void start() { active_ = true; }
  bool active() const { return active_; }

  template <typename Unit>
  void operator()(Unit&& unit) {
    if (!active_) {
      std::forward<Unit>(unit)();
    } else if (std::optional<PlatformError> failure = passOver(std::forward<Unit>(unit))) {
      onPassedOver_(*failure);
    }
  }

 private:
  std::function<void(const PlatformError&)> onPassedOver_;
  bool active_ = false;
};

}  // namespace tk
