#include "app/win_app.h"

#include "diag/exceptions.h"

namespace lss {

int AppMain(CWinApp& app, Platform& platform) noexcept {
  try {
    app.AttachPlatform(platform);
    if (!app.InitInstance()) {
      app.ExitInstance();
    }
  } catch (CException* exception) {  // NOLINT(cert-err09-cpp,cert-err61-cpp): thrown by pointer
    // Framework exceptions travel as pointers; whoever catches one disposes of it.
    if (exception != nullptr) exception->Delete();
  } catch (...) {
    // An unattended run has nobody to tell; the log already holds what it could.
  }
  return 0;
}

}  // namespace lss
