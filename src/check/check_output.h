#pragma once
// The forms of the tool's report: a table for people, JSON for tools, one
// line for consoles that show one, and the text of its event.
#include <string>
#include <string_view>
#include <vector>

#include "check/check_result.h"

namespace lss {

// One line per check (id, status, message), then the verdict.
std::u16string FormatTable(const std::vector<CheckResult>& results);
// The version of the JSON's layout, raised whenever a tool reading it could
// be misled by a change.
inline constexpr int kJsonSchema = 2;

// One JSON object: tool, schema, version, verdict, exitCode, checks (id,
// status, message, details).
std::u16string FormatJson(const std::vector<CheckResult>& results, std::u16string_view version);
// "FAIL: last-run: <message>": the verdict and the first finding that gave
// it, and how many more there are; "OK: nothing to do." when none.
std::u16string FormatQuiet(const std::vector<CheckResult>& results);
// The verdict's line, then one line for every WARN and FAIL finding.
std::u16string FormatEventText(const std::vector<CheckResult>& results);
// `text` as a JSON string, quotes included. Characters beyond ASCII stay as
// they are; the console writes them as UTF-8.
std::u16string JsonString(std::u16string_view text);

}  // namespace lss
