#include "check/support_bundle.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/check_tool.h"
#include "check/reg_export.h"
#include "check_test_helpers.h"
#include "diag/text_format.h"
#include "fake/fake_check_platform.h"

namespace lss::test {
namespace {

using ::testing::HasSubstr;

// Text as a UTF-16 LE file with its byte order mark, the form settings.reg and
// task.xml take.
std::string Utf16File(std::u16string_view text) {
  const std::vector<std::uint8_t> bytes = Utf16(text, false);
  return "\xFF\xFE" + std::string(bytes.begin(), bytes.end());
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
  std::u16string name;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
  std::u16string line;  // as settings.reg writes it, without its CR LF
};

class RegExportValues : public testing::TestWithParam<ValueCase> {};

TEST_P(RegExportValues, AreWrittenForRegImport) {
  const ValueCase& c = GetParam();
  const std::string file =
      FormatRegExport({{u"HKEY_CURRENT_USER\\Software\\X", {{c.name, c.type, c.data}}}});
  EXPECT_EQ(file, Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n"
                            u"[HKEY_CURRENT_USER\\Software\\X]\r\n" +
                            c.line + u"\r\n\r\n"));
}

const ValueCase kValues[] = {
    {.what = "backslashes and quotes escaped, in the name too",
     .name = u"a\\\"b",
     .type = 1,
     .data = Bytes({'C', 0, ':', 0, '\\', 0, '"', 0, 0, 0}),
     .line = u"\"a\\\\\\\"b\"=\"C:\\\\\\\"\""},
    {.what = "the default value",
     .name = u"",
     .type = 1,
     .data = Bytes({'x', 0, 0, 0}),
     .line = u"@=\"x\""},
    {.what = "empty text", .name = u"E", .type = 1, .data = Bytes({0, 0}), .line = u"\"E\"=\"\""},
    {.what = "beyond ASCII",
     .name = u"\u00E9",
     .type = 1,
     .data = Bytes({0xE5, 0x65, 0, 0}),
     .line = u"\"\u00E9\"=\"\u65E5\""},
    {.what = "text without its NUL",
     .name = u"T",
     .type = 1,
     .data = Bytes({'A', 0}),
     .line = u"\"T\"=hex(1):41,00"},
    {.what = "text with a NUL inside",
     .name = u"T",
     .type = 1,
     .data = Bytes({'A', 0, 0, 0, 'B', 0, 0, 0}),
     .line = u"\"T\"=hex(1):41,00,00,00,42,00,00,00"},
    {.what = "text with a line break",
     .name = u"T",
     .type = 1,
     .data = Bytes({'\n', 0, 0, 0}),
     .line = u"\"T\"=hex(1):0a,00,00,00"},
    {.what = "text of odd length",
     .name = u"T",
     .type = 1,
     .data = Bytes({'A', 0, 0}),
     .line = u"\"T\"=hex(1):41,00,00"},
    {.what = "no data as text",
     .name = u"T",
     .type = 1,
     .data = Bytes({}),
     .line = u"\"T\"=hex(1):"},
    {.what = "a DWORD of -1",
     .name = u"N",
     .type = 4,
     .data = Bytes({0xFF, 0xFF, 0xFF, 0xFF}),
     .line = u"\"N\"=dword:ffffffff"},
    {.what = "a DWORD with 3 bytes",
     .name = u"N",
     .type = 4,
     .data = Bytes({1, 2, 3}),
     .line = u"\"N\"=hex(4):01,02,03"},
    {.what = "expandable text",
     .name = u"P",
     .type = 2,
     .data = Bytes({'%', 0, 'X', 0, '%', 0, 0, 0}),
     .line = u"\"P\"=hex(2):25,00,58,00,25,00,00,00"},
    {.what = "binary",
     .name = u"B",
     .type = 3,
     .data = Bytes({0xDE, 0xAD, 0x00}),
     .line = u"\"B\"=hex:de,ad,00"},
    {.what = "empty binary", .name = u"B", .type = 3, .data = Bytes({}), .line = u"\"B\"=hex:"},
    {.what = "multi-string",
     .name = u"M",
     .type = 7,
     .data = Bytes({'a', 0, 0, 0, 0, 0}),
     .line = u"\"M\"=hex(7):61,00,00,00,00,00"},
    {.what = "a QWORD",
     .name = u"Q",
     .type = 11,
     .data = Bytes({1, 0, 0, 0, 0, 0, 0, 0x80}),
     .line = u"\"Q\"=hex(b):01,00,00,00,00,00,00,80"},
    {.what = "no type", .name = u"Z", .type = 0, .data = Bytes({7}), .line = u"\"Z\"=hex(0):07"},
    {.what = "a type of its own",
     .name = u"O",
     .type = 0x1234ABCD,
     .data = Bytes({1}),
     .line = u"\"O\"=hex(1234abcd):01"},
    {.what = "long data broken into lines",
     .name = u"Blob",
     .type = 3,
     .data = Counting(50),
     .line =
         u"\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
         u"  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\r\n"
         u"  2f,30,31"},
};

INSTANTIATE_TEST_SUITE_P(, RegExportValues, testing::ValuesIn(kValues), RowName);

// A user whose settings name a log folder with eleven run logs, one of them
// empty, and a file that is not a run log.
void SetUpUser(FakeCheckPlatform& os) {
  os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logs");
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 15);
  os.registry.SetDword(u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions",
                       u"BlockToolbarLoadOrg", 1);
  os.registry.SetString(u"HKCU\\Software\\Brinmoor\\Other", u"Not", u"collected");
  os.disk.AddFolder(u"C:\\Logs");
  for (int day = 10; day <= 20; ++day) {
    os.disk.AddFile(u"C:\\Logs\\Scheduler" + ToDecimal(day) + u"1226020000.log",
                    day == 19 ? "" : kCompleteRun);
  }
  os.disk.AddFile(u"C:\\Logs\\notes.txt", "x");
  TaskInfo task;
  task.xml = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Task/>";
  os.tasks.Add(u"Larkspan Nightly", task);
}

