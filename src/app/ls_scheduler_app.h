#pragma once
// The application object: its start-up step performs one whole scheduled run.
#include "app/win_app.h"

namespace lss {

class CLSSchedulerApp : public CWinApp {
 public:
  CLSSchedulerApp();
  ~CLSSchedulerApp() override;

  bool InitInstance() override;
};

}  // namespace lss
