#pragma once
// What the check tool's unit tests share besides unit_tables.h: row names, a
// console that keeps what is written, program file bytes, the one way they set
// the machine's texts, and a machine on which every check passes.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_output.h"
#include "check/check_result.h"
#include "check/check_tool.h"
#include "common/narrow.h"
#include "fake/fake_check_platform.h"
#include "platform/scheduled_tasks.h"
#include "unit_tables.h"

namespace lss::test {

inline constexpr CheckStatus kOk = CheckStatus::kOk;
inline constexpr CheckStatus kInfo = CheckStatus::kInfo;
inline constexpr CheckStatus kWarn = CheckStatus::kWarn;
inline constexpr CheckStatus kFail = CheckStatus::kFail;

// A row's test name from its `what`: letters and digits kept, the rest '_'.
inline constexpr auto CaseName = [](const auto& info) {
  std::string name(info.param.what);
  std::replace_if(
      name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
  return name;
};

namespace {
// Rows print as their `what`, as unit_tables.h has it for the other tables.
using lss::PrintTo;
}  // namespace

class RecordingConsole : public Console {
 public:
  void Write(OutputStream stream, std::u16string_view text) override {
    (stream == OutputStream::kOutput ? output : error) += text;
  }
  std::u16string output;
  std::u16string error;
};

// The texts as one list.
template <typename... Text>
inline std::vector<std::u16string> Texts(Text... texts) {
  return {texts...};
}

// The tool run with `arguments` on `os`.
inline int RunTool(FakeCheckPlatform& os, RecordingConsole& console,
                   const std::vector<std::u16string>& arguments) {
  os.process.arguments = {u"LSSchedulerCheck.exe"};
  os.process.arguments.insert(os.process.arguments.end(), arguments.begin(), arguments.end());
  return RunCheckTool(os.bundle, console, u"1.2.3.4");
}

// A program file's first `size` bytes: "MZ", e_lfanew at 0x3C, and at that
// offset "PE\0\0" and the machine type (little-endian), as far as they fit.
inline std::string ProgramFile(std::uint16_t machine, std::uint32_t offset = 0x80,
                               std::size_t size = 0x200) {
  std::string bytes(std::max<std::size_t>(size, 0x40), '\0');
  bytes.replace(0, 2, "MZ");
  for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<char>(offset >> (8 * i));
  const std::string header = std::string("PE\0\0", 4) + static_cast<char>(machine & 0xFF) +
                             static_cast<char>(machine >> 8);
  for (std::size_t i = 0; i < header.size() && offset + i < bytes.size(); ++i) {
    bytes[offset + i] = header[i];
  }
  return bytes.substr(0, size);
}

// HKLM as 64-bit programs see it, or as 32-bit programs do.
inline constexpr std::uint32_t k64Bit = reg::kWow64_64Key;
inline constexpr std::uint32_t k32Bit = reg::kWow64_32Key;

// Sets the text `name` of the HKLM key `key` (below HKLM) as `view` shows it;
// without a text, deletes it.
inline void SetMachineText(FakeCheckPlatform& os, std::uint32_t view, std::u16string_view key,
                           std::u16string_view name, std::optional<std::u16string_view> text) {
  if (text) {
    os.registry.SetString(MachinePath(view, key), name, *text);
  } else {
    os.registry.DeleteValue(MachinePath(view, key), name);
  }
}

inline constexpr std::u16string_view kAppPaths =
    u"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
inline constexpr std::u16string_view kMail = u"Software\\Clients\\Mail";
inline constexpr std::u16string_view kOutlookClient = u"Software\\Clients\\Mail\\Microsoft Outlook";
inline constexpr std::u16string_view kSettings = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings";
inline constexpr char kCompleteRun[] =
    "\r\n07-12-26 02:00:00: Block Larkspan Toolbar Load"
    "\r\n07-12-26 02:00:15: KSScheduler: MAPIInitialize"
    "\r\n07-12-26 02:03:41: KSScheduler: MAPI MAPIUninitialize"
    "\r\n07-12-26 02:03:41: De-Block Larkspan Toolbar Load";

inline constexpr std::u16string_view kInstallerKey = u"Software\\Brinmoor\\LSScheduler";
inline const TaskExecAction kRunAction{u"%ProgramFiles%\\Larkspan\\LSScheduler.exe",
                                       u"-s -e -p Work -n Nightly"};
inline const TaskExecAction kCheckAction{u"%ProgramFiles%\\Larkspan\\LSSchedulerCheck.exe",
                                         u"--only last-run,toolbar --eventlog"};

// The README's task, as the Task Scheduler reports it after its last run.
inline TaskInfo GoodTask() {
  TaskInfo task;
  task.userId = u"CONTOSO\\ana";
  task.logonType = TaskLogonType::kInteractiveToken;
  task.execActions = {kRunAction, kCheckAction};
  task.lastRun = LocalTime{2026, 12, 7, 2, 0, 0};
  task.lastResult = 0;
  task.nextRun = LocalTime{2026, 12, 8, 2, 0, 0};
  return task;
}

// A machine on which every check passes.
inline void SetUpGoodMachine(FakeCheckPlatform& os) {
  os.registry.SetString(kAppPaths, u"Path", u"C:\\Office\\");
  os.disk.AddFolder(u"C:\\Office");
  os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE", ProgramFile(0x8664));
  os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ProgramFile(0x8664));
  os.disk.AddFolder(u"C:\\Windows\\System32");
  os.disk.AddFile(u"C:\\Windows\\System32\\mapi32.dll");
  SetMachineText(os, k64Bit, kMail, u"", u"Microsoft Outlook");
  SetMachineText(os, k64Bit, kOutlookClient, u"DLLPathEx", u"C:\\Office\\olmapi32.dll");
  os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logs");
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 15);
  os.disk.AddFolder(u"C:\\Logs");
  os.disk.AddFile(u"C:\\Logs\\Scheduler071226020000.log", kCompleteRun);
  os.queries.environment[u"PROGRAMFILES"] = u"C:\\Program Files";
  os.disk.AddFolder(u"C:\\Program Files\\Larkspan");
  os.disk.AddFile(u"C:\\Program Files\\Larkspan\\LSScheduler.exe");
  os.disk.fileVersions[u"c:\\program files\\larkspan\\lsscheduler.exe"] = u"1.0.0.7";
  os.disk.AddFile(u"C:\\Program Files\\Larkspan\\LSSchedulerCheck.exe");
  os.tasks.Add(u"Larkspan Nightly", GoodTask());
  os.messages.Set(1, u"Incorrect function.\r\n");
  os.messages.Set(2, u"The system cannot find the file specified.\r\n");
  os.messages.Set(5, u"Access is denied.\r\n");
  os.clock.SetLocalTime(LocalTime{2026, 12, 8, 12, 0, 0});
}

}  // namespace lss::test
