#pragma once
// The files and folders both programs need: the run log's, and the check
// tool's and its support bundle's.
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

// What a path names.
enum class PathKind {
  kMissing,            // nothing has the name (neither it nor a folder above it exists)
  kFile,               // a file
  kEmptyFolder,        // a folder without files or folders in it
  kFolderWithEntries,  // a folder that holds at least one file or folder
  kUnknown,            // it exists but cannot be examined (e.g. access denied)
};

class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // True when the path's attributes can be read (file or folder).
  virtual bool Exists(std::u16string_view path) = 0;
  // True when the path names an existing file (not a folder).
  virtual bool IsFile(std::u16string_view path) = 0;
  // True when the path names an existing folder (not a file).
  virtual bool IsFolder(std::u16string_view path) = 0;
  // True when the existing path carries the read-only attribute.
  virtual bool IsReadOnly(std::u16string_view path) = 0;
  // What `path` names now; a relative path is taken from the current folder.
  virtual PathKind Look(std::u16string_view path) = 0;
  // Creates the file, or opens it unchanged when it exists by now (never
  // truncates). Shared for reading and writing. Null on failure.
  virtual std::unique_ptr<File> Create(std::u16string_view path) = 0;
  // Opens an existing file for appending without truncating it. Shared for
  // reading and writing. Null on failure.
  virtual std::unique_ptr<File> OpenExisting(std::u16string_view path) = 0;
  // Creates an empty file (replacing one of that name) and closes it again.
  // 0, or the Win32 error code of the failure.
  virtual Status CreateEmptyFile(std::u16string_view path) = 0;

  // Creates one folder (CreateDirectoryW) inside an existing one. 0, or the
  // Win32 error: ERROR_ALREADY_EXISTS when anything of that name exists,
  // ERROR_PATH_NOT_FOUND when the parent is missing or is a file.
  virtual Status CreateFolder(std::u16string_view path) = 0;
  // Creates the folder and every missing folder above it. 0 when the folder
  // exists afterwards (also when it existed before); otherwise the Win32
  // error, e.g. ERROR_ALREADY_EXISTS when a file has the name, or
  // ERROR_PATH_NOT_FOUND when a file has the name of a folder above it.
  virtual Status CreateFolders(std::u16string_view path) = 0;

  struct Entry {
    std::u16string name;  // without the folder
    bool isFolder = false;
    bool isLink = false;     // a reparse point: a symbolic link, junction or mount point
    std::uint64_t size = 0;  // a file's size in bytes; 0 for a folder
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

  // --- The check tool's alone ------------------------------------------------
  // Their Win32 mapping imports calls the scheduler never makes (ReadFile,
  // FlushFileBuffers, RemoveDirectoryW, version.dll), so the scheduler's
  // mapping leaves them out and answers as below; the check tool's has them.

  struct Tail {
    std::string bytes;       // the last bytes of the file, at most as many as asked for
    std::uint64_t size = 0;  // the whole file's size
  };
  // Reads at most `maxBytes` from the end of an existing file, sharing it with
  // its writers. Nothing when it cannot be opened or read.
  virtual std::optional<Tail> ReadTail(std::u16string_view /*path*/, std::size_t /*maxBytes*/) {
    return std::nullopt;
  }
  // Reads at most `maxBytes` of an existing file from `offset`, sharing it
  // with its writers; fewer when the file ends sooner, none when it ends at or
  // before `offset`. Nothing when it cannot be opened or read.
  virtual std::optional<std::string> ReadAt(std::u16string_view /*path*/, std::uint64_t /*offset*/,
                                            std::size_t /*maxBytes*/) {
    return std::nullopt;
  }
  // Creates a new file holding exactly `bytes`, never replacing one
  // (ERROR_FILE_EXISTS when the name is taken). When a write fails the file
  // is deleted again. 0, or the Win32 error of the failure
  // (ERROR_CALL_NOT_IMPLEMENTED without the check tool's mapping).
  virtual Status WriteNewFile(std::u16string_view /*path*/, std::string_view /*bytes*/) {
    return win32_error::kCallNotImplemented;
  }
  // Removes an empty folder (RemoveDirectoryW). 0, or the Win32 error code
  // (ERROR_CALL_NOT_IMPLEMENTED without the check tool's mapping).
  virtual Status RemoveFolder(std::u16string_view /*path*/) {
    return win32_error::kCallNotImplemented;
  }
  // The file version of a program file's version resource (its
  // VS_FIXEDFILEINFO) as "a.b.c.d". Nothing when the file or its version
  // resource is missing or unreadable.
  virtual std::optional<std::u16string> FileVersion(std::u16string_view /*path*/) {
    return std::nullopt;
  }
};

}  // namespace lss