TEST(SupportBundle, HoldsTheReportsTheNewestLogsTheSettingsTheTaskAndTheMachine) {
  FakeCheckPlatform os;
  SetUpGoodMachine(os);
  SetUpUser(os);
  os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ProgramFile(0x14C));
  os.disk.fileVersions[u"C:\\Office\\OUTLOOK.EXE"] = u"16.0.1.2";
  const std::u16string_view windows = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  SetMachineText(os, k64Bit, windows, u"ProductName", u"Windows 10 Pro");
  SetMachineText(os, k64Bit, windows, u"DisplayVersion", u"23H2");
  SetMachineText(os, k64Bit, u"Software\\Brinmoor\\LSScheduler", u"InstallFolder",
                 u"C:\\Program Files\\Larkspan\\");
  os.disk.fileVersions[u"c:\\program files\\larkspan\\lsscheduler.exe"] = u"2.1.0.7";
  RecordingConsole console;
  // The 32-bit MAPI library fails the check.
  ASSERT_EQ(RunTool(os, console, {u"--collect", u"C:\\Temp\\b"}), 2) << Narrow(console.error);
  EXPECT_EQ(console.error, u"");

  // The ten newest logs by the time in their names, the empty one too.
  for (int day = 10; day <= 20; ++day) {
    const std::u16string name = u"Scheduler" + ToDecimal(day) + u"1226020000.log";
    EXPECT_EQ(os.disk.Contents(u"C:\\Temp\\b\\" + name),
              day == 10 ? std::nullopt : os.disk.Contents(u"C:\\Logs\\" + name))
        << day;
  }
  EXPECT_FALSE(os.disk.Contents(u"C:\\Temp\\b\\notes.txt"));

  EXPECT_EQ(os.disk.Contents(u"C:\\Temp\\b\\settings.reg"),
            Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n"
                      u"[HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan]\r\n\r\n"
                      u"[HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings]\r\n"
                      u"\"LogDirectory\"=\"C:\\\\Logs\"\r\n"
                      u"\"WaitSecondsForOutlookStart\"=dword:0000000f\r\n\r\n"
                      u"[HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings\\"
                      u"AdminOptions]\r\n"
                      u"\"BlockToolbarLoadOrg\"=dword:00000001\r\n\r\n"));
  EXPECT_EQ(os.disk.Contents(u"C:\\Temp\\b\\task.xml"),
            Utf16File(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Task/>"));
  // The definition the task check read, not a second reading.
  EXPECT_EQ(os.tasks.reads, Texts(u"Larkspan Nightly"));
  EXPECT_EQ(os.disk.Contents(u"C:\\Temp\\b\\machine.txt"),
            "Windows: 10.0.22631 (Windows 10 Pro, 23H2)\r\n"
            "Native architecture: x64\r\n"
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

  EXPECT_THAT(Wide(console.output),
              HasSubstr(L"\nThe support bundle is in C:\\Temp\\b: check.json, check.txt, "
                        L"Scheduler201226020000.log, Scheduler191226020000.log, "));
  EXPECT_THAT(Wide(console.output), HasSubstr(L"settings.reg, task.xml, machine.txt.\n"));
}

struct MachineLineCase {
  const char* what;
  std::function<void(FakeCheckPlatform&)> change;
  std::string line;  // a line of machine.txt, with its CR LF
};

class MachineLines : public testing::TestWithParam<MachineLineCase> {};

TEST_P(MachineLines, SayWhatTheComputerAndItsProgramsAreBuiltFor) {
  const MachineLineCase& c = GetParam();
  FakeCheckPlatform os;
  SetUpGoodMachine(os);
  c.change(os);
  RecordingConsole console;
  RunTool(os, console, {u"--collect", u"C:\\B"});
  const std::optional<std::string> text = os.disk.Contents(u"C:\\B\\machine.txt");
  ASSERT_TRUE(text.has_value()) << Narrow(console.error);
  EXPECT_THAT(*text, HasSubstr(c.line));
}

const MachineLineCase kMachineLines[] = {
    {.what = "an x64 computer", .change = [](auto&) {}, .line = "\r\nNative architecture: x64\r\n"},
    {.what = "an Arm computer",
     .change = [](auto& os) { os.queries.nativeMachine = 0xAA64; },
     .line = "\r\nNative architecture: ARM64\r\n"},
    {.what = "an architecture Windows does not tell",
     .change = [](auto& os) { os.queries.nativeMachine = 0; },
     .line = "\r\nNative architecture: ?\r\n"},
    {.what = "an Arm64X MAPI library",
     .change =
         [](auto& os) {
           os.disk.AddFile(u"C:\\Office\\olmapi32.dll", PeFile({.machine = 0xAA64, .chpe = 8}));
         },
     .line = "\r\nMAPI library: C:\\Office\\olmapi32.dll, Arm64X\r\n"},
    {.what = "an Arm64 OUTLOOK.EXE whose load configuration is cut short",
     .change =
         [](auto& os) {
           os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE",
                           PeFile({.machine = 0xAA64, .chpe = 8, .fileSize = 0x450}));
         },
     .line = ", ARM64 (its load configuration is cut short)\r\n"},
};

INSTANTIATE_TEST_SUITE_P(, MachineLines, testing::ValuesIn(kMachineLines), RowName);

struct FaultCase {
  const char* what;
  std::function<void(FakeCheckPlatform&)> change;
  int exitCode;
  // A part of standard output when a bundle is written (0 to 2), with nothing
  // on standard error; else a part of standard error.
  std::u16string text;
  std::vector<std::u16string> absent = {};  // files of the bundle not written
};

class BundleFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(BundleFaults, EndWithAClearMessage) {
  const FaultCase& c = GetParam();
  FakeCheckPlatform os;
  SetUpUser(os);
  os.messages.Set(5, u"Access is denied.\r\n");
  os.messages.Set(112, u"There is not enough space on the disk.\r\n");
  c.change(os);
  RecordingConsole console;
  EXPECT_EQ(RunTool(os, console, {u"--collect=C:\\B"}), c.exitCode);
  if (c.exitCode <= 2) {
    EXPECT_THAT(Wide(console.output), HasSubstr(Wide(c.text)));
    EXPECT_EQ(console.error, u"");
  } else {
    EXPECT_THAT(Wide(console.error), HasSubstr(Wide(c.text)));
  }
  for (const std::u16string& name : c.absent)
    EXPECT_FALSE(os.disk.Contents(u"C:\\B\\" + name)) << Narrow(name);
}

const FaultCase kFaults[] = {
    {.what = "the disk fills up at the settings",
     .change = [](auto& os) { os.files.FailWriteNewFile(u"settings.reg", 112); },
     .exitCode = 74,
     .text = u"LSSchedulerCheck: C:\\B\\settings.reg cannot be written: There is not enough space "
             u"on the "
             u"disk. The support bundle in C:\\B is incomplete.\n",
     .absent = Texts(u"settings.reg", u"task.xml", u"machine.txt")},
    {.what = "the folder cannot be created",
     .change = [](auto& os) { os.files.FailCreateFolders(5); },
     .exitCode = 74,
     .text = u"LSSchedulerCheck: the folder C:\\B cannot be created: Access is denied.\n",
     .absent = Texts(u"check.json")},
    {.what = "an existing empty folder",
     .change = [](auto& os) { os.disk.AddFolder(u"C:\\B"); },
     .exitCode = 2,
     .text = u"The support bundle is in C:\\B: check.json"},
    {.what = "a file of that name",
     .change = [](auto& os) { os.disk.AddFile(u"C:\\B", "x"); },
     .exitCode = 64,
     .text =
         u"LSSchedulerCheck: C:\\B is a file: the support bundle needs a new or empty folder.\n"},
    {.what = "a folder holding only a folder",
     .change =
         [](auto& os) {
           os.disk.AddFolder(u"C:\\B");
           os.disk.AddFolder(u"C:\\B\\sub");
         },
     .exitCode = 64,
     .text = u"LSSchedulerCheck: C:\\B is not empty: the support bundle never overwrites anything. "
             u"Name a "
             u"new or empty folder.\n",
     .absent = Texts(u"check.json")},
    {.what = "a folder that cannot be examined",
     .change = [](auto& os) { os.files.HideFromLook(u"C:\\B"); },
     .exitCode = 64,
     .text = u"LSSchedulerCheck: C:\\B cannot be examined: the support bundle needs a new or empty "
             u"folder.\n",
     .absent = Texts(u"check.json")},
    {.what = "no settings at all",
     .change = [](auto& os) { os.registry.DeleteKey(u"HKCU\\Software\\Brinmoor\\Larkspan"); },
     .exitCode = 2,
     .text = u"check.txt, settings.reg, task.xml, machine.txt.\n",
     .absent = Texts(u"Scheduler201226020000.log")},
    {.what = "a settings key that cannot be read",
     .change =
         [](auto& os) {
           os.registry.FailKey(u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions");
         },
     .exitCode = 2,
     .text = u"Note: settings.reg lacks HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings\\"
             u"AdminOptions: the key cannot be read (Access is denied).\n"},
    {.what = "no task",
     .change = [](auto& os) { os.tasks.failure = task_result::kNotFound; },
     .exitCode = 2,
     .text = u"settings.reg, machine.txt.\n",
     .absent = Texts(u"task.xml")},
    {.what = "a task without XML",
     .change = [](auto& os) { os.tasks.Add(u"Larkspan Nightly", TaskInfo{}); },
     .exitCode = 2,
     .text = u"settings.reg, machine.txt.\n",
     .absent = Texts(u"task.xml")},
    {.what = "a settings key deleted between its listing and its read",
     .change =
         [](auto& os) {
           os.messages.Set(2, u"The system cannot find the file specified.\r\n");
           os.registry.beforeOpen = [&os](const std::u16string&, std::u16string_view key) {
             if (key.ends_with(u"\\AdminOptions")) {
               os.registry.DeleteKey(u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions");
             }
           };
         },
     .exitCode = 2,
     .text =
         u"Note: settings.reg lacks HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings\\"
         u"AdminOptions: the key cannot be read (The system cannot find the file specified).\n"},
    {.what = "a log named in 2099 is evidence too, and one of the ten",
     .change =
         [](auto& os) { os.disk.AddFile(u"C:\\Logs\\Scheduler010199000000.log", kCompleteRun); },
     .exitCode = 2,
     .text = u"check.txt, Scheduler010199000000.log, Scheduler201226020000.log, ",
     .absent = Texts(u"Scheduler111226020000.log")},
};

INSTANTIATE_TEST_SUITE_P(, BundleFaults, testing::ValuesIn(kFaults), RowName);

}  // namespace
}  // namespace lss::test
