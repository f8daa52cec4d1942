#pragma once
// What every start hands to the add-in.
#include <string_view>

#include "settings/settings_store.h"

namespace lss {

// TaskName = the -n value (empty without one), TaskRun = 1, AutoRunExit = 0,
// in this order. Failed writes go unnoticed.
void WriteHandOffValues(SettingsStore& settings, std::u16string_view taskName);

}  // namespace lss
