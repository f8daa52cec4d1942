#include "check/support_bundle.h"

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
    {"backslashes and quotes escaped, in the name too", u"a\\\"b", 1,
     Bytes({'C', 0, ':', 0, '\\', 0, '"', 0, 0, 0}), u"\"a\\\\\\\"b\"=\"C:\\\\\\\"\""},
    {"the default value", u"", 1, Bytes({'x', 0, 0, 0}), u"@=\"x\""},
    {"empty text", u"E", 1, Bytes({0, 0}), u"\"E\"=\"\""},
    {"beyond ASCII", u"\u00E9", 1, Bytes({0xE5, 0x65, 0, 0}), u"\"\u00E9\"=\"\u65E5\""},
    {"text without its NUL", u"T", 1, Bytes({'A', 0}), u"\"T\"=hex(1):41,00"},
    {"text with a NUL inside", u"T", 1, Bytes({'A', 0, 0, 0, 'B', 0, 0, 0}),
     u"\"T\"=hex(1):41,00,00,00,42,00,00,00"},
    {"text with a line break", u"T", 1, Bytes({'\n', 0, 0, 0}), u"\"T\"=hex(1):0a,00,00,00"},
    {"text of odd length", u"T", 1, Bytes({'A', 0, 0}), u"\"T\"=hex(1):41,00,00"},
    {"no data as text", u"T", 1, Bytes({}), u"\"T\"=hex(1):"},
    {"a DWORD of -1", u"N", 4, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), u"\"N\"=dword:ffffffff"},
    {"a DWORD with 3 bytes", u"N", 4, Bytes({1, 2, 3}), u"\"N\"=hex(4):01,02,03"},
    {"expandable text", u"P", 2, Bytes({'%', 0, 'X', 0, '%', 0, 0, 0}),
     u"\"P\"=hex(2):25,00,58,00,25,00,00,00"},
    {"binary", u"B", 3, Bytes({0xDE, 0xAD, 0x00}), u"\"B\"=hex:de,ad,00"},
    {"empty binary", u"B", 3, Bytes({}), u"\"B\"=hex:"},
    {"multi-string", u"M", 7, Bytes({'a', 0, 0, 0, 0, 0}), u"\"M\"=hex(7):61,00,00,00,00,00"},
    {"a QWORD", u"Q", 11, Bytes({1, 0, 0, 0, 0, 0, 0, 0x80}),
     u"\"Q\"=hex(b):01,00,00,00,00,00,00,80"},
    {"no type", u"Z", 0, Bytes({7}), u"\"Z\"=hex(0):07"},
    {"a type of its own", u"O", 0x1234ABCD, Bytes({1}), u"\"O\"=hex(1234abcd):01"},
    {"long data broken into lines", u"Blob", 3, Counting(50),
     u"\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
     u"  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\r\n"
     u"  2f,30,31"},
};

INSTANTIATE_TEST_SUITE_P(Table, RegExportValues, testing::ValuesIn(kValues), CaseName);

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

  EXPECT_NE(console.output.find(u"\nThe support bundle is in C:\\Temp\\b: check.json, check.txt, "
                                u"Scheduler201226020000.log, Scheduler191226020000.log, "),
            std::u16string::npos);
  EXPECT_NE(console.output.find(u"settings.reg, task.xml, machine.txt.\n"), std::u16string::npos);
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
  EXPECT_NE(text->find(c.line), std::string::npos) << *text;
}

const MachineLineCase kMachineLines[] = {
    {"an x64 computer", [](auto&) {}, "\r\nNative architecture: x64\r\n"},
    {"an Arm computer", [](auto& os) { os.queries.nativeMachine = 0xAA64; },
     "\r\nNative architecture: ARM64\r\n"},
    {"an architecture Windows does not tell", [](auto& os) { os.queries.nativeMachine = 0; },
     "\r\nNative architecture: ?\r\n"},
    {"an Arm64X MAPI library",
     [](auto& os) {
       os.disk.AddFile(u"C:\\Office\\olmapi32.dll", PeFile({.machine = 0xAA64, .chpe = 8}));
     },
     "\r\nMAPI library: C:\\Office\\olmapi32.dll, Arm64X\r\n"},
    {"an Arm64 OUTLOOK.EXE whose load configuration is cut short",
     [](auto& os) {
       os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE",
                       PeFile({.machine = 0xAA64, .chpe = 8, .fileSize = 0x450}));
     },
     ", ARM64 (its load configuration is cut short)\r\n"},
};

