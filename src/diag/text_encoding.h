#pragma once
// Text as the bytes of a file: the one encoder behind the console's output
// to files and pipes and the support bundle's files.
#include <string>
#include <string_view>

namespace lss {

// UTF-8 with CR LF line ends (each LF becomes CR LF), an unpaired surrogate
// as U+FFFD: what the console writes when its output is a file or a pipe.
std::string Utf8WithCrLf(std::u16string_view text);

// UTF-16 LE with a byte-order mark and the text's units as they are, as
// Windows' own tools write text files.
std::string Utf16LeWithBom(std::u16string_view text);

}  // namespace lss
