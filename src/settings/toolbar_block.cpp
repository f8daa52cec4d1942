#include "settings/toolbar_block.h"

#include "diag/run_log_entries.h"
#include "settings/setting_names.h"

namespace lss {

namespace {

constexpr std::int32_t kNonePending = -1;
constexpr std::int32_t kBlocked = 1;

}  // namespace

void ToolbarBlock::RecoverToolbarLoad() {
  const auto pending = static_cast<std::int32_t>(
      settings_.ReadSettingInt(kSettingsSection, kBlockToolbarLoadOrg, kNonePending));
  if (pending == kNonePending) {
    return;
  }
  settings_.WriteSettingInt(kSettingsSection, kBlockToolbarLoad, pending);
  settings_.WriteSettingInt(kSettingsSection, kBlockToolbarLoadOrg, kNonePending);
}

void ToolbarBlock::BlockToolbar(std::int32_t prior) {
  if (prior == kBlocked) {
    return;
  }
  // Nothing guards these entries: a failed log write must not cost the block.
  log_.WriteQuietly(kBlockEntry);
  settings_.WriteSettingInt(kSettingsSection, kBlockToolbarLoad, kBlocked);
  // What an interrupted run's successor restores: "allowed", not the prior value.
  settings_.WriteSettingInt(kSettingsSection, kBlockToolbarLoadOrg, 0);
}

void ToolbarBlock::UnblockToolbar(std::int32_t prior) {
  if (prior == kBlocked) {
    return;
  }
  const std::int32_t restored = prior == kNonePending ? 0 : prior;
  log_.WriteQuietly(kDeBlockEntry);
  settings_.WriteSettingInt(kSettingsSection, kBlockToolbarLoad, restored);
  settings_.WriteSettingInt(kSettingsSection, kBlockToolbarLoadOrg, kNonePending);
}

}  // namespace lss
