#include "diag/com_error.h"

#include <new>

#include "diag/text_format.h"
#include "platform/system_messages.h"

namespace lss {

namespace {

constexpr std::u16string_view kDispatchError = u"IDispatch error #%d";
constexpr std::u16string_view kUnknownError = u"Unknown error 0x%0lX";

// The message keeps the system's inserts (%1) as they are.
constexpr std::uint32_t kComMessageFlags = format_message::kAllocateBuffer |
                                           format_message::kFromSystem |
                                           format_message::kIgnoreInserts;  // 0x1300
constexpr std::uint32_t kUserDefaultLanguage = 0x0400;

constexpr std::uint32_t kFirstDispatchCode = 0x80040200;
constexpr std::uint32_t kLastDispatchCode = 0x8004FFFF;

// Dispatch error numbers live in FACILITY_ITF above its first 0x200 codes; 0 means none.
std::int32_t DispatchErrorNumber(std::uint32_t code) {
  if (code < kFirstDispatchCode || code > kLastDispatchCode) return 0;
  return static_cast<std::int32_t>(code - kFirstDispatchCode);
}

void RemoveTrailingLineBreak(std::u16string& text) {
  if (text.size() <= 1) return;
  if (text.back() == u'\n') {
    text.pop_back();
    if (!text.empty() && text.back() == u'\r') text.pop_back();
  }
}

}  // namespace

std::optional<std::u16string> _com_error::Source() const {
  return info_ ? info_->source : std::nullopt;
}

std::optional<std::u16string> _com_error::Description() const {
  return info_ ? info_->description : std::nullopt;
}

const std::optional<std::u16string>& _com_error::ComErrorMessage(SystemMessages& messages) const {
  if (messageComputed_) return message_;
  const auto code = static_cast<std::uint32_t>(code_);
  try {
    message_ = messages.Lookup(kComMessageFlags, code, kUserDefaultLanguage);
    if (message_) {
      RemoveTrailingLineBreak(*message_);
    } else if (const std::int32_t number = DispatchErrorNumber(code); number != 0) {
      message_ = FormatText(kDispatchError, {number});
    } else {
      message_ = FormatText(kUnknownError, {code});
    }
  } catch (const std::bad_alloc&) {
    // No room even for the short fallback: the message stays absent, and the
    // next call tries again.
    message_.reset();
    return message_;
  }
  messageComputed_ = true;
  return message_;
}

std::u16string DescribeComError(const _com_error& error, SystemMessages& messages,
                                std::uint32_t* code) {
  if (code != nullptr) *code = static_cast<std::uint32_t>(error.Error());
  std::optional<std::u16string> description = error.Description();
  if (description && !description->empty()) return std::move(*description);
  return error.ComErrorMessage(messages).value_or(std::u16string());
}

}  // namespace lss
