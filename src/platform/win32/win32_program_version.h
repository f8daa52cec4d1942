#pragma once
// The version resource of a program file, and of the running program's own.
#include <optional>
#include <string>
#include <string_view>

namespace lss {

// The file version of the file's VS_FIXEDFILEINFO as "a.b.c.d"; nothing when
// the file or its version resource is missing or unreadable. Needs
// version.dll, which only the programs that call this link.
std::optional<std::u16string> ReadFileVersion(std::u16string_view path);

// ReadFileVersion of the running program's own file.
std::optional<std::u16string> ReadProgramVersion();

}  // namespace lss
