#pragma once
// File attributes, opening files for appending, making folders, listing
// and deleting files: the calls both programs make. The check tool's own
// verbs are in win32_check_file_system.h.
#include "platform/file_system.h"

namespace lss {

class Win32FileSystem : public FileSystem {
 public:
  Win32FileSystem() = default;

  bool Exists(std::u16string_view path) override;
  bool IsFile(std::u16string_view path) override;
  bool IsFolder(std::u16string_view path) override;
  bool IsReadOnly(std::u16string_view path) override;
  PathKind Look(std::u16string_view path) override;
  std::unique_ptr<File> Create(std::u16string_view path) override;
  std::unique_ptr<File> OpenExisting(std::u16string_view path) override;
  Status CreateEmptyFile(std::u16string_view path) override;
  Status CreateFolder(std::u16string_view path) override;
  Status CreateFolders(std::u16string_view path) override;
  std::vector<Entry> ListFolder(std::u16string_view folder, std::u16string_view pattern) override;
  Status RemoveFile(std::u16string_view path) override;
};

}  // namespace lss
