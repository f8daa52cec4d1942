#include "check/check_output.h"

#include "check/check_events.h"
#include "diag/text_format.h"

namespace lss {

namespace {

constexpr std::size_t kIdColumn = 17;
constexpr std::size_t kStatusColumn = 7;

// The event's strings for what the last-run check did not find, and for a
// scheduler without a version.
constexpr std::u16string_view kEventNothing = u"-";
constexpr std::u16string_view kEventNoVersion = u"not found";

void Pad(std::u16string& line, std::u16string_view text, std::size_t width) {
  line += text;
  line.append(text.size() < width ? width - text.size() : 1, u' ');
}

}  // namespace

std::u16string FormatTable(const std::vector<CheckResult>& results) {
  std::u16string table;
  Pad(table, u"CHECK", kIdColumn);
  Pad(table, u"STATUS", kStatusColumn);
  table += u"FINDING\n";
  for (const CheckResult& result : results) {
    Pad(table, result.id, kIdColumn);
    Pad(table, StatusName(result.status), kStatusColumn);
    table += result.message;
    table += u'\n';
  }
  const CheckStatus verdict = Verdict(results);
  table += FormatText(u"\nVerdict: %s (exit code %d)\n",
                      {StatusName(verdict), static_cast<std::int32_t>(ExitCodeOf(verdict))});
  return table;
}

std::u16string FormatQuiet(const std::vector<CheckResult>& results) {
  const CheckStatus verdict = Verdict(results);
  const CheckResult* worst = nullptr;
  std::int32_t others = 0;
  for (const CheckResult& result : results) {
    if (result.status != verdict || verdict == CheckStatus::kOk) continue;
    if (worst == nullptr) {
      worst = &result;
    } else {
      ++others;
    }
  }
  if (worst == nullptr) return FormatText(u"%s: nothing to do.\n", {StatusName(verdict)});
  std::u16string line = FormatText(u"%s: %s: %s", {StatusName(verdict), worst->id, worst->message});
  if (others > 0) line += FormatText(u" (and %d more)", {others});
  return line + u"\n";
}

std::vector<std::u16string> EventStrings(const CheckRun& run, const CheckFacts& facts) {
  const CheckStatus verdict = Verdict(run.results);
  std::u16string findings;
  std::u16string notOk;
  for (const CheckResult& result : run.results) {
    if (result.status != CheckStatus::kWarn && result.status != CheckStatus::kFail) continue;
    if (!findings.empty()) findings += u'\n';
    findings += FormatText(u"%s %s: %s", {result.id, StatusName(result.status), result.message});
    if (!notOk.empty()) notOk += u',';
    notOk += result.id;
  }
  const auto orNothing = [](const std::u16string& text) {
    return text.empty() ? std::u16string(kEventNothing) : text;
  };
  return {std::u16string(StatusName(verdict)),
          ToDecimal(ExitCodeOf(verdict)),
          findings,
          orNothing(run.lastRun.file),
          orNothing(run.lastRun.start),
          orNothing(run.lastRun.end),
          facts.schedulerVersion.value_or(std::u16string(kEventNoVersion)),
          ToDecimal(check_event::kLayout),
          facts.user,
          run.task.name,
          notOk,
          run.lastRun.errorCode,
          run.lastRun.startWithOffset,
          run.lastRun.endWithOffset};
}

std::u16string JsonString(std::u16string_view text) {
  constexpr char16_t kHex[] = u"0123456789abcdef";
  std::u16string out(1, u'"');
  for (const char16_t c : text) {
    switch (c) {
      case u'"': out += u"\\\""; break;
      case u'\\': out += u"\\\\"; break;
      case u'\b': out += u"\\b"; break;
      case u'\f': out += u"\\f"; break;
      case u'\n': out += u"\\n"; break;
      case u'\r': out += u"\\r"; break;
      case u'\t': out += u"\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += u"\\u00";
          out.push_back(kHex[c >> 4]);
          out.push_back(kHex[c & 0xF]);
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back(u'"');
  return out;
}

std::u16string FormatJson(const std::vector<CheckResult>& results, std::u16string_view version,
                          const CheckFacts& facts) {
  const CheckStatus verdict = Verdict(results);
  std::u16string json = u"{\"tool\":\"LSSchedulerCheck\",\"schema\":" + ToDecimal(kJsonSchema) +
                        u",\"version\":" + JsonString(version) + u",\"computer\":" +
                        JsonString(facts.computer) + u",\"user\":" + JsonString(facts.user) +
                        u",\"checkedAt\":" + JsonString(facts.checkedAt) +
                        u",\"nativeMachine\":" + JsonString(facts.nativeMachine) +
                        u",\"schedulerVersion\":" +
                        (facts.schedulerVersion ? JsonString(*facts.schedulerVersion) : u"null") +
                        u",\"verdict\":" + JsonString(StatusName(verdict)) + u",\"exitCode\":" +
                        ToDecimal(ExitCodeOf(verdict)) + u",\"checks\":[";
  for (std::size_t i = 0; i < results.size(); ++i) {
    const CheckResult& result = results[i];
    json += i == 0 ? u"\n" : u",\n";
    json += u"{\"id\":" + JsonString(result.id) + u",\"status\":" +
            JsonString(StatusName(result.status)) + u",\"message\":" + JsonString(result.message) +
            u",\"details\":{";
    for (std::size_t d = 0; d < result.details.size(); ++d) {
      if (d != 0) json += u',';
      json += JsonString(result.details[d].first) + u':' + JsonString(result.details[d].second);
    }
    json += u"}}";
  }
  json += u"\n]}\n";
  return json;
}

}  // namespace lss
