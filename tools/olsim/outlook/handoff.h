#pragma once
// What LSScheduler leaves in the registry for the add-in, as OUTLOOK.EXE finds it at start.
#include "common/journal.h"

namespace olsim {

// Journals the `handoff` event: TaskName, TaskRun, AutoRunExit, BlockToolbarLoad
// and whether the add-in loads its toolbar.
void JournalHandoff(const Journal& journal);

}  // namespace olsim
