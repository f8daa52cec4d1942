#include "platform/win32/win32_check_platform.h"

namespace lss {

Win32CheckPlatform::Win32CheckPlatform()
    : bundle_{queries_, tasks_, eventLog_, process_, registry_, clock_, messages_,
              files_,   environment_} {}

}  // namespace lss
