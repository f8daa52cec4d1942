// Any message, lone surrogates and line breaks included, gives a log entry
// whose lines hold at most 200 characters, stamped only on the first, with
// CR LF breaks and each character as its Latin-1 byte or '?'.
#include <string>

#include "diag/run_log.h"
#include "fake/fake_clock.h"
#include "fake/fake_file_system.h"
#include "fuzz/fuzz_input.h"

namespace {

constexpr std::size_t kLineLength = 200;
constexpr std::u16string_view kLogPath = u"C:\\Logs\\Scheduler061226164509.log";
constexpr std::u16string_view kStamp = u"06-12-26 16:45:09: ";

}  // namespace

void lss::fuzz::TestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string message = DecodeText(data, size);
  lss::test::FakeClock clock(lss::LocalTime{2026, 12, 6, 16, 45, 9});
  lss::test::FakeFileSystem files;
  files.disk().AddFolder(u"C:\\Logs");
  {
    lss::RunLog log;
    log.Open(clock, files, u"C:\\Logs");
    log.Write(message);
  }
  const std::string bytes = files.disk().Contents(kLogPath).value_or("");

  // Walk the entry's text against the file: a line break before every
  // 200-character piece, CR LF for LF, one byte for every other character.
  const std::u16string text = std::u16string(kStamp) + message;
  std::size_t at = 0;
  const auto take = [&](std::string_view expected) {
    Require(bytes.compare(at, expected.size(), expected) == 0, "the bytes follow the text");
    at += expected.size();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i % kLineLength == 0) take("\r\n");
    const char16_t c = text[i];
    if (c == u'\n') {
      take("\r\n");
    } else {
      const char byte = c <= 0xFF ? static_cast<char>(c) : '?';
      take(std::string_view(&byte, 1));
    }
  }
  Require(at == bytes.size(), "nothing follows the entry");

  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\n') continue;
    Require(i > 0 && bytes[i - 1] == '\r', "every line break is CR LF");
    Require(i - 1 - lineStart <= kLineLength, "a line holds at most 200 characters");
    lineStart = i + 1;
  }
  Require(bytes.size() - lineStart <= kLineLength, "the last line holds at most 200 characters");
}
