#pragma once
// One fake of everything the program needs from the OS, sharing one journal.
#include <memory>

#include "fake/call_journal.h"
#include "fake/fake_clock.h"
#include "fake/fake_file_system.h"
#include "fake/fake_os.h"
#include "fake/fake_registry.h"
#include "fake/fake_system_messages.h"
#include "platform/platform.h"

namespace lss::test {

// Passes the log's file calls and the sleeps through to the fakes and notes
// them in the journal, so tests can check their place in the sequence.
class JournalingFiles : public FileSystem {
 public:
  JournalingFiles(FakeFileSystem& files, CallJournal& journal) : files_(files), journal_(journal) {}
  bool Exists(std::u16string_view path) override { return files_.Exists(path); }
  bool IsReadOnly(std::u16string_view path) override { return files_.IsReadOnly(path); }
  std::unique_ptr<File> Create(std::u16string_view path) override {
    journal_.Add("CreateFile " + Narrow(path));
    return files_.Create(path);
  }
  std::unique_ptr<File> OpenExisting(std::u16string_view path) override {
    journal_.Add("OpenFile " + Narrow(path));
    return files_.OpenExisting(path);
  }

 private:
  FakeFileSystem& files_;
  CallJournal& journal_;
};

class JournalingClock : public Clock {
 public:
  JournalingClock(FakeClock& clock, CallJournal& journal) : clock_(clock), journal_(journal) {}
  std::int64_t Now() override { return clock_.Now(); }
  bool ToLocal(std::int64_t seconds, LocalTime* out) override { return clock_.ToLocal(seconds, out); }
  void Sleep(std::uint32_t milliseconds) override {
    journal_.Add("Sleep " + std::to_string(milliseconds));
    clock_.Sleep(milliseconds);
  }

 private:
  FakeClock& clock_;
  CallJournal& journal_;
};

struct FakePlatform {
  CallJournal journal;
  FakeProcess process{journal};
  FakeRegistry registry{&journal};
  FakeClock clock{LocalTime{2026, 12, 6, 16, 45, 9}};
  FakeFileSystem files;
  FakeShell shell{journal};
  FakeSync sync{journal};
  FakeMapi mapi{journal};
  FakeSystemMessages messages;
  JournalingFiles journalingFiles{files, journal};
  JournalingClock journalingClock{clock, journal};

  Platform bundle{process, registry, journalingClock, journalingFiles, shell, sync, mapi, messages};
};

}  // namespace lss::test
