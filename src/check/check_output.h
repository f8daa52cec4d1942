#pragma once
// The forms of the tool's report: a table for people, JSON for tools, one
// line for consoles that show one, and the text of its event.
#include <string>
#include <string_view>
#include <vector>

#include "check/check_facts.h"
#include "check/check_result.h"
#include "check/check_run.h"

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
// The insertion strings of the tool's event (%1..%14 of its message table):
// %1 the verdict, %2 the exit code, %3 one line for every WARN and FAIL
// finding, %4 the log the last-run check judged, %5 and %6 that run's first
// and last entry (local ISO 8601), %7 the version of the LSScheduler.exe
// beside the tool; "-" for what the last-run check did not find, "not found"
// for a missing version. Then %8 the layout (check_event::kLayout), %9 the
// user (DOMAIN\name), %10 the task the checks read, %11 the ids of the WARN
// and FAIL checks, comma-separated in the order of the results, %12 the
// first error code of the judged run's log ("0x8004010F"), %13 and %14 the
// run's first and last entry with their UTC offset; these empty when there
// is none.
std::vector<std::u16string> EventStrings(const CheckRun& run, const CheckFacts& facts);
// `text` as a JSON string, quotes included. Characters beyond ASCII stay as
// they are; the console writes them as UTF-8.
std::u16string JsonString(std::u16string_view text);

}  // namespace lss
