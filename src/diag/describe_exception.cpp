#include "diag/com_error.h"
#include "diag/exceptions.h"

namespace lss {

namespace {

constexpr std::uint32_t kUnexpected = 0x8000FFFF;  // E_UNEXPECTED
constexpr std::u16string_view kSourceSeparator = u":";
constexpr std::uint32_t kMessageBufferChars = 512;

// Disposes of the exception on every way out, also when describing it throws.
class DisposeOnExit {
 public:
  DisposeOnExit(CException* exception, bool dispose) : exception_(dispose ? exception : nullptr) {}
  ~DisposeOnExit() {
    if (exception_ != nullptr) exception_->Delete();
  }
  DisposeOnExit(const DisposeOnExit&) = delete;
  DisposeOnExit& operator=(const DisposeOnExit&) = delete;

 private:
  CException* exception_;
};

std::u16string DispatchText(const COleDispatchException& exception) {
  if (exception.source().empty()) return exception.description();
  std::u16string text = exception.source();
  text += kSourceSeparator;
  text += exception.description();
  return text;
}

}  // namespace

std::u16string DescribeException(CException* exception, SystemMessages& messages,
                                 std::uint32_t* code, bool deleteException) {
  std::uint32_t result = kUnexpected;
  std::u16string text;
  if (exception != nullptr) {
    DisposeOnExit dispose(exception, deleteException);
    if (const auto* ole = dynamic_cast<const COleException*>(exception)) {
      result = static_cast<std::uint32_t>(ole->scode());
    }
    if (const auto* dispatch = dynamic_cast<const COleDispatchException*>(exception)) {
      result = static_cast<std::uint32_t>(dispatch->scode());
      text = DispatchText(*dispatch);
    } else {
      // One short of the buffer, as the framework's callers have always passed.
      char16_t buffer[kMessageBufferChars] = {};
      exception->GetErrorMessage(buffer, kMessageBufferChars - 1, messages);
      text = buffer;
    }
    if (text.empty()) {
      text = DescribeComError(_com_error(static_cast<HResult>(result)), messages);
    }
  }
  if (code != nullptr) *code = result != 0 ? result : kUnexpected;
  return text;
}

}  // namespace lss
