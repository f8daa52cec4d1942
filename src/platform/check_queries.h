#pragma once
// What the check tool alone asks of the operating system: files and folders,
// the user's running programs, a look at a named mutex, and a few texts of its
// own process and machine. The scheduler never links these. The registry, both
// views of HKLM included, it reads through Registry.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/types.h"

namespace lss {

// What a look at a named mutex found.
enum class MutexState {
  kMissing,      // nothing has the name
  kFree,         // a mutex nobody owns
  kAbandoned,    // a mutex whose owner ended without releasing it
  kHeld,         // a mutex another thread owns now
  kOtherObject,  // the name belongs to another kind of object
  kUnknown,      // it could not be opened or waited for (see `error`)
};

struct MutexProbe {
  MutexState state = MutexState::kUnknown;
  Status error = 0;  // the Win32 error behind kUnknown
};

class CheckQueries : public Environment {
 public:
  CheckQueries() = default;
  CheckQueries(const CheckQueries&) = delete;
  CheckQueries& operator=(const CheckQueries&) = delete;
  virtual ~CheckQueries() = default;

  struct Listed {
    std::u16string name;  // without the folder
    std::uint64_t size = 0;
  };
  struct Tail {
    std::string bytes;       // the last bytes of the file, at most as many as asked for
    std::uint64_t size = 0;  // the whole file's size
  };

  // True when the path names an existing file (not a folder).
  virtual bool IsFile(std::u16string_view path) = 0;
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
  // Reads at most `maxBytes` of an existing file from `offset`, sharing it
  // with its writers; fewer when the file ends sooner, none when it ends at or
  // before `offset`. Nothing when it cannot be opened or read.
  virtual std::optional<std::string> ReadAt(std::u16string_view path, std::uint64_t offset,
                                            std::size_t maxBytes) = 0;
  // The file version of a program file's version resource (its
  // VS_FIXEDFILEINFO) as "a.b.c.d". Nothing when the file or its version
  // resource is missing or unreadable.
  virtual std::optional<std::u16string> FileVersion(std::u16string_view path) = 0;
  // Creates an empty file (replacing one of that name) and closes it again.
  // 0, or the Win32 error code of the failure.
  virtual Status CreateEmptyFile(std::u16string_view path) = 0;
  // Deletes a file. 0, or the Win32 error code of the failure.
  virtual Status RemoveFile(std::u16string_view path) = 0;
  // Creates an empty folder inside an existing one (CreateDirectoryW), and
  // removes an empty folder (RemoveDirectoryW). 0, or the Win32 error code.
  virtual Status CreateFolder(std::u16string_view path) = 0;
  virtual Status RemoveFolder(std::u16string_view path) = 0;
  // The system directory (GetSystemDirectoryW), without a trailing
  // backslash; empty when it cannot be found.
  virtual std::u16string SystemDirectory() = 0;
  // The full path of this program's own file (GetModuleFileNameW); empty
  // when it cannot be read.
  virtual std::u16string ProgramPath() = 0;
  // The IMAGE_FILE_MACHINE_* value of the processor Windows runs on, not the
  // one this process is emulated as (0xAA64 for an x64 program on an Arm
  // computer); 0 when it cannot be told.
  virtual std::uint16_t NativeMachine() = 0;
  // The computer's NetBIOS name (GetComputerNameW); empty when it cannot be
  // read.
  virtual std::u16string ComputerName() = 0;
  // This process's user as DOMAIN\name, as GetUserNameExW's NameSamCompatible
  // gives it (the account of the process's token); empty when it cannot be
  // read.
  virtual std::u16string UserName() = 0;
  // `text` with this process's environment variables (%NAME%) replaced, as
  // Environment promises; the check reads the scheduler's settings with it.
  std::u16string ExpandEnvironment(std::u16string_view text) override = 0;

  // True when a process other than this one, running under this process's
  // user account, was started from a program file named `imageName` (a file
  // name without folder, compared without regard to case). Processes whose
  // account cannot be read count as another user's.
  virtual bool IsProgramRunning(std::u16string_view imageName) = 0;
  // Looks at the named mutex without creating it: opens it only when it
  // exists, waits for it zero milliseconds, gives back at once what that wait
  // took, and closes it. Never leaves a mutex behind or held.
  virtual MutexProbe ProbeMutex(std::u16string_view name) = 0;

  // The minutes to add to UTC to reach the local time `local`, by the
  // machine's time zone and its daylight saving rules for that date
  // (TzSpecificLocalTimeToSystemTime): 60 for 02:00 in winter in Berlin, 330
  // in India. Nothing for a time that is not a calendar time or cannot be
  // converted.
  virtual std::optional<std::int32_t> UtcOffsetMinutes(const LocalTime& local) = 0;
};

}  // namespace lss
