#pragma once
// File attributes, opening files for appending, and the readiness queries.
#include "platform/file_system.h"

namespace lss {

class Win32FileSystem final : public FileSystem {
 public:
  Win32FileSystem() = default;

  bool Exists(std::u16string_view path) override;
  bool IsReadOnly(std::u16string_view path) override;
  std::unique_ptr<File> Create(std::u16string_view path) override;
  std::unique_ptr<File> OpenExisting(std::u16string_view path) override;
  bool IsFolder(std::u16string_view path) override;
  std::vector<Listed> ListFiles(std::u16string_view folder, std::u16string_view pattern) override;
  std::optional<Tail> ReadTail(std::u16string_view path, std::size_t maxBytes) override;
  Status CreateEmptyFile(std::u16string_view path) override;
  Status RemoveFile(std::u16string_view path) override;
  std::u16string SystemDirectory() override;
};

}  // namespace lss
