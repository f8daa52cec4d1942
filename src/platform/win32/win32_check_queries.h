#pragma once
// The check tool's queries, each passed to the Win32 call that answers it.
#include "platform/check_queries.h"

namespace lss {

class Win32CheckQueries final : public CheckQueries {
 public:
  Win32CheckQueries() = default;

  std::u16string SystemDirectory() override;
  std::u16string ProgramPath() override;
  std::uint16_t NativeMachine() override;
  std::u16string WindowsVersion() override;
  std::u16string ComputerName() override;
  std::u16string UserName() override;
  bool IsProgramRunning(std::u16string_view imageName) override;
  MutexProbe ProbeMutex(std::u16string_view name) override;
  std::optional<std::int32_t> UtcOffsetMinutes(const LocalTime& local) override;
};

}  // namespace lss
