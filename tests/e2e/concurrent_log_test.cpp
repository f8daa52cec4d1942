// Two processes writing to the same run log file at the same time lose and
// garble none of each other's entries.
#include <windows.h>

#include <cstdio>

#include "handles/win32_handles.h"
#include "harness/scheduler_test.h"

namespace e2e {
namespace {

constexpr int kEntriesPerWriter = 5000;
// Fewer means the writers hardly overlapped, and the run showed nothing.
constexpr int kLeastWriterSwitches = 20;
constexpr char kStamp[] = "06-12-26 16:45:09:";  // the writers' stopped clock
constexpr wchar_t kFileName[] = L"Scheduler061226164509.log";
constexpr wchar_t kGoEvent[] = L"LssE2eLogWritersGo";
constexpr wchar_t kReadySemaphore[] = L"LssE2eLogWritersGoReady";  // the writers' "I wait"

std::string EntryText(char label, int number) {
  char text[32];
  std::snprintf(text, sizeof(text), "writer %c entry %04d ", label, number);
  return text + std::string(100, label);
}

class ConcurrentLog : public SchedulerTest {};

TEST_F(ConcurrentLog, TwoWritersOfOneFileLoseAndGarbleNoEntry) {
  const std::wstring writer = PathFromEnvironment(L"LSS_LOG_WRITER");
  MakeFreshFolder(LogFolder());
  // The gate both writers wait at: it opens once both wait there.
  const lss::UniqueHandle go(::CreateEventW(nullptr, TRUE, FALSE, kGoEvent));
  const lss::UniqueHandle ready(::CreateSemaphoreW(nullptr, 0, 2, kReadySemaphore));
  ASSERT_TRUE(go && ready);
  const std::wstring count = std::to_wstring(kEntriesPerWriter);
  ChildProcess a(writer, L"\"" + LogFolder() + L"\" A " + count + L" " + kGoEvent);
  ChildProcess b(writer, L"\"" + LogFolder() + L"\" B " + count + L" " + kGoEvent);
  for (int waiting = 0; waiting < 2; ++waiting) {
    ASSERT_EQ(::WaitForSingleObject(ready.get(), 60000), WAIT_OBJECT_0);
  }
  ASSERT_TRUE(::SetEvent(go.get()));
  EXPECT_EQ(a.Wait(90s).exitCode, 0u);
  EXPECT_EQ(b.Wait(90s).exitCode, 0u);

  ASSERT_THAT(FileNamesIn(LogFolder()), ::testing::ElementsAre(kFileName));
  const ParsedLog log = ParseLog(ReadFileBytes(LogFolder() + L"\\" + kFileName));
  EXPECT_THAT(log.problems, ::testing::IsEmpty());

  // Every line is one whole entry of one writer, each entry is there once,
  // and each writer's entries keep their order.
  int next[2] = {1, 1};
  int switches = 0;
  char last = 0;
  for (const LogEntry& entry : log.entries) {
    ASSERT_EQ(entry.stamp, kStamp) << entry.text;
    ASSERT_GE(entry.text.size(), 8u) << entry.text;
    const char label = entry.text[7];
    ASSERT_TRUE(label == 'A' || label == 'B') << "garbled: " << entry.text;
    int& expected = next[label - 'A'];
    ASSERT_EQ(entry.text, EntryText(label, expected))
        << "after " << expected - 1 << " intact entries of writer " << label;
    ++expected;
    if (last != 0 && label != last) ++switches;
    last = label;
  }
  EXPECT_EQ(next[0] - 1, kEntriesPerWriter) << "entries of writer A";
  EXPECT_EQ(next[1] - 1, kEntriesPerWriter) << "entries of writer B";
  RecordProperty("WriterSwitches", switches);  // how much the two really overlapped
  EXPECT_GE(switches, kLeastWriterSwitches) << "the writers took turns too seldom to show a race";
}

}  // namespace
}  // namespace e2e
