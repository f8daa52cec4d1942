#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake/fake_environment.h"
#include "fake/fake_registry.h"
#include "settings/registry_text.h"
#include "settings/settings_store.h"

namespace lss {
namespace {

constexpr auto CaseIndex = [](const auto& info) { return std::to_string(info.index); };

using test::FakeRegistry;

constexpr std::u16string_view kSettingsKey = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings";

class SettingsStoreTest : public testing::Test {
 protected:
  void SetUp() override { store.SetSettingsRoot(registry, u"Brinmoor"); }
  void TearDown() override {
    EXPECT_EQ(registry.openHandles(), 0u) << "a key was left open";
    EXPECT_EQ(registry.badCloses(), 0);
  }
  FakeRegistry registry;
  SettingsStore store{u"Larkspan"};
};

TEST_F(SettingsStoreTest, FirstReadCreatesTheKeysButNoValue) {
  EXPECT_EQ(store.ReadSettingInt(u"Settings", u"BlockToolbarLoadOrg", -1), 0xFFFFFFFFu);
  EXPECT_TRUE(registry.KeyExists(kSettingsKey));
  EXPECT_EQ(registry.ValueCount(kSettingsKey), 0u);
  EXPECT_EQ(registry.ValueCount(u"HKCU\\Software\\Brinmoor\\Larkspan"), 0u);
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

// A path setting as a run reads it, given the variables of its environment.
struct ExpandableReadCase {
  const char* what;
  std::uint32_t type;
  std::u16string stored;
  std::u16string expected;
  bool expanded;  // the environment was asked
};

void PrintTo(const ExpandableReadCase& c, std::ostream* out) { *out << c.what; }

class ExpandableReads : public SettingsStoreTest,
                        public testing::WithParamInterface<ExpandableReadCase> {};

TEST_P(ExpandableReads, ExpandOnlyREG_EXPAND_SZ) {
  const ExpandableReadCase& c = GetParam();
  test::CallJournal journal;
  test::EnvironmentVariables variables;
  test::FakeEnvironment environment(journal, variables);
  environment.variables[u"LOCALAPPDATA"] = u"C:\\Users\\ana\\AppData\\Local";
  environment.variables[u"DEEP"] = u"C:\\" + std::u16string(300, u'd');
  registry.Set(kSettingsKey, u"LogDirectory", c.type, EncodeRegistryText(c.stored));
  EXPECT_EQ(store.ReadSettingExpandable(u"Settings", u"LogDirectory", environment), c.expected)
      << c.what;
  EXPECT_EQ(journal.Matching("ExpandEnvironmentStrings").size(), c.expanded ? 1u : 0u) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExpandableReads,
    testing::Values(
        ExpandableReadCase{"REG_SZ keeps % literal", reg::kSz,
                           u"%LOCALAPPDATA%\\Larkspan\\Logs", u"%LOCALAPPDATA%\\Larkspan\\Logs",
                           false},
        ExpandableReadCase{"REG_EXPAND_SZ is expanded", reg::kExpandSz,
                           u"%LocalAppData%\\Larkspan\\Logs",
                           u"C:\\Users\\ana\\AppData\\Local\\Larkspan\\Logs", true},
        ExpandableReadCase{"an unset variable stays as written", reg::kExpandSz,
                           u"C:\\%NOSUCH%\\Logs", u"C:\\%NOSUCH%\\Logs", true},
        ExpandableReadCase{"a lone % stays", reg::kExpandSz, u"C:\\100%\\Logs",
                           u"C:\\100%\\Logs", true},
        ExpandableReadCase{"longer than MAX_PATH, whole", reg::kExpandSz, u"%DEEP%\\Logs",
                           u"C:\\" + std::u16string(300, u'd') + u"\\Logs", true},
        ExpandableReadCase{"another type as it stands", reg::kMultiSz, u"%DEEP%",
                           u"%DEEP%", false}),
    CaseIndex);

TEST_F(SettingsStoreTest, MissingValuesGiveTheDefault) {
  EXPECT_EQ(store.ReadSettingInt(u"Settings", u"Missing", 7), 7u);
  EXPECT_EQ(store.ReadSettingString(u"Settings", u"Missing", u"dflt"), u"dflt");
  EXPECT_EQ(store.ReadSettingString(u"Settings", u"Missing"), u"");
}

TEST_F(SettingsStoreTest, AValueThatGrowsBetweenTheTwoQueriesGivesTheDefault) {
  registry.SetString(kSettingsKey, u"LogDirectory", u"C:\\Logs");
  int queries = 0;
  registry.beforeQuery = [&](const std::u16string&, std::u16string_view) {
    if (++queries == 2) registry.SetString(kSettingsKey, u"LogDirectory", u"C:\\Longer\\Logs");
  };
  EXPECT_EQ(store.ReadSettingString(u"Settings", u"LogDirectory", u"dflt"), u"dflt");
}

TEST_F(SettingsStoreTest, AnUnavailableStoreReadsDefaultsAndFailsWrites) {
  registry.FailKey(u"HKCU\\Software");
  EXPECT_EQ(store.ReadSettingInt(u"Settings", u"BlockToolbarLoad", -1), 0xFFFFFFFFu);
  EXPECT_EQ(store.ReadSettingString(u"Settings", u"LogDirectory"), u"");
  EXPECT_FALSE(store.WriteSettingInt(u"Settings", u"BlockToolbarLoad", 1));
  EXPECT_FALSE(store.WriteSettingString(u"Settings", u"LogDirectory", u"x"));
  EXPECT_FALSE(registry.KeyExists(u"HKCU\\Software\\Brinmoor"));
}

TEST_F(SettingsStoreTest, EveryAccessWalksTheChainAndOpensSoftwareWithoutCreatingIt) {
  test::CallJournal journal;
  FakeRegistry journaled(&journal);
  SettingsStore store2(u"Larkspan");
  store2.SetSettingsRoot(journaled, u"Brinmoor");
  store2.WriteSettingInt(u"Settings", u"X", 1);
  store2.ReadSettingInt(u"Settings", u"X", 0);
  const std::vector<std::string> expectedWalk{
      "RegOpenKey HKCU\\software access=131103 -> 0",
      "RegCreateKey HKCU\\Software\\Brinmoor access=131103 -> 0",
      "RegCreateKey HKCU\\Software\\Brinmoor\\Larkspan access=131103 -> 0",
      "RegCreateKey HKCU\\Software\\Brinmoor\\Larkspan\\Settings access=131103 -> 0"};
  const auto& lines = journal.lines();
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), expectedWalk);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.begin() + 9), expectedWalk);
  EXPECT_EQ(journaled.openHandles(), 0u);
}

