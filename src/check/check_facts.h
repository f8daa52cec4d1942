#pragma once
// Where and when the check ran, and which scheduler it ran beside: what a
// fleet's report needs to tell one computer's results from another's.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/check_platform.h"

namespace lss {

struct CheckFacts {
  std::u16string computer;   // NetBIOS name; empty when it cannot be read
  std::u16string user;       // DOMAIN\name; empty when it cannot be read
  std::u16string checkedAt;  // UTC, "2026-12-08T12:00:00Z"; empty when out of range
  // The processor Windows runs on ("x64", "ARM64", as PeMachineName names
  // it), which an x64 program emulated on Arm does not see otherwise; empty
  // when it cannot be told.
  std::u16string nativeMachine;
  // The file version of the LSScheduler.exe beside the tool; nothing when
  // there is none or it has no version resource.
  std::optional<std::u16string> schedulerVersion;
};

CheckFacts GatherCheckFacts(CheckPlatform& os);

// The LSScheduler.exe in the check tool's own folder; empty when the tool's
// own path cannot be read.
std::u16string SchedulerBesideTool(CheckQueries& queries);

// Seconds since 1 January 1970 UTC as ISO 8601 with "Z"; empty for a time
// before the year 1 or after 9999.
std::u16string UtcIsoTime(std::int64_t seconds);

}  // namespace lss
