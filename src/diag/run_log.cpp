#include "diag/run_log.h"

#include <algorithm>
#include <new>
#include <vector>

#include "diag/exceptions.h"
#include "diag/time_stamp.h"

namespace lss {

namespace {

constexpr std::u16string_view kFileNamePrefix = u"Scheduler";
constexpr std::u16string_view kFileNameSuffix = u".log";
constexpr std::u16string_view kOpenStampPattern = u"%d%m%y%H%M%S";
constexpr std::size_t kOpenStampLength = 12;  // ddmmyyHHMMSS
constexpr std::u16string_view kEntryStampPattern = u"%d-%m-%y %H:%M:%S:";
constexpr char16_t kFolderSeparator = u'\\';
constexpr char16_t kStampSeparator = u' ';
constexpr std::size_t kChunkLength = kRunLogLineLength;  // UTF-16 code units per line of text

// The log is 8-bit text: Latin-1 code units keep their value, others have no byte.
constexpr char16_t kLastLatin1 = 0x00FF;
constexpr std::uint8_t kNoByte = '?';

// A line break, then the chunk as the file's bytes: LF becomes CR LF.
void EncodeChunk(std::u16string_view chunk, std::vector<std::uint8_t>& bytes) {
  bytes.assign({'\r', '\n'});
  for (const char16_t unit : chunk) {
    if (unit == u'\n') {
      bytes.push_back('\r');
      bytes.push_back('\n');
    } else if (unit <= kLastLatin1) {
      bytes.push_back(static_cast<std::uint8_t>(unit));
    } else {
      bytes.push_back(kNoByte);
    }
  }
}

}  // namespace

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  if (!path.empty() && path.back() != kFolderSeparator) path.push_back(kFolderSeparator);
  path += name;
  return path;
}

std::u16string RunLogPath(std::u16string_view folder, std::u16string_view name) {
  return JoinPath(folder, name);
}

bool RunLogPathFits(std::u16string_view folder, std::size_t* length) {
  std::u16string name(kFileNamePrefix);
  name.append(kOpenStampLength, u'0');
  name += kFileNameSuffix;
  *length = RunLogPath(folder, name).size();
  return *length <= kLongestRunLogPath;
}

std::optional<LocalTime> ParseRunLogFileName(std::u16string_view name) {
  if (name.size() <= kFileNamePrefix.size() + kFileNameSuffix.size() ||
      name.substr(0, kFileNamePrefix.size()) != kFileNamePrefix ||
      name.substr(name.size() - kFileNameSuffix.size()) != kFileNameSuffix) {
    return std::nullopt;
  }
  name.remove_prefix(kFileNamePrefix.size());
  name.remove_suffix(kFileNameSuffix.size());
  return ParseLocalTime(kOpenStampPattern, name);
}

std::optional<StampedLine> ParseRunLogLine(std::u16string_view line) {
  constexpr std::size_t kStampLength = 18;  // dd-mm-yy HH:MM:SS:
  if (line.size() <= kStampLength || line[kStampLength] != kStampSeparator) return std::nullopt;
  const std::optional<LocalTime> time =
      ParseLocalTime(kEntryStampPattern, line.substr(0, kStampLength));
  if (!time) return std::nullopt;
  return StampedLine{*time, line.substr(kStampLength + 1)};
}

bool CreateFolderWithParents(FileSystem& files, std::u16string_view folder) {
  constexpr std::u16string_view kSeparators = u"\\/";
  const auto withoutTrailingSeparators = [&](std::u16string_view path) {
    const std::size_t last = path.find_last_not_of(kSeparators);
    return last == std::u16string_view::npos ? std::u16string_view() : path.substr(0, last + 1);
  };
  // Up to the nearest folder that exists; a level keeps its trailing
  // separator while it is looked at, so that a root such as C:\ is found.
  std::vector<std::u16string_view> missing;  // the deepest first
  for (std::u16string_view level = folder;;) {
    const std::u16string_view name = withoutTrailingSeparators(level);
    if (name.empty() || files.Exists(level)) break;
    missing.push_back(name);
    const std::size_t separator = name.find_last_of(kSeparators);
    if (separator == std::u16string_view::npos) break;
    level = name.substr(0, separator + 1);
  }
  for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
    // Made by another run in the meantime counts as made.
    const Status status = files.CreateFolder(*level);
    if (status != win32_error::kSuccess && status != win32_error::kAlreadyExists) return false;
  }
  return true;
}

void RunLog::Open(Clock& clock, FileSystem& files, std::u16string_view folder) {
  if (folder.empty()) return;
  clock_ = &clock;

  std::u16string name(kFileNamePrefix);
  LocalTime now;
  if (clock.ToLocal(clock.Now(), &now)) {
    if (const std::optional<std::u16string> stamp = FormatLocalTime(kOpenStampPattern, now)) {
      name += *stamp;
      openedAt_ = now;
    }
  }
  name += kFileNameSuffix;
  std::u16string path = RunLogPath(folder, name);
  if (path.size() > kLongestRunLogPath) {
    path_ = std::move(path);
    return;
  }

  // Create never truncates: a second instance opening the same name in the
  // same second appends to the first one's entries instead of erasing them.
  if (!files.Exists(path)) {
    file_ = files.Create(path);
    if (!file_ && !files.Exists(folder) && CreateFolderWithParents(files, folder)) {
      file_ = files.Create(path);
    }
  } else if (!files.IsReadOnly(path)) {
    file_ = files.OpenExisting(path);
  }
  path_ = std::move(path);
}

void RunLog::Write(std::u16string_view message) {
  if (!file_) return;

  std::u16string text = LocalTimeStamp(*clock_, kEntryStampPattern);
  text.reserve(text.size() + 1 + message.size());
  text.push_back(kStampSeparator);
  text += message;

  const std::u16string_view rest(text);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(2 + 2 * std::min(kChunkLength, rest.size()));
  std::size_t pos = 0;
  do {
    const std::u16string_view chunk = rest.substr(pos, kChunkLength);
    pos += chunk.size();
    if (!file_->SeekToEnd()) {
      // NOLINTNEXTLINE(cert-err09-cpp,cert-err61-cpp): framework exceptions travel by pointer
      throw new CFileException(CFileException::kBadSeek, path_);
    }
    // The whole chunk in one append: writers in other processes cannot land
    // between its line break and its text, nor overwrite it.
    EncodeChunk(chunk, bytes);
    file_->Append(bytes.data(), bytes.size());  // output errors are dropped
  } while (pos < rest.size());
}

void RunLog::WriteQuietly(std::u16string_view message) noexcept {
  try {
    Write(message);
  } catch (CException* e) {  // NOLINT(cert-err09-cpp,cert-err61-cpp): thrown by pointer
    if (e != nullptr) e->Delete();
  } catch (...) {
    // Nothing above this caller would catch it, and a lost entry must not end the run.
  }
}

}  // namespace lss
