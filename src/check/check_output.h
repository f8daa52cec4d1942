#pragma once
// The forms of the tool's report: a table for people, JSON for tools, one
// line for consoles that show one, and the text of its event.
#include <string>
#include <string_view>
#include <vector>

#include "check/check_facts.h"
#include "check/check_result.h"

namespace lss {

// One line per check (id, status, message), then the verdict.
std::u16string FormatTable(const std::vector<CheckResult>& results);
// The version of the JSON's layout, raised whenever a tool reading it could
// be misled by a change.
inline constexpr int kJsonSchema = 3;

// One JSON object: tool, schema, version, computer, user, checkedAt,
// nativeMachine, schedulerVersion (null when there is none), verdict,
// exitCode, checks (id, status, message, details).
std::u16string FormatJson(const std::vector<CheckResult>& results, std::u16string_view version,
                          const CheckFacts& facts);
// "FAIL: last-run: <message>": the verdict and the first finding that gave
// it, and how many more there are; "OK: nothing to do." when none.
std::u16string FormatQuiet(const std::vector<CheckResult>& results);
// The insertion strings of the tool's event (%1..%7 of its message table):
// the verdict, the exit code, one line for every WARN and FAIL finding, the
// log the last-run check judged, that run's first and last entry (local ISO
// 8601), and the version of the LSScheduler.exe beside the tool. "-" for
// what the last-run check did not find; "not found" for a missing version.
std::vector<std::u16string> EventStrings(const std::vector<CheckResult>& results,
                                         const CheckFacts& facts);
// `text` as a JSON string, quotes included. Characters beyond ASCII stay as
// they are; the console writes them as UTF-8.
std::u16string JsonString(std::u16string_view text);

}  // namespace lss
