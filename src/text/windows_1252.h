// Windows-1252 text and the engine's UTF-16, for the places where one side still keeps single
// bytes: each byte is one character, and a character the code page cannot hold becomes "?".
#pragma once

#include <string>
#include <string_view>

namespace brisomel {

// Each byte as its windows-1252 character; the five unassigned bytes keep their own value.
std::u16string Windows1252ToUtf16(std::string_view bytes);
// Each character as its windows-1252 byte, "?" where there is none (a surrogate pair is one
// character, so one "?").
std::string Utf16ToWindows1252Lossy(std::u16string_view text);

}  // namespace brisomel
