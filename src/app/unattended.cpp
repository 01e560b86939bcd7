// The answers that no one is asked for.
#include "app/unattended.h"

#include "platform/platform.h"

namespace tk {
namespace {

// The questions: the answer their texts recommend, and the switch that refuses it.
struct Question {
  Box box;
  int recommended;
  bool Options::*refusedBy;
};

constexpr Question kQuestions[] = {
    {Box::ScriptQuestion, vbYes, &Options::noScript},
    {Box::RegistrationQuestion, vbYes, &Options::noRegister},
};

}  // namespace

std::optional<int> decidedAnswer(const Options& options, Box box) {
  for (const Question& question : kQuestions) {
    if (question.box != box)
      continue;
    if (options.*question.refusedBy)
      return vbNo;
    return options.unattended() ? std::optional<int>(question.recommended) : std::nullopt;
  }
  return options.unattended() ? std::optional<int>(vbOK) : std::nullopt;
}

}  // namespace tk
