#include "app/win_app.h"

namespace lss {

int AppMain(CWinApp& app, Platform& platform) noexcept {
  try {
    app.AttachPlatform(platform);
    if (!app.InitInstance()) {
      app.ExitInstance();
    }
  } catch (...) {
    // An unattended run has nobody to tell; the log already holds what it could.
  }
  return 0;
}

}  // namespace lss