// Writes through a store of each access, to keys that exist or not.
struct WriteCase {
  const char* what;
  SettingsStore::Access access;
  bool keysExist;
  bool written;
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.what; }

class StoreWrites : public testing::TestWithParam<WriteCase> {};

TEST_P(StoreWrites, HappenOnlyThroughAReadWriteStore) {
  const WriteCase& c = GetParam();
  test::CallJournal journal;
  FakeRegistry registry(&journal);
  if (c.keysExist) registry.SetDword(kSettingsKey, u"BlockToolbarLoad", 5);
  SettingsStore store(u"Larkspan", c.access);
  store.SetSettingsRoot(registry, u"Brinmoor");

  EXPECT_EQ(store.WriteSettingInt(u"Settings", u"BlockToolbarLoad", 1), c.written) << c.what;
  EXPECT_EQ(store.WriteSettingString(u"Settings", u"LogDirectory", u"C:\\Logs"), c.written) << c.what;
  EXPECT_EQ(registry.GetDword(kSettingsKey, u"BlockToolbarLoad"),
            c.written ? std::optional(1) : c.keysExist ? std::optional(5) : std::nullopt)
      << c.what;
  EXPECT_EQ(registry.KeyExists(kSettingsKey), c.keysExist || c.written) << c.what;
  // A read-only store does not even try: its keys are open for reading only.
  EXPECT_EQ(journal.Matching("RegSetValue").size(), c.written ? 2u : 0u) << c.what;
  EXPECT_EQ(store.ReadSettingInt(u"Settings", u"BlockToolbarLoad", -1),
            c.written ? 1u : c.keysExist ? 5u : 0xFFFFFFFFu)
      << c.what;
  EXPECT_EQ(registry.openHandles(), 0u) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, StoreWrites,
    testing::Values(
        WriteCase{"read-write, no keys yet", SettingsStore::Access::kReadWrite, false, true},
        WriteCase{"read-only, keys there", SettingsStore::Access::kReadOnly, true, false},
        WriteCase{"read-only, no keys", SettingsStore::Access::kReadOnly, false, false}),
    CaseIndex);

TEST(FakeRegistryAccess, AKeyOpenedForReadingRefusesWritesAsWindowsDoes) {
  FakeRegistry registry;
  registry.SetDword(kSettingsKey, u"X", 5);
  RegKey key = kNoKey;
  ASSERT_EQ(registry.OpenKey(kCurrentUser, u"Software\\Brinmoor\\Larkspan\\Settings",
                             reg::kKeyRead, &key),
            0);
  const std::uint8_t one[4] = {1, 0, 0, 0};
  EXPECT_EQ(registry.SetValue(key, u"X", reg::kDword, one, 4), 5);  // ERROR_ACCESS_DENIED
  registry.CloseKey(key);
  EXPECT_EQ(registry.GetDword(kSettingsKey, u"X"), 5);
}

TEST(SettingsStoreUnrooted, ReadsDefaultsAndFailsWrites) {
  SettingsStore store(u"Larkspan");
  EXPECT_EQ(store.ReadSettingInt(u"Settings", u"X", 3), 3u);
  EXPECT_FALSE(store.WriteSettingInt(u"Settings", u"X", 1));
}

}  // namespace
}  // namespace lss
