#include "diag/time_stamp.h"

namespace lss {

namespace {

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

bool IsValid(const LocalTime& time) {
  return InRange(time.month, 1, 12) && InRange(time.day, 1, 31) && InRange(time.hour, 0, 23) &&
         InRange(time.minute, 0, 59) && InRange(time.second, 0, 60);
}

}  // namespace

void AppendDigits(std::u16string& text, std::int64_t value, int digits) {
  std::u16string field(static_cast<std::size_t>(digits), u'0');
  for (int i = digits - 1; i >= 0; --i, value /= 10) {
    field[static_cast<std::size_t>(i)] = static_cast<char16_t>(u'0' + value % 10);
  }
  text += field;
}

std::optional<std::u16string> FormatLocalTime(std::u16string_view pattern, const LocalTime& time) {
  if (!IsValid(time)) return std::nullopt;
  std::u16string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != u'%' || i + 1 == pattern.size()) {
      out.push_back(pattern[i]);
      continue;
    }
    switch (pattern[i + 1]) {
      case u'd': AppendDigits(out, time.day, 2); break;
      case u'm': AppendDigits(out, time.month, 2); break;
      case u'y': AppendDigits(out, (time.year % 100 + 100) % 100, 2); break;
      case u'H': AppendDigits(out, time.hour, 2); break;
      case u'M': AppendDigits(out, time.minute, 2); break;
      case u'S': AppendDigits(out, time.second, 2); break;
      default:
        out.push_back(pattern[i]);
        continue;
    }
    ++i;
  }
  return out;
}

std::optional<LocalTime> ParseLocalTime(std::u16string_view pattern, std::u16string_view text) {
  LocalTime time;
  std::size_t at = 0;
  const auto twoDigits = [&](int* field) {
    if (at + 2 > text.size()) return false;
    const char16_t tens = text[at];
    const char16_t ones = text[at + 1];
    if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9') return false;
    *field = (tens - u'0') * 10 + (ones - u'0');
    at += 2;
    return true;
  };
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    int* field = nullptr;
    if (pattern[i] == u'%' && i + 1 < pattern.size()) {
      switch (pattern[i + 1]) {
        case u'd': field = &time.day; break;
        case u'm': field = &time.month; break;
        case u'y': field = &time.year; break;
        case u'H': field = &time.hour; break;
        case u'M': field = &time.minute; break;
        case u'S': field = &time.second; break;
        default: break;
      }
    }
    if (field != nullptr) {
      if (!twoDigits(field)) return std::nullopt;
      ++i;
    } else if (at < text.size() && text[at] == pattern[i]) {
      ++at;
    } else {
      return std::nullopt;
    }
  }
  time.year += 2000;
  if (at != text.size() || !IsValid(time)) return std::nullopt;
  return time;
}

bool IsCalendarTime(const LocalTime& time) {
  if (!IsValid(time) || time.second > 59) return false;
  constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = time.year % 4 == 0 && (time.year % 100 != 0 || time.year % 400 == 0);
  const int days = time.month == 2 && leap ? 29 : kDaysInMonth[time.month - 1];
  return time.day <= days;
}

std::int64_t LinearSeconds(const LocalTime& time) {
  // Days from 1 March of year 0 (civil calendar), then the time of day.
  const std::int64_t y = time.year - (time.month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear =
      (153 * (time.month + (time.month > 2 ? -3 : 9)) + 2) / 5 + time.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const std::int64_t days = era * 146097 + dayOfEra;
  return days * 86400 + std::int64_t{time.hour} * 3600 + std::int64_t{time.minute} * 60 +
         time.second;
}

LocalTime CalendarTime(std::int64_t seconds) {
  // Days from 1 March of year 0 counted in 400-year eras, as in LinearSeconds.
  const std::int64_t secondOfDay = ((seconds % 86400) + 86400) % 86400;
  const std::int64_t days = (seconds - secondOfDay) / 86400;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  LocalTime time;
  time.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  time.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  time.year = static_cast<int>(yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0));
  time.hour = static_cast<int>(secondOfDay / 3600);
  time.minute = static_cast<int>(secondOfDay / 60 % 60);
  time.second = static_cast<int>(secondOfDay % 60);
  return time;
}

std::u16string LocalTimeStamp(Clock& clock, std::u16string_view pattern) {
  LocalTime local;
  if (!clock.ToLocal(clock.Now(), &local)) return {};
  return FormatLocalTime(pattern, local).value_or(std::u16string());
}

}  // namespace lss
