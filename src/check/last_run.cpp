#include "check/last_run.h"

#include <algorithm>
#include <utility>

#include "diag/run_log.h"
#include "diag/run_log_entries.h"
#include "diag/text_format.h"
#include "diag/time_stamp.h"
#include "settings/setting_names.h"

namespace lss {

namespace {

constexpr std::u16string_view kId = u"last-run";

constexpr std::u16string_view kNoFolder =
    u"LogDirectory is not set: there is no log to judge the last run by.";
constexpr std::u16string_view kNoLog =
    u"No log file in %s: no run has logged there yet. Check the scheduled task and the folder.";
constexpr std::u16string_view kUnreadable = u"The newest log %s cannot be read.";
constexpr std::u16string_view kNotALog =
    u"The newest log %s is not in the scheduler's format (%s): the last run cannot be judged.";
constexpr std::u16string_view kErrors = u"The run of %s logged an error: %s";
constexpr std::u16string_view kMoreErrors = u" | and %d more";
constexpr std::size_t kMostQuoted = 3;
constexpr std::u16string_view kRunning =
    u"A run is going on now (started %s, LSScheduler.exe is running).";
constexpr std::u16string_view kInterrupted =
    u"The run of %s was interrupted after \"%s\" at %s: it never reached its end (the process "
    u"was ended, or the machine shut down).";
constexpr std::u16string_view kSameSecond =
    u"The run of %s stopped waiting for the add-in in the second it began (%s): the add-in may "
    u"not have started to synchronize. Raise WaitSecondsForOutlookStart.";
constexpr std::u16string_view kLogoffFailed =
    u"The run of %s could not log off Outlook's session: Outlook may still be running.";
constexpr std::u16string_view kComplete = u"The run of %s ended at %s after %s.";
constexpr std::u16string_view kWithoutS =
    u"The last start (%s) was without -s: it only handed its values to the add-in.";
constexpr std::u16string_view kOnlyS =
    u"The last run (%s) started Outlook with -s alone and left it running.";
constexpr std::u16string_view kOther = u"The last run (%s) ended after \"%s\" at %s.";
constexpr std::u16string_view kStale = u"No run since %s (%d h ago; the limit is %d h): %s";
constexpr std::u16string_view kOnlyStartsWithoutS =
    u"No log in %s holds a scheduled run: the %d starts logged there were all without -s. "
    u"Check the scheduled task and its -s option.";
constexpr std::u16string_view kLaterStarts = u" (and %d later starts without -s)";
constexpr std::u16string_view kLaterStart = u" (and 1 later start without -s)";
constexpr std::u16string_view kTaskLeftNoLog =
    u"The task ran at %s but left no run log: LSScheduler.exe could not start, or could not "
    u"write its log. The newest run log: %s";
constexpr std::u16string_view kTaskLeftNoLogAtAll =
    u"The task ran at %s but left no run log in %s: LSScheduler.exe could not start, or could "
    u"not write its log.";
constexpr std::u16string_view kNamedAfterNow =
    u"The log %s is named for a time after now (%s): the clock was wrong when it was written, "
    u"or is wrong now.";
constexpr std::u16string_view kMoreNamedAfterNow = u" (and %d more logs named after now)";
constexpr std::u16string_view kOneMoreNamedAfterNow = u" (and 1 more log named after now)";
// Two-digit years in the names: the full year shows which century was read.
constexpr std::u16string_view kNameTimePattern = u"%d-%m-20%y %H:%M:%S";
// Local time may step back an hour, or a zone change more, between a run and
// the check; only a name further ahead than this was written under a wrong clock.
constexpr std::int64_t kMostAheadSeconds = 86400;

constexpr std::u16string_view kNoLineBreakFirst = u"it does not begin with a line break";
constexpr std::u16string_view kNoStampFirst = u"its first line has no time stamp";
constexpr std::u16string_view kNulBytes = u"it holds NUL bytes";
constexpr std::u16string_view kNoEntryInTail = u"no entry in its last %d KiB";

std::u16string Duration(std::int64_t seconds) {
  seconds = std::clamp<std::int64_t>(seconds, 0, std::int64_t{1} << 40);  // a clock set back
  const auto s = static_cast<std::int32_t>(seconds % 60);
  const auto m = static_cast<std::int32_t>(seconds / 60 % 60);
  const auto h = static_cast<std::int32_t>(std::min<std::int64_t>(seconds / 3600, 1 << 30));
  if (h > 0) return FormatText(u"%d h %d min %d s", {h, m, s});
  if (m > 0) return FormatText(u"%d min %d s", {m, s});
  return FormatText(u"%d s", {s});
}

// One line for a message: the lines of a multi-line entry joined by blanks.
std::u16string OneLine(std::u16string text) {
  for (char16_t& c : text) {
    if (c == u'\n' || c == u'\r') c = u' ';
  }
  return text;
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

CheckResult Result(CheckStatus status, std::u16string message) {
  return MakeResult(kId, status, std::move(message));
}

// The code of an error entry that carries one, as "0x8004010F"; empty for any
// other entry.
std::u16string ErrorCodeOf(std::u16string_view text) {
  constexpr std::size_t kDigits = 8;
  if (!StartsWith(text, kErrorCodeEntryPrefix)) return {};
  const std::u16string_view digits = text.substr(kErrorCodeEntryPrefix.size(), kDigits);
  std::u16string code = u"0x";
  for (const char16_t c : digits) {
    const bool lower = c >= u'a' && c <= u'f';
    if (!lower && !(c >= u'0' && c <= u'9') && !(c >= u'A' && c <= u'F')) return {};
    code += lower ? static_cast<char16_t>(c - u'a' + u'A') : c;
  }
  return digits.size() == kDigits ? code : std::u16string();
}

// The judged run's first and last entry with their dates' offsets from UTC,
// so that runs in different zones compare.
void AddTimesWithOffset(CheckQueries& queries, const RunSpan& span, JudgedRun& run) {
  const auto withOffset = [&](const LocalTime& time) {
    const std::optional<std::int32_t> offset = queries.UtcOffsetMinutes(time);
    return offset ? IsoTimeWithOffset(time, *offset) : std::u16string();
  };
  run.startWithOffset = withOffset(span.start);
  run.endWithOffset = withOffset(span.end);
}

std::u16string Latin1(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]));
  }
  return text;
}

