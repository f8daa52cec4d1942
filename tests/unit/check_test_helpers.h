#pragma once
// What the check tool's unit tests share besides unit_tables.h: a console
// that keeps what is written, program file bytes, the one way they set the
// machine's texts, and a machine on which every check passes.
#include <algorithm>
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

namespace {
// Rows print as their `what` (common/rows.h).
using lss::test::PrintTo;
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
  for (std::size_t i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<char>(offset >> (8 * i));
  const std::string header = std::string("PE\0\0", 4) + static_cast<char>(machine & 0xFF) +
                             static_cast<char>(machine >> 8);
  for (std::size_t i = 0; i < header.size() && offset + i < bytes.size(); ++i) {
    bytes[offset + i] = header[i];
  }
  return bytes.substr(0, size);
}

// A whole 64-bit program file: its headers (e_lfanew 0x80, one section at
// address 0x1000 whose 0x200 bytes are at `rawPointer` in the file) and its
// load configuration at `configAddress`, whose Size is `configSize` and whose
// CHPEMetadataPointer is `chpe`. A row breaks one of them; the file ends
// after `fileSize` bytes.
struct PeLayout {
  std::uint16_t machine = 0x8664;
  std::uint64_t chpe = 0;
  std::uint32_t configSize = 0x140;
  std::uint32_t configAddress = 0x1000;
  std::uint32_t rawPointer = 0x400;
  std::uint16_t sections = 1;
  std::size_t fileSize = 0x600;
};

inline std::string PeFile(const PeLayout& layout) {
  std::string bytes =
      ProgramFile(layout.machine, 0x80, std::max<std::size_t>(layout.fileSize, 0x600));
  const auto put = [&](std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
      bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
  };
  constexpr std::size_t kOptional = 0x98;
  put(0x86, layout.sections, 2);  // NumberOfSections
  put(0x94, 0xF0, 2);             // SizeOfOptionalHeader
  put(kOptional, 0x20B, 2);       // PE32+
  put(kOptional + 60, 0x400, 4);  // SizeOfHeaders
  put(kOptional + 108, 16, 4);    // NumberOfRvaAndSizes
  put(kOptional + 192, layout.configAddress, 4);
  put(kOptional + 196, layout.configSize, 4);
  constexpr std::size_t kSection = kOptional + 0xF0;
  bytes.replace(kSection, 6, ".rdata");
  put(kSection + 8, 0x200, 4);    // VirtualSize
  put(kSection + 12, 0x1000, 4);  // VirtualAddress
  put(kSection + 16, 0x200, 4);   // SizeOfRawData
  put(kSection + 20, layout.rawPointer, 4);
  const std::size_t config = layout.rawPointer + (layout.configAddress - 0x1000);
  if (config + 208 <= bytes.size()) {
    put(config, layout.configSize, 4);
    put(config + 200, layout.chpe, 8);
  }
  bytes.resize(layout.fileSize);
  return bytes;
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
  os.environment.variables[u"PROGRAMFILES"] = u"C:\\Program Files";
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
