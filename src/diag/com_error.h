#pragma once
// The COM error exception, thrown by value for failed MAPI calls.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/types.h"

namespace lss {

class CException;
class SystemMessages;

// What IErrorInfo supplies: a source and a description, each possibly absent.
struct ErrorInfo {
  std::optional<std::u16string> source;
  std::optional<std::u16string> description;
};

class _com_error {
 public:
  explicit _com_error(HResult code, std::shared_ptr<const ErrorInfo> info = nullptr)
      : code_(code), info_(std::move(info)) {}

  HResult Error() const { return code_; }
  std::optional<std::u16string> Source() const;
  std::optional<std::u16string> Description() const;

  // The system's message for the code without its trailing line break, or
  // "IDispatch error #n" / "Unknown error 0xX"; computed once, then kept.
  // Absent only when even the fallback text cannot be allocated.
  const std::optional<std::u16string>& ComErrorMessage(SystemMessages& messages) const;

 private:
  HResult code_;
  std::shared_ptr<const ErrorInfo> info_;
  mutable bool messageComputed_ = false;
  mutable std::optional<std::u16string> message_;
};

// The description when the error carries one, else ComErrorMessage (empty
// when absent). Stores the code into *code when given.
std::u16string DescribeComError(const _com_error& error, SystemMessages& messages,
                                std::uint32_t* code = nullptr);

// A code and a text for a framework exception; disposes of it when
// `deleteException` is set. A null exception gives 0x8000FFFF and "".
std::u16string DescribeException(CException* exception, SystemMessages& messages,
                                 std::uint32_t* code, bool deleteException);

// The two report lines of the top-level handlers.
std::u16string ComErrorReport(const _com_error& error, SystemMessages& messages);
// Nothing for a null exception; disposes of the exception.
std::optional<std::u16string> ExceptionReport(CException* exception,
                                              SystemMessages& messages);

}  // namespace lss
