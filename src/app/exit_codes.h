// The program's exit codes, which a deployment script reads after `start /wait`; interactive
// runs end with the same codes. Named once here, for the program and its README alike.
#pragma once

namespace tk {

inline constexpr int kExitInstalled = 0;        // installed (or nothing was asked of it)
inline constexpr int kExitBadCommandLine = 1;   // invalid command line: nothing done
inline constexpr int kExitNoChrome = 2;         // Chrome not installed: nothing changed
inline constexpr int kExitFirstHalfFailed = 3;  // the installation failed; the log has the number
inline constexpr int kExitStepsPassedOver = 4;  // installed, but steps were passed over
inline constexpr int kExitAnotherRun = 5;       // another run of the installer is under way

// The system folder's step, done in an elevated process of its own, tells the run that started
// it what it passed over: the bits below (0: nothing), or that it refused to start without
// administrator rights. A refused command line is kExitBadCommandLine, as for any run.
inline constexpr int kStepEnded = 0x10;            // a failure ended it: what came after not done
inline constexpr int kStepUnitsPassedOver = 0x20;  // after a Yes, registrations or boxes skipped
inline constexpr int kStepNotElevated = 0x40;

}  // namespace tk
