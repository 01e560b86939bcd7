// The answers that no one is asked for.
#include "app/unattended.h"

#include "platform/platform.h"

namespace tk {
namespace {

// The questions: the answer an unattended run gives, the switch that refuses it in every run,
// and the switch that makes an unattended run answer Yes.
struct Question {
  Box box;
  int unattended;
  bool Options::*refusedBy;
  bool Options::*grantedBy;
};

constexpr Question kQuestions[] = {
    {Box::ScriptQuestion, vbYes, &Options::noScript, nullptr},
    {Box::RegistrationQuestion, vbYes, &Options::noRegister, nullptr},
    // Someone's programs are closed without asking only where the deployment says so.
    {Box::CloseApplications, vbNo, nullptr, &Options::closeApplications},
};

}  // namespace

std::optional<int> decidedAnswer(const Options& options, Box box) {
  for (const Question& question : kQuestions) {
    if (question.box != box)
      continue;
    if (question.refusedBy != nullptr && options.*question.refusedBy)
      return vbNo;
    if (!options.unattended())
      return std::nullopt;
    return question.grantedBy != nullptr && options.*question.grantedBy ? vbYes
                                                                        : question.unattended;
  }
  return options.unattended() ? std::optional<int>(vbOK) : std::nullopt;
}

}  // namespace tk
