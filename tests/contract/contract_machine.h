#pragma once
// The machine the contract tables run on, made afresh for each row by the
// build that runs them: the fakes in the unit tests, the Win32 layer under
// Wine. Each row sets itself up through the interfaces where they can; the
// few set-ups no interface offers are here.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/rows.h"
#include "platform/check_queries.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/sync.h"

namespace lss::contract {

inline constexpr std::uint32_t kQword = 11;  // REG_QWORD

// The scratch key below HKCU and HKLM, and the one named mutex prefix; the
// machine clears them when it is made and when it goes.
inline constexpr std::u16string_view kScratchKey = u"Software\\LSSContract";
inline constexpr std::u16string_view kMutexPrefix = u"Local\\LSSContract_";

class ContractMachine {
 public:
  virtual ~ContractMachine() = default;

  // The check tool's, which lists keys and has all the file verbs.
  virtual Registry& registry() = 0;
  virtual FileSystem& files() = 0;
  virtual CheckQueries& queries() = 0;
  virtual Sync& sync() = 0;
  virtual Clock& clock() = 0;

  // An empty folder that exists, without a separator at the end.
  virtual std::u16string Folder() = 0;
  // A folder or a file (with these bytes) inside Folder(), by its name there.
  virtual void PutFolder(std::u16string_view name) = 0;
  virtual void PutFile(std::u16string_view name, std::string_view bytes, bool readOnly) = 0;

  // Runs `step` on another thread of this process and lets that thread end.
  virtual void RunOnOtherThread(const std::function<void()>& step) = 0;
  // Another thread takes the named mutex and keeps it until the machine goes.
  virtual void HoldOnOtherThread(std::u16string_view name) = 0;
  // An object of another kind (an event) takes the name until the machine goes.
  virtual void PutOtherObject(std::u16string_view name) = 0;

  // A whole command line split as the system splits it: CommandLineToArgvW
  // under Wine; the core's own SplitCommandLine, which the fakes use, natively.
  virtual std::vector<std::u16string> SplitCommandLine(std::u16string_view line) = 0;
};

// A row prints as its `what` (in the tables' own unnamed namespace, where
// GoogleTest's lookup finds it).
namespace {
using lss::test::PrintTo;
}  // namespace

// Made by each build: tests/contract/fake_contract_machine.cpp natively,
// win32_contract_machine.cpp under Wine.
std::unique_ptr<ContractMachine> MakeContractMachine();

// True when the tables run under Wine. A row that Wine cannot show as
// Windows does carries the reason and is skipped there; the fakes still hold
// it to Windows' answer.
bool OnWine();

// What Wine run by root does otherwise than Windows: the read-only attribute
// is the Unix file's missing write permission, which root does not need.
inline constexpr const char* kRootWritesReadOnlyFiles =
    "Wine run as root opens a read-only file for writing (Windows: ERROR_ACCESS_DENIED)";

}  // namespace lss::contract
