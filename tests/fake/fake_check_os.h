#pragma once
// Stand-ins for the check tool's own queries, the task query and the event
// write. They look at a fake machine: its named objects and its clock. The
// names of programs and tasks match without regard to case. Its files and
// registry are the machine's FakeFileSystem and FakeRegistry.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fake/fake_machine.h"
#include "platform/check_queries.h"
#include "platform/event_log.h"
#include "platform/scheduled_tasks.h"

namespace lss::test {

class FakeCheckQueries final : public CheckQueries {
 public:
  explicit FakeCheckQueries(FakeMachine& machine)
      : objects_(machine.objects), clock_(machine.clock) {}

  std::u16string SystemDirectory() override { return systemDirectory; }
  std::u16string ProgramPath() override { return programPath; }
  std::uint16_t NativeMachine() override { return nativeMachine; }
  std::u16string WindowsVersion() override { return windowsVersion; }
  std::u16string ComputerName() override { return computerName; }
  std::u16string UserName() override { return userName; }
  bool IsProgramRunning(std::u16string_view imageName) override;
  MutexProbe ProbeMutex(std::u16string_view name) override;
  // The machine clock's zone, which has no daylight saving time. Like Win32,
  // nothing for a day its month lacks or a year before 1601.
  std::optional<std::int32_t> UtcOffsetMinutes(const LocalTime& local) override {
    if (failUtcOffset || local.year < 1601 || !IsCalendarTime(local)) return std::nullopt;
    return clock_.ZoneOffsetMinutes();
  }

  std::u16string systemDirectory = u"C:\\Windows\\System32";
  std::u16string programPath = u"C:\\Program Files\\Larkspan\\LSSchedulerCheck.exe";
  // Image names of this user's other running programs, e.g. u"OUTLOOK.EXE".
  std::vector<std::u16string> runningPrograms;
  // What a look at any mutex finds when set, e.g. a look that fails, instead
  // of what the machine's named objects show.
  std::optional<MutexProbe> mutex;
  std::u16string computerName = u"PC-0417";
  std::u16string userName = u"BRINMOOR\\avery";
  std::u16string windowsVersion = u"10.0.22631";
  // IMAGE_FILE_MACHINE_*, as IsWow64Process2 gives it: 0xAA64 on an Arm
  // computer, 0 when it cannot be told.
  std::uint16_t nativeMachine = 0x8664;
  // UtcOffsetMinutes finds no offset, as for a time zone it cannot read.
  bool failUtcOffset = false;

 private:
  FakeNamedObjects& objects_;
  FakeClock& clock_;
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
  Status Report(std::u16string_view source, EventType type, std::uint32_t eventId, EventUser user,
                const std::vector<std::u16string>& strings) override {
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

}  // namespace lss::test
