#pragma once
// File attributes, opening files for appending, making folders, listing
// and deleting files.
#include "platform/file_system.h"

namespace lss {

class Win32FileSystem final : public FileSystem {
 public:
  Win32FileSystem() = default;

  bool Exists(std::u16string_view path) override;
  bool IsReadOnly(std::u16string_view path) override;
  std::unique_ptr<File> Create(std::u16string_view path) override;
  std::unique_ptr<File> OpenExisting(std::u16string_view path) override;
  Status CreateFolder(std::u16string_view path) override;
  std::vector<Entry> ListFolder(std::u16string_view folder, std::u16string_view pattern) override;
  Status RemoveFile(std::u16string_view path) override;
};

}  // namespace lss
