#pragma once
// The sections and values of the product's per-user settings, and the mutex
// of the add-in. The add-in uses the same names.
#include <string>
#include <string_view>

namespace lss {

inline constexpr std::u16string_view kVendorKey = u"Brinmoor";
inline constexpr std::u16string_view kApplicationName = u"Larkspan";

inline constexpr std::u16string_view kSettingsSection = u"Settings";
inline constexpr std::u16string_view kSectionSeparator = u"\\";
inline constexpr std::u16string_view kAdminOptionsKey = u"AdminOptions";

// Settings
inline constexpr std::u16string_view kBlockToolbarLoad = u"BlockToolbarLoad";
inline constexpr std::u16string_view kBlockToolbarLoadOrg = u"BlockToolbarLoadOrg";
inline constexpr std::u16string_view kWaitSecondsForOutlookStart = u"WaitSecondsForOutlookStart";
inline constexpr std::u16string_view kLogDirectory = u"LogDirectory";
inline constexpr std::u16string_view kLogRetentionDays = u"LogRetentionDays";

// Settings\AdminOptions: the hand-off values
inline constexpr std::u16string_view kTaskName = u"TaskName";
inline constexpr std::u16string_view kTaskRun = u"TaskRun";
inline constexpr std::u16string_view kAutoRunExit = u"AutoRunExit";

// The mutex the add-in owns while it synchronizes.
inline constexpr std::u16string_view kSyncMutexName = u"LSSyncMutex";

// Settings\AdminOptions
inline std::u16string HandOffSection() {
  std::u16string section(kSettingsSection);
  section += kSectionSeparator;
  section += kAdminOptionsKey;
  return section;
}

}  // namespace lss