// Takes out of `logs` (newest first) those named more than kMostAheadSeconds
// after `now`, and returns them, newest first.
std::vector<RunLogFile> TakeNamedAfterNow(const LocalTime& now, std::vector<RunLogFile>* logs) {
  const auto firstDated = std::find_if(logs->begin(), logs->end(), [&](const RunLogFile& log) {
    return LinearSeconds(log.opened) - LinearSeconds(now) <= kMostAheadSeconds;
  });
  std::vector<RunLogFile> afterNow(logs->begin(), firstDated);
  logs->erase(logs->begin(), firstDated);
  return afterNow;
}

// Names the newest of `afterNow` in `result`, which is at least a warning then.
void NoteNamedAfterNow(const std::u16string& folder, const std::vector<RunLogFile>& afterNow,
                       CheckResult* result) {
  if (afterNow.empty()) return;
  std::u16string note = FormatText(
      kNamedAfterNow, {RunLogPath(folder, afterNow.front().name),
                       FormatLocalTime(kNameTimePattern, afterNow.front().opened).value_or(u"?")});
  if (afterNow.size() == 2) note += kOneMoreNamedAfterNow;
  if (afterNow.size() > 2) {
    note += FormatText(kMoreNamedAfterNow, {static_cast<std::int32_t>(afterNow.size() - 1)});
  }
  result->message += (result->message.empty() ? u"" : u" ") + note;
  result->status = Worst(result->status, CheckStatus::kWarn);
}

}  // namespace

ParsedRunLog ParseRunLogBytes(std::string_view bytes, bool cutShort) {
  ParsedRunLog log;
  if (bytes.empty()) return log;
  if (bytes.find('\0') != std::string_view::npos) {
    log.problem = kNulBytes;
    return log;
  }
  const std::u16string text = Latin1(bytes);
  const std::u16string_view all(text);
  std::size_t at = 0;
  if (cutShort) {
    // The tail starts anywhere: from the first line that is an entry's.
    for (at = all.find(u"\r\n"); at != std::u16string_view::npos; at = all.find(u"\r\n", at + 2)) {
      const std::size_t end = all.find(u"\r\n", at + 2);
      if (ParseRunLogLine(
              all.substr(at + 2, end == std::u16string_view::npos ? end : end - at - 2))) {
        break;
      }
    }
    if (at == std::u16string_view::npos) {
      log.problem = FormatText(kNoEntryInTail, {static_cast<std::int32_t>(kLogTailBytes / 1024)});
      return log;
    }
  } else if (!StartsWith(all, u"\r\n")) {
    log.problem = kNoLineBreakFirst;
    return log;
  }
  std::size_t previousLength = 0;
  while (at != std::u16string_view::npos) {
    const std::size_t begin = at + 2;
    at = all.find(u"\r\n", begin);
    const std::u16string_view line =
        all.substr(begin, at == std::u16string_view::npos ? at : at - begin);
    if (const std::optional<StampedLine> stamped = ParseRunLogLine(line)) {
      log.entries.push_back({stamped->time, std::u16string(stamped->text)});
    } else if (log.entries.empty()) {
      log.problem = kNoStampFirst;
      return log;
    } else {
      // A full line was cut into chunks; a shorter one ended at a line break of the message.
      if (previousLength != kRunLogLineLength) log.entries.back().text.push_back(u'\n');
      log.entries.back().text += line;
    }
    previousLength = line.size();
  }
  return log;
}

