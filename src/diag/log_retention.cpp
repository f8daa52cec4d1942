#include "diag/log_retention.h"

#include <optional>
#include <string>

#include "diag/run_log.h"
#include "diag/time_stamp.h"

namespace lss {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

}  // namespace

std::int32_t RetentionDays(std::uint32_t stored) {
  const auto days = static_cast<std::int32_t>(stored);
  return days > 0 ? days : 0;
}

void DeleteOldRunLogs(FileSystem& files, std::u16string_view folder, const LocalTime& start,
                      std::int32_t days, std::u16string_view ownLog) {
  if (days < 1) return;
  const std::int64_t newestToDelete = LinearSeconds(start) - days * kSecondsPerDay - 1;
  for (const FileSystem::Entry& entry : files.ListFolder(folder, kRunLogFilePattern)) {
    if (entry.isFolder || entry.isLink) continue;
    // The listing's wildcards also match other names, and short 8.3 names.
    const std::optional<LocalTime> time = ParseRunLogFileName(entry.name);
    if (!time || !IsCalendarTime(*time) || LinearSeconds(*time) > newestToDelete) continue;
    const std::u16string path = RunLogPath(folder, entry.name);
    if (path == ownLog) continue;
    files.RemoveFile(path);  // a file that cannot be deleted stays
  }
}

}  // namespace lss
