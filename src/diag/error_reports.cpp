#include "diag/com_error.h"
#include "diag/exceptions.h"
#include "diag/text_format.h"

namespace lss {

namespace {

// Log entries: the README's troubleshooting table explains each one.
constexpr std::u16string_view kComErrorReport =
    u"LSScheduler Error: Code = %08lx,Meaning = %s,Source = %s,Description = %s";
constexpr std::u16string_view kExceptionReport =
    u"LSScheduler Error: Code = %08lx, Description = %s";

}  // namespace

std::u16string ComErrorReport(const _com_error& error, SystemMessages& messages) {
  const std::optional<std::u16string> source = error.Source();
  const std::optional<std::u16string> description = error.Description();
  return FormatText(kComErrorReport, {static_cast<std::uint32_t>(error.Error()),
                                      error.ComErrorMessage(messages), source, description});
}

std::optional<std::u16string> ExceptionReport(CException* exception, SystemMessages& messages) {
  if (exception == nullptr) return std::nullopt;
  std::uint32_t code = 0;
  const std::u16string text = DescribeException(exception, messages, &code, true);
  return FormatText(kExceptionReport, {code, text});
}

}  // namespace lss
