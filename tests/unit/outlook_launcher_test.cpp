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

TEST(OutlookParameters, AreComposedInOrder) {
  struct Case {
    std::u16string profile;
    std::u16string switches;
    std::u16string expected;
    bool recycle = true;
  } cases[] = {
      {u"", u"", u" /recycle"},
      {u"Work", u"", u" /profile Work /recycle"},
      {u"Work", u"/x /Y", u" /profile Work /recycle /x /Y"},
      {u"", u"S", u" /recycle S"},
      {u"My Work", u"", u" /profile \"My Work\" /recycle"},
      {u"Tab\there", u"", u" /profile \"Tab\there\" /recycle"},
      {u"say \"hi\"", u"", u" /profile \"say \\\"hi\\\"\" /recycle"},
      {u"a\\\"b", u"", u" /profile \"a\\\\\\\"b\" /recycle"},
      {u"end slash\\", u"", u" /profile \"end slash\\\\\" /recycle"},
      {u"C:\\no\\quote", u"", u" /profile C:\\no\\quote /recycle"},
      {u"%s %d", u"", u" /profile \"%s %d\" /recycle"},
      {u"Caf\u00E9 \u65E5\u672C", u"", u" /profile \"Caf\u00E9 \u65E5\u672C\" /recycle"},
      {u"Work", u"/x", u" /profile Work /x", false},
      {u"", u"", u"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("profile [" + test::Narrow(c.profile) + "] switches [" + test::Narrow(c.switches) +
                 "]" + (c.recycle ? "" : " without recycle"));
    EXPECT_EQ(ComposeOutlookParameters({c.profile, c.recycle, c.switches}), c.expected);
  }
}

// 2 and 32 are the launch table's rows ('refused', 'the shell's 32').
TEST(LaunchErrors, HaveTheirTexts) {
  const std::pair<std::int32_t, std::u16string> cases[] = {
      {0, u"The operating system is out\nof memory or resources."},
      {1, u"Unknown Error (1) occurred."},
      {3, u"The specified path was not found."},
      {4, u"Unknown Error (4) occurred."},
      {5, u"The operating system denied\naccess to the specified file."},
      {8, u"There was not enough memory to complete the operation."},
      {11, u"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
      {12, u"Unknown Error (12) occurred."},
      {25, u"Unknown Error (25) occurred."},
      {26, u"A sharing violation occurred. "},
      {27, u"The filename association is\nincomplete or invalid."},
      {28, u"The DDE transaction could not\nbe completed because the request timed out."},
      {29, u"The DDE transaction failed."},
      {30,
       u"The DDE transaction could not\nbe completed because other DDE "
       u"transactions\nwere being processed."},
      {31, u"There is no application associated\nwith the given filename extension."},
      {33, u"Unknown Error (33) occurred."},
      {-2, u"Unknown Error (-2) occurred."},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(LaunchErrorText(code), text) << "code " << code;
}

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
