// Any value type and any bytes, odd sizes and missing NULs included, read
// back as text or number within the stored data and with the defaults.
#include <vector>

#include "fake/fake_registry.h"
#include "fuzz/fuzz_input.h"
#include "outlook/outlook_launcher.h"
#include "settings/settings_store.h"

namespace {

constexpr std::u16string_view kSection = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings";
constexpr std::u16string_view kAppPaths =
    u"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
constexpr std::int32_t kDefaultInt = -7;
constexpr std::u16string_view kDefaultText = u"<default>";
constexpr std::size_t kMaxPathBytes = 1023 * 2;

// The stored UTF-16LE text up to its first NUL; an odd last byte is no character.
std::u16string StoredText(const std::vector<std::uint8_t>& bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto c = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

}  // namespace

void lss::fuzz::TestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return;
  const std::uint32_t type = ReadUint32(data);
  const std::vector<std::uint8_t> bytes(data + 4, data + size);

  lss::test::FakeRegistry registry;
  registry.Set(kSection, u"Value", type, bytes);
  registry.Set(kAppPaths, u"Path", type, bytes);

  lss::SettingsStore store(u"Larkspan");
  store.SetSettingsRoot(registry, u"Brinmoor");
  std::uint32_t expectedInt = static_cast<std::uint32_t>(kDefaultInt);
  if (bytes.size() <= 4) {
    expectedInt = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      expectedInt |= std::uint32_t{bytes[i]} << (8 * i);
    }
  }
  Require(store.ReadSettingInt(u"Settings", u"Value", kDefaultInt) == expectedInt,
          "a number is the stored bits of up to 4 bytes, else the default");
  Require(store.ReadSettingInt(u"Settings", u"Missing", kDefaultInt) ==
              static_cast<std::uint32_t>(kDefaultInt),
          "a missing number is the default");
  Require(store.ReadSettingString(u"Settings", u"Value", kDefaultText) == StoredText(bytes),
          "a text is the stored characters up to the first NUL");
  Require(store.ReadSettingString(u"Settings", u"Missing", kDefaultText) == kDefaultText,
          "a missing text is the default");

  std::u16string path;
  const bool found = lss::FindOutlookPath(registry, path);
  const bool readable = type == lss::reg::kSz && bytes.size() <= kMaxPathBytes;
  Require(found == readable, "Outlook's path is read from a REG_SZ of at most 1023 characters");
  Require(!found || path == StoredText(bytes) + u"OUTLOOK.EXE",
          "Outlook's path is the stored text");
  Require(registry.openHandles() == 0, "every key is closed");
}