CheckResult JudgeRunLog(const LogToJudge& file, std::optional<RunSpan>* span) {
  const bool cutShort = file.size > file.bytes.size();
  const ParsedRunLog log = ParseRunLogBytes(file.bytes, cutShort);
  if (!log.problem.empty()) {
    return Result(CheckStatus::kWarn, FormatText(kNotALog, {file.path, log.problem}));
  }
  const std::vector<RunLogEntry>& entries = log.entries;
  if (entries.empty()) {
    return Result(CheckStatus::kOk, FormatText(kWithoutS, {ShownTime(file.opened)}));
  }
  const RunLogEntry& first = entries.front();
  const RunLogEntry& last = entries.back();
  const std::u16string started = ShownTime(first.time);

  std::vector<std::u16string> errors;
  std::u16string errorCode;  // the first one
  bool blockOpen = false;
  bool sessionStarted = false;
  bool logoffFailed = false;
  std::optional<LocalTime> sameSecond;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::u16string& text = entries[i].text;
    if (StartsWith(text, kErrorEntryPrefix)) errors.push_back(OneLine(text));
    if (errorCode.empty()) errorCode = ErrorCodeOf(text);
    if (text == kBlockEntry) blockOpen = true;
    if (text == kDeBlockEntry) blockOpen = false;
    if (text == kMapiInitialize) sessionStarted = true;
    if (text == kMapiLogoffFailed) logoffFailed = true;
    if (text == kWaitingForLarkspan && i + 1 < entries.size() &&
        entries[i + 1].text == kMapiLogoff &&
        LinearSeconds(entries[i + 1].time) == LinearSeconds(entries[i].time)) {
      sameSecond = entries[i].time;
    }
  }
  const bool sessionOpen =
      sessionStarted && last.text != kMapiUninitialize && last.text != kDeBlockEntry;

  CheckResult result;
  if (!errors.empty()) {
    std::u16string quoted;
    for (std::size_t i = 0; i < errors.size() && i < kMostQuoted; ++i) {
      quoted += (i == 0 ? u"" : u" | ") + errors[i];
    }
    if (errors.size() > kMostQuoted) {
      quoted += FormatText(kMoreErrors, {static_cast<std::int32_t>(errors.size() - kMostQuoted)});
    }
    result = Result(CheckStatus::kFail, FormatText(kErrors, {started, quoted}));
  } else if ((blockOpen || sessionOpen) && file.schedulerRunning) {
    result = Result(CheckStatus::kOk, FormatText(kRunning, {started}));
  } else if (blockOpen || sessionOpen) {
    result = Result(CheckStatus::kFail,
                    FormatText(kInterrupted, {started, OneLine(last.text), ShownTime(last.time)}));
  } else if (sameSecond) {
    result = Result(CheckStatus::kWarn, FormatText(kSameSecond, {started, ShownTime(*sameSecond)}));
  } else if (logoffFailed) {
    result = Result(CheckStatus::kWarn, FormatText(kLogoffFailed, {started}));
  } else if (last.text == kDeBlockEntry || last.text == kMapiUninitialize) {
    result = Result(
        CheckStatus::kOk,
        FormatText(kComplete, {started, ShownTime(last.time),
                               Duration(LinearSeconds(last.time) - LinearSeconds(first.time))}));
  } else if (!sessionStarted && last.text == kWaitingForOutlook) {
    result = Result(CheckStatus::kOk, FormatText(kOnlyS, {started}));
  } else {
    result = Result(CheckStatus::kOk,
                    FormatText(kOther, {started, OneLine(last.text), ShownTime(last.time)}));
  }
  result.details.emplace_back(u"start", IsoTime(first.time));
  result.details.emplace_back(u"end", IsoTime(last.time));
  const std::string seconds = std::to_string(LinearSeconds(last.time) - LinearSeconds(first.time));
  result.details.emplace_back(u"seconds", std::u16string(seconds.begin(), seconds.end()));
  if (!errorCode.empty()) result.details.emplace_back(u"errorCode", errorCode);
  if (span != nullptr) *span = RunSpan{first.time, last.time, errorCode};
  return result;
}

std::vector<RunLogFile> RunLogsNewestFirst(const std::vector<FileSystem::Entry>& listed) {
  std::vector<RunLogFile> logs;
  for (const FileSystem::Entry& file : listed) {
    if (file.isFolder) continue;
    if (const std::optional<LocalTime> opened = ParseRunLogFileName(file.name)) {
      logs.push_back({file.name, *opened, file.size});
    }
  }
  // A time has one name, and a folder holds a name once: no two times are equal.
  std::sort(logs.begin(), logs.end(), [](const RunLogFile& a, const RunLogFile& b) {
    return LinearSeconds(a.opened) > LinearSeconds(b.opened);
  });
  return logs;
}

