#pragma once
// What the check tool alone asks of the operating system besides files and
// the registry: the user's running programs, a look at a named mutex, the
// time zone's offset, and a few texts of its own process and machine. The
// scheduler never links these. Files it reads and writes through FileSystem,
// the registry (both views of HKLM, and listing keys) through Registry.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
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

class CheckQueries {
 public:
  CheckQueries() = default;
  CheckQueries(const CheckQueries&) = delete;
  CheckQueries& operator=(const CheckQueries&) = delete;
  virtual ~CheckQueries() = default;

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
  // Windows' version as the kernel reports it, not as compatibility shims
  // make it: "10.0.22631". Empty when it cannot be read.
  virtual std::u16string WindowsVersion() = 0;
  // The computer's NetBIOS name (GetComputerNameW); empty when it cannot be
  // read.
  virtual std::u16string ComputerName() = 0;
  // This process's user as DOMAIN\name, as GetUserNameExW's NameSamCompatible
  // gives it (the account of the process's token); empty when it cannot be
  // read.
  virtual std::u16string UserName() = 0;

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
