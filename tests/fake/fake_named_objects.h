#pragma once
// The named objects of one fake machine, as Windows keeps them: a mutex
// belongs to the thread whose wait took it, counts that thread's waits,
// becomes abandoned when that thread ends still owning it, and disappears
// with its last handle. A name may also belong to another kind of object.
// Names match exactly, case included. Threads are numbers the test chooses;
// a wait on a mutex another thread owns times out at once.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/check_queries.h"
#include "platform/sync.h"

namespace lss::test {

class FakeNamedObjects {
 public:
  static constexpr int kThisThread = 1;

  // CreateMutexW(NULL, FALSE, name), or with `create` false OpenMutexW: 0 when
  // the name is another object's (ERROR_INVALID_HANDLE) or, when not
  // creating, nobody's (ERROR_FILE_NOT_FOUND); *error says which.
  MutexHandle Open(std::u16string_view name, bool create, Status* error = nullptr);
  std::uint32_t Wait(MutexHandle handle);
  bool Release(MutexHandle handle);
  void Close(MutexHandle handle);
  // What CheckQueries::ProbeMutex finds: open, wait 0 ms, give back, close.
  MutexProbe Probe(std::u16string_view name);

  // Another kind of object (an event) with this name, kept until the end.
  void AddOtherObject(std::u16string_view name);
  // Calls now come from `thread`; ending one abandons what it still owns.
  void SwitchTo(int thread) { current_ = thread; }
  void EndThread(int thread);

 private:
  struct Object {
    bool mutex = true;
    int owner = 0;  // 0: nobody
    int count = 0;
    bool abandoned = false;
    int handles = 0;
  };

  std::map<std::u16string, Object> objects_;
  std::map<MutexHandle, std::u16string> handles_;
  MutexHandle next_ = 0x4240;
  int current_ = kThisThread;
};

}  // namespace lss::test
