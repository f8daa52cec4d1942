#include "check/support_bundle.h"

#include <algorithm>
#include <optional>

#include "check/check_context.h"
#include "check/check_facts.h"
#include "check/check_output.h"
#include "check/check_tool.h"
#include "check/last_run.h"
#include "check/pe_header.h"
#include "diag/run_log.h"
#include "diag/text_format.h"
#include "settings/setting_names.h"

namespace lss {

namespace {

// Runs logs larger than this are not the scheduler's (its logs are a few
// hundred bytes): they are left out rather than read whole into memory.
constexpr std::size_t kMostLogBytes = std::size_t{16} * 1024 * 1024;
// A settings tree is a handful of keys; links could make it endless.
constexpr std::size_t kMostKeys = 10000;
// `reg export` breaks hex data before a line grows past 80 characters.
constexpr std::size_t kHexLineWidth = 76;

constexpr std::u16string_view kJsonFile = u"check.json";
constexpr std::u16string_view kTableFile = u"check.txt";
constexpr std::u16string_view kSettingsFile = u"settings.reg";
constexpr std::u16string_view kTaskFile = u"task.xml";
constexpr std::u16string_view kMachineFile = u"machine.txt";

constexpr std::u16string_view kCurrentUserRoot = u"HKEY_CURRENT_USER";
constexpr std::u16string_view kRegHeader = u"Windows Registry Editor Version 5.00\r\n\r\n";
constexpr std::u16string_view kWindowsKey = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

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
constexpr std::u16string_view kKeyUnreadable =
    u"settings.reg lacks %s: the key cannot be read (%s).";
constexpr std::u16string_view kTooManyKeys =
    u"settings.reg holds the first 10000 keys under %s only.";
constexpr std::u16string_view kNoteLine = u"Note: %s\n";
constexpr std::u16string_view kWrittenLine = u"\nThe support bundle is in %s: %s.\n";

constexpr std::u16string_view kNotFound = u"(not found)";
constexpr std::u16string_view kNotRecorded = u"(not recorded)";
constexpr std::u16string_view kNoVersion = u"(no version resource)";

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The bytes the console writes to a file: UTF-8, CR LF line ends, an
// unpaired surrogate as U+FFFD.
std::string ConsoleBytes(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit == u'\n') {
      out += "\r\n";
    } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
               text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

void AppendUtf16(std::string& out, std::u16string_view text) {
  for (const char16_t unit : text) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
}

// UTF-16 LE with a byte-order mark, as Windows' own tools write text files.
std::string Utf16File(std::u16string_view text) {
  std::string out("\xFF\xFE");
  AppendUtf16(out, text);
  return out;
}

std::u16string Quoted(std::u16string_view text) {
  std::u16string out(1, u'"');
  for (const char16_t c : text) {
    if (c == u'\\' || c == u'"') out += u'\\';
    out += c;
  }
  return out + u'"';
}

// The text of REG_SZ data that `reg import` stores back as the same bytes:
// one terminating NUL, none before it, no line break.
std::optional<std::u16string> RoundTripText(const std::vector<std::uint8_t>& data) {
  if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
  std::u16string text;
  for (std::size_t i = 0; i + 2 < data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (unit == 0 || unit == u'\r' || unit == u'\n') return std::nullopt;
    text += unit;
  }
  if (data[data.size() - 2] != 0 || data[data.size() - 1] != 0) return std::nullopt;
  return text;
}

std::u16string HexDigits(std::uint32_t value, std::size_t width) {
  constexpr char16_t kHex[] = u"0123456789abcdef";
  std::u16string digits;
  do {
    digits.insert(digits.begin(), kHex[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (digits.size() < width) digits.insert(0, width - digits.size(), u'0');
  return digits;
}

// "hex(2):41,00,..." with the line breaks of `reg export`; `line` is the
// line so far ("name"=).
void AppendHex(std::u16string& line, std::uint32_t type, const std::vector<std::uint8_t>& data) {
  line += type == reg::kBinary ? std::u16string(u"hex:") : u"hex(" + HexDigits(type, 1) + u"):";
  std::size_t column = line.size() - (line.rfind(u'\n') + 1);
  for (std::size_t i = 0; i < data.size(); ++i) {
    line += HexDigits(data[i], 2);
    if (i + 1 == data.size()) break;
    line += u',';
    column += 3;
    if (column > kHexLineWidth) {
      line += u"\\\r\n  ";
      column = 2;
    }
  }
}

std::u16string ValueLine(const ListedValue& value) {
  std::u16string line = value.name.empty() ? std::u16string(u"@") : Quoted(value.name);
  line += u'=';
  if (value.type == reg::kSz) {
    if (const std::optional<std::u16string> text = RoundTripText(value.data)) {
      return line + Quoted(*text);
    }
  }
  if (value.type == reg::kDword && value.data.size() == 4) {
    const std::uint32_t number =
        std::uint32_t{value.data[0]} | std::uint32_t{value.data[1]} << 8 |
        std::uint32_t{value.data[2]} << 16 | std::uint32_t{value.data[3]} << 24;
    return line + u"dword:" + HexDigits(number, 8);
  }
  AppendHex(line, value.type, value.data);
  return line;
}

// The tree under HKCU\`key`, parents before their subkeys, each level in the
// registry's order.
std::vector<RegistryKeyDump> ReadTree(Registry& registry, SystemMessages& messages,
                                      std::u16string_view key, std::vector<std::u16string>* notes) {
  std::vector<RegistryKeyDump> keys;
  std::vector<std::u16string> pending{std::u16string(key)};
  while (!pending.empty()) {
    if (keys.size() == kMostKeys) {
      notes->push_back(FormatText(kTooManyKeys, {key}));
      break;
    }
    const std::u16string path = std::move(pending.back());
    pending.pop_back();
    KeyListing read;
    const Status status =
        ListKey(registry, kCurrentUser, path, reg::kKeyRead | reg::kWow64_64Key, &read);
    const std::u16string fullPath = std::u16string(kCurrentUserRoot) + u"\\" + path;
    if (status == win32_error::kFileNotFound && keys.empty()) break;  // no settings at all
    if (status != 0) {
      notes->push_back(FormatText(kKeyUnreadable, {fullPath, WindowsErrorText(messages, status)}));
      continue;
    }
    keys.push_back({fullPath, std::move(read.values)});
    for (auto subkey = read.subkeys.rbegin(); subkey != read.subkeys.rend(); ++subkey) {
      pending.push_back(path + u"\\" + *subkey);
    }
  }
  return keys;
}

const std::u16string* Detail(const std::vector<CheckResult>& results, std::u16string_view id,
                             std::u16string_view name) {
  for (const CheckResult& result : results) {
    if (result.id != id) continue;
    for (const auto& [key, value] : result.details) {
      if (key == name && !value.empty()) return &value;
    }
  }
  return nullptr;
}

std::u16string FolderOf(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  return std::u16string(separator == std::u16string_view::npos ? std::u16string_view()
                                                               : path.substr(0, separator));
}

std::u16string MachineText(CheckPlatform& os, const std::vector<CheckResult>& results,
                           std::u16string_view version) {
  CheckQueries& queries = os.queries;
  const auto machine = [&](std::u16string_view key, std::u16string_view name) {
    return ReadMachineText(os.registry, reg::kWow64_64Key, key, name);
  };
  const auto orNone = [](const std::u16string* value, std::u16string_view none) {
    return value != nullptr ? *value : std::u16string(none);
  };
  const auto orUnknown = [](const std::u16string& value) {
    return value.empty() ? std::u16string(u"?") : value;
  };
  const auto versionOf = [&](std::u16string_view path) {
    return os.files.FileVersion(path).value_or(std::u16string(kNoVersion));
  };
  const auto machineOf = [&](std::u16string_view path) {
    return DescribePeHeader(ReadPeHeader(os.files, path));
  };
  std::u16string text;
  const auto line = [&](std::u16string_view name, std::u16string_view value) {
    text += FormatText(u"%s: %s\n", {name, value});
  };

  std::u16string windows = queries.WindowsVersion();
  if (windows.empty()) windows = u"?";
  const std::u16string product = machine(kWindowsKey, u"ProductName");
  const std::u16string release = machine(kWindowsKey, u"DisplayVersion");
  if (!product.empty() || !release.empty()) {
    const std::u16string_view comma = product.empty() || release.empty() ? u"" : u", ";
    windows += FormatText(u" (%s%s%s)", {product, comma, release});
  }
  line(u"Windows", windows);
  const std::uint16_t native = queries.NativeMachine();
  line(u"Native architecture", native == 0 ? u"?" : PeMachineName(native));

  line(u"Computer", orUnknown(queries.ComputerName()));
  line(u"User", orUnknown(queries.UserName()));

  const std::u16string self = queries.ProgramPath();
  const std::u16string scheduler = RunLogPath(FolderOf(self), u"LSScheduler.exe");
  line(u"LSScheduler.exe", os.files.IsFile(scheduler)
                               ? FormatText(u"%s, version %s", {scheduler, versionOf(scheduler)})
                               : scheduler + u" (missing)");
  line(u"LSSchedulerCheck.exe",
       FormatText(u"%s, version %s", {self, version.empty() ? kNoVersion : version}));

  const std::u16string* outlook = Detail(results, u"outlook", u"path");
  line(u"Outlook", outlook == nullptr              ? std::u16string(kNotFound)
                   : !os.files.IsFile(*outlook) ? *outlook + u" (missing)"
                                               : FormatText(u"%s, version %s, %s",
                                    {*outlook, versionOf(*outlook), machineOf(*outlook)}));
  line(u"Mail client", orNone(Detail(results, u"mapi", u"client"), kNotFound));
  const std::u16string* library = Detail(results, u"mapi", u"library");
  const std::u16string libraryFile =
      library == nullptr ? std::u16string() : os.environment.ExpandEnvironment(*library);
  line(u"MAPI library", library == nullptr                ? std::u16string(kNotFound)
                        : !os.files.IsFile(libraryFile) ? *library + u" (missing)"
                                                       : FormatText(u"%s, %s", {libraryFile, machineOf(libraryFile)}));

  const std::u16string installFolder = machine(kInstallerKey, u"InstallFolder");
  const std::u16string taskName = machine(kInstallerKey, kInstalledTaskName);
  line(u"MSI InstallFolder", installFolder.empty() ? kNotRecorded : installFolder);
  line(u"MSI TaskName", taskName.empty() ? kNotRecorded : taskName);
  return text;
}

// Writes the bundle's files one after another; stops at the first failure.
class BundleWriter {
 public:
  BundleWriter(CheckPlatform& os, std::u16string_view folder) : os_(os), folder_(folder) {}

  bool Write(std::u16string_view name, std::string_view bytes) {
    const std::u16string path = RunLogPath(folder_, name);
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
bool CopyRunLogs(CheckPlatform& os, const std::vector<CheckResult>& results, BundleWriter& writer,
                 std::vector<std::u16string>* notes) {
  const std::u16string* logFolder = Detail(results, u"log-folder", u"folder");
  if (logFolder == nullptr) return true;
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

// The task the `task` check read, as Task Scheduler gives its definition.
std::optional<std::u16string> TaskXml(CheckPlatform& os, const std::vector<CheckResult>& results) {
  const std::u16string* name = Detail(results, u"task", u"task");
  if (name == nullptr) return std::nullopt;
  TaskInfo task;
  if (os.tasks.ReadTask(*name, &task) != 0 || task.xml.empty()) return std::nullopt;
  return task.xml;
}

// The bundle's files in the order a reader opens them; stops at the first
// that cannot be written.
bool WriteBundle(CheckPlatform& os, const std::vector<CheckResult>& results,
                 std::u16string_view version, std::u16string_view table, BundleWriter& writer,
                 std::vector<std::u16string>* notes) {
  if (!writer.Write(kJsonFile, ConsoleBytes(FormatJson(results, version, GatherCheckFacts(os)))) ||
      !writer.Write(kTableFile, ConsoleBytes(table)) || !CopyRunLogs(os, results, writer, notes)) {
    return false;
  }
  const std::u16string settingsKey =
      u"Software\\" + std::u16string(kVendorKey) + u"\\" + std::u16string(kApplicationName);
  if (!writer.Write(kSettingsFile,
                    FormatRegExport(ReadTree(os.registry, os.messages, settingsKey, notes)))) {
    return false;
  }
  if (const std::optional<std::u16string> xml = TaskXml(os, results);
      xml && !writer.Write(kTaskFile, Utf16File(*xml))) {
    return false;
  }
  return writer.Write(kMachineFile, ConsoleBytes(MachineText(os, results, version)));
}

}  // namespace

std::string FormatRegExport(const std::vector<RegistryKeyDump>& keys) {
  std::u16string text(kRegHeader);
  for (const RegistryKeyDump& key : keys) {
    text += u"[" + key.path + u"]\r\n";
    for (const ListedValue& value : key.values) text += ValueLine(value) + u"\r\n";
    text += u"\r\n";
  }
  return Utf16File(text);
}

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
    console.Write(OutputStream::kError,
                  FormatText(kErrorLine, {FormatText(kNoFolder, {folder, WindowsErrorText(
                                                                             os.messages, status)})}));
    return kCollectFailedExitCode;
  }

  const std::vector<CheckResult> results = RunChecks(os, options);
  const std::u16string table = FormatTable(results);
  std::vector<std::u16string> notes;
  BundleWriter writer(os, folder);
  if (!WriteBundle(os, results, version, table, writer, &notes)) {
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
  return ExitCodeOf(Verdict(results));
}

}  // namespace lss
