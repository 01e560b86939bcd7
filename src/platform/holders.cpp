// Closing the holders, shared by both hosts: one wait for all of them, bounded, as a long work.
#include "platform/holders.h"

#include <algorithm>

#include "platform/progress.h"

namespace tk::host {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

enum class State { Gone, Asked, Unasked };

// Waits for the asked programs until all have ended or the deadline has come, reporting each end.
void waitForAsked(std::vector<std::unique_ptr<RunningProgram>>& programs,
                  const std::vector<State>& states, Clock::time_point deadline, LongWork& work) {
  std::vector<bool> counted(programs.size(), false);
  for (;;) {
    RunningProgram* waitingFor = nullptr;
    for (std::size_t k = 0; k < programs.size(); ++k) {
      if (states[k] != State::Asked || counted[k])
        continue;
      if (programs[k]->ended()) {
        counted[k] = true;
        work.advance(1);
      } else if (waitingFor == nullptr) {
        waitingFor = programs[k].get();
      }
    }
    Clock::time_point now = Clock::now();
    if (waitingFor == nullptr || now >= deadline)
      return;
    auto left = std::chrono::duration_cast<milliseconds>(deadline - now) + milliseconds(1);
    waitingFor->waitEnded(std::min<milliseconds>(kServeInterval, left));
    work.advance(0);  // the window is served between two waits where the work runs on its thread
  }
}

HolderEnd endOf(const FileHolder& holder, RunningProgram& program, State state) {
  if (state == State::Gone || program.ended())
    return HolderEnd::Closed;
  if (holder.mayEnd && program.end())
    return HolderEnd::Ended;
  return HolderEnd::Running;
}

}  // namespace

std::vector<HolderEnd> closePrograms(const std::vector<FileHolder>& holders,
                                     std::vector<std::unique_ptr<RunningProgram>>& programs,
                                     std::chrono::milliseconds wait) {
  std::vector<HolderEnd> ends(holders.size(), HolderEnd::Running);
  LongWork work(WorkKind::Closing);
  work.setTotal(holders.size());
  try {
    work.run([&] {
      Clock::time_point deadline = Clock::now() + wait;
      std::vector<State> states;
      for (auto& program : programs) {
        states.push_back(program->ended()        ? State::Gone
                         : program->askToClose() ? State::Asked
                                                 : State::Unasked);
        if (states.back() == State::Gone)
          work.advance(1);
      }
      auto settle = [&](bool unasked) {
        for (std::size_t k = 0; k < programs.size(); ++k) {
          if ((states[k] == State::Unasked) == unasked)
            ends[k] = endOf(holders[k], *programs[k], states[k]);
        }
      };
      settle(true);  // one that cannot be asked is not waited for: ended at once where it may be
      waitForAsked(programs, states, deadline, work);
      settle(false);
    });
  } catch (const std::exception&) {
    // The window could not be served (no thread for the work): what is known stands.
  }
  return ends;
}

}  // namespace tk::host
