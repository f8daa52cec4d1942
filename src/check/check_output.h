#pragma once
// The two forms of the tool's report: a table for people, JSON for tools.
#include <string>
#include <string_view>
#include <vector>

#include "check/check_result.h"

namespace lss {

// One line per check (id, status, message), then the verdict.
std::u16string FormatTable(const std::vector<CheckResult>& results);
// One JSON object: tool, version, verdict, exitCode, checks (id, status,
// message, details).
std::u16string FormatJson(const std::vector<CheckResult>& results, std::u16string_view version);
// `text` as a JSON string, quotes included. Characters beyond ASCII stay as
// they are; the console writes them as UTF-8.
std::u16string JsonString(std::u16string_view text);

}  // namespace lss
