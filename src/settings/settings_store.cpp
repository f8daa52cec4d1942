#include "settings/settings_store.h"

#include <utility>
#include <vector>

#include "settings/registry_text.h"

namespace lss {

namespace {

constexpr std::u16string_view kSoftwareKey = u"software";

}  // namespace

void SettingsStore::SetSettingsRoot(Registry& registry, std::u16string_view vendor) {
  registry_ = &registry;
  vendorKey_.assign(vendor);
  productKey_ = appName_;
}

UniqueKey SettingsStore::OpenProductKey() {
  if (registry_ == nullptr) {
    return UniqueKey();  // not rooted yet
  }
  Registry& registry = *registry_;
  UniqueKey software(registry);
  UniqueKey vendor(registry);
  UniqueKey product(registry);
  if (access_ == Access::kReadOnly) {
    if (registry.OpenKey(kCurrentUser, kSoftwareKey, reg::kKeyRead, software.put()) == 0 &&
        registry.OpenKey(software.get(), vendorKey_, reg::kKeyRead, vendor.put()) == 0) {
      registry.OpenKey(vendor.get(), productKey_, reg::kKeyRead, product.put());
    }
    return product;
  }
  if (registry.OpenKey(kCurrentUser, kSoftwareKey, reg::kKeyReadWrite, software.put()) != 0) {
    return product;
  }
  if (registry.CreateKey(software.get(), vendorKey_, reg::kKeyReadWrite, vendor.put()) != 0) {
    return product;
  }
  registry.CreateKey(vendor.get(), productKey_, reg::kKeyReadWrite, product.put());
  return product;
}

UniqueKey SettingsStore::OpenSectionKey(std::u16string_view section) {
  UniqueKey product = OpenProductKey();
  if (!product) {
    return product;
  }
  UniqueKey sectionKey(*registry_);
  if (access_ == Access::kReadOnly) {
    registry_->OpenKey(product.get(), section, reg::kKeyRead, sectionKey.put());
  } else {
    registry_->CreateKey(product.get(), section, reg::kKeyReadWrite, sectionKey.put());
  }
  return sectionKey;
}

std::uint32_t SettingsStore::ReadSettingInt(std::u16string_view section, std::u16string_view name,
                                            std::int32_t defaultValue) {
  UniqueKey key = OpenSectionKey(section);
  if (!key) {
    return static_cast<std::uint32_t>(defaultValue);
  }
  std::uint8_t data[4] = {};
  std::uint32_t type = 0;
  std::uint32_t size = sizeof data;
  if (registry_->QueryValue(key.get(), name, &type, data, &size) != 0) {
    return static_cast<std::uint32_t>(defaultValue);
  }
  return std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 | std::uint32_t{data[2]} << 16 |
         std::uint32_t{data[3]} << 24;
}

bool SettingsStore::WriteSettingInt(std::u16string_view section, std::u16string_view name,
                                    std::int32_t value) {
  if (access_ == Access::kReadOnly) {
    return false;
  }
  UniqueKey key = OpenSectionKey(section);
  if (!key) {
    return false;
  }
  const auto bits = static_cast<std::uint32_t>(value);
  const std::uint8_t data[4] = {std::uint8_t(bits), std::uint8_t(bits >> 8),
                                std::uint8_t(bits >> 16), std::uint8_t(bits >> 24)};
  return registry_->SetValue(key.get(), name, reg::kDword, data, sizeof data) == 0;
}

std::u16string SettingsStore::ReadSettingString(std::u16string_view section,
                                                std::u16string_view name,
                                                std::u16string_view defaultValue) {
  std::optional<Text> stored = ReadSettingText(section, name);
  return stored ? std::move(stored->text) : std::u16string(defaultValue);
}

std::optional<SettingsStore::Text> SettingsStore::ReadSettingText(std::u16string_view section,
                                                                  std::u16string_view name) {
  UniqueKey key = OpenSectionKey(section);
  if (!key) {
    return std::nullopt;
  }
  return ReadRegistryText(*registry_, key.get(), name);
}

std::optional<SettingsStore::Text> ReadRegistryText(Registry& registry, RegKey key,
                                                    std::u16string_view name) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (registry.QueryValue(key, name, &type, nullptr, &size) != 0) {
    return std::nullopt;
  }
  // One spare character takes an odd last byte, so the read never runs past the buffer.
  const std::size_t chars = size / 2;
  std::vector<std::uint8_t> buffer((chars + 1) * 2, 0);
  if (registry.QueryValue(key, name, &type, buffer.data(), &size) != 0) {
    return std::nullopt;  // missing by now, or grown in between
  }
  return SettingsStore::Text{type, DecodeRegistryText(buffer.data(), chars)};
}

std::u16string SettingsStore::ReadSettingExpandable(std::u16string_view section,
                                                    std::u16string_view name,
                                                    Environment& environment) {
  std::optional<Text> stored = ReadSettingText(section, name);
  if (!stored) return {};
  if (stored->type != reg::kExpandSz) return std::move(stored->text);
  return environment.ExpandEnvironment(stored->text);
}

bool SettingsStore::WriteSettingString(std::u16string_view section, std::u16string_view name,
                                       std::u16string_view value) {
  if (access_ == Access::kReadOnly) {
    return false;
  }
  UniqueKey key = OpenSectionKey(section);
  if (!key) {
    return false;
  }
  const std::vector<std::uint8_t> data = EncodeRegistryText(value);
  return registry_->SetValue(key.get(), name, reg::kSz, data.data(),
                             static_cast<std::uint32_t>(data.size())) == 0;
}

std::optional<std::uint32_t> SettingsStore::ReadSettingType(std::u16string_view section,
                                                           std::u16string_view name) {
  UniqueKey key = OpenSectionKey(section);
  std::uint32_t type = reg::kNone;
  std::uint32_t size = 0;
  if (!key || registry_->QueryValue(key.get(), name, &type, nullptr, &size) != 0) {
    return std::nullopt;
  }
  return type;
}

}  // namespace lss
