#pragma once
// Writing one event to the Application log under a registered source.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

  // RegisterEventSourceW(NULL, source), ReportEventW with `strings` as the
  // event's insertion strings, in order (category 0, no user, no binary
  // data), DeregisterEventSource. 0, or the Win32 error code of the step
  // that failed.
  virtual Status Report(std::u16string_view source, EventType type, std::uint32_t eventId,
                        const std::vector<std::u16string>& strings) = 0;
};

}  // namespace lss
