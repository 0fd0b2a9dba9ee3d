#pragma once
// Where the running program lives: the language files and data sit beside the executable in the
// build tree and the install tree. Safe on any thread.

#include <string>

namespace plat {

// The folder holding the running executable, without a trailing slash ("/" for the root).
// Empty when it cannot be found.
std::string GetProgramFolder();

} // namespace plat
