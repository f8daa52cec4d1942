#include "outlook/outlook_launcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/rows.h"
#include "fake/fake_platform.h"
#include "outlook/registry_reader.h"
#include "unit_tables.h"

namespace lss {
namespace {

using test::PrintTo;

using test::Utf16;

constexpr std::u16string_view kAppPaths =
    u"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";

struct ParameterCase {
  const char* what;
  std::u16string profile;
  std::u16string switches;
  std::u16string expected;
  bool recycle = true;
};

const ParameterCase kParameters[] = {
    {.what = "no profile and no switches: recycle alone", .expected = u" /recycle"},
    {.what = "a plain profile", .profile = u"Work", .expected = u" /profile Work /recycle"},
    {.what = "switches follow recycle",
     .profile = u"Work",
     .switches = u"/x /Y",
     .expected = u" /profile Work /recycle /x /Y"},
    {.what = "switches without a profile", .switches = u"S", .expected = u" /recycle S"},
    {.what = "a profile with a blank is quoted",
     .profile = u"My Work",
     .expected = u" /profile \"My Work\" /recycle"},
    {.what = "a profile with a tab is quoted",
     .profile = u"Tab\there",
     .expected = u" /profile \"Tab\there\" /recycle"},
    {.what = "quotes inside a profile are escaped",
     .profile = u"say \"hi\"",
     .expected = u" /profile \"say \\\"hi\\\"\" /recycle"},
    {.what = "backslashes before a quote are doubled",
     .profile = u"a\\\"b",
     .expected = u" /profile \"a\\\\\\\"b\" /recycle"},
    {.what = "a trailing backslash in quotes is doubled",
     .profile = u"end slash\\",
     .expected = u" /profile \"end slash\\\\\" /recycle"},
    {.what = "backslashes elsewhere stay single and unquoted",
     .profile = u"C:\\no\\quote",
     .expected = u" /profile C:\\no\\quote /recycle"},
    {.what = "percent signs are taken literally",
     .profile = u"%s %d",
     .expected = u" /profile \"%s %d\" /recycle"},
    {.what = "characters beyond ASCII stay",
     .profile = u"Caf\u00E9 \u65E5\u672C",
     .expected = u" /profile \"Caf\u00E9 \u65E5\u672C\" /recycle"},
    {.what = "without recycle there is no /recycle",
     .profile = u"Work",
     .switches = u"/x",
     .expected = u" /profile Work /x",
     .recycle = false},
    {.what = "without recycle, profile or switches: nothing", .expected = u"", .recycle = false},
};

class OutlookParameters : public testing::TestWithParam<ParameterCase> {};

TEST_P(OutlookParameters, AreComposedInOrder) {
  const ParameterCase& c = GetParam();
  EXPECT_EQ(ComposeOutlookParameters({c.profile, c.recycle, c.switches}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(, OutlookParameters, testing::ValuesIn(kParameters), test::RowName);

// 2 and 32 are the launch phase's rows (LaunchPhase).
struct LaunchErrorCase {
  const char* what;
  std::int32_t code;
  std::u16string text;
};

const LaunchErrorCase kLaunchErrors[] = {
    {.what = "0 is out of memory or resources",
     .code = 0,
     .text = u"The operating system is out\nof memory or resources."},
    {.what = "1 is unknown", .code = 1, .text = u"Unknown Error (1) occurred."},
    {.what = "3 is a path not found", .code = 3, .text = u"The specified path was not found."},
    {.what = "4 is unknown", .code = 4, .text = u"Unknown Error (4) occurred."},
    {.what = "5 is access denied",
     .code = 5,
     .text = u"The operating system denied\naccess to the specified file."},
    {.what = "8 is not enough memory",
     .code = 8,
     .text = u"There was not enough memory to complete the operation."},
    {.what = "11 is an invalid EXE",
     .code = 11,
     .text = u"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {.what = "12 is unknown", .code = 12, .text = u"Unknown Error (12) occurred."},
    {.what = "25 is unknown", .code = 25, .text = u"Unknown Error (25) occurred."},
    {.what = "26 is a sharing violation", .code = 26, .text = u"A sharing violation occurred. "},
    {.what = "27 is an incomplete association",
     .code = 27,
     .text = u"The filename association is\nincomplete or invalid."},
    {.what = "28 is a DDE time-out",
     .code = 28,
     .text = u"The DDE transaction could not\nbe completed because the request timed out."},
    {.what = "29 is a failed DDE transaction", .code = 29, .text = u"The DDE transaction failed."},
    {.what = "30 is DDE busy with other transactions",
     .code = 30,
     .text = u"The DDE transaction could not\nbe completed because other DDE "
             u"transactions\nwere being processed."},
    {.what = "31 is no association",
     .code = 31,
     .text = u"There is no application associated\nwith the given filename extension."},
    {.what = "33 is unknown", .code = 33, .text = u"Unknown Error (33) occurred."},
    {.what = "minus 2 is unknown", .code = -2, .text = u"Unknown Error (-2) occurred."},
};

class LaunchErrors : public testing::TestWithParam<LaunchErrorCase> {};

TEST_P(LaunchErrors, HaveTheirTexts) {
  const LaunchErrorCase& c = GetParam();
  EXPECT_EQ(LaunchErrorText(c.code), c.text);
}

INSTANTIATE_TEST_SUITE_P(, LaunchErrors, testing::ValuesIn(kLaunchErrors), test::RowName);

// A folder with and without its last backslash: the launch table's rows.
const std::u16string k1023(1023, u'x');

struct PathCase {
  const char* what;
  bool keyExists;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
  bool found;
  std::u16string path;
};

const PathCase kPaths[] = {
    {.what = "no key", .keyExists = false, .type = reg::kNone, .found = false},
    {.what = "no value", .keyExists = true, .type = reg::kNone, .found = false},
    {.what = "REG_EXPAND_SZ",
     .keyExists = true,
     .type = reg::kExpandSz,
     .data = Utf16(u"C:\\Office\\"),
     .found = false},
    {.what = "REG_DWORD",
     .keyExists = true,
     .type = reg::kDword,
     .data = {1, 0, 0, 0},
     .found = false},
    {.what = "unterminated",
     .keyExists = true,
     .type = reg::kSz,
     .data = Utf16(u"C:\\O\\", false),
     .found = true,
     .path = u"C:\\O\\OUTLOOK.EXE"},
    {.what = "1023 characters, unterminated",
     .keyExists = true,
     .type = reg::kSz,
     .data = Utf16(k1023, false),
     .found = true,
     .path = k1023 + u"OUTLOOK.EXE"},
    {.what = "1023 characters and the NUL: too long",
     .keyExists = true,
     .type = reg::kSz,
     .data = Utf16(k1023),
     .found = false},
    {.what = "odd size",
     .keyExists = true,
     .type = reg::kSz,
     .data = {'C', 0, ':', 0, '\\', 0, 'x'},
     .found = true,
     .path = u"C:\\OUTLOOK.EXE"},
};

class OutlookPath : public testing::TestWithParam<PathCase> {};

TEST_P(OutlookPath, IsReadFromAppPaths) {
  const PathCase& c = GetParam();
  test::FakeRegistry registry;
  if (c.keyExists) registry.Set(kAppPaths, u"Other", reg::kSz, Utf16(u"x"));
  if (!c.data.empty() || c.type != reg::kNone) registry.Set(kAppPaths, u"Path", c.type, c.data);
  std::u16string path = u"left over";
  EXPECT_EQ(FindOutlookPath(registry, path), c.found);
  EXPECT_EQ(path, c.found ? c.path : u"left over");
  EXPECT_EQ(registry.openHandles(), 0u);
  EXPECT_EQ(registry.badCloses(), 0);
}

INSTANTIATE_TEST_SUITE_P(, OutlookPath, testing::ValuesIn(kPaths), test::RowName);

TEST(CRegistry, ClosesOnlyWhatItHolds) {
  test::FakeRegistry registry;
  RegKey first = kNoKey, second = kNoKey;
  ASSERT_EQ(registry.OpenKey(kCurrentUser, u"Software", reg::kKeyRead, &first), 0);
  ASSERT_EQ(registry.OpenKey(kCurrentUser, u"Software", reg::kKeyRead, &second), 0);
  std::u16string text = u"untouched";
  {
    CRegistry reader(registry);
    EXPECT_TRUE(reader.Close());  // nothing attached
    EXPECT_FALSE(reader.ReadStringValue(u"Path", text));
    EXPECT_EQ(text, u"untouched");
    reader.Attach(first);
    reader.Attach(second);  // closes the first
    EXPECT_EQ(registry.openHandles(), 1u);
    reader.Attach(kNoKey);  // closes the second, attaches nothing
    EXPECT_EQ(registry.openHandles(), 0u);
    EXPECT_TRUE(reader.Close());
  }
  EXPECT_EQ(registry.badCloses(), 0);
}

// Given App Paths' folder and the shell's answer, what the shell was given,
// whether Outlook counts as started (and is waited for) and the log. Only the
// low 32 bits of the answer count; above 32 is a start.
struct LaunchCase {
  const char* what;
  std::u16string folder;
  std::intptr_t shellResult;
  std::string shellGot;  // the file [parameters] of the one call to the shell
  LaunchResult result;
  std::string log;
};

class LaunchPhase : public testing::TestWithParam<LaunchCase> {
 protected:
  test::FakePlatform os;
  RunLog log;
};

TEST_P(LaunchPhase, StartsOutlookAndWaitsOrSaysWhyNot) {
  const LaunchCase& c = GetParam();
  SCOPED_TRACE(c.what);
  os.registry.SetString(kAppPaths, u"Path", c.folder);
  os.shell.result = c.shellResult;
  os.disk.AddFolder(u"C:\\Logs");
  log.Open(os.clock, os.files, u"C:\\Logs");
  OutlookLauncher launcher(os.registry, os.shell, os.bundle.clock, log);
  EXPECT_EQ(launcher.Launch({u"Work", true, u"/x"}, 1500), c.result);
  EXPECT_EQ(os.journal.Matching("ShellExecute"),
            std::vector<std::string>{"ShellExecute " + c.shellGot});
  EXPECT_EQ(os.clock.sleeps(), c.result == LaunchResult::kStarted ? std::vector<std::uint32_t>{1500}
                                                                  : std::vector<std::uint32_t>{});
  EXPECT_EQ(*os.disk.Contents(log.path()), c.log);
}

const std::string kStarting = "\r\n06-12-26 16:45:09: KSScheduler: Starting Outlook ";
const std::string kRefused = "\r\n06-12-26 16:45:09: LSScheduler Error start Outlook: ";
INSTANTIATE_TEST_SUITE_P(
    , LaunchPhase,
    testing::Values(
        LaunchCase{.what = "an answer above 32 starts Outlook, which is waited for",
                   .folder = u"C:\\Office\\",
                   .shellResult = 33,
                   .shellGot = "C:\\Office\\OUTLOOK.EXE [ /profile Work /recycle /x]",
                   .result = LaunchResult::kStarted,
                   .log = kStarting + "C:\\Office\\OUTLOOK.EXE /profile Work /recycle /x" +
                          "\r\n06-12-26 16:45:09: KSScheduler: Waiting for Outlook"},
        LaunchCase{.what = "only the answer's low 32 bits count: 2 is a refusal",
                   .folder = u"C:\\Office",
                   .shellResult = 0x100000002,
                   .shellGot = "C:\\OfficeOUTLOOK.EXE [ /profile Work /recycle /x]",
                   .result = LaunchResult::kFailed,
                   .log = kStarting + "C:\\OfficeOUTLOOK.EXE /profile Work /recycle /x" + kRefused +
                          "C:\\OfficeOUTLOOK.EXE /profile Work /recycle /x, error:The specified "
                          "file was not found."},
        LaunchCase{.what = "the shell's 32 is a refusal too",
                   .folder = u"C:\\O\\",
                   .shellResult = 32,
                   .shellGot = "C:\\O\\OUTLOOK.EXE [ /profile Work /recycle /x]",
                   .result = LaunchResult::kFailed,
                   .log = kStarting + "C:\\O\\OUTLOOK.EXE /profile Work /recycle /x" + kRefused +
                          "C:\\O\\OUTLOOK.EXE /profile Work /recycle /x, error:The specified "
                          "dynamic-link library was not found."}),
    test::RowName);

}  // namespace
}  // namespace lss
