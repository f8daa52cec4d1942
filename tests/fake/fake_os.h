#pragma once
// Scripted stand-ins for the process, the shell, the named mutex and MAPI.
// Each records its calls in the shared journal.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "fake/call_journal.h"
#include "fake/fake_named_objects.h"
#include "platform/mapi.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "platform/sync.h"

namespace lss::test {

class FakeProcess : public Process {
 public:
  explicit FakeProcess(CallJournal& journal) : journal_(journal) {}
  std::vector<std::u16string> Arguments() override { return arguments; }
  HResult ComInitialize() override {
    ++comDepth;
    journal_.Add("CoInitialize");
    return 0;
  }
  void ComUninitialize() override {
    --comDepth;
    journal_.Add("CoUninitialize");
  }

  std::vector<std::u16string> arguments{u"LSScheduler.exe"};
  int comDepth = 0;

 private:
  CallJournal& journal_;
};

class FakeShell : public Shell {
 public:
  explicit FakeShell(CallJournal& journal) : journal_(journal) {}
  std::intptr_t Execute(std::u16string_view file, std::u16string_view parameters) override {
    journal_.Add("ShellExecute " + Narrow(file) + " [" + Narrow(parameters) + "]");
    return result;
  }

  std::intptr_t result = 42;

 private:
  CallJournal& journal_;
};

// The mutexes are the machine's named objects; a test may script the
// results of successive waits instead.
class FakeSync : public Sync {
 public:
  FakeSync(CallJournal& journal, FakeNamedObjects& objects)
      : journal_(journal), objects_(objects) {}
  MutexHandle OpenNamedMutex(std::u16string_view name) override;
  std::uint32_t WaitForMutex(MutexHandle mutex, std::uint32_t milliseconds) override;
  bool ReleaseHeldMutex(MutexHandle mutex) override {
    journal_.Add("ReleaseMutex");
    held = false;
    return objects_.Release(mutex);
  }
  void CloseMutex(MutexHandle mutex) override {
    --openHandles;
    journal_.Add("CloseMutex");
    objects_.Close(mutex);
  }

  bool failCreate = false;
  // Results of successive waits; when empty, the named objects answer.
  std::deque<std::uint32_t> waitResults;
  bool held = false;
  int openHandles = 0;

 private:
  CallJournal& journal_;
  FakeNamedObjects& objects_;
};

// Its one session is itself.
class FakeMapi : public Mapi, public MapiSession {
 public:
  explicit FakeMapi(CallJournal& journal) : journal_(journal) {}
  HResult Initialize(const MapiInit* init) override;
  HResult LogonEx(std::uintptr_t uiParam, const char16_t* profile, const char16_t* password,
                  std::uint32_t flags, MapiSession** session) override;
  void Uninitialize() override { journal_.Add("MAPIUninitialize"); }
  HResult Logoff(std::uintptr_t uiParam, std::uint32_t flags, std::uint32_t reserved) override;
  std::uint32_t Release() override {
    journal_.Add("Release");
    return static_cast<std::uint32_t>(--liveSessions);
  }

  std::deque<HResult> initializeResults;  // successive results; 0 when empty
  HResult logonResult = 0;
  HResult logoffResult = 0;
  int liveSessions = 0;

 private:
  CallJournal& journal_;
};

}  // namespace lss::test
