#pragma once
// What the check tool's support bundle (--collect) alone asks of the
// operating system: a new folder and new files, the user's settings key read
// whole, and Windows' own version. Nothing here replaces or deletes a file
// that existed before.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/types.h"

namespace lss {

struct RegistryValueRead {
  std::u16string name;  // empty for the key's default value
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;  // exactly as stored
};

struct RegistryKeyRead {
  std::vector<std::u16string> subkeys;   // names, in the registry's order
  std::vector<RegistryValueRead> values;  // in the registry's order
};

class CollectQueries {
 public:
  CollectQueries() = default;
  CollectQueries(const CollectQueries&) = delete;
  CollectQueries& operator=(const CollectQueries&) = delete;
  virtual ~CollectQueries() = default;

  // What `path` names now; a relative path is taken from the current folder.
  virtual PathKind Look(std::u16string_view path) = 0;
  // Creates the folder and every missing folder above it. 0 when the folder
  // exists afterwards (also when it existed before); otherwise the Win32
  // error, e.g. ERROR_ALREADY_EXISTS when a file has the name.
  virtual Status CreateFolders(std::u16string_view path) = 0;
  // Creates a new file holding exactly `bytes`, never replacing one
  // (ERROR_FILE_EXISTS when the name is taken). When a write fails the file
  // is deleted again. 0, or the Win32 error of the failure.
  virtual Status WriteNewFile(std::u16string_view path, std::string_view bytes) = 0;
  // Reads the key HKCU\`key` of this user (the 64-bit view): its subkeys'
  // names and all its values. 0 with *read filled; ERROR_FILE_NOT_FOUND when
  // the key does not exist; any other Win32 error when it cannot be read.
  virtual Status ReadUserKey(std::u16string_view key, RegistryKeyRead* read) = 0;
  // Windows' version as the kernel reports it, not as compatibility shims
  // make it: "10.0.22631". Empty when it cannot be read.
  virtual std::u16string WindowsVersion() = 0;
};

}  // namespace lss
