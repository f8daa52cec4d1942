#include "outlook/handoff.h"

#include <windows.h>

#include <optional>
#include <string>

#include "common/registry_values.h"
#include "common/text.h"
#include "outlook/larkspan_keys.h"

namespace olsim {
namespace {

constexpr char kMissing[] = "(missing)";

std::string Unsigned(std::optional<DWORD> value) {
  return value ? std::to_string(*value) : kMissing;
}

std::string Signed(std::optional<DWORD> value) {
  return value ? std::to_string(static_cast<long>(static_cast<LONG>(*value))) : kMissing;
}

}  // namespace

void JournalHandoff(const Journal& journal) {
  const std::optional<std::wstring> taskName =
      ReadString(HKEY_CURRENT_USER, kAdminOptionsKey, L"TaskName");
  const std::optional<DWORD> taskRun = ReadDword(HKEY_CURRENT_USER, kAdminOptionsKey, L"TaskRun");
  const std::optional<DWORD> autoRunExit =
      ReadDword(HKEY_CURRENT_USER, kAdminOptionsKey, L"AutoRunExit");
  const std::optional<DWORD> blockToolbar =
      ReadDword(HKEY_CURRENT_USER, kSettingsKey, L"BlockToolbarLoad");
  const bool blocked = blockToolbar && *blockToolbar == 1;
  journal.Write("handoff", {{"TaskName", taskName ? ToUtf8(*taskName) : kMissing},
                            {"TaskRun", Unsigned(taskRun)},
                            {"AutoRunExit", Unsigned(autoRunExit)},
                            {"BlockToolbarLoad", Signed(blockToolbar)},
                            {"toolbar", blocked ? "blocked" : "loaded"}});
}

}  // namespace olsim
