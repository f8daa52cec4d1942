#pragma once
// The support bundle's files and reads, each passed to the Win32 call that
// does it.
#include "platform/collect_queries.h"

namespace lss {

class Win32CollectQueries final : public CollectQueries {
 public:
  Win32CollectQueries() = default;

  PathKind Look(std::u16string_view path) override;
  Status CreateFolders(std::u16string_view path) override;
  Status WriteNewFile(std::u16string_view path, std::string_view bytes) override;
  Status ReadUserKey(std::u16string_view key, RegistryKeyRead* read) override;
  std::u16string WindowsVersion() override;
};

}  // namespace lss
