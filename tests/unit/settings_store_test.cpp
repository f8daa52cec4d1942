#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/rows.h"
#include "fake/fake_environment.h"
#include "fake/fake_registry.h"
#include "settings/registry_text.h"

namespace lss {
namespace {

using test::PrintTo;

using test::FakeRegistry;

constexpr std::u16string_view kSettingsKey = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings";

class SettingsStoreTest : public testing::Test {
 protected:
  void SetUp() override { store.SetSettingsRoot(registry, u"Brinmoor"); }
  void TearDown() override {
    EXPECT_EQ(registry.openHandles(), 0u) << "a key was left open";
    EXPECT_EQ(registry.badCloses(), 0);
  }
  test::CallJournal journal;
  FakeRegistry registry{&journal};
  SettingsStore store{u"Larkspan"};
};

TEST_F(SettingsStoreTest, FirstReadCreatesTheKeysButNoValueAndMissingValuesGiveTheDefault) {
  EXPECT_EQ(store.ReadSettingInt(u"Settings", u"BlockToolbarLoadOrg", -1), 0xFFFFFFFFu);
  EXPECT_EQ(store.ReadSettingInt(u"Settings", u"Missing", 7), 7u);
  EXPECT_EQ(store.ReadSettingString(u"Settings", u"Missing", u"dflt"), u"dflt");
  EXPECT_EQ(store.ReadSettingString(u"Settings", u"Missing"), u"");
  EXPECT_TRUE(registry.KeyExists(kSettingsKey));
  EXPECT_EQ(journal.Matching("RegSetValue"), std::vector<std::string>{});
}

TEST_F(SettingsStoreTest, WritesCreateNestedSectionsWithExactEncodings) {
  EXPECT_TRUE(store.WriteSettingString(u"Settings\\AdminOptions", u"TaskName", u""));
  EXPECT_TRUE(store.WriteSettingInt(u"Settings\\AdminOptions", u"TaskRun", -2));
  EXPECT_TRUE(store.WriteSettingString(u"Settings", u"Name", std::u16string(u"ab\0cd", 5)));
  const auto adminKey = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions";
  const auto empty = registry.Get(adminKey, u"TaskName");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->type, reg::kSz);
  EXPECT_EQ(empty->data, (std::vector<std::uint8_t>{0, 0}));
  const auto run = registry.Get(adminKey, u"TaskRun");
  ASSERT_TRUE(run);
  EXPECT_EQ(run->type, reg::kDword);
  EXPECT_EQ(run->data, (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(registry.Get(kSettingsKey, u"Name")->data,
            (std::vector<std::uint8_t>{'a', 0, 'b', 0, 0, 0}));
  EXPECT_EQ(store.ReadSettingString(u"Settings\\AdminOptions", u"TaskName", u"x"), u"");
}

// A path setting as a run reads it, given the variables of its environment;
// only REG_EXPAND_SZ asks the environment.
struct ExpandCase {
  const char* what;
  std::uint32_t type;
  std::u16string stored;
  std::u16string expected;
  bool expanded;  // the environment was asked
};

const ExpandCase kExpansions[] = {
    {.what = "REG_SZ keeps % literal",
     .type = reg::kSz,
     .stored = u"%LOCALAPPDATA%\\Larkspan\\Logs",
     .expected = u"%LOCALAPPDATA%\\Larkspan\\Logs",
     .expanded = false},
    {.what = "REG_EXPAND_SZ is expanded",
     .type = reg::kExpandSz,
     .stored = u"%LocalAppData%\\Larkspan\\Logs",
     .expected = u"C:\\Users\\ana\\AppData\\Local\\Larkspan\\Logs",
     .expanded = true},
    {.what = "an unset variable stays as written",
     .type = reg::kExpandSz,
     .stored = u"C:\\%NOSUCH%\\Logs",
     .expected = u"C:\\%NOSUCH%\\Logs",
     .expanded = true},
    {.what = "a lone % stays",
     .type = reg::kExpandSz,
     .stored = u"C:\\100%\\Logs",
     .expected = u"C:\\100%\\Logs",
     .expanded = true},
    {.what = "longer than MAX_PATH, whole",
     .type = reg::kExpandSz,
     .stored = u"%DEEP%\\Logs",
     .expected = u"C:\\" + std::u16string(300, u'd') + u"\\Logs",
     .expanded = true},
    {.what = "another type as it stands",
     .type = reg::kMultiSz,
     .stored = u"%DEEP%",
     .expected = u"%DEEP%",
     .expanded = false},
};

class PathSetting : public SettingsStoreTest, public testing::WithParamInterface<ExpandCase> {};

TEST_P(PathSetting, IsExpandedOnlyWhenStoredAsREG_EXPAND_SZ) {
  const ExpandCase& c = GetParam();
  test::EnvironmentVariables variables{{u"LOCALAPPDATA", u"C:\\Users\\ana\\AppData\\Local"},
                                       {u"DEEP", u"C:\\" + std::u16string(300, u'd')}};
  test::FakeEnvironment environment(journal, variables);
  registry.Set(kSettingsKey, u"LogDirectory", c.type, EncodeRegistryText(c.stored));
  EXPECT_EQ(store.ReadSettingExpandable(u"Settings", u"LogDirectory", environment), c.expected);
  EXPECT_EQ(journal.Matching("ExpandEnvironmentStrings").size(), c.expanded ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(, PathSetting, testing::ValuesIn(kExpansions), test::RowName);

TEST_F(SettingsStoreTest, AValueThatGrowsBetweenTheTwoQueriesGivesTheDefault) {
  registry.SetString(kSettingsKey, u"LogDirectory", u"C:\\Logs");
  int queries = 0;
  registry.beforeQuery = [&](const std::u16string&, std::u16string_view) {
    if (++queries == 2) registry.SetString(kSettingsKey, u"LogDirectory", u"C:\\Longer\\Logs");
  };
  EXPECT_EQ(store.ReadSettingString(u"Settings", u"LogDirectory", u"dflt"), u"dflt");
}

TEST_F(SettingsStoreTest, EveryAccessWalksTheChainAndOpensSoftwareWithoutCreatingIt) {
  store.WriteSettingInt(u"Settings", u"X", 1);
  store.ReadSettingInt(u"Settings", u"X", 0);
  const std::vector<std::string> expectedWalk{
      "RegOpenKey HKCU\\software access=131103 -> 0",
      "RegCreateKey HKCU\\Software\\Brinmoor access=131103 -> 0",
      "RegCreateKey HKCU\\Software\\Brinmoor\\Larkspan access=131103 -> 0",
      "RegCreateKey HKCU\\Software\\Brinmoor\\Larkspan\\Settings access=131103 -> 0"};
  const auto& lines = journal.lines();
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), expectedWalk);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.begin() + 9), expectedWalk);
}

// Writes through a store of each access, to keys that exist or not, and
// what reads give afterwards. A read-only store does not even try: its keys
// are open for reading only. Without a root, or with the registry's
// Software key unavailable, reads give the defaults and writes fail.
enum Root { kRooted, kUnrooted, kUnavailable };
struct WriteCase {
  const char* what;
  SettingsStore::Access access;
  bool keysExist;
  Root root;
  bool written;
  std::optional<std::int32_t> stored;  // BlockToolbarLoad afterwards
};

const WriteCase kWrites[] = {
    {.what = "read-write, no keys yet",
     .access = SettingsStore::Access::kReadWrite,
     .keysExist = false,
     .root = kRooted,
     .written = true,
     .stored = 1},
    {.what = "read-only, keys there",
     .access = SettingsStore::Access::kReadOnly,
     .keysExist = true,
     .root = kRooted,
     .written = false,
     .stored = 5},
    {.what = "read-only, no keys",
     .access = SettingsStore::Access::kReadOnly,
     .keysExist = false,
     .root = kRooted,
     .written = false},
    {.what = "no root",
     .access = SettingsStore::Access::kReadWrite,
     .keysExist = false,
     .root = kUnrooted,
     .written = false},
    {.what = "unavailable",
     .access = SettingsStore::Access::kReadWrite,
     .keysExist = false,
     .root = kUnavailable,
     .written = false},
};

class StoreWrites : public testing::TestWithParam<WriteCase> {};

TEST_P(StoreWrites, HappenOnlyThroughAReadWriteStore) {
  const WriteCase& c = GetParam();
  test::CallJournal journal;
  FakeRegistry registry(&journal);
  if (c.keysExist) registry.SetDword(kSettingsKey, u"BlockToolbarLoad", 5);
  if (c.root == Root::kUnavailable) registry.FailKey(u"HKCU\\Software");
  SettingsStore store(u"Larkspan", c.access);
  if (c.root != Root::kUnrooted) store.SetSettingsRoot(registry, u"Brinmoor");
  EXPECT_EQ(store.WriteSettingInt(u"Settings", u"BlockToolbarLoad", 1), c.written);
  EXPECT_EQ(store.WriteSettingString(u"Settings", u"LogDirectory", u"C:\\Logs"), c.written);
  EXPECT_EQ(registry.GetDword(kSettingsKey, u"BlockToolbarLoad"), c.stored);
  EXPECT_EQ(registry.KeyExists(u"HKCU\\Software\\Brinmoor"), c.stored.has_value());
  EXPECT_EQ(journal.Matching("RegSetValue").size(), c.written ? 2u : 0u);
  EXPECT_EQ(store.ReadSettingInt(u"Settings", u"BlockToolbarLoad", -1),
            static_cast<std::uint32_t>(c.stored.value_or(-1)));
  EXPECT_EQ(store.ReadSettingString(u"Settings", u"LogDirectory"), c.written ? u"C:\\Logs" : u"");
  EXPECT_EQ(registry.openHandles(), 0u);
  EXPECT_EQ(registry.badCloses(), 0);
}

INSTANTIATE_TEST_SUITE_P(, StoreWrites, testing::ValuesIn(kWrites), test::RowName);

TEST_F(SettingsStoreTest, AKeyOpenedForReadingRefusesWritesAsWindowsDoes) {
  registry.SetDword(kSettingsKey, u"X", 5);
  RegKey key = kNoKey;
  ASSERT_EQ(registry.OpenKey(kCurrentUser, u"Software\\Brinmoor\\Larkspan\\Settings", reg::kKeyRead,
                             &key),
            0);
  const std::uint8_t one[4] = {1, 0, 0, 0};
  EXPECT_EQ(registry.SetValue(key, u"X", reg::kDword, one, 4), 5);  // ERROR_ACCESS_DENIED
  registry.CloseKey(key);
  EXPECT_EQ(registry.GetDword(kSettingsKey, u"X"), 5);
}

}  // namespace
}  // namespace lss
