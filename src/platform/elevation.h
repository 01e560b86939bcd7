// Parts of a run that this program does again in a process of its own, with other rights than
// the run's (the system folder's work with an administrator's, the browser check with the
// signed-in user's): each host starts it in its own way (elevation_<host>.cpp for the
// administrator's rights, user_rights_<host>.cpp for the user's), with the arguments joined here.
#pragma once

#include <string>
#include <vector>

namespace tk {

// The arguments as one command line that the C runtime's rules (splitArguments) read back into
// the same arguments: each holding a blank or a quote, or empty, in quotes, with the
// backslashes before a quote doubled.
std::string joinArguments(const std::vector<std::string>& arguments);

}  // namespace tk
