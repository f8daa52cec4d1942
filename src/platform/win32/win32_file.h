#pragma once
// An open file handle whose writes append at the end of the file.
#include "handles/win32_handles.h"
#include "platform/file_system.h"

namespace lss {

class Win32File final : public File {
 public:
  // `handle` is open with append access; the file closes it.
  explicit Win32File(UniqueFile handle) : handle_(std::move(handle)) {}

  bool SeekToEnd() override;
  bool Append(const std::uint8_t* data, std::size_t size) override;

 private:
  UniqueFile handle_;
};

}  // namespace lss
