#pragma once
// Everything the program needs from the operating system, in one bundle.
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/mapi.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/sync.h"
#include "platform/system_messages.h"

namespace lss {

struct Platform {
  Process& process;
  Registry& registry;
  Clock& clock;
  FileSystem& files;
  Shell& shell;
  Sync& sync;
  Mapi& mapi;
  SystemMessages& messages;
  Environment& environment;
};

}  // namespace lss