CheckResult CheckLastRun(CheckContext& context, std::optional<std::int32_t> maxAgeHours,
                         const std::optional<LocalTime>& taskLastRun, JudgedRun* judged) {
  FileSystem& files = context.os.files;
  const std::u16string folder = context.settings.ReadSettingExpandable(
      kSettingsSection, kLogDirectory, context.os.environment);
  if (folder.empty()) return Result(CheckStatus::kWarn, std::u16string(kNoFolder));

  std::vector<RunLogFile> logs = RunLogsNewestFirst(files.ListFolder(folder, kRunLogFilePattern));
  // A log named well after now cannot be dated: it is neither the last run
  // nor newer than it.
  LocalTime now;
  const bool haveNow = context.os.clock.ToLocal(context.os.clock.Now(), &now);
  const std::vector<RunLogFile> afterNow =
      haveNow ? TakeNamedAfterNow(now, &logs) : std::vector<RunLogFile>{};
  // Starts without -s leave empty logs; the newest log with anything in it
  // is the last scheduled run's.
  std::size_t skipped = 0;
  while (skipped < logs.size() && logs[skipped].size == 0) ++skipped;
  if (skipped == logs.size()) {
    CheckResult result = logs.empty()
                             ? Result(CheckStatus::kFail, FormatText(kNoLog, {folder}))
                             : Result(CheckStatus::kWarn,
                                      FormatText(kOnlyStartsWithoutS,
                                                 {folder, static_cast<std::int32_t>(logs.size())}));
    // A run did log there, at a time that cannot be told: the note says all.
    if (logs.empty() && !afterNow.empty()) result = Result(CheckStatus::kWarn, u"");
    if (taskLastRun) {
      result.status = CheckStatus::kFail;
      result.message = FormatText(kTaskLeftNoLogAtAll, {ShownTime(*taskLastRun), folder});
    }
    NoteNamedAfterNow(folder, afterNow, &result);
    return result;
  }

  LogToJudge log;
  log.path = RunLogPath(folder, logs[skipped].name);
  log.opened = logs[skipped].opened;
  const std::optional<FileSystem::Tail> tail = files.ReadTail(log.path, kLogTailBytes);
  if (!tail) {
    CheckResult result = Result(CheckStatus::kWarn, FormatText(kUnreadable, {log.path}));
    NoteNamedAfterNow(folder, afterNow, &result);
    return result;
  }
  log.bytes = tail->bytes;
  log.size = tail->size;
  log.schedulerRunning = context.os.queries.IsProgramRunning(kSchedulerImage);
  std::optional<RunSpan> span;
  CheckResult result = JudgeRunLog(log, &span);
  JudgedRun run;
  run.file = log.path;
  if (span) {
    run.start = IsoTime(span->start);
    run.end = IsoTime(span->end);
    run.errorCode = span->errorCode;
    AddTimesWithOffset(context.os.queries, *span, run);
    result.details.emplace_back(u"startWithOffset", run.startWithOffset);
    result.details.emplace_back(u"endWithOffset", run.endWithOffset);
  }
  if (skipped > 0) {
    result.message += skipped == 1 ? std::u16string(kLaterStart)
                                   : FormatText(kLaterStarts, {static_cast<std::int32_t>(skipped)});
  }

  if (maxAgeHours && haveNow) {
    const std::int64_t age = LinearSeconds(now) - LinearSeconds(log.opened);
    if (age > std::int64_t{*maxAgeHours} * 3600) {
      result.status = CheckStatus::kFail;
      result.message =
          FormatText(kStale, {ShownTime(log.opened), static_cast<std::int32_t>(age / 3600),
                              *maxAgeHours, result.message});
    }
  }
  if (taskLastRun && LinearSeconds(*taskLastRun) - LinearSeconds(log.opened) > kLogGraceSeconds) {
    result.status = CheckStatus::kFail;
    result.message = FormatText(kTaskLeftNoLog, {ShownTime(*taskLastRun), result.message});
  }
  NoteNamedAfterNow(folder, afterNow, &result);
  result.details.insert(result.details.begin(), {u"file", log.path});
  result.details.emplace_back(u"laterStartsWithoutS",
                              ToDecimal(static_cast<std::int32_t>(skipped)));
  if (taskLastRun) result.details.emplace_back(u"taskLastRun", IsoTime(*taskLastRun));
  if (judged != nullptr) *judged = std::move(run);
  return result;
}

}  // namespace lss
