#pragma once
// Writing one event to the Application log under a registered source.
#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace lss {

// EVENTLOG_*_TYPE's values.
enum class EventType : std::uint16_t { kError = 1, kWarning = 2, kInformation = 4 };

class EventLog {
 public:
  EventLog() = default;
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;
  virtual ~EventLog() = default;

  // RegisterEventSourceW(NULL, source), ReportEventW with the one string
  // `text` (category 0, no user, no binary data), DeregisterEventSource.
  // 0, or the Win32 error code of the step that failed.
  virtual Status Report(std::u16string_view source, EventType type, std::uint32_t eventId,
                        std::u16string_view text) = 0;
};

}  // namespace lss
