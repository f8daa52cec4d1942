#pragma once
// A clock that stands still until told otherwise. Local time is the calendar
// time of Now() in a zone of fixed offset from UTC (none unless told), so
// SetLocalTime and ToLocal round-trip exactly. Like Win32, only times from
// 1601 on can be converted.
#include <cstdint>
#include <vector>

#include "diag/time_stamp.h"
#include "fake/call_journal.h"
#include "platform/clock.h"

namespace lss::test {

class FakeClock final : public Clock {
 public:
  FakeClock() = default;
  // With a journal, each sleep is also noted there, in order with the other fakes' calls.
  explicit FakeClock(const LocalTime& time, CallJournal* journal = nullptr) : journal_(journal) {
    SetLocalTime(time);
  }

  std::int64_t Now() override { return milliseconds_ / 1000; }
  bool ToLocal(std::int64_t seconds, LocalTime* out) override {
    ++toLocalCalls_;
    // What a FILETIME can hold: 100 ns ticks from 1601 up to the largest signed 64-bit count.
    constexpr std::int64_t kFrom1601 = 11'644'473'600;
    if (failToLocal_ || seconds < -kFrom1601 || seconds > INT64_MAX / 10'000'000 - kFrom1601) {
      return false;
    }
    *out = CalendarTime(seconds + zoneSeconds_ + Epoch());
    return true;
  }
  // Advances the clock instead of blocking.
  void Sleep(std::uint32_t milliseconds) override {
    if (journal_ != nullptr) journal_->Add("Sleep " + std::to_string(milliseconds));
    sleeps_.push_back(milliseconds);
    milliseconds_ += milliseconds;
  }

  void SetNow(std::int64_t seconds) { milliseconds_ = seconds * 1000; }
  void SetLocalTime(const LocalTime& time) { SetNow(LinearSeconds(time) - Epoch() - zoneSeconds_); }
  // While set, ToLocal reports that the time cannot be converted.
  void FailToLocal(bool fail) { failToLocal_ = fail; }
  // Local time is UTC plus this many minutes, all year round.
  void SetZoneOffset(int minutes) { zoneSeconds_ = minutes * 60; }
  int ZoneOffsetMinutes() const { return static_cast<int>(zoneSeconds_ / 60); }

  const std::vector<std::uint32_t>& sleeps() const { return sleeps_; }
  int toLocalCalls() const { return toLocalCalls_; }

 private:
  // 1970-01-01 on the calendar's linear scale.
  static std::int64_t Epoch() { return LinearSeconds(LocalTime{1970, 1, 1, 0, 0, 0}); }

  CallJournal* journal_ = nullptr;
  std::int64_t milliseconds_ = 0;
  std::int64_t zoneSeconds_ = 0;
  bool failToLocal_ = false;
  int toLocalCalls_ = 0;
  std::vector<std::uint32_t> sleeps_;
};

}  // namespace lss::test
