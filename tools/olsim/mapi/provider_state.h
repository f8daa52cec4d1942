#pragma once
// What the provider keeps per process: its settings, read at the first call,
// and its journal.
#include "common/config.h"
#include "common/journal.h"

namespace olsim {

const Config& ProviderConfig();
const Journal& ProviderJournal();

}  // namespace olsim
