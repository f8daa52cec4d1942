#include "check/support_bundle.h"

#include <optional>

#include "check/check_context.h"
#include "check/check_facts.h"
#include "check/check_output.h"
#include "check/check_run.h"
#include "check/last_run.h"
#include "check/machine_page.h"
#include "check/reg_export.h"
#include "diag/run_log.h"
#include "diag/text_encoding.h"
#include "diag/text_format.h"
#include "settings/setting_names.h"

namespace lss {

namespace {

// Runs logs larger than this are not the scheduler's (its logs are a few
// hundred bytes): they are left out rather than read whole into memory.
constexpr std::size_t kMostLogBytes = std::size_t{16} * 1024 * 1024;

constexpr std::u16string_view kJsonFile = u"check.json";
constexpr std::u16string_view kTableFile = u"check.txt";
constexpr std::u16string_view kSettingsFile = u"settings.reg";
constexpr std::u16string_view kTaskFile = u"task.xml";
constexpr std::u16string_view kMachineFile = u"machine.txt";

constexpr std::u16string_view kRefusedFile =
    u"%s is a file: the support bundle needs a new or empty folder.";
constexpr std::u16string_view kRefusedFull =
    u"%s is not empty: the support bundle never overwrites anything. Name a new or empty "
    u"folder.";
constexpr std::u16string_view kRefusedUnknown =
    u"%s cannot be examined: the support bundle needs a new or empty folder.";
constexpr std::u16string_view kErrorLine = u"LSSchedulerCheck: %s\n";
constexpr std::u16string_view kNoFolder = u"the folder %s cannot be created: %s.";
constexpr std::u16string_view kNotWritten =
    u"%s cannot be written: %s. The support bundle in %s is incomplete.";
constexpr std::u16string_view kLogTooLarge =
    u"%s is left out: it is larger than 16 MB, so not a log of LSScheduler.exe alone.";
constexpr std::u16string_view kLogUnreadable = u"%s is left out: it cannot be read.";
constexpr std::u16string_view kNoteLine = u"Note: %s\n";
constexpr std::u16string_view kWrittenLine = u"\nThe support bundle is in %s: %s.\n";

// Writes the bundle's files one after another; stops at the first failure.
class BundleWriter {
 public:
  BundleWriter(CheckPlatform& os, std::u16string_view folder) : os_(os), folder_(folder) {}

  bool Write(std::u16string_view name, std::string_view bytes) {
    const std::u16string path = JoinPath(folder_, name);
    const Status status = os_.files.WriteNewFile(path, bytes);
    if (status != 0) {
      error_ = FormatText(kNotWritten, {path, WindowsErrorText(os_.messages, status), folder_});
      return false;
    }
    written_.emplace_back(name);
    return true;
  }

  const std::u16string& error() const { return error_; }
  const std::vector<std::u16string>& written() const { return written_; }

 private:
  CheckPlatform& os_;
  std::u16string folder_;
  std::vector<std::u16string> written_;
  std::u16string error_;
};

// Copies the newest run logs byte for byte; notes those left out.
bool CopyRunLogs(CheckPlatform& os, const std::optional<std::u16string>& logFolder,
                 BundleWriter& writer, std::vector<std::u16string>* notes) {
  if (!logFolder) return true;
  std::vector<RunLogFile> logs =
      RunLogsNewestFirst(os.files.ListFolder(*logFolder, kRunLogFilePattern));
  if (logs.size() > kBundledRunLogs) logs.resize(kBundledRunLogs);
  for (const RunLogFile& log : logs) {
    const std::u16string path = RunLogPath(*logFolder, log.name);
    const std::optional<FileSystem::Tail> read = os.files.ReadTail(path, kMostLogBytes);
    if (!read) {
      notes->push_back(FormatText(kLogUnreadable, {path}));
    } else if (read->size > read->bytes.size()) {
      notes->push_back(FormatText(kLogTooLarge, {path}));
    } else if (!writer.Write(log.name, read->bytes)) {
      return false;
    }
  }
  return true;
}

// The task the checks read, as Task Scheduler gives its definition.
std::optional<std::u16string> TaskXml(const TaskReading& task) {
  if (task.name.empty() || task.result != 0 || task.info.xml.empty()) return std::nullopt;
  return task.info.xml;
}

// The bundle's files in the order a reader opens them; stops at the first
// that cannot be written.
bool WriteBundle(CheckPlatform& os, const CheckRun& run, std::u16string_view version,
                 std::u16string_view table, BundleWriter& writer,
                 std::vector<std::u16string>* notes) {
  if (!writer.Write(kJsonFile,
                    Utf8WithCrLf(FormatJson(run.results, version, GatherCheckFacts(os)))) ||
      !writer.Write(kTableFile, Utf8WithCrLf(table)) ||
      !CopyRunLogs(os, run.logFolder, writer, notes)) {
    return false;
  }
  const std::u16string settingsKey = JoinPath(JoinPath(u"Software", kVendorKey), kApplicationName);
  if (!writer.Write(kSettingsFile,
                    FormatRegExport(ReadUserTree(os.registry, os.messages, settingsKey, notes)))) {
    return false;
  }
  if (const std::optional<std::u16string> xml = TaskXml(run.task);
      xml && !writer.Write(kTaskFile, Utf16LeWithBom(*xml))) {
    return false;
  }
  return writer.Write(kMachineFile, Utf8WithCrLf(MachineText(os, run, version)));
}

}  // namespace

std::u16string BundleRefusal(PathKind kind, std::u16string_view folder) {
  switch (kind) {
    case PathKind::kMissing:
    case PathKind::kEmptyFolder: return {};
    case PathKind::kFile: return FormatText(kRefusedFile, {folder});
    case PathKind::kFolderWithEntries: return FormatText(kRefusedFull, {folder});
    case PathKind::kUnknown: break;
  }
  return FormatText(kRefusedUnknown, {folder});
}

int CollectSupportBundle(CheckPlatform& os, Console& console, const CheckOptions& options,
                         std::u16string_view version) {
  const std::u16string_view folder = options.collectFolder;
  if (const std::u16string refusal = BundleRefusal(os.files.Look(folder), folder);
      !refusal.empty()) {
    console.Write(OutputStream::kError, FormatText(kErrorLine, {refusal}));
    return kUsageExitCode;
  }
  if (const Status status = os.files.CreateFolders(folder); status != 0) {
    console.Write(
        OutputStream::kError,
        FormatText(kErrorLine,
                   {FormatText(kNoFolder, {folder, WindowsErrorText(os.messages, status)})}));
    return kCollectFailedExitCode;
  }

  const CheckRun run = RunChecks(os, options);
  const std::u16string table = FormatTable(run.results);
  std::vector<std::u16string> notes;
  BundleWriter writer(os, folder);
  if (!WriteBundle(os, run, version, table, writer, &notes)) {
    console.Write(OutputStream::kError, FormatText(kErrorLine, {writer.error()}));
    return kCollectFailedExitCode;
  }

  std::u16string report = table;
  std::u16string names;
  for (const std::u16string& name : writer.written()) {
    if (!names.empty()) names += u", ";
    names += name;
  }
  report += FormatText(kWrittenLine, {folder, names});
  for (const std::u16string& note : notes) report += FormatText(kNoteLine, {note});
  console.Write(OutputStream::kOutput, report);
  return ExitCodeOf(Verdict(run.results));
}

}  // namespace lss
