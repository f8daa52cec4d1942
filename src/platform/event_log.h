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

// Whose event it is: Event Viewer's "User" column and the event's
// Security UserID.
enum class EventUser { kNone, kThisProcess };

class EventLog {
 public:
  EventLog() = default;
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;
  virtual ~EventLog() = default;

  // RegisterEventSourceW(NULL, source), ReportEventW with `strings` as the
  // event's insertion strings, in order (category 0, no binary data), and
  // with kThisProcess the SID of this process's user (its token's
  // TokenUser), DeregisterEventSource. When that SID cannot be read the
  // event goes without one: the event matters more than its user. 0, or the
  // Win32 error code of the step that failed.
  virtual Status Report(std::u16string_view source, EventType type, std::uint32_t eventId,
                        EventUser user, const std::vector<std::u16string>& strings) = 0;
};

}  // namespace lss
