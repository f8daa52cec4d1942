#pragma once
// The user's settings as `reg export` writes them, for settings.reg: a file
// that `reg import` reads back to the same keys, types and bytes.
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/system_messages.h"
#include "settings/key_listing.h"

namespace lss {

// One key of a registry tree and its values, for settings.reg.
struct RegistryKeyDump {
  std::u16string path;  // in full, e.g. u"HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan"
  std::vector<ListedValue> values;
};

// The keys as `reg export` writes them: UTF-16 LE with a byte-order mark,
// CR LF line ends, "Windows Registry Editor Version 5.00", a [section] per key
// in the order given, and each value in the form `reg import` reads back to
// the same type and bytes (text that would not survive the round trip is
// written as hex(1) or hex(2)).
std::string FormatRegExport(const std::vector<RegistryKeyDump>& keys);

// The tree under HKCU\`key` (the 64-bit view), read through the registry's
// listing: parents before their subkeys, each level in the registry's order;
// nothing when `key` does not exist. What cannot be read is left out with a
// note.
std::vector<RegistryKeyDump> ReadUserTree(Registry& registry, SystemMessages& messages,
                                          std::u16string_view key,
                                          std::vector<std::u16string>* notes);

}  // namespace lss
