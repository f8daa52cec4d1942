#include "platform/win32/win32_platform.h"

namespace lss {

Win32Platform::Win32Platform()
    : bundle_{process_, registry_, clock_, files_, shell_, sync_, mapi_, messages_, environment_} {}

}  // namespace lss
