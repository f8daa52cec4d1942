#include <gtest/gtest.h>

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

struct IntReadCase {
  const char* what;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
  std::uint32_t expected;
};

void PrintTo(const IntReadCase& c, std::ostream* out) { *out << c.what; }

class IntReads : public SettingsStoreTest, public testing::WithParamInterface<IntReadCase> {};

TEST_P(IntReads, ReadTheStoredBytesOrTheDefault) {
  const IntReadCase& c = GetParam();
  registry.Set(kSettingsKey, u"Value", c.type, c.data);
  EXPECT_EQ(store.ReadSettingInt(u"Settings", u"value", -1), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, IntReads,
    testing::Values(
        IntReadCase{"dword", reg::kDword, {0x10, 0, 0, 0}, 16},
        IntReadCase{"dword -1", reg::kDword, {0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFF},
        IntReadCase{"REG_SZ \"7\"", reg::kSz, {'7', 0, 0, 0}, 55},
        IntReadCase{"REG_SZ \"77\"", reg::kSz, {'7', 0, '7', 0, 0, 0}, 0xFFFFFFFF},
        IntReadCase{"binary of 2 bytes zero-fills", reg::kBinary, {0x34, 0x12}, 0x1234},
        IntReadCase{"no data", reg::kNone, {}, 0},
        IntReadCase{"qword is too long", 11, {1, 0, 0, 0, 0, 0, 0, 0}, 0xFFFFFFFF}), CaseIndex);

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

struct StringReadCase {
  const char* what;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
  std::u16string expected;
};

void PrintTo(const StringReadCase& c, std::ostream* out) { *out << c.what; }

class StringReads : public SettingsStoreTest, public testing::WithParamInterface<StringReadCase> {};

TEST_P(StringReads, ReadUpToTheFirstNul) {
  const StringReadCase& c = GetParam();
  registry.Set(kSettingsKey, u"LogDirectory", c.type, c.data);
  EXPECT_EQ(store.ReadSettingString(u"Settings", u"LogDirectory"), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, StringReads,
    testing::Values(
        StringReadCase{"terminated", reg::kSz, {'C', 0, ':', 0, 0, 0}, u"C:"},
        StringReadCase{"unterminated", reg::kSz, {'C', 0, ':', 0}, u"C:"},
        StringReadCase{"odd size drops the last byte", reg::kSz, {'C', 0, ':', 0, 'x'}, u"C:"},
        StringReadCase{"one byte", reg::kSz, {'x'}, u""},
        StringReadCase{"no data", reg::kSz, {}, u""},
        StringReadCase{"dword 1", reg::kDword, {1, 0, 0, 0}, u"\u0001"},
        StringReadCase{"embedded NUL", reg::kMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0}, u"a"},
        StringReadCase{"beyond Latin-1", reg::kSz, {0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE},
                       u"\u20AC\U0001F600"}), CaseIndex);

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
  test::FakeEnvironment environment(journal);
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

TEST(SettingsStoreUnrooted, ReadsDefaultsAndFailsWrites) {
  SettingsStore store(u"Larkspan");
  EXPECT_EQ(store.ReadSettingInt(u"Settings", u"X", 3), 3u);
  EXPECT_FALSE(store.WriteSettingInt(u"Settings", u"X", 1));
}

}  // namespace
}  // namespace lss
