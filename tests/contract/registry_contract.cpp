// What the registry does, read through the program's own reading code
// (SettingsStore) and through the raw query: each value type, the sizes a
// query is given, missing keys and values, and the two views of HKLM.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/rows.h"
#include "contract/contract_machine.h"
#include "settings/key_listing.h"
#include "settings/settings_store.h"
#include "settings/unique_key.h"

namespace lss::contract {
namespace {

using Bytes = std::vector<std::uint8_t>;

// UTF-16LE bytes with the terminating NUL, encoded here rather than by the program.
Bytes Utf16(std::u16string_view text) {
  Bytes bytes;
  for (const char16_t c : text) bytes.insert(bytes.end(), {std::uint8_t(c), std::uint8_t(c >> 8)});
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

class RegistryContract : public testing::Test {
 protected:
  // Creates the key (a backslash path below `root`) and stores one value there.
  // A text without its final NUL is stored as it is given only when no NUL
  // follows it in memory (Windows adds one that does), so the data is copied
  // in front of two bytes that are none.
  void Put(RegKey root, std::u16string_view key, std::uint32_t access, std::u16string_view name,
           std::uint32_t type, const Bytes& data) {
    UniqueKey opened(registry);
    ASSERT_EQ(registry.CreateKey(root, key, reg::kKeyReadWrite | access, opened.put()), 0);
    Bytes padded = data;
    padded.insert(padded.end(), {0xFF, 0xFF});
    ASSERT_EQ(registry.SetValue(opened.get(), name, type, padded.data(),
                                static_cast<std::uint32_t>(data.size())),
              0);
  }

  std::unique_ptr<ContractMachine> machine = MakeContractMachine();
  Registry& registry = machine->registry();
};

// --- each value type through the program's reads and the raw query ---------

struct ValueRow {
  const char* what;
  std::uint32_t type;
  Bytes data;
  std::uint32_t asInt;    // ReadSettingInt with the default -1
  std::u16string asText;  // ReadSettingString with an empty default
};

class ValueTypes : public RegistryContract, public testing::WithParamInterface<ValueRow> {};

TEST_P(ValueTypes, ReadAsIntAsTextAndRaw) {
  const ValueRow& c = GetParam();
  Put(kCurrentUser, std::u16string(kScratchKey) + u"\\Store\\Values", 0, u"Value", c.type, c.data);
  SettingsStore store(u"Store", SettingsStore::Access::kReadOnly);
  store.SetSettingsRoot(registry, u"LSSContract");
  EXPECT_EQ(store.ReadSettingInt(u"Values", u"value", -1), c.asInt) << c.what;
  EXPECT_EQ(store.ReadSettingString(u"Values", u"VALUE"), c.asText) << c.what;
  EXPECT_EQ(store.ReadSettingType(u"Values", u"Value"), c.type) << c.what;

  UniqueKey key = store.OpenSectionKey(u"Values");
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  ASSERT_EQ(registry.QueryValue(key.get(), u"Value", &type, nullptr, &size), 0) << c.what;
  EXPECT_EQ(type, c.type) << c.what;
  EXPECT_EQ(size, c.data.size()) << c.what;
  Bytes read(c.data.size() + 2, 0xCC);
  size = static_cast<std::uint32_t>(read.size());
  ASSERT_EQ(registry.QueryValue(key.get(), u"Value", &type, read.data(), &size), 0) << c.what;
  read.resize(size);
  EXPECT_EQ(read, c.data) << c.what << ": the stored bytes, unchanged and unexpanded";
}

INSTANTIATE_TEST_SUITE_P(
    , ValueTypes,
    testing::ValuesIn(std::vector<ValueRow>{
        {.what = "REG_DWORD 16",
         .type = reg::kDword,
         .data = {0x10, 0, 0, 0},
         .asInt = 16,
         .asText = u"\u0010"},
        {.what = "REG_DWORD -1",
         .type = reg::kDword,
         .data = {0xFF, 0xFF, 0xFF, 0xFF},
         .asInt = 0xFFFFFFFF,
         .asText = u"\uFFFF\uFFFF"},
        {.what = "REG_SZ \"7\"",
         .type = reg::kSz,
         .data = {'7', 0, 0, 0},
         .asInt = 55,
         .asText = u"7"},
        {.what = "REG_SZ \"77\" is too long for an int",
         .type = reg::kSz,
         .data = {'7', 0, '7', 0, 0, 0},
         .asInt = 0xFFFFFFFF,
         .asText = u"77"},
        {.what = "REG_SZ unterminated",
         .type = reg::kSz,
         .data = {'C', 0, ':', 0},
         .asInt = 0x003A0043,
         .asText = u"C:"},
        {.what = "REG_SZ of odd size drops the last byte",
         .type = reg::kSz,
         .data = {'C', 0, ':', 0, 'x'},
         .asInt = 0xFFFFFFFF,
         .asText = u"C:"},
        {.what = "REG_SZ of one byte",
         .type = reg::kSz,
         .data = {'x'},
         .asInt = 0x78,
         .asText = u""},
        {.what = "REG_SZ without data", .type = reg::kSz, .data = {}, .asInt = 0, .asText = u""},
        {.what = "REG_SZ beyond Latin-1",
         .type = reg::kSz,
         .data = {0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE},
         .asInt = 0xFFFFFFFF,
         .asText = u"\u20AC\U0001F600"},
        {.what = "REG_EXPAND_SZ is read raw",
         .type = reg::kExpandSz,
         .data = Utf16(u"%SystemRoot%\\x"),
         .asInt = 0xFFFFFFFF,
         .asText = u"%SystemRoot%\\x"},
        {.what = "REG_MULTI_SZ up to its first NUL",
         .type = reg::kMultiSz,
         .data = {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0},
         .asInt = 0xFFFFFFFF,
         .asText = u"a"},
        {.what = "REG_BINARY of 2 bytes zero-fills",
         .type = reg::kBinary,
         .data = {0x34, 0x12},
         .asInt = 0x1234,
         .asText = u"\u1234"},
        {.what = "REG_BINARY of 3 bytes",
         .type = reg::kBinary,
         .data = {1, 2, 3},
         .asInt = 0x030201,
         .asText = u"\u0201"},
        {.what = "REG_QWORD is too long for an int",
         .type = kQword,
         .data = {1, 0, 0, 0, 0, 0, 0, 0},
         .asInt = 0xFFFFFFFF,
         .asText = u"\u0001"},
        {.what = "REG_NONE without data",
         .type = reg::kNone,
         .data = {},
         .asInt = 0,
         .asText = u""},
    }),
    test::RowName);

// --- the size a raw query is given ------------------------------------------

struct SizeRow {
  const char* what;
  std::uint32_t type;
  Bytes data;
  std::optional<std::uint32_t> capacity;  // nothing: no buffer, the size alone
  Status status;
  std::uint32_t size;  // what the query leaves in *size
};

class QuerySizes : public RegistryContract, public testing::WithParamInterface<SizeRow> {};

TEST_P(QuerySizes, GiveTheStoredSizeAndMoreDataWhenShort) {
  const SizeRow& c = GetParam();
  const std::u16string key = std::u16string(kScratchKey) + u"\\Sizes";
  Put(kCurrentUser, key, 0, u"Value", c.type, c.data);
  UniqueKey opened(registry);
  ASSERT_EQ(registry.OpenKey(kCurrentUser, key, reg::kKeyRead, opened.put()), 0);
  Bytes buffer(c.capacity.value_or(0) + 1, 0xCC);
  std::uint32_t type = 0;
  std::uint32_t size = c.capacity.value_or(0);
  EXPECT_EQ(registry.QueryValue(opened.get(), u"Value", &type, c.capacity ? buffer.data() : nullptr,
                                &size),
            c.status)
      << c.what;
  EXPECT_EQ(size, c.size) << c.what;
  EXPECT_EQ(type, c.type) << c.what;
  if (c.capacity && c.status == 0) {
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + size), c.data) << c.what;
    EXPECT_EQ(buffer[size], 0xCC) << c.what << ": nothing written beyond the data";
  }
}

constexpr Status kMoreData = 234;  // ERROR_MORE_DATA

INSTANTIATE_TEST_SUITE_P(, QuerySizes,
                         testing::ValuesIn(std::vector<SizeRow>{
                             {.what = "no buffer: the size alone",
                              .type = reg::kSz,
                              .data = Utf16(u"abc"),
                              .capacity = std::nullopt,
                              .status = 0,
                              .size = 8},
                             {.what = "a buffer of 0 bytes",
                              .type = reg::kSz,
                              .data = Utf16(u"abc"),
                              .capacity = 0,
                              .status = kMoreData,
                              .size = 8},
                             {.what = "an odd buffer",
                              .type = reg::kSz,
                              .data = Utf16(u"abc"),
                              .capacity = 3,
                              .status = kMoreData,
                              .size = 8},
                             {.what = "one byte short",
                              .type = reg::kSz,
                              .data = Utf16(u"abc"),
                              .capacity = 7,
                              .status = kMoreData,
                              .size = 8},
                             {.what = "exactly the size",
                              .type = reg::kSz,
                              .data = Utf16(u"abc"),
                              .capacity = 8,
                              .status = 0,
                              .size = 8},
                             {.what = "a larger buffer",
                              .type = reg::kSz,
                              .data = Utf16(u"abc"),
                              .capacity = 64,
                              .status = 0,
                              .size = 8},
                             {.what = "an empty value in 0 bytes",
                              .type = reg::kBinary,
                              .data = {},
                              .capacity = 0,
                              .status = 0,
                              .size = 0},
                             {.what = "an odd value one byte short",
                              .type = reg::kBinary,
                              .data = {1, 2, 3},
                              .capacity = 2,
                              .status = kMoreData,
                              .size = 3},
                             {.what = "an odd value in its size",
                              .type = reg::kBinary,
                              .data = {1, 2, 3},
                              .capacity = 3,
                              .status = 0,
                              .size = 3},
                             {.what = "a REG_DWORD one byte short",
                              .type = reg::kDword,
                              .data = {1, 0, 0, 0},
                              .capacity = 3,
                              .status = kMoreData,
                              .size = 4},
                             {.what = "a REG_QWORD in a DWORD's size",
                              .type = kQword,
                              .data = {1, 0, 0, 0, 0, 0, 0, 0},
                              .capacity = 4,
                              .status = kMoreData,
                              .size = 8},
                             {.what = "a REG_EXPAND_SZ one byte short",
                              .type = reg::kExpandSz,
                              .data = Utf16(u"%TEMP%"),
                              .capacity = 13,
                              .status = kMoreData,
                              .size = 14},
                         }),
                         test::RowName);

TEST_F(RegistryContract, AReadOnlyStoreCreatesNothing) {
  SettingsStore store(u"Store", SettingsStore::Access::kReadOnly);
  store.SetSettingsRoot(registry, u"LSSContract");
  EXPECT_EQ(store.ReadSettingInt(u"Values", u"Value", 7), 7u);
  EXPECT_EQ(store.ReadSettingString(u"Values", u"Value", u"dflt"), u"dflt");
  RegKey key = kNoKey;
  EXPECT_EQ(registry.OpenKey(kCurrentUser, kScratchKey, reg::kKeyRead, &key), 2);
}

// --- the 32-bit and 64-bit views ----------------------------------------------

struct ViewRow {
  const char* what;
  RegKey root;
  const char16_t* key;
  std::uint32_t access;
  std::optional<std::u16string> bits;  // the value read; nothing: the key or value is not found
  const char16_t* value = u"Bits";
  bool keyFound = true;
};

class RegistryViews : public RegistryContract, public testing::WithParamInterface<ViewRow> {};

// A 64-bit program sees its own HKLM\Software unless it asks for the 32-bit
// view, which is WOW6432Node; HKCU\Software is one for both. A mail client
// registered by 32-bit Outlook lands in WOW6432Node, where the 64-bit check
// tool sees it through the 32-bit view alone. Names match without regard to
// case, and a key or value that is missing is not found.
TEST_P(RegistryViews, SeparateHklmSoftwareOnly) {
  const ViewRow& c = GetParam();
  const std::u16string scratch(kScratchKey);
  Put(kLocalMachine, scratch + u"\\Both", reg::kWow64_64Key, u"Bits", reg::kSz, Utf16(u"64"));
  Put(kLocalMachine, scratch + u"\\Both", reg::kWow64_32Key, u"Bits", reg::kSz, Utf16(u"32"));
  Put(kLocalMachine, scratch + u"\\Only32", reg::kWow64_32Key, u"", reg::kSz, Utf16(u"32"));
  Put(kLocalMachine, scratch + u"\\Only64", reg::kWow64_64Key, u"", reg::kSz, Utf16(u"64"));
  Put(kCurrentUser, scratch + u"\\Shared", reg::kWow64_32Key, u"Bits", reg::kSz, Utf16(u"user"));

  RegKey key = 0x1234;
  const Status open = registry.OpenKey(c.root, c.key, reg::kKeyRead | c.access, &key);
  ASSERT_EQ(open, c.keyFound ? 0 : 2) << c.what;
  if (open != 0) {
    EXPECT_EQ(key, kNoKey) << c.what;
    return;
  }
  UniqueKey opened(key, registry);
  Bytes data(64);
  auto size = static_cast<std::uint32_t>(data.size());
  const Status query = registry.QueryValue(opened.get(), c.value, nullptr, data.data(), &size);
  EXPECT_EQ(query, c.bits ? 0 : 2) << c.what;
  if (query == 0 && c.bits) {
    data.resize(size);
    EXPECT_EQ(data, Utf16(*c.bits)) << c.what;
  }
}

constexpr std::uint32_t k64 = reg::kWow64_64Key;
constexpr std::uint32_t k32 = reg::kWow64_32Key;

INSTANTIATE_TEST_SUITE_P(, RegistryViews,
                         testing::ValuesIn(std::vector<ViewRow>{
                             {.what = "HKLM, no view asked",
                              .root = kLocalMachine,
                              .key = u"Software\\LSSContract\\Both",
                              .access = 0,
                              .bits = u"64"},
                             {.what = "HKLM, 64-bit view",
                              .root = kLocalMachine,
                              .key = u"Software\\LSSContract\\Both",
                              .access = k64,
                              .bits = u"64"},
                             {.what = "HKLM, 32-bit view",
                              .root = kLocalMachine,
                              .key = u"Software\\LSSContract\\Both",
                              .access = k32,
                              .bits = u"32"},
                             {.what = "HKLM, WOW6432Node named",
                              .root = kLocalMachine,
                              .key = u"Software\\WOW6432Node\\LSSContract\\Both",
                              .access = 0,
                              .bits = u"32"},
                             {.what = "HKLM, 32-bit only, 64-bit view",
                              .root = kLocalMachine,
                              .key = u"Software\\LSSContract\\Only32",
                              .access = k64,
                              .bits = std::nullopt,
                              .value = u"",
                              .keyFound = false},
                             {.what = "HKLM, 32-bit only, 32-bit view",
                              .root = kLocalMachine,
                              .key = u"Software\\LSSContract\\Only32",
                              .access = k32,
                              .bits = u"32",
                              .value = u""},
                             {.what = "HKLM, 64-bit only, 64-bit view",
                              .root = kLocalMachine,
                              .key = u"Software\\LSSContract\\Only64",
                              .access = k64,
                              .bits = u"64",
                              .value = u""},
                             {.what = "HKLM, 64-bit only, 32-bit view",
                              .root = kLocalMachine,
                              .key = u"Software\\LSSContract\\Only64",
                              .access = k32,
                              .bits = std::nullopt,
                              .value = u"",
                              .keyFound = false},
                             {.what = "HKLM, a missing value",
                              .root = kLocalMachine,
                              .key = u"Software\\LSSContract\\Only64",
                              .access = k64,
                              .bits = std::nullopt,
                              .value = u"DLLPathEx"},
                             {.what = "HKLM, a missing key",
                              .root = kLocalMachine,
                              .key = u"Software\\LSSContract\\News",
                              .access = k64,
                              .bits = std::nullopt,
                              .value = u"Bits",
                              .keyFound = false},
                             {.what = "HKCU, 64-bit view",
                              .root = kCurrentUser,
                              .key = u"Software\\LSSContract\\Shared",
                              .access = k64,
                              .bits = u"user"},
                             {.what = "HKCU, 32-bit view",
                              .root = kCurrentUser,
                              .key = u"Software\\LSSContract\\Shared",
                              .access = k32,
                              .bits = u"user"},
                             {.what = "HKCU, no view asked",
                              .root = kCurrentUser,
                              .key = u"Software\\LSSContract\\Shared",
                              .access = 0,
                              .bits = u"user"},
                             {.what = "HKCU, names in another case",
                              .root = kCurrentUser,
                              .key = u"SOFTWARE\\lsscontract\\SHARED",
                              .access = 0,
                              .bits = u"user",
                              .value = u"bITS"},
                             {.what = "HKCU, a missing value",
                              .root = kCurrentUser,
                              .key = u"Software\\LSSContract\\Shared",
                              .access = 0,
                              .bits = std::nullopt,
                              .value = u"Other"},
                             {.what = "HKCU, a missing key",
                              .root = kCurrentUser,
                              .key = u"Software\\LSSContract\\Absent",
                              .access = 0,
                              .bits = std::nullopt,
                              .value = u"Bits",
                              .keyFound = false},
                             {.what = "HKCU, a missing level above the key",
                              .root = kCurrentUser,
                              .key = u"Software\\LSSContract\\Absent\\Shared",
                              .access = 0,
                              .bits = std::nullopt,
                              .value = u"Bits",
                              .keyFound = false},
                         }),
                         test::RowName);

// --- listing a key ------------------------------------------------------------

// The scratch key's List below HKCU: subkeys Alpha, beta and Gamma (Gamma
// holding Deep), and the values "" (REG_SZ "default"), Large (5000 bytes),
// Odd (type 0x20) and Wait (REG_DWORD 15). Each level is made in the order
// of its names, so Windows' order of creation and of names agree.
class KeyListingContract : public RegistryContract {
 protected:
  void SetUp() override {
    for (const char16_t* subkey : {u"Alpha", u"beta", u"Gamma", u"Gamma\\Deep"}) {
      Put(kCurrentUser, List() + u"\\" + subkey, 0, u"x", reg::kDword, {1, 0, 0, 0});
    }
    Put(kCurrentUser, List(), 0, u"", reg::kSz, Utf16(u"default"));
    Put(kCurrentUser, List(), 0, u"Large", reg::kBinary, Large());
    Put(kCurrentUser, List(), 0, u"Odd", 0x20, {1, 2, 3});
    Put(kCurrentUser, List(), 0, u"Wait", reg::kDword, {15, 0, 0, 0});
    ASSERT_EQ(registry.OpenKey(kCurrentUser, List(), reg::kKeyRead, key.put()), 0);
  }
  static std::u16string List() { return std::u16string(kScratchKey) + u"\\List"; }
  // More than a first read of ListKey takes.
  static Bytes Large() {
    Bytes large(5000);
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<std::uint8_t>(i);
    return large;
  }

