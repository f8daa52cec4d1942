#pragma once
// The files the run log needs, and the queries the readiness checks make.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
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

  struct Listed {
    std::u16string name;  // without the folder
    std::uint64_t size = 0;
  };
  struct Tail {
    std::string bytes;       // the last bytes of the file, at most as many as asked for
    std::uint64_t size = 0;  // the whole file's size
  };

  // True when the path names an existing folder (not a file).
  virtual bool IsFolder(std::u16string_view path) = 0;
  // The files (never folders) directly inside `folder` whose names match
  // `pattern` with the wildcards * and ?, in no particular order. Empty when
  // the folder is missing or cannot be read.
  virtual std::vector<Listed> ListFiles(std::u16string_view folder,
                                        std::u16string_view pattern) = 0;
  // Reads at most `maxBytes` from the end of an existing file, sharing it with
  // its writers. Nothing when it cannot be opened or read.
  virtual std::optional<Tail> ReadTail(std::u16string_view path, std::size_t maxBytes) = 0;
  // Creates an empty file (replacing one of that name) and closes it again.
  // 0, or the Win32 error code of the failure.
  virtual Status CreateEmptyFile(std::u16string_view path) = 0;
  // Deletes a file. 0, or the Win32 error code of the failure.
  virtual Status RemoveFile(std::u16string_view path) = 0;
  // The system directory (GetSystemDirectoryW), without a trailing
  // backslash; empty when it cannot be found.
  virtual std::u16string SystemDirectory() = 0;
};

}  // namespace lss
