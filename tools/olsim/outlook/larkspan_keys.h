#pragma once
// The add-in's per-user keys under HKEY_CURRENT_USER.

namespace olsim {

inline constexpr wchar_t kSettingsKey[] = L"Software\\Brinmoor\\Larkspan\\Settings";
inline constexpr wchar_t kAdminOptionsKey[] =
    L"Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions";

}  // namespace olsim
