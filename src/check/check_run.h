#pragma once
// The checks in the order of the report, and what they found: the results,
// and the facts that the event, the JSON and the support bundle read, typed,
// so that none of them looks a result up again by its JSON name.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_options.h"
#include "check/check_result.h"
#include "check/last_run.h"
#include "check/task_check.h"
#include "platform/check_platform.h"

namespace lss {

struct CheckRun {
  std::vector<CheckResult> results;  // in the order of the report
  // Nothing when its check did not run or found none.
  std::optional<std::u16string> outlookPath;  // the OUTLOOK.EXE App Paths names
  std::optional<std::u16string> mailClient;   // the default mail client
  std::optional<std::u16string> mapiLibrary;  // its DLLPathEx, variables unexpanded
  std::optional<std::u16string> logFolder;    // as a run reads LogDirectory
  // The task the task and last-run checks read, its definition included;
  // its name is empty when neither ran.
  TaskReading task;
  JudgedRun lastRun;  // empty when the last-run check judged no log
};

// The ids of every check, in the order of the report.
const std::vector<std::u16string_view>& CheckIds();

// The checks the options ask for, in the order of the report, with the
// registry opened read-only.
CheckRun RunChecks(CheckPlatform& os, const CheckOptions& options);

}  // namespace lss
