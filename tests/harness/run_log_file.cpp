#include "harness/run_log_file.h"

#include "harness/local_time.h"
#include "harness/text.h"

namespace e2e {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::size_t kStampLength = 18;

bool StartsWithStamp(std::string_view line) {
  return line.size() > kStampLength && line[kStampLength] == ' ' &&
         ParseEntryStamp(line.substr(0, kStampLength)).has_value();
}

}  // namespace

ParsedLog ParseLog(std::string_view bytes) {
  ParsedLog log;
  if (bytes.empty()) return log;
  if (bytes.substr(0, kLineBreak.size()) != kLineBreak) {
    log.problems.push_back("the file does not begin with CR LF");
  }
  if (bytes.size() > kLineBreak.size() &&
      bytes.substr(bytes.size() - kLineBreak.size()) == kLineBreak) {
    log.problems.push_back("the file ends with a line break");
  }
  std::vector<std::string_view> lines = Split(bytes, kLineBreak);
  lines.erase(lines.begin());  // before the leading line break
  for (const std::string_view line : lines) {
    if (StartsWithStamp(line)) {
      log.entries.push_back(
          {std::string(line.substr(0, kStampLength)), std::string(line.substr(kStampLength + 1))});
    } else if (log.entries.empty()) {
      log.problems.push_back("the first line has no stamp: \"" + std::string(line) + "\"");
      log.entries.push_back({"", std::string(line)});
    } else {
      log.entries.back().text += '\n';
      log.entries.back().text += line;
    }
  }
  return log;
}

std::vector<std::string> Texts(const std::vector<LogEntry>& entries) {
  std::vector<std::string> texts;
  texts.reserve(entries.size());
  for (const LogEntry& entry : entries) texts.push_back(entry.text);
  return texts;
}

}  // namespace e2e
