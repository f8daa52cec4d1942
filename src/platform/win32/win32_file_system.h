#pragma once
// File attributes and opening files for appending.
#include "platform/file_system.h"

namespace lss {

class Win32FileSystem final : public FileSystem {
 public:
  Win32FileSystem() = default;

  bool Exists(std::u16string_view path) override;
  bool IsReadOnly(std::u16string_view path) override;
  std::unique_ptr<File> Create(std::u16string_view path) override;
  std::unique_ptr<File> OpenExisting(std::u16string_view path) override;
};

}  // namespace lss
