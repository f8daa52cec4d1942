#include "check/machine_page.h"

#include <cstdint>
#include <optional>

#include "check/check_context.h"
#include "check/pe_header.h"
#include "diag/run_log.h"
#include "diag/text_format.h"

namespace lss {

namespace {

constexpr std::u16string_view kWindowsKey = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::u16string_view kNotFound = u"(not found)";
constexpr std::u16string_view kNotRecorded = u"(not recorded)";
constexpr std::u16string_view kNoVersion = u"(no version resource)";

std::u16string FolderOf(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  return std::u16string(separator == std::u16string_view::npos ? std::u16string_view()
                                                               : path.substr(0, separator));
}

}  // namespace

std::u16string MachineText(CheckPlatform& os, const CheckRun& run, std::u16string_view version) {
  CheckQueries& queries = os.queries;
  const auto machine = [&](std::u16string_view key, std::u16string_view name) {
    return ReadMachineText(os.registry, reg::kWow64_64Key, key, name);
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

  std::u16string windows = orUnknown(queries.WindowsVersion());
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
  const std::u16string scheduler = JoinPath(FolderOf(self), u"LSScheduler.exe");
  line(u"LSScheduler.exe", os.files.IsFile(scheduler)
                               ? FormatText(u"%s, version %s", {scheduler, versionOf(scheduler)})
                               : scheduler + u" (missing)");
  line(u"LSSchedulerCheck.exe",
       FormatText(u"%s, version %s", {self, version.empty() ? kNoVersion : version}));

  const std::optional<std::u16string>& outlook = run.outlookPath;
  line(u"Outlook", !outlook ? std::u16string(kNotFound)
                   : !os.files.IsFile(*outlook)
                       ? *outlook + u" (missing)"
                       : FormatText(u"%s, version %s, %s",
                                    {*outlook, versionOf(*outlook), machineOf(*outlook)}));
  line(u"Mail client", run.mailClient.value_or(std::u16string(kNotFound)));
  const std::optional<std::u16string>& library = run.mapiLibrary;
  const std::u16string libraryFile = library ? os.environment.ExpandEnvironment(*library) : u"";
  line(u"MAPI library", !library ? std::u16string(kNotFound)
                        : !os.files.IsFile(libraryFile)
                            ? *library + u" (missing)"
                            : FormatText(u"%s, %s", {libraryFile, machineOf(libraryFile)}));

  const std::u16string installFolder = machine(kInstallerKey, u"InstallFolder");
  const std::u16string taskName = machine(kInstallerKey, kInstalledTaskName);
  line(u"MSI InstallFolder", installFolder.empty() ? kNotRecorded : installFolder);
  line(u"MSI TaskName", taskName.empty() ? kNotRecorded : taskName);
  return text;
}

}  // namespace lss
