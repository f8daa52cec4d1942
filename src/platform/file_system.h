#pragma once
// The files and folders the run log needs.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace lss {

// An open file, closed by its destructor. Writes always land at the end of
// the file, each as one append operation, so concurrent writers from other
// processes never overwrite each other.
class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  virtual ~File() = default;

  // Moves the file position to the end of the file; false when that fails.
  virtual bool SeekToEnd() = 0;
  // Appends the bytes in one write; false when it fails or writes less.
  virtual bool Append(const std::uint8_t* data, std::size_t size) = 0;
};

class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // True when the path's attributes can be read (file or folder).
  virtual bool Exists(std::u16string_view path) = 0;
  // True when the existing path carries the read-only attribute.
  virtual bool IsReadOnly(std::u16string_view path) = 0;
  // Creates the file, or opens it unchanged when it exists by now (never
  // truncates). Shared for reading and writing. Null on failure.
  virtual std::unique_ptr<File> Create(std::u16string_view path) = 0;
  // Opens an existing file for appending without truncating it. Shared for
  // reading and writing. Null on failure.
  virtual std::unique_ptr<File> OpenExisting(std::u16string_view path) = 0;

  // Creates one folder (CreateDirectoryW) inside an existing one. 0, or the
  // Win32 error: ERROR_ALREADY_EXISTS when anything of that name exists,
  // ERROR_PATH_NOT_FOUND when the parent is missing or is a file.
  virtual Status CreateFolder(std::u16string_view path) = 0;

  struct Entry {
    std::u16string name;  // without the folder
    bool isFolder = false;
    bool isLink = false;  // a reparse point: a symbolic link, junction or mount point
  };
  // The entries directly inside `folder` whose names match `pattern` with
  // the wildcards * and ? (FindFirstFileW, which may match a short 8.3 name
  // too), in no particular order; never "." or "..". Looks into no entry and
  // follows no link. Empty when the folder is missing or cannot be read.
  virtual std::vector<Entry> ListFolder(std::u16string_view folder,
                                        std::u16string_view pattern) = 0;
  // Deletes a file (DeleteFileW); a folder or a read-only file stays. 0, or
  // the Win32 error.
  virtual Status RemoveFile(std::u16string_view path) = 0;
};

}  // namespace lss
