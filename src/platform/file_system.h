#pragma once
// The files the run log needs.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

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
};

}  // namespace lss
