#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/check_tool.h"
#include "check/support_bundle.h"
#include "diag/text_format.h"
#include "fake/fake_check_platform.h"

namespace lss {
namespace {

constexpr auto CaseIndex = [](const auto& info) { return std::to_string(info.index); };

// Text as UTF-16 LE bytes, the form settings.reg and task.xml take.
std::string Utf16(std::u16string_view text) {
  std::string bytes;
  for (const char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

// For failure messages: the low byte of each unit.
std::string Shown(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// ASCII text as the console writes it to a file.
std::string CrLf(std::u16string_view text) {
  std::string bytes;
  for (const char16_t c : text) {
    if (c == u'\n') bytes += '\r';
    bytes += static_cast<char>(c);
  }
  return bytes;
}

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> bytes;
  for (const int value : values) bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}

std::vector<std::uint8_t> Counting(int count) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(i));
  return bytes;
}

struct ValueCase {
  const char* what;
  RegistryValueRead value;
  std::u16string line;  // as settings.reg writes it, without its CR LF
};

class RegExportValues : public testing::TestWithParam<ValueCase> {};

TEST_P(RegExportValues, AreWrittenForRegImport) {
  const ValueCase& c = GetParam();
  const std::string file = FormatRegExport({{u"HKEY_CURRENT_USER\\Software\\X", {c.value}}});
  EXPECT_EQ(file, "\xFF\xFE" + Utf16(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                     u"[HKEY_CURRENT_USER\\Software\\X]\r\n" +
                                     c.line + u"\r\n\r\n"))
      << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegExportValues,
    testing::Values(
        ValueCase{"text", {u"Name", 1, Bytes({'W', 0, 'o', 0, 0, 0})}, u"\"Name\"=\"Wo\""},
        ValueCase{"backslashes and quotes escaped, in the name too",
                  {u"a\\\"b", 1, Bytes({'C', 0, ':', 0, '\\', 0, '"', 0, 0, 0})},
                  u"\"a\\\\\\\"b\"=\"C:\\\\\\\"\""},
        ValueCase{"the default value", {u"", 1, Bytes({'x', 0, 0, 0})}, u"@=\"x\""},
        ValueCase{"empty text", {u"E", 1, Bytes({0, 0})}, u"\"E\"=\"\""},
        ValueCase{"beyond ASCII", {u"\u00E9", 1, Bytes({0xE5, 0x65, 0, 0})},
                  u"\"\u00E9\"=\"\u65E5\""},
        ValueCase{"text without its NUL", {u"T", 1, Bytes({'A', 0})}, u"\"T\"=hex(1):41,00"},
        ValueCase{"text with a NUL inside", {u"T", 1, Bytes({'A', 0, 0, 0, 'B', 0, 0, 0})},
                  u"\"T\"=hex(1):41,00,00,00,42,00,00,00"},
        ValueCase{"text with a line break", {u"T", 1, Bytes({'\n', 0, 0, 0})},
                  u"\"T\"=hex(1):0a,00,00,00"},
        ValueCase{"text of odd length", {u"T", 1, Bytes({'A', 0, 0})}, u"\"T\"=hex(1):41,00,00"},
        ValueCase{"no data as text", {u"T", 1, {}}, u"\"T\"=hex(1):"},
        ValueCase{"a DWORD", {u"Wait", 4, Bytes({10, 0, 0, 0})}, u"\"Wait\"=dword:0000000a"},
        ValueCase{"a DWORD of -1", {u"N", 4, Bytes({0xFF, 0xFF, 0xFF, 0xFF})},
                  u"\"N\"=dword:ffffffff"},
        ValueCase{"a DWORD with 3 bytes", {u"N", 4, Bytes({1, 2, 3})}, u"\"N\"=hex(4):01,02,03"},
        ValueCase{"expandable text", {u"P", 2, Bytes({'%', 0, 'X', 0, '%', 0, 0, 0})},
                  u"\"P\"=hex(2):25,00,58,00,25,00,00,00"},
        ValueCase{"binary", {u"B", 3, Bytes({0xDE, 0xAD, 0x00})}, u"\"B\"=hex:de,ad,00"},
        ValueCase{"empty binary", {u"B", 3, {}}, u"\"B\"=hex:"},
        ValueCase{"multi-string", {u"M", 7, Bytes({'a', 0, 0, 0, 0, 0})},
                  u"\"M\"=hex(7):61,00,00,00,00,00"},
        ValueCase{"a QWORD", {u"Q", 11, Bytes({1, 0, 0, 0, 0, 0, 0, 0x80})},
                  u"\"Q\"=hex(b):01,00,00,00,00,00,00,80"},
        ValueCase{"no type", {u"Z", 0, Bytes({7})}, u"\"Z\"=hex(0):07"},
        ValueCase{"a type of its own", {u"O", 0x1234ABCD, Bytes({1})}, u"\"O\"=hex(1234abcd):01"},
        ValueCase{"long data broken into lines",
                  {u"Blob", 3, Counting(50)},
                  u"\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,"
                  u"15,\\\r\n"
                  u"  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,"
                  u"\\\r\n"
                  u"  2f,30,31"}),
    CaseIndex);

TEST(RegExport, WritesEachKeyAsItsOwnSectionInTheOrderGiven) {
  const std::string file = FormatRegExport({
      {u"HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan", {}},
      {u"HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings",
       {{u"LogDirectory", 1, Bytes({'C', 0, 0, 0})}, {u"Wait", 4, Bytes({15, 0, 0, 0})}}},
      {u"HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions", {}},
  });
  EXPECT_EQ(file, "\xFF\xFE" + Utf16(u"Windows Registry Editor Version 5.00\r\n"
                                     u"\r\n"
                                     u"[HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan]\r\n"
                                     u"\r\n"
                                     u"[HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings]\r\n"
                                     u"\"LogDirectory\"=\"C\"\r\n"
                                     u"\"Wait\"=dword:0000000f\r\n"
                                     u"\r\n"
                                     u"[HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings\\"
                                     u"AdminOptions]\r\n"
                                     u"\r\n"));
}

struct RefusalCase {
  PathKind kind;
  std::u16string error;  // empty: the bundle may be written there
};

class Refusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, KeepTheBundleFromOverwritingAnything) {
  EXPECT_EQ(BundleRefusal(GetParam().kind, u"C:\\B"), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Refusals,
    testing::Values(
        RefusalCase{PathKind::kMissing, u""}, RefusalCase{PathKind::kEmptyFolder, u""},
        RefusalCase{PathKind::kFile,
                    u"C:\\B is a file: the support bundle needs a new or empty folder."},
        RefusalCase{PathKind::kFolderWithEntries,
                    u"C:\\B is not empty: the support bundle never overwrites anything. Name a "
                    u"new or empty folder."},
        RefusalCase{PathKind::kUnknown,
                    u"C:\\B cannot be examined: the support bundle needs a new or empty folder."}),
    CaseIndex);

class RecordingConsole : public Console {
 public:
  void Write(OutputStream stream, std::u16string_view text) override {
    (stream == OutputStream::kOutput ? output : error) += text;
  }
  std::u16string output;
  std::u16string error;
};

constexpr std::u16string_view kSettings = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings";
constexpr char kRun[] =
    "\r\n07-12-26 02:00:00: Block Larkspan Toolbar Load"
    "\r\n07-12-26 02:03:41: De-Block Larkspan Toolbar Load";

// The first bytes of a program file built for `machine`.
std::string ProgramFile(std::uint16_t machine) {
  std::string bytes(0x46, '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  bytes[0x3C] = 0x40;
  bytes.replace(0x40, 4, std::string("PE\0\0", 4));
  bytes[0x44] = static_cast<char>(machine & 0xFF);
  bytes[0x45] = static_cast<char>(machine >> 8);
  return bytes;
}

// A user whose settings name a log folder with eleven run logs, one of them
// empty, and a file that is not a run log.
void SetUpUser(test::FakeCheckPlatform& os) {
  os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logs");
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 15);
  os.registry.SetDword(u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions",
                       u"BlockToolbarLoadOrg", 1);
  os.registry.SetString(u"HKCU\\Software\\Brinmoor\\Other", u"Not", u"collected");
  os.disk.AddFolder(u"C:\\Logs");
  for (int day = 10; day <= 20; ++day) {
    os.disk.AddFile(u"C:\\Logs\\Scheduler" + ToDecimal(day) + u"1226020000.log",
                       day == 19 ? "" : kRun);
  }
  os.disk.AddFile(u"C:\\Logs\\notes.txt", "x");
  TaskInfo task;
  task.xml = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Task/>";
  os.tasks.Add(u"Larkspan Nightly", task);
}

int Collect(test::FakeCheckPlatform& os, RecordingConsole& console,
            std::vector<std::u16string> arguments) {
  os.process.arguments = {u"LSSchedulerCheck.exe"};
  os.process.arguments.insert(os.process.arguments.end(), arguments.begin(), arguments.end());
  return RunCheckTool(os.bundle, console, u"1.2.3.4");
}

TEST(SupportBundle, HoldsTheReportsTheNewestLogsTheSettingsTheTaskAndTheMachine) {
  test::FakeCheckPlatform os;
  SetUpUser(os);
  os.registry.SetString(u"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE",
                        u"Path", u"C:\\Office\\");
  os.disk.AddFolder(u"C:\\Office");
  os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE", ProgramFile(0x8664));
  os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ProgramFile(0x14C));
  os.disk.fileVersions[u"C:\\Office\\OUTLOOK.EXE"] = u"16.0.1.2";
  os.disk.AddFolder(u"C:\\Windows\\System32");
  os.disk.AddFile(u"C:\\Windows\\System32\\mapi32.dll");
  const std::uint32_t k64Bit = reg::kWow64_64Key;
  os.registry.SetString(test::MachinePath(k64Bit, u"Software\\Clients\\Mail"), u"", u"Microsoft Outlook");
  os.registry.SetString(test::MachinePath(k64Bit, u"Software\\Clients\\Mail\\Microsoft Outlook"),
                            u"DLLPathEx", u"C:\\Office\\olmapi32.dll");
  const std::u16string_view windows = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  os.registry.SetString(test::MachinePath(k64Bit, windows), u"ProductName", u"Windows 10 Pro");
  os.registry.SetString(test::MachinePath(k64Bit, windows), u"DisplayVersion", u"23H2");
  os.registry.SetString(test::MachinePath(k64Bit, u"Software\\Brinmoor\\LSScheduler"), u"InstallFolder",
                            u"C:\\Program Files\\Larkspan\\");
  os.disk.AddFolder(u"C:\\Program Files\\Larkspan");
  os.disk.AddFile(u"C:\\Program Files\\Larkspan\\LSScheduler.exe");
  os.disk.fileVersions[u"C:\\Program Files\\Larkspan\\LSScheduler.exe"] = u"2.1.0.7";
  RecordingConsole table;
  const int verdict = Collect(os, table, {});
  RecordingConsole json;
  Collect(os, json, {u"--json"});
  RecordingConsole console;
  ASSERT_EQ(Collect(os, console, {u"--collect", u"C:\\Temp\\b"}), verdict) << Shown(console.error);
  EXPECT_EQ(console.error, u"");

