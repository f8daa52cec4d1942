#pragma once
// Reading the program's run log files: 8-bit text, every piece preceded by CR LF,
// entries starting with an 18-character local-time stamp and a blank.
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

struct LogEntry {
  std::string stamp;  // "dd-mm-yy HH:MM:SS:"
  std::string text;   // the message; lines of a multi-line message joined by LF
};

struct ParsedLog {
  std::vector<LogEntry> entries;
  // What breaks the file's layout (missing leading CR LF, a trailing line
  // break, a first line without a stamp); empty when the layout holds.
  std::vector<std::string> problems;
};

ParsedLog ParseLog(std::string_view bytes);

std::vector<std::string> Texts(const std::vector<LogEntry>& entries);

}  // namespace e2e
