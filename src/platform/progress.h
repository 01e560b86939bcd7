// The long work of the Continue action (the download, the program's own extraction, a program
// that an unattended run waits for): the form's
// window is served while it runs, and once it has lasted a while a progress window owned by the
// form shows how far it has come. Each host serves its window its own way (progress_<host>.cpp).
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tk::host {

// A step process is this program again, with other rights, for a part of the run: its own
// message boxes say how far it has come, so no progress window is shown over them.
enum class WorkKind { Download, Extraction, Program, Closing, StepProcess };

// How often the form's window is served during the work: well within the time after which a
// user, or Windows itself, takes a window for hung.
inline constexpr std::chrono::milliseconds kServeInterval{50};
// A work shorter than this shows no progress window at all.
inline constexpr std::chrono::milliseconds kProgressDelay{1000};

// The progress window's title and its two lines: what is being done, and the amounts
// ("2,4 MB / 6,9 MB", Turkish number format; the amount alone while the total is unknown), for a
// program the seconds it has run, and for the closing of programs how many of them have closed.
inline constexpr const char* kProgressTitle = "TovrenKur";
std::string workText(WorkKind kind);
std::string amountText(uint64_t done, uint64_t total);
std::string amountText(WorkKind kind, uint64_t done, uint64_t total);

// The host's progress window: a line naming the work, a line of amounts and a progress bar, no
// cancel button. Destroying it closes it and leaves the focus with the form.
class ProgressView {
 public:
  virtual ~ProgressView() = default;
  // `fraction` from 0 to 1, or negative for a moving bar (no known total).
  virtual void update(const std::string& amounts, double fraction) = 0;
};

// Opens the progress window over the form; null when no form window is shown (tests, benchmarks).
std::unique_ptr<ProgressView> openProgressView(const std::string& work);

class LongWork {
 public:
  explicit LongWork(WorkKind kind);
  ~LongWork();  // closes the progress window
  LongWork(const LongWork&) = delete;
  LongWork& operator=(const LongWork&) = delete;

  // Runs `body` to its end and throws what it threw, with the window served meanwhile: its
  // painting, moving and system messages are handled, its input is discarded, no handler runs.
  // Windows runs `body` on a worker thread while this thread waits for it serving the window;
  // the substitute runs it here and serves the window from `advance`.
  void run(const std::function<void()>& body);
  // What `body` reports as it goes, from whatever thread runs it.
  void setTotal(uint64_t bytes) { total_ = bytes; }
  void advance(uint64_t bytes);

 private:
  // Serves the window's queued messages, then refreshes the progress window (host).
  void serve();
  // Opens the progress window once the work has lasted long enough, and brings it up to date.
  void refresh();

  WorkKind kind_;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point nextServe_;
  std::atomic<uint64_t> done_{0};
  std::atomic<uint64_t> total_{0};
  std::unique_ptr<ProgressView> view_;
  bool viewTried_ = false;
  std::optional<int> quitCode_;  // a quit that came during the work (Windows), posted after it
};

}  // namespace tk::host
