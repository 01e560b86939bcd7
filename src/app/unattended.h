// The program's message boxes by what they ask or tell, and the one place that decides which of
// them a run answers by itself: by the box, never by its text.
#pragma once

#include <chrono>
#include <optional>

#include "app/options.h"

namespace tk {

enum class Box {
  ChromeMissing,         // the program ends after it
  UnsupportedChrome,     // the installation goes on without a driver address
  InstallFailure,        // the installer's own failure report; the installation goes on
  CloseApplications,     // Yes/No: close the programs that hold files the run replaces
  ScriptQuestion,        // Yes/No: run the package's install script
  RegistrationStart,     // before each registration question
  RegistrationQuestion,  // Yes/No: register this component
  RegistrationDone,
  BrowserChecked,
  FailureReport,  // the failure that ends the program
};

// The answer a box gets without being shown, or none when it is shown and waits for the user.
// Unattended, a question takes its recommended answer (Yes) and any other box OK; /NOSCRIPT and
// /NOREGISTER answer their question No, in every run. Whether to close programs is answered No
// unattended, Yes with /CLOSEAPPLICATIONS.
std::optional<int> decidedAnswer(const Options& options, Box box);

// How long an unattended run waits for the package script, or for one registration, before it
// goes on without it.
inline constexpr std::chrono::minutes kProgramWaitLimit{10};

}  // namespace tk
