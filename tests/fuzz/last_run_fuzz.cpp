// Any bytes in the log folder, as the newest log and as older ones: the
// last-run check gives OK, WARN or FAIL with a one-line message, and names
// the log it judged, the newest that holds anything.
//
// Input: one control byte, then the logs, oldest first, each ended by the
// marker <<LOG>> (the last one needs none). The newest log is named for
// 28-12-26 02:00:00, each older one a day earlier. Control bits: 0 an
// LSScheduler.exe is running; 1 a limit of (byte >> 4) hours on the age;
// 2 the newest log is 64 KiB longer (of blanks before its bytes), so only its
// tail is read; 3 the task last ran (byte >> 4) * 2 minutes after the newest
// log's time; 4, when neither 1 nor 3 is set, a log named for 01-01-2099
// 02:00:00 and holding an error lies beside them.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/last_run.h"
#include "fake/fake_check_platform.h"
#include "fuzz/fuzz_input.h"
#include "settings/settings_store.h"

namespace {

constexpr std::string_view kMarker = "<<LOG>>";
constexpr std::size_t kMostLogs = 28;
constexpr int kNewestDay = 28;
constexpr std::u16string_view kAfterNow = u"C:\\Logs\\Scheduler010199020000.log";

std::vector<std::string> SplitLogs(std::string_view bytes) {
  std::vector<std::string> logs;
  while (logs.size() < kMostLogs) {
    const std::size_t end = bytes.find(kMarker);
    logs.emplace_back(bytes.substr(0, end));
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + kMarker.size());
  }
  return logs;
}

std::u16string LogName(int day) {
  const char16_t digits[] = {char16_t(u'0' + day / 10), char16_t(u'0' + day % 10), u'\0'};
  return u"Scheduler" + std::u16string(digits) + u"1226020000.log";
}

std::u16string Value(const lss::CheckResult& result, std::u16string_view name) {
  for (const auto& [key, value] : result.details) {
    if (key == name) return value;
  }
  return {};
}

}  // namespace

void lss::fuzz::TestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const std::uint8_t control = data[0];
  const std::vector<std::string> logs =
      SplitLogs(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

  lss::test::FakeCheckPlatform os;
  os.clock.SetLocalTime(lss::LocalTime{2026, 12, 29, 12, 0, 0});
  os.registry.SetString(u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings", u"LogDirectory",
                        u"C:\\Logs");
  os.disk.AddFolder(u"C:\\Logs");
  std::u16string judged;  // the newest log that holds anything
  for (std::size_t i = 0; i < logs.size(); ++i) {
    const bool newest = i + 1 == logs.size();
    const std::u16string path =
        u"C:\\Logs\\" + LogName(kNewestDay - static_cast<int>(logs.size() - 1 - i));
    const bool padded = newest && (control & 4) != 0;
    const std::string bytes = padded ? std::string(lss::kLogTailBytes, ' ') + logs[i] : logs[i];
    os.disk.AddFile(path, bytes);
    if (!bytes.empty()) judged = path;
  }
  const bool afterNow = (control & 0x1A) == 0x10;
  if (afterNow) {
    os.disk.AddFile(std::u16string(kAfterNow),
                    "\r\n01-01-99 02:00:00: LSScheduler Error: Can't find Outlook.exe");
  }
  if ((control & 1) != 0) os.queries.runningPrograms.push_back(u"LSScheduler.exe");
  std::optional<std::int32_t> maxAgeHours;
  if ((control & 2) != 0) maxAgeHours = control >> 4;
  std::optional<lss::LocalTime> taskLastRun;
  if ((control & 8) != 0) taskLastRun = lss::LocalTime{2026, 12, 28, 2, (control >> 4) * 2, 0};

  lss::SettingsStore settings(u"Larkspan", lss::SettingsStore::Access::kReadOnly);
  settings.SetSettingsRoot(os.registry, u"Brinmoor");
  lss::CheckContext context{os.bundle, settings};
  const lss::CheckResult result = lss::CheckLastRun(context, maxAgeHours, taskLastRun);

  Require(result.id == u"last-run", "the result is the last-run check's");
  Require(result.status == lss::CheckStatus::kOk || result.status == lss::CheckStatus::kWarn ||
              result.status == lss::CheckStatus::kFail,
          "the verdict is OK, WARN or FAIL");
  Require(!result.message.empty(), "there is a message");
  Require(result.message.find_first_of(u"\r\n") == std::u16string::npos, "the message is one line");
  Require(os.files.largestTailAsked() <= lss::kLogTailBytes, "at most the tail is read");
  if (!judged.empty()) {
    // Named in the message where the log cannot be read as one, and in the
    // details of every verdict on its entries.
    const std::u16string file = Value(result, u"file");
    Require(file == judged || (file.empty() && result.message.find(judged) != std::u16string::npos),
            "the judged log is the newest that holds anything, and it is named");
  }
  if (afterNow) {
    Require(result.status != lss::CheckStatus::kOk, "a log named after now is a warning at least");
    Require(result.message.find(std::u16string(kAfterNow) + u" is named for a time after now") !=
                std::u16string::npos,
            "the log named after now is named");
  }
}
