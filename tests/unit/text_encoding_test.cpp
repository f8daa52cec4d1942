#include "diag/text_encoding.h"

#include <gtest/gtest.h>

#include "diag/stream_console.h"

#include <string>

using namespace std::string_literals;

#include "common/rows.h"

namespace lss::test {
namespace {

using lss::test::PrintTo;

struct EncodingRow {
  const char* what;
  std::u16string text;
  std::string utf8;   // as the console writes it to a file
  std::string utf16;  // without the byte-order mark
};

class TextEncoding : public testing::TestWithParam<EncodingRow> {};

TEST_P(TextEncoding, GivesTheBytesOfUtf8AndOfUtf16) {
  const EncodingRow& row = GetParam();
  EXPECT_EQ(Utf8WithCrLf(row.text), row.utf8);
  EXPECT_EQ(Utf16LeWithBom(row.text), "\xFF\xFE" + row.utf16);
}

const EncodingRow kRows[] = {
    {.what = "nothing", .text = u"", .utf8 = "", .utf16 = ""s},
    {.what = "ASCII as it is", .text = u"OK: x", .utf8 = "OK: x", .utf16 = "O\0K\0:\0 \0x\0"s},
    {.what = "LF as CR LF in UTF-8 only",
     .text = u"a\nb\n",
     .utf8 = "a\r\nb\r\n",
     .utf16 = "a\0\n\0b\0\n\0"s},
    {.what = "a CR alone stays", .text = u"a\r", .utf8 = "a\r", .utf16 = "a\0\r\0"s},
    {.what = "two and three bytes",
     .text = u"\u00E9\u2013\u65E5",
     .utf8 = "\xC3\xA9\xE2\x80\x93\xE6\x97\xA5",
     .utf16 = "\xE9\x00\x13\x20\xE5\x65"s},
    {.what = "the last of two and of three bytes",
     .text = u"\u07FF\uFFFF",
     .utf8 = "\xDF\xBF\xEF\xBF\xBF",
     .utf16 = "\xFF\x07\xFF\xFF"s},
    {.what = "a surrogate pair as four bytes",
     .text = u"\U0001F600",
     .utf8 = "\xF0\x9F\x98\x80",
     .utf16 = "\x3D\xD8\x00\xDE"s},
    {.what = "the highest pair",
     .text = u"\U0010FFFF",
     .utf8 = "\xF4\x8F\xBF\xBF",
     .utf16 = "\xFF\xDB\xFF\xDF"s},
    {.what = "an unpaired high surrogate at the end",
     .text = std::u16string(u"a") + char16_t{0xD800},
     .utf8 = "a\xEF\xBF\xBD",
     .utf16 = "a\0\x00\xD8"s},
    {.what = "an unpaired high surrogate before a letter",
     .text = std::u16string(1, char16_t{0xDBFF}) + u"b",
     .utf8 = "\xEF\xBF\xBD"
             "b",
     .utf16 = "\xFF\xDB"
              "b\0"s},
    {.what = "an unpaired low surrogate",
     .text = std::u16string(1, char16_t{0xDC00}) + u"c",
     .utf8 = "\xEF\xBF\xBD"
             "c",
     .utf16 = "\x00\xDC"
              "c\0"s},
    {.what = "a low surrogate before a high one is two unpaired",
     .text = std::u16string{char16_t{0xDFFF}, char16_t{0xD83D}},
     .utf8 = "\xEF\xBF\xBD\xEF\xBF\xBD",
     .utf16 = "\xFF\xDF\x3D\xD8"s},
};

INSTANTIATE_TEST_SUITE_P(, TextEncoding, testing::ValuesIn(kRows), lss::test::RowName);

// Standard streams that keep what is written to each, as a window or not.
class RecordingStreams : public ConsoleStreams {
 public:
  explicit RecordingStreams(bool windows) : windows_(windows) {}
  bool IsWindow(OutputStream) override { return windows_; }
  void WriteWide(OutputStream stream, std::u16string_view text) override {
    wide[stream == OutputStream::kError] += text;
  }
  void WriteBytes(OutputStream stream, std::string_view written) override {
    bytes[stream == OutputStream::kError] += written;
  }
  std::u16string wide[2];  // output, error
  std::string bytes[2];

 private:
  bool windows_;
};

struct ConsoleRow {
  const char* what;
  bool window;
  OutputStream stream;
  std::u16string text;
  std::u16string wide;  // what the window got
  std::string bytes;    // what the file or pipe got
};

class StreamConsoleWrites : public testing::TestWithParam<ConsoleRow> {};

TEST_P(StreamConsoleWrites, WideTextToAWindowAndUtf8ToAFile) {
  const ConsoleRow& row = GetParam();
  RecordingStreams streams(row.window);
  StreamConsole console(streams);
  console.Write(row.stream, row.text);
  const int at = row.stream == OutputStream::kError ? 1 : 0;
  EXPECT_EQ(streams.wide[at], row.wide);
  EXPECT_EQ(streams.bytes[at], row.bytes);
  EXPECT_EQ(streams.wide[1 - at], u"") << "the other stream";
  EXPECT_EQ(streams.bytes[1 - at], "") << "the other stream";
}

const ConsoleRow kConsoleRows[] = {
    {.what = "a window gets the units with CR LF",
     .window = true,
     .stream = OutputStream::kOutput,
     .text = u"\u00E9\n" + std::u16string(1, char16_t{0xD800}) + u"\n",
     .wide = u"\u00E9\r\n" + std::u16string(1, char16_t{0xD800}) + u"\r\n"},
    {.what = "a file gets UTF-8 with CR LF",
     .window = false,
     .stream = OutputStream::kOutput,
     .text = u"\u00E9\n",
     .bytes = "\xC3\xA9\r\n"},
    {.what = "the error stream keeps its own",
     .window = false,
     .stream = OutputStream::kError,
     .text = u"x\n",
     .bytes = "x\r\n"},
    {.what = "no text writes nothing",
     .window = true,
     .stream = OutputStream::kOutput,
     .text = u""},
};

INSTANTIATE_TEST_SUITE_P(, StreamConsoleWrites, testing::ValuesIn(kConsoleRows),
                         lss::test::RowName);

}  // namespace
}  // namespace lss::test
