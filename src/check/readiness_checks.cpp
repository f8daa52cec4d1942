#include "check/readiness_checks.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "check/pe_header.h"
#include "diag/log_retention.h"
#include "diag/run_log.h"
#include "diag/text_format.h"
#include "outlook/outlook_launcher.h"
#include "settings/outlook_start_wait.h"
#include "settings/setting_names.h"

namespace lss {

namespace {

constexpr std::u16string_view kOutlookImage = u"OUTLOOK.EXE";
constexpr std::u16string_view kMapiLibrary = u"mapi32.dll";
constexpr std::u16string_view kMailClientsKey = u"Software\\Clients\\Mail";
constexpr std::u16string_view kDllPathEx = u"DLLPathEx";
constexpr std::u16string_view kProbeFileName = u"LSSchedulerCheck.probe";
constexpr std::int32_t kShortestGoodWait = 10;
constexpr std::int32_t kNonePending = -1;

// --- outlook
constexpr std::u16string_view kOutlookFound = u"Outlook is at %s (%s).";
constexpr std::u16string_view kOutlookArm =
    u"Outlook is at %s (%s): a run starts Outlook but does not load it, so an Arm build serves as "
    u"well as an x64 one; the mapi check judges the MAPI library a run does load.";
constexpr std::u16string_view kOutlookNoKey =
    u"The App Paths entry HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"
    u"OUTLOOK.EXE is missing: a run logs \"Can't find Outlook.exe\". Install or repair Outlook.";
constexpr std::u16string_view kOutlookKeyUnreadable =
    u"The App Paths entry HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"
    u"OUTLOOK.EXE cannot be opened (%s): a run logs \"Can't find Outlook.exe\".";
constexpr std::u16string_view kOutlookNoValue =
    u"The App Paths entry of OUTLOOK.EXE has no value Path: a run logs \"Can't find "
    u"Outlook.exe\". Repair Outlook.";
constexpr std::u16string_view kOutlookNotText =
    u"The App Paths value Path of OUTLOOK.EXE is %s, not REG_SZ: a run logs \"Can't find "
    u"Outlook.exe\". Repair Outlook.";
constexpr std::u16string_view kOutlookUnreadable =
    u"The App Paths value Path of OUTLOOK.EXE cannot be read (%s): a run logs \"Can't find "
    u"Outlook.exe\". Repair Outlook.";
constexpr std::u16string_view kOutlookNoBackslash =
    u"The App Paths value Path \"%s\" does not end with a backslash: a run would start %s, "
    u"which does not work. Repair Outlook.";
constexpr std::u16string_view kOutlookFileMissing =
    u"%s, named by Outlook's App Paths entry, does not exist: a run cannot start Outlook. "
    u"Repair Outlook.";

// --- mapi
constexpr std::u16string_view kMapiOk = u"MAPI can reach the mail client %s (%s, %s).";
constexpr std::u16string_view kMapiNoLibrary =
    u"The system's MAPI library %s is missing: a -s -e run cannot log on. Repair Windows' "
    u"mail components or reinstall Outlook.";
constexpr std::u16string_view kMapiNoClient =
    u"No default mail client is registered (HKLM\\Software\\Clients\\Mail): MAPI finds no "
    u"Outlook to log on to. Make Outlook the default mail program.";
constexpr std::u16string_view kMapiOnly32Bit =
    u"The mail client %s is registered only for 32-bit programs (32-bit Outlook): MAPI cannot "
    u"cross bitness, and this 64-bit program needs 64-bit Outlook.";
constexpr std::u16string_view kMapiNoDllPath =
    u"The mail client %s has no DLLPathEx: the system's MAPI may not find its library. "
    u"Repair Outlook.";
constexpr std::u16string_view kMapiDllMissing =
    u"The mail client %s names %s as its MAPI library, which does not exist. Repair Outlook.";
constexpr std::u16string_view kMapiArm64 =
    u"%s, the MAPI library of the mail client %s, has no x64 code (found: %s): an x64 program "
    u"cannot load an Arm64 MAPI library; a -s -e run cannot log on. Install Microsoft 365 Apps "
    u"for Arm, whose MAPI library is Arm64X.";
constexpr std::u16string_view kMapiDllUnchecked =
    u"The mail client %s names %s as its MAPI library (not checked: it holds environment "
    u"variables).";

// --- outlook and mapi: the machine type of the program file found
constexpr std::u16string_view kProgram32Bit =
    u"32-bit Outlook: LSScheduler.exe is a 64-bit program and cannot use a 32-bit Outlook's "
    u"MAPI; install 64-bit Office (%s is x86).";
constexpr std::u16string_view kProgramNotX64 =
    u"%s is not an x64 program file (found: %s): LSScheduler.exe, a 64-bit program, may not "
    u"be able to use it. Repair or reinstall 64-bit Office.";

// --- log-folder
constexpr std::u16string_view kLogFolderOk = u"Runs log to %s.";
constexpr std::u16string_view kLogFolderNotSet =
    u"LogDirectory is not set: runs leave no record. Set it to an existing folder.";
constexpr std::u16string_view kLogFolderNotText =
    u"LogDirectory is %s, not REG_SZ or REG_EXPAND_SZ: runs read its text as it stands. Store it "
    u"as REG_SZ, or as REG_EXPAND_SZ to use environment variables.";
constexpr std::u16string_view kLogFolderTooLong =
    u"LogDirectory %s is too long: a log file in it would have a path of %d characters, and "
    u"Windows opens at most 259 for this program, so runs leave no record. Use a shorter folder.";
constexpr std::u16string_view kLogFolderIsFile =
    u"LogDirectory %s is a file, not a folder: runs leave no record. Set it to a folder.";
constexpr std::u16string_view kLogFolderCreatedByRun =
    u"The log folder %s does not exist yet; the next run creates it.";
constexpr std::u16string_view kLogFolderParentIsFile =
    u"The log folder %s does not exist, and runs cannot create it: %s is a file. Set LogDirectory "
    u"to another folder.";
constexpr std::u16string_view kLogFolderNoParent =
    u"The log folder %s does not exist, and runs cannot create it: no folder above it exists (no "
    u"such drive or share). Set LogDirectory to another folder.";
constexpr std::u16string_view kLogFolderParentDenied =
    u"The log folder %s does not exist, and runs cannot create it: no folder can be created in "
    u"%s (%s). Create the folder, or give the user the right to create it.";
constexpr std::u16string_view kLogFolderBadName =
    u"The log folder %s does not exist, and runs cannot create it: its name holds a character "
    u"that Windows does not allow in names (< > : \" | ? *). Set LogDirectory to another folder.";
constexpr std::u16string_view kLogFolderProbeLeft =
    u"The test folder %s cannot be removed: %s. Give the user full rights on %s.";
constexpr std::u16string_view kLogFolderNoCreate =
    u"No file can be created in %s: %s. Give the user the right to write there.";
constexpr std::u16string_view kLogFolderNoDelete =
    u"The test file %s cannot be deleted: %s. Give the user full rights on the folder.";

// --- wait-seconds
constexpr std::u16string_view kWaitOk = u"A run waits %d s for Outlook to start.";
constexpr std::u16string_view kWaitDefault =
    u"A run waits %d s for Outlook to start (WaitSecondsForOutlookStart is not set or not above "
    u"0, so the default is used).";
constexpr std::u16string_view kWaitShort =
    u"A run waits only %d s for Outlook to start: the add-in may not have started its "
    u"synchronization when the wait ends. Set WaitSecondsForOutlookStart to 10 or more.";

// --- toolbar
constexpr std::u16string_view kToolbarOk = u"No toolbar block is pending.";
constexpr std::u16string_view kToolbarPending =
    u"A block of the add-in's toolbar is pending (BlockToolbarLoadOrg = %d): an earlier run was "
    u"interrupted. The next start of LSScheduler.exe restores the toolbar.";
constexpr std::u16string_view kToolbarBlockedNow =
    u"The add-in's toolbar is blocked for the run going on now (LSScheduler.exe is running).";

// --- outlook-running
constexpr std::u16string_view kOutlookIdle = u"Outlook is not running.";
constexpr std::u16string_view kOutlookBusy =
    u"Outlook is running now: a scheduled run would use it and then close it. Close Outlook "
    u"before the task's time, or move the task.";

// --- sync-now
constexpr std::u16string_view kSyncNoMutex =
    u"The add-in is not synchronizing now (LSSyncMutex does not exist).";
constexpr std::u16string_view kSyncFree = u"The add-in is not synchronizing now.";
constexpr std::u16string_view kSyncAbandoned =
    u"The add-in is not synchronizing now (its last synchronization ended without releasing "
    u"LSSyncMutex).";
constexpr std::u16string_view kSyncHeld =
    u"The add-in is synchronizing now (it holds LSSyncMutex).";
constexpr std::u16string_view kSyncOtherObject =
    u"The name LSSyncMutex belongs to another kind of object: a -s -e run cannot wait for the "
    u"add-in and logs an error. Restart the session or the computer.";
constexpr std::u16string_view kSyncUnknown = u"The state of LSSyncMutex cannot be read: %s.";

std::u16string RegistryTypeName(std::uint32_t type) {
  switch (type) {
    case reg::kNone: return u"REG_NONE";
    case reg::kSz: return u"REG_SZ";
    case reg::kExpandSz: return u"REG_EXPAND_SZ";
    case reg::kBinary: return u"REG_BINARY";
    case reg::kDword: return u"REG_DWORD";
    case reg::kMultiSz: return u"REG_MULTI_SZ";
    case 11: return u"REG_QWORD";
    default: return FormatText(u"type %d", {static_cast<std::int32_t>(type)});
  }
}

using Detail = std::pair<std::u16string, std::u16string>;

// The finding on an existing program file of Outlook's: `judge64` gives it
// for a file built for x64 or ARM64; x86 is a FAIL, anything else a WARN. Its
// architecture goes into the details (empty when the file is not a program
// file).
CheckResult JudgeMachine(CheckContext& context, std::u16string_view id, std::u16string_view path,
                         const std::function<CheckResult(const PeHeader&)>& judge64) {
  const PeHeader header = ReadPeHeader(context.os.files, path);
  const bool isProgram = header.problem == PeHeader::Problem::kNone;
  CheckResult result;
  if (isProgram && (header.machine == pe_machine::kX64 || header.machine == pe_machine::kArm64)) {
    result = judge64(header);
  } else if (isProgram && header.machine == pe_machine::kX86) {
    result = MakeResult(id, CheckStatus::kFail, FormatText(kProgram32Bit, {path}));
  } else {
    result = MakeResult(id, CheckStatus::kWarn,
                        FormatText(kProgramNotX64, {path, DescribePeHeader(header)}));
  }
  result.details.emplace_back(u"machine", isProgram ? PeArchitectureName(header) : u"");
  return result;
}

std::u16string ClientKey(std::u16string_view client) {
  return std::u16string(kMailClientsKey) + u"\\" + std::u16string(client);
}

}  // namespace

CheckResult CheckOutlook(CheckContext& context, std::optional<std::u16string>* path) {
  constexpr std::u16string_view kId = u"outlook";
  using Found = OutlookLocation::Result;
  const OutlookLocation found = LocateOutlook(context.os.registry);
  switch (found.result) {
    case Found::kNoEntry:
      return found.status == win32_error::kFileNotFound
                 ? MakeResult(kId, CheckStatus::kFail, std::u16string(kOutlookNoKey))
                 : MakeResult(kId, CheckStatus::kFail,
                              FormatText(kOutlookKeyUnreadable,
                                         {WindowsErrorText(context.os.messages, found.status)}));
    case Found::kNoValue:
      return MakeResult(kId, CheckStatus::kFail, std::u16string(kOutlookNoValue));
    case Found::kNotText:
      return MakeResult(kId, CheckStatus::kFail,
                        FormatText(kOutlookNotText, {RegistryTypeName(found.type)}));
    case Found::kUnreadable:
      return MakeResult(
          kId, CheckStatus::kFail,
          FormatText(kOutlookUnreadable, {WindowsErrorText(context.os.messages, found.status)}));
    case Found::kFound: break;
  }
  CheckResult result;
  if (found.folder.empty() || found.folder.back() != u'\\') {
    result = MakeResult(kId, CheckStatus::kFail,
                        FormatText(kOutlookNoBackslash, {found.folder, found.path}));
  } else if (!context.os.files.IsFile(found.path)) {
    result = MakeResult(kId, CheckStatus::kFail, FormatText(kOutlookFileMissing, {found.path}));
  } else {
    // Outlook's own process is never loaded into a run's, so an Arm build is
    // only worth knowing about.
    result = JudgeMachine(context, kId, found.path, [&](const PeHeader& header) {
      return header.machine == pe_machine::kX64
                 ? MakeResult(kId, CheckStatus::kOk,
                              FormatText(kOutlookFound, {found.path, PeArchitectureName(header)}))
                 : MakeResult(kId, CheckStatus::kInfo,
                              FormatText(kOutlookArm, {found.path, DescribePeHeader(header)}));
    });
  }
  result.details.insert(result.details.begin(), Detail(u"path", found.path));
  if (path != nullptr && !found.path.empty()) *path = found.path;
  return result;
}

CheckResult CheckMapi(CheckContext& context, MailClientFound* found) {
  constexpr std::u16string_view kId = u"mapi";
  FileSystem& files = context.os.files;
  const auto machineText = [&](std::uint32_t view, std::u16string_view key,
                               std::u16string_view name) {
    return ReadMachineText(context.os.registry, view, key, name);
  };
  const std::u16string library = JoinPath(context.os.queries.SystemDirectory(), kMapiLibrary);
  if (!files.IsFile(library)) {
    return MakeResult(kId, CheckStatus::kFail, FormatText(kMapiNoLibrary, {library}));
  }
  const std::u16string client = machineText(reg::kWow64_64Key, kMailClientsKey, u"");
  const std::u16string client32 = machineText(reg::kWow64_32Key, kMailClientsKey, u"");
  if (client.empty()) {
    return client32.empty()
               ? MakeResult(kId, CheckStatus::kFail, std::u16string(kMapiNoClient))
               : MakeResult(kId, CheckStatus::kFail, FormatText(kMapiOnly32Bit, {client32}));
  }
  const std::u16string dll = machineText(reg::kWow64_64Key, ClientKey(client), kDllPathEx);
  CheckResult result;
  if (dll.empty()) {
    const bool in32BitView = !machineText(reg::kWow64_32Key, ClientKey(client), kDllPathEx).empty();
    result = in32BitView
                 ? MakeResult(kId, CheckStatus::kFail, FormatText(kMapiOnly32Bit, {client}))
                 : MakeResult(kId, CheckStatus::kWarn, FormatText(kMapiNoDllPath, {client}));
  } else if (dll.find(u'%') != std::u16string::npos) {
    result = MakeResult(kId, CheckStatus::kOk, FormatText(kMapiDllUnchecked, {client, dll}));
  } else if (!files.IsFile(dll)) {
    result = MakeResult(kId, CheckStatus::kFail, FormatText(kMapiDllMissing, {client, dll}));
  } else {
    // A run's x64 process loads the library: x64 code, or Arm64X's.
    result = JudgeMachine(context, kId, dll, [&](const PeHeader& header) {
      const bool loadable = header.machine == pe_machine::kX64 ||
                            header.loadConfig == PeHeader::LoadConfig::kHybrid;
      return loadable ? MakeResult(kId, CheckStatus::kOk,
                                   FormatText(kMapiOk, {client, dll, PeArchitectureName(header)}))
                      : MakeResult(kId, CheckStatus::kFail,
                                   FormatText(kMapiArm64, {dll, client, DescribePeHeader(header)}));
    });
  }
  result.details.insert(result.details.begin(),
                        {Detail(u"client", client), Detail(u"library", dll)});
  if (found != nullptr) {
    found->client = client;
    if (!dll.empty()) found->library = dll;
  }
  return result;
}

namespace {

std::u16string_view WithoutTrailingSeparators(std::u16string_view path) {
  const std::size_t last = path.find_last_not_of(u"\\/");
  return last == std::u16string_view::npos ? std::u16string_view() : path.substr(0, last + 1);
}

// Whether a run can create the missing `folder`, judged as the run walks up
// to the nearest folder that exists (CreateFolderWithParents): that folder
// must accept a new folder, which is made and removed again.
CheckResult JudgeFolderCreation(CheckContext& context, const std::u16string& folder) {
  constexpr std::u16string_view kId = u"log-folder";
  FileSystem& files = context.os.files;
  // A drive's colon and the \\?\ prefix aside.
  const std::size_t nameStart = folder.rfind(u"\\\\?\\", 0) == 0 ? 6 : 2;
  if (folder.find_first_of(u"<>:\"|?*", std::min(nameStart, folder.size())) !=
      std::u16string::npos) {
    return MakeResult(kId, CheckStatus::kFail, FormatText(kLogFolderBadName, {folder}));
  }
  for (std::u16string_view name = WithoutTrailingSeparators(folder);;) {
    const std::size_t separator = name.find_last_of(u"\\/");
    if (separator == std::u16string_view::npos) break;
    const std::u16string_view level = name.substr(0, separator + 1);  // a part of `folder`
    name = WithoutTrailingSeparators(level);
    if (name.empty()) break;
    if (files.IsFile(name)) {
      return MakeResult(kId, CheckStatus::kFail,
                        FormatText(kLogFolderParentIsFile, {folder, std::u16string(name)}));
    }
    if (!files.IsFolder(level)) continue;
    const std::u16string probe = JoinPath(level, kProbeFileName);
    if (const Status created = files.CreateFolder(probe); created != 0) {
      return MakeResult(
          kId, CheckStatus::kFail,
          FormatText(kLogFolderParentDenied, {folder, std::u16string(level),
                                              WindowsErrorText(context.os.messages, created)}));
    }
    if (const Status removed = files.RemoveFolder(probe); removed != 0) {
      return MakeResult(
          kId, CheckStatus::kFail,
          FormatText(kLogFolderProbeLeft,
                     {probe, WindowsErrorText(context.os.messages, removed),
                      std::u16string(level)}));
    }
    return MakeResult(kId, CheckStatus::kInfo, FormatText(kLogFolderCreatedByRun, {folder}));
  }
  return MakeResult(kId, CheckStatus::kFail, FormatText(kLogFolderNoParent, {folder}));
}

}  // namespace

CheckResult CheckLogFolder(CheckContext& context, std::optional<std::u16string>* logFolder) {
  constexpr std::u16string_view kId = u"log-folder";
  SettingsStore& settings = context.settings;
  FileSystem& files = context.os.files;
  const std::optional<SettingsStore::Text> stored =
      settings.ReadSettingText(kSettingsSection, kLogDirectory);
  if (!stored || stored->text.empty()) {
    return MakeResult(kId, CheckStatus::kWarn, std::u16string(kLogFolderNotSet));
  }
  // As a run reads it.
  const std::u16string folder =
      stored->type == reg::kExpandSz ? context.os.environment.ExpandEnvironment(stored->text) : stored->text;
  std::size_t logPathLength = 0;
  const bool logPathFits = RunLogPathFits(folder, &logPathLength);
  CheckResult result;
  if (stored->type != reg::kSz && stored->type != reg::kExpandSz) {
    result = MakeResult(kId, CheckStatus::kFail,
                        FormatText(kLogFolderNotText, {RegistryTypeName(stored->type)}));
  } else if (!logPathFits) {
    result = MakeResult(
        kId, CheckStatus::kFail,
        FormatText(kLogFolderTooLong, {folder, static_cast<std::int32_t>(logPathLength)}));
  } else if (files.IsFile(folder)) {
    result = MakeResult(kId, CheckStatus::kFail, FormatText(kLogFolderIsFile, {folder}));
  } else if (!files.IsFolder(folder)) {
    result = JudgeFolderCreation(context, folder);
  } else {
    const std::u16string probe = JoinPath(folder, kProbeFileName);
    if (const Status created = files.CreateEmptyFile(probe); created != 0) {
      result = MakeResult(
          kId, CheckStatus::kFail,
          FormatText(kLogFolderNoCreate, {folder, WindowsErrorText(context.os.messages, created)}));
    } else if (const Status removed = files.RemoveFile(probe); removed != 0) {
      result = MakeResult(
          kId, CheckStatus::kFail,
          FormatText(kLogFolderNoDelete, {probe, WindowsErrorText(context.os.messages, removed)}));
    } else {
      result = MakeResult(kId, CheckStatus::kOk, FormatText(kLogFolderOk, {folder}));
    }
  }
  result.details.emplace_back(u"folder", folder);
  if (logFolder != nullptr && !folder.empty()) *logFolder = folder;
  result.details.emplace_back(
      u"retentionDays",
      ToDecimal(RetentionDays(settings.ReadSettingInt(kSettingsSection, kLogRetentionDays, 0))));
  return result;
}

CheckResult CheckWaitSeconds(CheckContext& context) {
  constexpr std::u16string_view kId = u"wait-seconds";
  const auto stored = static_cast<std::int32_t>(
      context.settings.ReadSettingInt(kSettingsSection, kWaitSecondsForOutlookStart, -1));
  const std::int32_t seconds = EffectiveWaitSeconds(stored);
  CheckResult result;
  if (seconds < kShortestGoodWait) {
    result = MakeResult(kId, CheckStatus::kWarn, FormatText(kWaitShort, {seconds}));
  } else {
    result = MakeResult(kId, CheckStatus::kOk,
                        FormatText(seconds == stored ? kWaitOk : kWaitDefault, {seconds}));
  }
  result.details.emplace_back(u"seconds", ToDecimal(seconds));
  return result;
}

CheckResult CheckToolbar(CheckContext& context) {
  constexpr std::u16string_view kId = u"toolbar";
  const auto pending = static_cast<std::int32_t>(
      context.settings.ReadSettingInt(kSettingsSection, kBlockToolbarLoadOrg, kNonePending));
  if (pending == kNonePending) {
    return MakeResult(kId, CheckStatus::kOk, std::u16string(kToolbarOk));
  }
  if (context.os.queries.IsProgramRunning(kSchedulerImage)) {
    return MakeResult(kId, CheckStatus::kOk, std::u16string(kToolbarBlockedNow));
  }
  return MakeResult(kId, CheckStatus::kWarn, FormatText(kToolbarPending, {pending}));
}

CheckResult CheckOutlookRunning(CheckContext& context) {
  constexpr std::u16string_view kId = u"outlook-running";
  return MakeResult(
      kId, CheckStatus::kInfo,
      std::u16string(context.os.queries.IsProgramRunning(kOutlookImage) ? kOutlookBusy
                                                                        : kOutlookIdle));
}

CheckResult CheckSyncNow(CheckContext& context) {
  constexpr std::u16string_view kId = u"sync-now";
  const MutexProbe probe = context.os.queries.ProbeMutex(kSyncMutexName);
  switch (probe.state) {
    case MutexState::kMissing:
      return MakeResult(kId, CheckStatus::kInfo, std::u16string(kSyncNoMutex));
    case MutexState::kFree: return MakeResult(kId, CheckStatus::kInfo, std::u16string(kSyncFree));
    case MutexState::kAbandoned:
      return MakeResult(kId, CheckStatus::kInfo, std::u16string(kSyncAbandoned));
    case MutexState::kHeld: return MakeResult(kId, CheckStatus::kInfo, std::u16string(kSyncHeld));
    case MutexState::kOtherObject:
      return MakeResult(kId, CheckStatus::kFail, std::u16string(kSyncOtherObject));
    case MutexState::kUnknown: break;
  }
  return MakeResult(kId, CheckStatus::kWarn,
                    FormatText(kSyncUnknown, {WindowsErrorText(context.os.messages, probe.error)}));
}

}  // namespace lss