INSTANTIATE_TEST_SUITE_P(Table, MachineLines, testing::ValuesIn(kMachineLines), CaseName);

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
    EXPECT_NE(console.output.find(c.text), std::u16string::npos);
    EXPECT_EQ(console.error, u"");
  } else {
    EXPECT_NE(console.error.find(c.text), std::u16string::npos) << Narrow(console.error);
  }
  for (const std::u16string& name : c.absent)
    EXPECT_FALSE(os.disk.Contents(u"C:\\B\\" + name)) << Narrow(name);
}

const FaultCase kFaults[] = {
    {"the disk fills up at the settings",
     [](auto& os) {
       os.files.FailWriteNewFile(u"settings.reg", 112);
     },
     74,
     u"LSSchedulerCheck: C:\\B\\settings.reg cannot be written: There is not enough space on the "
     u"disk. The support bundle in C:\\B is incomplete.\n",
     Texts(u"settings.reg", u"task.xml", u"machine.txt")},
    {"the folder cannot be created", [](auto& os) { os.files.FailCreateFolders(5); }, 74,
     u"LSSchedulerCheck: the folder C:\\B cannot be created: Access is denied.\n",
     Texts(u"check.json")},
    {"an existing empty folder", [](auto& os) { os.disk.AddFolder(u"C:\\B"); }, 2,
     u"The support bundle is in C:\\B: check.json"},
    {"a file of that name", [](auto& os) { os.disk.AddFile(u"C:\\B", "x"); }, 64,
     u"LSSchedulerCheck: C:\\B is a file: the support bundle needs a new or empty folder.\n"},
    {"a folder holding only a folder",
     [](auto& os) {
       os.disk.AddFolder(u"C:\\B");
       os.disk.AddFolder(u"C:\\B\\sub");
     },
     64,
     u"LSSchedulerCheck: C:\\B is not empty: the support bundle never overwrites anything. Name a "
     u"new or empty folder.\n",
     Texts(u"check.json")},
    {"a folder that cannot be examined", [](auto& os) { os.files.HideFromLook(u"C:\\B"); }, 64,
     u"LSSchedulerCheck: C:\\B cannot be examined: the support bundle needs a new or empty "
     u"folder.\n",
     Texts(u"check.json")},
    {"no settings at all",
     [](auto& os) { os.registry.DeleteKey(u"HKCU\\Software\\Brinmoor\\Larkspan"); }, 2,
     u"check.txt, settings.reg, task.xml, machine.txt.\n", Texts(u"Scheduler201226020000.log")},
    {"a settings key that cannot be read",
     [](auto& os) {
       os.registry.FailKey(u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions");
     },
     2,
     u"Note: settings.reg lacks HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings\\"
     u"AdminOptions: the key cannot be read (Access is denied).\n"},
    {"no task", [](auto& os) { os.tasks.failure = task_result::kNotFound; }, 2,
     u"settings.reg, machine.txt.\n", Texts(u"task.xml")},
    {"a task without XML", [](auto& os) { os.tasks.Add(u"Larkspan Nightly", TaskInfo{}); }, 2,
     u"settings.reg, machine.txt.\n", Texts(u"task.xml")},
    {"a settings key deleted between its listing and its read",
     [](auto& os) {
       os.messages.Set(2, u"The system cannot find the file specified.\r\n");
       os.registry.beforeOpen = [&os](const std::u16string&, std::u16string_view key) {
         if (key.ends_with(u"\\AdminOptions")) {
           os.registry.DeleteKey(u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions");
         }
       };
     },
     2,
     u"Note: settings.reg lacks HKEY_CURRENT_USER\\Software\\Brinmoor\\Larkspan\\Settings\\"
     u"AdminOptions: the key cannot be read (The system cannot find the file specified).\n"},
    {"a log named in 2099 is evidence too, and one of the ten",
     [](auto& os) { os.disk.AddFile(u"C:\\Logs\\Scheduler010199000000.log", kCompleteRun); }, 2,
     u"check.txt, Scheduler010199000000.log, Scheduler201226020000.log, ",
     Texts(u"Scheduler111226020000.log")},
};

INSTANTIATE_TEST_SUITE_P(Table, BundleFaults, testing::ValuesIn(kFaults), CaseName);

}  // namespace
}  // namespace lss::test
