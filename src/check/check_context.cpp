#include "check/check_context.h"

#include <optional>
#include <utility>

#include "diag/text_format.h"
#include "diag/time_stamp.h"
#include "settings/unique_key.h"

namespace lss {

std::u16string WindowsErrorText(SystemMessages& messages, Status code) {
  std::optional<std::u16string> text =
      messages.Lookup(format_message::kFromSystem | format_message::kIgnoreInserts,
                      static_cast<std::uint32_t>(code), 0);
  if (!text) return FormatText(u"error %d", {code});
  while (!text->empty() && (text->back() == u'\n' || text->back() == u'\r' ||
                            text->back() == u' ' || text->back() == u'.')) {
    text->pop_back();
  }
  return text->empty() ? FormatText(u"error %d", {code}) : *text;
}

std::u16string ReadMachineText(Registry& registry, std::uint32_t view, std::u16string_view key,
                               std::u16string_view name) {
  UniqueKey opened(registry);
  if (registry.OpenKey(kLocalMachine, key, reg::kKeyRead | view, opened.put()) != 0) return {};
  std::optional<SettingsStore::Text> read = ReadRegistryText(registry, opened.get(), name);
  if (!read || (read->type != reg::kSz && read->type != reg::kExpandSz)) return {};
  return std::move(read->text);
}

std::u16string ShownTime(const LocalTime& time) {
  return FormatLocalTime(u"%d-%m-%y %H:%M:%S", time).value_or(u"?");
}

std::u16string IsoTime(const LocalTime& time) {
  return FormatLocalTime(u"20%y-%m-%dT%H:%M:%S", time).value_or(u"");
}

std::u16string IsoTimeWithOffset(const LocalTime& time, std::int32_t offsetMinutes) {
  constexpr std::int32_t kDayMinutes = 24 * 60;
  std::u16string text = IsoTime(time);
  if (text.empty() || offsetMinutes <= -kDayMinutes || offsetMinutes >= kDayMinutes) return {};
  const std::int32_t size = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
  text += offsetMinutes < 0 ? u'-' : u'+';
  AppendDigits(text, size / 60, 2);
  text += u':';
  AppendDigits(text, size % 60, 2);
  return text;
}

}  // namespace lss
