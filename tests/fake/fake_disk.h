#pragma once
// The one disk of a fake machine, which the scheduler's and the check's file
// fakes both work on. Files and folders are named as on Windows
// (fake_paths.h); a file keeps the name it was last created with. Like Win32,
// a file or folder is created only inside a known folder, and a read-only file
// can be neither written nor deleted.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace lss::test {

class FakeDisk {
 public:
  struct File {
    std::u16string path;  // as last created
    std::string bytes;
    bool readOnly = false;
    bool link = false;  // a reparse point, never followed
  };
  // What lies directly inside a folder, by its name there.
  struct Entry {
    std::u16string name;
    const File* file;  // nullptr for a folder
  };

  // Set-up and inspection.
  void AddFolder(std::u16string_view path);
  void AddFile(std::u16string_view path, std::string_view bytes = {}, bool readOnly = false);
  // A symbolic link to a file: listed as a link, deleted like a file.
  void AddLink(std::u16string_view path);
  // A file's bytes, or nothing when it does not exist.
  std::optional<std::string> Contents(std::u16string_view path) const {
    const File* file = FindFile(path);
    return file ? std::optional(file->bytes) : std::nullopt;
  }
  std::vector<std::u16string> FilePaths() const;
  bool FolderExists(std::u16string_view path) const;
  // File versions by path (without regard to case), for files that have one.
  std::map<std::u16string, std::u16string> fileVersions;

  // What the file fakes share.
  const File* FindFile(std::u16string_view path) const;
  File* FindFile(std::u16string_view path) {
    return const_cast<File*>(std::as_const(*this).FindFile(path));
  }
  // Files first, then folders, each in the order of their names; those whose
  // names match Win32's wildcards in `pattern`.
  std::vector<Entry> Inside(std::u16string_view folder, std::u16string_view pattern = u"*") const;
  // CreateDirectoryW, RemoveDirectoryW (of an empty folder only), DeleteFileW:
  // 0 or the Win32 error.
  // `denied`: the folder refuses the change (ERROR_ACCESS_DENIED).
  Status CreateFolder(std::u16string_view path, bool denied = false);
  Status RemoveFolder(std::u16string_view path, bool denied = false);
  Status RemoveFile(std::u16string_view path, bool denied = false);

 private:
  std::map<std::u16string, File> files_;              // by PathKey
  std::map<std::u16string, std::u16string> folders_;  // by FolderKey: the name first given
};

}  // namespace lss::test
