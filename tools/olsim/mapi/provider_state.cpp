#include "mapi/provider_state.h"

namespace olsim {

const Config& ProviderConfig() {
  // Read on first use, not in DllMain, where the registry is off limits.
  static const Config config = ReadConfig();
  return config;
}

const Journal& ProviderJournal() {
  static const Journal journal(ProviderConfig().journalPath, "mapi");
  return journal;
}

}  // namespace olsim
