// The Win32 side of keeping reading states: the file operations a state file needs (wide
// calls, a replace that reaches the disk before the new name does, the system's random bytes)
// and the user's state folder, %APPDATA%\Brisomel.
#pragma once

#include <memory>
#include <string>

#include "settings/state_store.h"

namespace brisomel {

std::unique_ptr<StateFiles> MakeWin32StateFiles();
// Empty when APPDATA is not set.
std::u16string Win32StateFolder();

}  // namespace brisomel
