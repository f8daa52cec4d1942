#pragma once
// Events written to the Application log through the event logging API.
#include "platform/event_log.h"

namespace lss {

class Win32EventLog final : public EventLog {
 public:
  Win32EventLog() = default;

  Status Report(std::u16string_view source, EventType type, std::uint32_t eventId,
                EventUser user, const std::vector<std::u16string>& strings) override;
};

}  // namespace lss
