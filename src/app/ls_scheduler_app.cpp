#include "app/ls_scheduler_app.h"

namespace lss {

CLSSchedulerApp::CLSSchedulerApp() : CWinApp(u"Larkspan") {}
CLSSchedulerApp::~CLSSchedulerApp() = default;

bool CLSSchedulerApp::InitInstance() { return false; }

}  // namespace lss
