#pragma once
// Stand-ins for the check tool's own queries, the task query and the event
// write. Files and folders are named as on Windows (fake_paths.h). Like
// Win32, a file can be created only inside a known folder, a read-only file
// can be neither replaced nor deleted, and the names of programs,
// environment variables, tasks and registry keys match without regard to case.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "fake/fake_named_objects.h"
#include "platform/check_queries.h"
#include "platform/event_log.h"
#include "platform/scheduled_tasks.h"

namespace lss::test {

class FakeCheckQueries final : public CheckQueries {
 public:
  bool IsFile(std::u16string_view path) override;
  bool IsFolder(std::u16string_view path) override;
  std::vector<Listed> ListFiles(std::u16string_view folder, std::u16string_view pattern) override;
  std::optional<Tail> ReadTail(std::u16string_view path, std::size_t maxBytes) override;
  std::optional<std::string> ReadHead(std::u16string_view path, std::size_t maxBytes) override;
  std::optional<std::u16string> FileVersion(std::u16string_view path) override;
  Status CreateEmptyFile(std::u16string_view path) override;
  Status RemoveFile(std::u16string_view path) override;
  Status CreateFolder(std::u16string_view path) override;
  Status RemoveFolder(std::u16string_view path) override;
  std::u16string SystemDirectory() override { return systemDirectory; }
  std::u16string ProgramPath() override { return programPath; }
  std::u16string ComputerName() override { return computerName; }
  std::u16string UserName() override { return userName; }
  std::u16string ExpandEnvironment(std::u16string_view text) override;
  std::vector<std::u16string> SplitArguments(std::u16string_view arguments) override;
  bool IsProgramRunning(std::u16string_view imageName) override;
  MutexProbe ProbeMutex(std::u16string_view name) override;
  std::optional<std::u16string> ReadMachineText(RegistryView view, std::u16string_view key,
                                                std::u16string_view name) override;

  void AddFolder(std::u16string_view path);
  void AddFile(std::u16string_view path, std::string_view bytes = {}, bool readOnly = false);
  std::optional<std::string> Contents(std::u16string_view path) const;
  // True when a file or folder lies directly inside `folder`.
  bool HasEntries(std::u16string_view folder) const;
  // `key` below HKLM, e.g. u"Software\\Clients\\Mail"; `name` empty for the default value.
  void SetMachineText(RegistryView view, std::u16string_view key, std::u16string_view name,
                      std::u16string_view text);
  void DeleteMachineText(RegistryView view, std::u16string_view key, std::u16string_view name);

  // CreateEmptyFile and CreateFolder, RemoveFile and RemoveFolder fail with
  // ERROR_ACCESS_DENIED.
  void DenyProbeCreate(bool deny) { denyCreate_ = deny; }
  void DenyProbeDelete(bool deny) { denyDelete_ = deny; }

  std::u16string systemDirectory = u"C:\\Windows\\System32";
  std::u16string programPath = u"C:\\Program Files\\Larkspan\\LSSchedulerCheck.exe";
  std::map<std::u16string, std::u16string> environment;  // by upper-case name
  // Image names of this user's other running programs, e.g. u"OUTLOOK.EXE".
  std::vector<std::u16string> runningPrograms;
  // What a look at any mutex finds, unless the looks go to `objects`.
  MutexProbe mutex{MutexState::kMissing, 0};
  FakeNamedObjects* objects = nullptr;
  std::vector<std::u16string> probedMutexes;
  // The largest tail any ReadTail call asked for.
  std::size_t largestTailAsked = 0;
  // The largest head any ReadHead call asked for.
  std::size_t largestHeadAsked = 0;
  std::u16string computerName = u"PC-0417";
  std::u16string userName = u"BRINMOOR\\avery";
  // File versions by path (without regard to case), for files that have one.
  std::map<std::u16string, std::u16string> fileVersions;

 private:
  std::map<std::u16string, std::string>::const_iterator FindFile(std::u16string_view path) const;

  std::map<std::u16string, std::string> files_;  // by the path as first named
  std::set<std::u16string> readOnly_;             // by PathKey
  std::set<std::u16string> folders_;
  std::map<std::tuple<RegistryView, std::u16string, std::u16string>, std::u16string> machine_;
  bool denyCreate_ = false;
  bool denyDelete_ = false;
};

class FakeScheduledTasks final : public ScheduledTasks {
 public:
  HResult ReadTask(std::u16string_view path, TaskInfo* task) override;

  // Registered tasks by path ("Name" or "\Folder\Name").
  void Add(std::u16string_view path, TaskInfo task);
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
                const std::vector<std::u16string>& strings) override;

  struct Event {
    std::u16string source;
    EventType type;
    std::uint32_t id;
    std::vector<std::u16string> strings;
  };
  std::vector<Event> events;
  Status result = 0;  // what every Report answers; an event is kept only on 0
};

}  // namespace lss::test
