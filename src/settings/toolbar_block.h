#pragma once
// Keeps the add-in from loading its toolbar during a run that starts and
// ends Outlook, and undoes a block that an interrupted run left behind.
#include <cstdint>
#include <string_view>

#include "diag/run_log.h"
#include "settings/settings_store.h"

namespace lss {

// The three steps are called at fixed points of the start-up sequence; none
// runs by itself on the way out, so an error that ends the run early leaves
// the block pending for the next start to undo.
class ToolbarBlock {
 public:
  ToolbarBlock(SettingsStore& settings, RunLog& log) : settings_(settings), log_(log) {}

  // Every start: a pending BlockToolbarLoadOrg goes back into BlockToolbarLoad.
  void RecoverToolbarLoad();
  // Blocks the toolbar unless `prior` (BlockToolbarLoad before the run) is 1.
  void BlockToolbar(std::int32_t prior);
  // Puts `prior` back (-1 as 0) exactly when BlockToolbar blocked.
  void UnblockToolbar(std::int32_t prior);

 private:
  SettingsStore& settings_;
  RunLog& log_;
};

}  // namespace lss