  // The reports, as the table and --json print them to a file.
  EXPECT_EQ(os.disk.Contents(u"C:\\Temp\\b\\check.txt"), CrLf(table.output));
  EXPECT_EQ(os.disk.Contents(u"C:\\Temp\\b\\check.json"), CrLf(json.output));
  EXPECT_NE(table.output.find(u"\n\nVerdict: FAIL (exit code 2)\n"), std::u16string::npos);
  EXPECT_EQ(console.output.substr(0, table.output.size()), table.output);

  // The ten newest logs by the time in their names, the empty one too.
  for (int day = 10; day <= 20; ++day) {
    const std::u16string name = u"Scheduler" + ToDecimal(day) + u"1226020000.log";
    EXPECT_EQ(os.disk.Contents(u"C:\\Temp\\b\\" + name),
              day == 10 ? std::nullopt : os.disk.Contents(u"C:\\Logs\\" + name))
        << day;
  }
  EXPECT_FALSE(os.disk.Contents(u"C:\\Temp\\b\\notes.txt"));

  EXPECT_EQ(os.disk.Contents(u"C:\\Temp\\b\\settings.reg"),
            "\xFF\xFE" + Utf16(u"Windows Registry Editor Version 5.00\r\n\r\n"
                               u"[HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan]\r\n\r\n"
                               u"[HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings]\r\n"
                               u"\"LogDirectory\"=\"C:\\\\Logs\"\r\n"
                               u"\"WaitSecondsForOutlookStart\"=dword:0000000f\r\n\r\n"
                               u"[HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings\\"
                               u"AdminOptions]\r\n"
                               u"\"BlockToolbarLoadOrg\"=dword:00000001\r\n\r\n"));
  EXPECT_EQ(os.disk.Contents(u"C:\\Temp\\b\\task.xml"),
            "\xFF\xFE" + Utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Task/>"));
  EXPECT_EQ(os.disk.Contents(u"C:\\Temp\\b\\machine.txt"),
            "Windows: 10.0.22631 (Windows 10 Pro, 23H2)\r\n"
            "Computer: PC-0417\r\n"
            "User: BRINMOOR\\avery\r\n"
            "LSScheduler.exe: C:\\Program Files\\Larkspan\\LSScheduler.exe, version "
            "2.1.0.7\r\n"
            "LSSchedulerCheck.exe: C:\\Program Files\\Larkspan\\LSSchedulerCheck.exe, version "
            "1.2.3.4\r\n"
            "Outlook: C:\\Office\\OUTLOOK.EXE, version 16.0.1.2, x64\r\n"
            "Mail client: Microsoft Outlook\r\n"
            "MAPI library: C:\\Office\\olmapi32.dll, x86\r\n"
            "MSI InstallFolder: C:\\Program Files\\Larkspan\\\r\n"
            "MSI TaskName: (not recorded)\r\n");

  EXPECT_NE(console.output.find(u"\nThe support bundle is in C:\\Temp\\b: check.json, check.txt, "
                                u"Scheduler201226020000.log, Scheduler191226020000.log, "),
            std::u16string::npos);
  EXPECT_NE(console.output.find(u"settings.reg, task.xml, machine.txt.\n"), std::u16string::npos);

  // A second bundle into the same folder is refused, and nothing is written.
  const int writes = os.collect.writes;
  RecordingConsole again;
  EXPECT_EQ(Collect(os, again, {u"--collect", u"C:\\Temp\\b"}), 64);
  EXPECT_EQ(again.error,
            u"LSSchedulerCheck: C:\\Temp\\b is not empty: the support bundle never overwrites "
            u"anything. Name a new or empty folder.\n");
  EXPECT_EQ(os.collect.writes, writes);
}

struct FaultCase {
  const char* what;
  std::function<void(test::FakeCheckPlatform&)> change;
  int exitCode;
  std::u16string error;   // a part of standard error; empty: none
  std::u16string output;  // a part of standard output
  std::vector<std::u16string> absent;  // files of the bundle not written
};

class BundleFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(BundleFaults, EndWithAClearMessage) {
  const FaultCase& c = GetParam();
  test::FakeCheckPlatform os;
  SetUpUser(os);
  os.messages.Set(5, u"Access is denied.\r\n");
  os.messages.Set(112, u"There is not enough space on the disk.\r\n");
  c.change(os);
  RecordingConsole console;
  EXPECT_EQ(Collect(os, console, {u"--collect=C:\\B"}), c.exitCode) << c.what;
  EXPECT_NE(console.error.find(c.error), std::u16string::npos)
      << c.what << ": " << Shown(console.error);
  if (c.error.empty()) {
    EXPECT_EQ(console.error, u"") << c.what;
  }
  EXPECT_NE(console.output.find(c.output), std::u16string::npos) << c.what;
  for (const std::u16string& name : c.absent) {
    EXPECT_FALSE(os.disk.Contents(u"C:\\B\\" + name)) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BundleFaults,
    testing::Values(
        FaultCase{"the disk fills up at the settings",
                  [](auto& os) {
                    os.collect.failingName = u"settings.reg";
                    os.collect.writeFailure = 112;
                  },
                  74,
                  u"LSSchedulerCheck: C:\\B\\settings.reg cannot be written: There is not enough "
                  u"space on the disk. The support bundle in C:\\B is incomplete.\n",
                  u"",
                  {u"settings.reg", u"task.xml", u"machine.txt"}},
        FaultCase{"the folder cannot be created",
                  [](auto& os) { os.collect.createFailure = 5; }, 74,
                  u"LSSchedulerCheck: the folder C:\\B cannot be created: Access is denied.\n",
                  u"",
                  {u"check.json"}},
        FaultCase{"an existing empty folder", [](auto& os) { os.disk.AddFolder(u"C:\\B"); }, 2,
                  u"", u"The support bundle is in C:\\B: check.json", {}},
        FaultCase{"a file of that name", [](auto& os) { os.disk.AddFile(u"C:\\B", "x"); }, 64,
                  u"C:\\B is a file", u"", {}},
        FaultCase{"a folder holding only a folder",
                  [](auto& os) {
                    os.disk.AddFolder(u"C:\\B");
                    os.disk.AddFolder(u"C:\\B\\sub");
                  }, 64, u"C:\\B is not empty",
                  u"", {u"check.json"}},
        FaultCase{"a folder that cannot be examined",
                  [](auto& os) { os.collect.unexaminable = u"C:\\B"; }, 64,
                  u"C:\\B cannot be examined", u"", {u"check.json"}},
        FaultCase{"no settings at all",
                  [](auto& os) { os.registry.DeleteKey(u"HKCU\\Software\\Brinmoor\\Larkspan"); },
                  2, u"", u"check.txt, settings.reg, task.xml, machine.txt.\n",
                  {u"Scheduler201226020000.log"}},
        FaultCase{"a settings key that cannot be read",
                  [](auto& os) {
                    os.registry.FailKey(u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions");
                  },
                  2, u"",
                  u"Note: settings.reg lacks HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\"
                  u"Settings\\AdminOptions: the key cannot be read (Access is denied).\n",
                  {}},
        FaultCase{"no task", [](auto& os) { os.tasks.failure = task_result::kNotFound; }, 2, u"",
                  u"settings.reg, machine.txt.\n", {u"task.xml"}}),
    CaseIndex);

}  // namespace
}  // namespace lss
