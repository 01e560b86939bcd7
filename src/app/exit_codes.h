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

}  // namespace tk
