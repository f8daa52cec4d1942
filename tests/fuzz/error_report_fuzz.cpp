// Any HRESULT and any system message text give a report line that shows the
// code and the text (or its fallback) without reading past anything.
#include "diag/com_error.h"
#include "diag/exceptions.h"
#include "diag/text_format.h"
#include "fake/fake_system_messages.h"
#include "fuzz/fuzz_input.h"

constexpr std::size_t kMaxMessageChars = 510;  // the framework's buffer, one short, less the NUL

void lss::fuzz::TestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return;
  const std::uint32_t code = ReadUint32(data);
  const bool hasText = (data[4] & 1) != 0;
  const std::u16string text = DecodeText(data + 5, size - 5);

  lss::test::FakeSystemMessages messages;
  if (hasText) messages.Set(code, text);

  const std::u16string codeText = lss::FormatText(u"%08lx", {code});
  const lss::_com_error error(static_cast<lss::HResult>(code));
  const std::u16string report = lss::ComErrorReport(error, messages);
  const std::u16string head = u"LSScheduler Error: Code = " + codeText + u",Meaning = ";
  const std::u16string tail = u",Source = (null),Description = (null)";
  Require(report.starts_with(head), "the report starts with the code");
  Require(report.size() >= head.size() + tail.size() && report.ends_with(tail),
          "the report ends with source and description");
  const std::u16string meaning =
      report.substr(head.size(), report.size() - head.size() - tail.size());
  if (hasText) {
    const std::u16string_view cut = std::u16string_view(text).substr(meaning.size());
    Require(text.starts_with(meaning) && (cut.empty() || cut == u"\n" || cut == u"\r\n") &&
                (text.size() > 1 || cut.empty()),
            "the meaning is the system's text less one trailing line break");
  } else {
    Require(meaning.starts_with(u"IDispatch error #") || meaning.starts_with(u"Unknown error 0x"),
            "without a system text the meaning is a fallback");
  }

  const std::optional<std::u16string> line =
      lss::ExceptionReport(new lss::COleException(static_cast<std::int32_t>(code)), messages);
  const std::u16string expectedCode = code != 0 ? codeText : u"8000ffff";
  const std::u16string prefix = u"LSScheduler Error: Code = " + expectedCode + u", Description = ";
  Require(line && line->starts_with(prefix), "the exception report starts with its code");
  const std::u16string description = line->substr(prefix.size());
  const std::u16string_view shown = std::u16string_view(text).substr(0, text.find(u'\0'));
  if (hasText && !shown.empty()) {
    Require(description == shown.substr(0, kMaxMessageChars),
            "the exception's text is the system's, cut to the buffer");
  }
}
