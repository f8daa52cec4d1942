#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake/fake_platform.h"
#include "outlook/outlook_launcher.h"
#include "outlook/registry_reader.h"

namespace lss {
namespace {

constexpr auto CaseIndex = [](const auto& info) { return std::to_string(info.index); };

constexpr std::u16string_view kAppPaths =
    u"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";

struct ParameterCase {
  std::u16string profile;
  std::u16string switches;
  std::u16string expected;
  bool recycle = true;
};

void PrintTo(const ParameterCase& c, std::ostream* out) {
  std::string profile = test::Narrow(c.profile);
  std::replace(profile.begin(), profile.end(), '\t', ' ');
  *out << "profile [" << profile << "] switches [" << test::Narrow(c.switches) << "]"
       << (c.recycle ? "" : " without recycle");
}

class OutlookParameters : public testing::TestWithParam<ParameterCase> {};

TEST_P(OutlookParameters, AreComposedInOrder) {
  OutlookLaunchRequest request;
  request.profileName = GetParam().profile;
  request.switches = GetParam().switches;
  request.recycle = GetParam().recycle;
  EXPECT_EQ(ComposeOutlookParameters(request), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OutlookParameters,
    testing::Values(
        ParameterCase{u"", u"", u" /recycle"},
        ParameterCase{u"Work", u"", u" /profile Work /recycle"},
        ParameterCase{u"Work", u"/x /Y", u" /profile Work /recycle /x /Y"},
        ParameterCase{u"", u"S", u" /recycle S"},
        ParameterCase{u"My Work", u"", u" /profile \"My Work\" /recycle"},
        ParameterCase{u"Tab\there", u"", u" /profile \"Tab\there\" /recycle"},
        ParameterCase{u"say \"hi\"", u"", u" /profile \"say \\\"hi\\\"\" /recycle"},
        ParameterCase{u"a\\\"b", u"", u" /profile \"a\\\\\\\"b\" /recycle"},
        ParameterCase{u"end slash\\", u"", u" /profile \"end slash\\\\\" /recycle"},
        ParameterCase{u"C:\\no\\quote", u"", u" /profile C:\\no\\quote /recycle"},
        ParameterCase{u"%s %d", u"", u" /profile \"%s %d\" /recycle"},
        ParameterCase{u"Caf\u00E9 \u65E5\u672C", u"", u" /profile \"Caf\u00E9 \u65E5\u672C\" /recycle"},
        ParameterCase{u"Work", u"/x", u" /profile Work /x", false},
        ParameterCase{u"", u"", u"", false}),
    CaseIndex);

struct LaunchErrorCase {
  std::int32_t code;
  std::u16string text;
};

void PrintTo(const LaunchErrorCase& c, std::ostream* out) { *out << "code " << c.code; }

class LaunchErrors : public testing::TestWithParam<LaunchErrorCase> {};

TEST_P(LaunchErrors, HaveTheirTexts) {
  EXPECT_EQ(LaunchErrorText(GetParam().code), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LaunchErrors,
    testing::Values(
        LaunchErrorCase{0, u"The operating system is out\nof memory or resources."},
        LaunchErrorCase{1, u"Unknown Error (1) occurred."},
        LaunchErrorCase{2, u"The specified file was not found."},
        LaunchErrorCase{3, u"The specified path was not found."},
        LaunchErrorCase{4, u"Unknown Error (4) occurred."},
        LaunchErrorCase{5, u"The operating system denied\naccess to the specified file."},
        LaunchErrorCase{8, u"There was not enough memory to complete the operation."},
        LaunchErrorCase{11, u"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        LaunchErrorCase{12, u"Unknown Error (12) occurred."},
        LaunchErrorCase{25, u"Unknown Error (25) occurred."},
        LaunchErrorCase{26, u"A sharing violation occurred. "},
        LaunchErrorCase{27, u"The filename association is\nincomplete or invalid."},
        LaunchErrorCase{28, u"The DDE transaction could not\nbe completed because the request timed out."},
        LaunchErrorCase{29, u"The DDE transaction failed."},
        LaunchErrorCase{30, u"The DDE transaction could not\nbe completed because other DDE "
                            u"transactions\nwere being processed."},
        LaunchErrorCase{31, u"There is no application associated\nwith the given filename extension."},
        LaunchErrorCase{32, u"The specified dynamic-link library was not found."},
        LaunchErrorCase{33, u"Unknown Error (33) occurred."},
        LaunchErrorCase{-2, u"Unknown Error (-2) occurred."}),
    CaseIndex);

struct PathValueCase {
  const char* what;
  bool keyExists;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
  bool found;
  std::u16string path;
};

void PrintTo(const PathValueCase& c, std::ostream* out) { *out << c.what; }

std::vector<std::uint8_t> Utf16(std::u16string_view text, bool terminated = true) {
  std::vector<std::uint8_t> bytes;
  for (const char16_t c : text) {
    bytes.push_back(std::uint8_t(c));
    bytes.push_back(std::uint8_t(c >> 8));
  }
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

class OutlookPath : public testing::TestWithParam<PathValueCase> {};

TEST_P(OutlookPath, IsReadFromAppPaths) {
  const PathValueCase& c = GetParam();
  test::FakeRegistry registry;
  if (c.keyExists) registry.Set(kAppPaths, u"Other", reg::kSz, Utf16(u"x"));
  if (!c.data.empty() || c.type != reg::kNone) registry.Set(kAppPaths, u"Path", c.type, c.data);
  std::u16string path = u"left over";
  EXPECT_EQ(FindOutlookPath(registry, path), c.found) << c.what;
  if (c.found) {
    EXPECT_EQ(path, c.path) << c.what;
  }
  EXPECT_EQ(registry.openHandles(), 0u) << c.what;
  EXPECT_EQ(registry.badCloses(), 0) << c.what;
}

const std::u16string k1023(1023, u'x');
INSTANTIATE_TEST_SUITE_P(
    Table, OutlookPath,
    testing::Values(
        PathValueCase{"no key", false, reg::kNone, {}, false, u""},
        PathValueCase{"no value", true, reg::kNone, {}, false, u""},
        PathValueCase{"REG_SZ", true, reg::kSz, Utf16(u"C:\\Office\\"), true, u"C:\\Office\\OUTLOOK.EXE"},
        PathValueCase{"no trailing backslash", true, reg::kSz, Utf16(u"C:\\Office"), true,
                      u"C:\\OfficeOUTLOOK.EXE"},
        PathValueCase{"REG_EXPAND_SZ", true, reg::kExpandSz, Utf16(u"C:\\Office\\"), false, u""},
        PathValueCase{"REG_DWORD", true, reg::kDword, {1, 0, 0, 0}, false, u""},
        PathValueCase{"unterminated", true, reg::kSz, Utf16(u"C:\\O\\", false), true, u"C:\\O\\OUTLOOK.EXE"},
        PathValueCase{"1023 characters, unterminated", true, reg::kSz, Utf16(k1023, false), true,
                      k1023 + u"OUTLOOK.EXE"},
        PathValueCase{"1023 characters and the NUL: too long", true, reg::kSz, Utf16(k1023), false, u""},
        PathValueCase{"odd size", true, reg::kSz, {'C', 0, ':', 0, '\\', 0, 'x'}, true, u"C:\\OUTLOOK.EXE"}),
    CaseIndex);

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

class LaunchPhase : public testing::Test {
 protected:
  LaunchResult Launch(std::intptr_t shellResult, std::uint32_t wait = 1500) {
    os.shell.result = shellResult;
    os.disk.AddFolder(u"C:\\Logs");
    log.Open(os.clock, os.files, u"C:\\Logs");
    OutlookLauncher launcher(os.registry, os.shell, os.bundle.clock, log);
    return launcher.Launch(request, wait);
  }
  std::string Log() { return *os.disk.Contents(log.path()); }

  test::FakePlatform os;
  RunLog log;
  OutlookLaunchRequest request;
};

TEST_F(LaunchPhase, StartsOutlookAndWaits) {
  request.profileName = u"Work";
  request.switches = u"/x";
  os.registry.SetString(kAppPaths, u"Path", u"C:\\Office\\");
  EXPECT_EQ(Launch(42), LaunchResult::kStarted);
  EXPECT_EQ(os.shell.lastFile, u"C:\\Office\\OUTLOOK.EXE");
  EXPECT_EQ(os.shell.lastParameters, u" /profile Work /recycle /x");
  EXPECT_EQ(os.clock.sleeps(), std::vector<std::uint32_t>{1500});
  EXPECT_EQ(Log(),
            "\r\n06-12-26 16:45:09: KSScheduler: Starting Outlook C:\\Office\\OUTLOOK.EXE /profile Work /recycle /x"
            "\r\n06-12-26 16:45:09: KSScheduler: Waiting for Outlook");
}

TEST_F(LaunchPhase, ReportsARefusedStartWithoutWaiting) {
  os.registry.SetString(kAppPaths, u"Path", u"C:\\Office");
  EXPECT_EQ(Launch(0x100000002), LaunchResult::kFailed);  // only the low 32 bits count
  EXPECT_TRUE(os.clock.sleeps().empty());
  EXPECT_EQ(Log(),
            "\r\n06-12-26 16:45:09: KSScheduler: Starting Outlook C:\\OfficeOUTLOOK.EXE /recycle"
            "\r\n06-12-26 16:45:09: LSScheduler Error start Outlook: C:\\OfficeOUTLOOK.EXE /recycle, "
            "error:The specified file was not found.");
}

TEST_F(LaunchPhase, WritesMultiLineErrorsAsSeparateLines) {
  os.registry.SetString(kAppPaths, u"Path", u"C:\\O\\");
  EXPECT_EQ(Launch(5), LaunchResult::kFailed);
  EXPECT_NE(Log().find("error:The operating system denied\r\naccess to the specified file."),
            std::string::npos);
}

TEST_F(LaunchPhase, NotFoundMeansNoStartAndNoWait) {
  EXPECT_EQ(Launch(42), LaunchResult::kFailed);
  EXPECT_EQ(os.shell.calls, 0);
  EXPECT_TRUE(os.clock.sleeps().empty());
  EXPECT_EQ(Log(), "\r\n06-12-26 16:45:09: LSScheduler Error: Can't find Outlook.exe");
}

}  // namespace
}  // namespace lss
