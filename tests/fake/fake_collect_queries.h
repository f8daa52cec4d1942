#pragma once
// A stand-in for the support bundle's files and reads, on the machine's disk
// and registry: what it writes the other fakes see, and what they hold it
// reads.
#include <string>

#include "fake/fake_disk.h"
#include "fake/fake_registry.h"
#include "platform/collect_queries.h"

namespace lss::test {

class FakeCollectQueries final : public CollectQueries {
 public:
  FakeCollectQueries(FakeDisk& disk, FakeRegistry& registry) : disk_(disk), registry_(registry) {}

  PathKind Look(std::u16string_view path) override;
  Status CreateFolders(std::u16string_view path) override;
  Status WriteNewFile(std::u16string_view path, std::string_view bytes) override;
  Status ReadUserKey(std::u16string_view key, RegistryKeyRead* read) override;
  std::u16string WindowsVersion() override { return windowsVersion; }

  std::u16string windowsVersion = u"10.0.22631";
  // A path that Look cannot examine (kUnknown).
  std::u16string unexaminable;
  // Writing a file whose name ends with `failingName` fails with this error
  // (e.g. ERROR_DISK_FULL) and leaves no file.
  std::u16string failingName;
  Status writeFailure = 0;
  // What CreateFolders answers when not 0.
  Status createFailure = 0;
  int writes = 0;  // WriteNewFile calls, failed ones included

 private:
  FakeDisk& disk_;
  FakeRegistry& registry_;
};

}  // namespace lss::test
