// The book environment of the running program: the Win32 current directory and file checks,
// and the attached archive of the program's own file.
#pragma once

#include <memory>

#include "shell/startup.h"

namespace brisomel {

std::unique_ptr<BookEnvironment> MakeWin32BookEnvironment();

}  // namespace brisomel
