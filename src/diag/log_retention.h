#pragma once
// Deleting the logs of earlier runs once they are older than LogRetentionDays.
#include <cstdint>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace lss {

// The days a run keeps earlier logs for, from the stored LogRetentionDays:
// 0, keep every log, when it is 0 or negative as a signed value (0x80000000
// and above); any other value as it stands. Years in the names have two
// digits, so anything above 36525 keeps every log the program can name.
std::int32_t RetentionDays(std::uint32_t stored);

// Deletes from `folder` each file whose name is exactly "Scheduler", a
// real local time as ddmmyyHHMMSS and ".log" (letter case included), and
// whose time lies more than `days` days before `start`. Never `ownLog`, a
// folder, a link, anything under another name or outside the folder. A file
// that cannot be deleted stays; nothing is reported. `days` below 1 deletes
// nothing and lists nothing.
void DeleteOldRunLogs(FileSystem& files, std::u16string_view folder, const LocalTime& start,
                      std::int32_t days, std::u16string_view ownLog);

}  // namespace lss
