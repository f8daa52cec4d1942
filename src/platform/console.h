#pragma once
// Text output of a console program: its standard output and error streams.
#include <string_view>

namespace lss {

enum class OutputStream { kOutput, kError };

class Console {
 public:
  Console() = default;
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  virtual ~Console() = default;

  // Writes `text` (lines end in LF) to the stream: as wide text to a console
  // window, as UTF-8 with CR LF line ends to a file or pipe. Errors are dropped.
  virtual void Write(OutputStream stream, std::u16string_view text) = 0;
};

// The standard streams as the process was given them; the core decides what
// each gets (StreamConsole).
class ConsoleStreams {
 public:
  ConsoleStreams() = default;
  ConsoleStreams(const ConsoleStreams&) = delete;
  ConsoleStreams& operator=(const ConsoleStreams&) = delete;
  virtual ~ConsoleStreams() = default;

  // True when the stream is a console window (GetConsoleMode succeeds); false
  // for a file, a pipe or a stream the process was not given.
  virtual bool IsWindow(OutputStream stream) = 0;
  // Writes the units as they are to a console window (WriteConsoleW).
  // Errors are dropped.
  virtual void WriteWide(OutputStream stream, std::u16string_view text) = 0;
  // Writes the bytes as they are to a file or pipe (WriteFile); nothing when
  // the process has no such stream. Errors are dropped.
  virtual void WriteBytes(OutputStream stream, std::string_view bytes) = 0;
};

}  // namespace lss
