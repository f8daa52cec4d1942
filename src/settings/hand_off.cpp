#include "settings/hand_off.h"

#include "settings/setting_names.h"

namespace lss {

void WriteHandOffValues(SettingsStore& settings, std::u16string_view taskName) {
  const std::u16string section = HandOffSection();
  settings.WriteSettingString(section, kTaskName, taskName);
  settings.WriteSettingInt(section, kTaskRun, 1);
  settings.WriteSettingInt(section, kAutoRunExit, 0);
}

}  // namespace lss
