#pragma once
// The version resource of the running program's own file.
#include <optional>
#include <string>

namespace lss {

// The file version of the program's VS_FIXEDFILEINFO as "a.b.c.d"; nothing
// when the file has no version resource. Needs version.dll, which only the
// programs that call this link.
std::optional<std::u16string> ReadProgramVersion();

}  // namespace lss
