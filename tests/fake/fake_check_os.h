#pragma once
// Stand-ins for the check tool's own queries, the task query, the event write
// and the support bundle's queries. They look at a fake machine: its disk, its
// registry, its named objects and its environment. The names of programs and
// tasks match without regard to case.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fake/fake_machine.h"
#include "platform/check_queries.h"
#include "platform/collect_queries.h"
#include "platform/event_log.h"
#include "platform/scheduled_tasks.h"

namespace lss::test {

class FakeCheckQueries final : public CheckQueries {
 public:
  explicit FakeCheckQueries(FakeMachine& machine)
      : environment(machine.environment),
        disk_(machine.disk),
        objects_(machine.objects),
        clock_(machine.clock) {}

  bool IsFile(std::u16string_view path) override { return disk_.FindFile(path) != nullptr; }
  bool IsFolder(std::u16string_view path) override { return disk_.FolderExists(path); }
  std::vector<Listed> ListFiles(std::u16string_view folder, std::u16string_view pattern) override;
  std::optional<Tail> ReadTail(std::u16string_view path, std::size_t maxBytes) override;
  std::optional<std::string> ReadAt(std::u16string_view path, std::uint64_t offset,
                                    std::size_t maxBytes) override;
  std::optional<std::u16string> FileVersion(std::u16string_view path) override;
  Status CreateEmptyFile(std::u16string_view path) override;
  Status RemoveFile(std::u16string_view path) override {
    return disk_.RemoveFile(path, denyDelete_);
  }
  Status CreateFolder(std::u16string_view path) override {
    return disk_.CreateFolder(path, denyCreate_);
  }
  Status RemoveFolder(std::u16string_view path) override {
    return disk_.RemoveFolder(path, denyDelete_);
  }
  std::u16string SystemDirectory() override { return systemDirectory; }
  std::u16string ProgramPath() override { return programPath; }
  std::uint16_t NativeMachine() override { return nativeMachine; }
  std::u16string ComputerName() override { return computerName; }
  std::u16string UserName() override { return userName; }
  std::u16string ExpandEnvironment(std::u16string_view text) override {
    return ExpandVariables(environment, text);
  }
  bool IsProgramRunning(std::u16string_view imageName) override;
  MutexProbe ProbeMutex(std::u16string_view name) override;
  // The machine clock's zone, which has no daylight saving time. Like Win32,
  // nothing for a day its month lacks or a year before 1601.
  std::optional<std::int32_t> UtcOffsetMinutes(const LocalTime& local) override {
    if (failUtcOffset || local.year < 1601 || !IsCalendarTime(local)) return std::nullopt;
    return clock_.ZoneOffsetMinutes();
  }

  // CreateEmptyFile and CreateFolder, RemoveFile and RemoveFolder fail with
  // ERROR_ACCESS_DENIED.
  void DenyProbeCreate(bool deny) { denyCreate_ = deny; }
  void DenyProbeDelete(bool deny) { denyDelete_ = deny; }

  std::u16string systemDirectory = u"C:\\Windows\\System32";
  std::u16string programPath = u"C:\\Program Files\\Larkspan\\LSSchedulerCheck.exe";
  EnvironmentVariables& environment;  // the machine's
  // Image names of this user's other running programs, e.g. u"OUTLOOK.EXE".
  std::vector<std::u16string> runningPrograms;
  // What a look at any mutex finds when set, e.g. a look that fails, instead
  // of what the machine's named objects show.
  std::optional<MutexProbe> mutex;
  // The largest tail any ReadTail call asked for.
  std::size_t largestTailAsked = 0;
  std::u16string computerName = u"PC-0417";
  std::u16string userName = u"BRINMOOR\\avery";
  // IMAGE_FILE_MACHINE_*, as IsWow64Process2 gives it: 0xAA64 on an Arm
  // computer, 0 when it cannot be told.
  std::uint16_t nativeMachine = 0x8664;
  // UtcOffsetMinutes finds no offset, as for a time zone it cannot read.
  bool failUtcOffset = false;

 private:
  FakeDisk& disk_;
  FakeNamedObjects& objects_;
  FakeClock& clock_;
  bool denyCreate_ = false;
  bool denyDelete_ = false;
};

class FakeScheduledTasks final : public ScheduledTasks {
 public:
  HResult ReadTask(std::u16string_view path, TaskInfo* task) override;

  // Registered tasks by path ("Name" or "\Folder\Name").
  void Add(std::u16string_view path, TaskInfo task) { tasks_[Key(path)] = std::move(task); }
  // Answered for every read when not 0, e.g. a service that cannot be reached.
  HResult failure = 0;
  std::vector<std::u16string> reads;

 private:
  static std::u16string Key(std::u16string_view path);
  std::map<std::u16string, TaskInfo> tasks_;
};

class FakeEventLog final : public EventLog {
 public:
  Status Report(std::u16string_view source, EventType type, std::uint32_t eventId,
                EventUser user, const std::vector<std::u16string>& strings) override {
    if (result == 0) events.push_back({std::u16string(source), type, eventId, user, strings});
    return result;
  }

  struct Event {
    std::u16string source;
    EventType type;
    std::uint32_t id;
    EventUser user;  // whose SID was asked for
    std::vector<std::u16string> strings;
  };
  std::vector<Event> events;
  Status result = 0;  // what every Report answers; an event is kept only on 0
};

// The support bundle's files and reads, on the machine's disk and registry:
// what it writes the other fakes see, and what they hold it reads.
class FakeCollectQueries final : public CollectQueries {
 public:
  FakeCollectQueries(FakeDisk& disk, FakeRegistry& registry) : disk_(disk), registry_(registry) {}

  PathKind Look(std::u16string_view path) override;
  Status CreateFolders(std::u16string_view path) override;
  Status WriteNewFile(std::u16string_view path, std::string_view bytes) override;
  Status ReadUserKey(std::u16string_view key, RegistryKeyRead* read) override;
  std::u16string WindowsVersion() override { return u"10.0.22631"; }

  // A path that Look cannot examine (kUnknown).
  std::u16string unexaminable;
  // Writing a file whose name ends with `failingName` fails with this error
  // (e.g. ERROR_DISK_FULL) and leaves no file.
  std::u16string failingName;
  Status writeFailure = 0;
  // What CreateFolders answers when not 0.
  Status createFailure = 0;
  // Called before each ReadUserKey with the key it reads: a key may change
  // between its parent's listing and its own read.
  std::function<void(std::u16string_view key)> beforeRead;

 private:
  FakeDisk& disk_;
  FakeRegistry& registry_;
};

}  // namespace lss::test