  UniqueKey key{registry};
};

struct EnumRow {
  const char* what;
  bool values;  // EnumValue, else EnumKey
  std::uint32_t index;
  std::uint32_t nameCapacity;                                // characters
  std::optional<std::uint32_t> dataCapacity = std::nullopt;  // bytes; nothing: no buffer
  Status status = 0;
  std::u16string name = {};  // when it succeeds
  std::uint32_t type = 0;
  std::uint32_t size = 0;  // what EnumValue leaves in *size; 0: not looked at
};

class KeyEnumeration : public KeyListingContract, public testing::WithParamInterface<EnumRow> {};

TEST_P(KeyEnumeration, GoesByIndexInTheRegistrysOrder) {
  const EnumRow& row = GetParam();
  std::u16string name(row.nameCapacity + 1, u'#');
  std::uint32_t length = row.nameCapacity;
  if (!row.values) {
    ASSERT_EQ(registry.EnumKey(key.get(), row.index, name.data(), &length), row.status);
    if (row.status == 0) {
      EXPECT_EQ(name.substr(0, length), row.name);
    }
    return;
  }
  Bytes data(row.dataCapacity.value_or(0) + 1, 0xCC);
  std::uint32_t type = 0;
  std::uint32_t size = row.dataCapacity.value_or(0);
  ASSERT_EQ(registry.EnumValue(key.get(), row.index, name.data(), &length, &type,
                               row.dataCapacity ? data.data() : nullptr, &size),
            row.status);
  if (row.size != 0) {
    EXPECT_EQ(size, row.size);
  }
  if (row.status != 0) return;
  EXPECT_EQ(name.substr(0, length), row.name);
  EXPECT_EQ(name[length], u'\0');
  EXPECT_EQ(type, row.type);
  if (row.dataCapacity) {
    EXPECT_EQ(data[size], 0xCC) << "nothing written beyond the data";
  }
}

INSTANTIATE_TEST_SUITE_P(, KeyEnumeration,
                         testing::ValuesIn(std::vector<EnumRow>{
                             {.what = "the first subkey",
                              .values = false,
                              .index = 0,
                              .nameCapacity = 256,
                              .name = u"Alpha"},
                             {.what = "a subkey in lower case in its place",
                              .values = false,
                              .index = 1,
                              .nameCapacity = 256,
                              .name = u"beta"},
                             {.what = "the last subkey",
                              .values = false,
                              .index = 2,
                              .nameCapacity = 256,
                              .name = u"Gamma"},
                             {.what = "past the last subkey",
                              .values = false,
                              .index = 3,
                              .nameCapacity = 256,
                              .status = 259},
                             {.what = "a subkey name and its NUL just fit",
                              .values = false,
                              .index = 0,
                              .nameCapacity = 6,
                              .name = u"Alpha"},
                             {.what = "a subkey name without room for its NUL",
                              .values = false,
                              .index = 0,
                              .nameCapacity = 5,
                              .status = kMoreData},
                             {.what = "the default value first",
                              .values = true,
                              .index = 0,
                              .nameCapacity = 256,
                              .dataCapacity = 64,
                              .name = u"",
                              .type = reg::kSz,
                              .size = 16},
                             {.what = "a value of a type of its own",
                              .values = true,
                              .index = 2,
                              .nameCapacity = 256,
                              .dataCapacity = 64,
                              .name = u"Odd",
                              .type = 0x20,
                              .size = 3},
                             {.what = "the last value",
                              .values = true,
                              .index = 3,
                              .nameCapacity = 256,
                              .dataCapacity = 4,
                              .name = u"Wait",
                              .type = reg::kDword,
                              .size = 4},
                             {.what = "past the last value",
                              .values = true,
                              .index = 4,
                              .nameCapacity = 256,
                              .dataCapacity = 64,
                              .status = 259},
                             {.what = "no buffer: the size alone",
                              .values = true,
                              .index = 1,
                              .nameCapacity = 256,
                              .name = u"Large",
                              .type = reg::kBinary,
                              .size = 5000},
                             {.what = "data one byte short",
                              .values = true,
                              .index = 1,
                              .nameCapacity = 256,
                              .dataCapacity = 4999,
                              .status = kMoreData,
                              .size = 5000},
                             {.what = "a value name without room for its NUL",
                              .values = true,
                              .index = 3,
                              .nameCapacity = 4,
                              .dataCapacity = 64,
                              .status = kMoreData},
                         }),
                         test::RowName);

// Moved from the Win32 suite's ReadAUserKeyWhole: the support bundle reads
// the settings tree this way.
TEST_F(KeyListingContract, ListKeyReadsAKeyWholeInOrder) {
  KeyListing listing;
  ASSERT_EQ(ListKey(registry, kCurrentUser, List(), reg::kKeyRead | reg::kWow64_64Key, &listing),
            0);
  EXPECT_EQ(listing.subkeys, (std::vector<std::u16string>{u"Alpha", u"beta", u"Gamma"}));
  std::vector<std::u16string> names;
  std::map<std::u16string, std::pair<std::uint32_t, Bytes>> found;
  for (const ListedValue& value : listing.values) {
    names.push_back(value.name);
    found[value.name] = {value.type, value.data};
  }
  EXPECT_EQ(names, (std::vector<std::u16string>{u"", u"Large", u"Odd", u"Wait"}));
  EXPECT_EQ(found[u""], std::make_pair(reg::kSz, Utf16(u"default")));
  EXPECT_EQ(found[u"Large"], std::make_pair(reg::kBinary, Large()));
  EXPECT_EQ(found[u"Odd"], std::make_pair(std::uint32_t{0x20}, Bytes{1, 2, 3}));
  EXPECT_EQ(found[u"Wait"], std::make_pair(reg::kDword, Bytes{15, 0, 0, 0}));
}

struct ListKeyRow {
  const char* what;
  RegKey root;
  std::u16string key;
  std::uint32_t access;
  Status status;
  std::vector<std::u16string> subkeys = {};
  std::vector<std::u16string> values = {};
};

class KeyListings : public RegistryContract, public testing::WithParamInterface<ListKeyRow> {};

TEST_P(KeyListings, ReachTheKeyTheViewNames) {
  const ListKeyRow& row = GetParam();
  const std::u16string scratch(kScratchKey);
  Put(kLocalMachine, scratch + u"\\Both\\Sub64", reg::kWow64_64Key, u"Bits", reg::kSz,
      Utf16(u"64"));
  Put(kLocalMachine, scratch + u"\\Both\\Sub32", reg::kWow64_32Key, u"Bits32", reg::kSz,
      Utf16(u"32"));
  Put(kCurrentUser, scratch + u"\\Empty", 0, u"x", reg::kDword, {1, 0, 0, 0});
  KeyListing listing;
  listing.subkeys = {u"untouched"};
  ASSERT_EQ(ListKey(registry, row.root, row.key, reg::kKeyRead | row.access, &listing), row.status);
  if (row.status != 0) {
    EXPECT_EQ(listing.subkeys, std::vector<std::u16string>{u"untouched"});
    return;
  }
  EXPECT_EQ(listing.subkeys, row.subkeys);
  std::vector<std::u16string> names;
  for (const ListedValue& value : listing.values) names.push_back(value.name);
  EXPECT_EQ(names, row.values);
}

INSTANTIATE_TEST_SUITE_P(, KeyListings,
                         testing::ValuesIn(std::vector<ListKeyRow>{
                             {.what = "the 64-bit view",
                              .root = kLocalMachine,
                              .key = u"Software\\LSSContract\\Both",
                              .access = reg::kWow64_64Key,
                              .status = 0,
                              .subkeys = {u"Sub64"}},
                             {.what = "the 32-bit view",
                              .root = kLocalMachine,
                              .key = u"Software\\LSSContract\\Both",
                              .access = reg::kWow64_32Key,
                              .status = 0,
                              .subkeys = {u"Sub32"}},
                             {.what = "a key with one value and no subkey",
                              .root = kCurrentUser,
                              .key = u"Software\\LSSContract\\Empty",
                              .access = 0,
                              .status = 0,
                              .values = {u"x"}},
                             {.what = "a key in another case",
                              .root = kCurrentUser,
                              .key = u"SOFTWARE\\lsscontract\\EMPTY",
                              .access = 0,
                              .status = 0,
                              .values = {u"x"}},
                             {.what = "a missing key",
                              .root = kCurrentUser,
                              .key = u"Software\\LSSContract\\Missing",
                              .access = 0,
                              .status = 2},
                         }),
                         test::RowName);

}  // namespace
}  // namespace lss::contract
