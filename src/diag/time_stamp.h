#pragma once
// Local times: the run log's strftime-style stamps, and calendar arithmetic.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace lss {

// Formats `time` by `pattern`. Understands %d %m %y %H %M %S (two digits
// each, %y the year within its century); every other character is copied.
// Nothing when a field lies outside its calendar range.
std::optional<std::u16string> FormatLocalTime(std::u16string_view pattern, const LocalTime& time);

// Appends `value` (not negative) as exactly `digits` decimal digits, zeros in
// front: the fields of every time text.
void AppendDigits(std::u16string& text, std::int64_t value, int digits);

// The reverse of FormatLocalTime: `text` read by `pattern`, which it must
// match character for character (two digits per field, %y read as 20yy).
// Nothing when it does not match or a field lies outside its calendar range.
std::optional<LocalTime> ParseLocalTime(std::u16string_view pattern, std::u16string_view text);

// True for a time a clock shows: a day that its month has (29 February only
// in a leap year) and seconds below 60.
bool IsCalendarTime(const LocalTime& time);

// Seconds on a linear scale (the civil calendar without time zones), for
// ordering local times and taking their differences.
std::int64_t LinearSeconds(const LocalTime& time);

// The reverse of LinearSeconds: the calendar time `seconds` stands for. Its
// year must fit an int (beyond year 30000 nothing here needs it).
LocalTime CalendarTime(std::int64_t seconds);

// The clock's current local time formatted by `pattern`; empty when the time
// cannot be converted or formatted.
std::u16string LocalTimeStamp(Clock& clock, std::u16string_view pattern);

}  // namespace lss
