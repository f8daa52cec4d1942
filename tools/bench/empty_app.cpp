// A GUI program that does nothing, built like LSScheduler.exe: the baseline
// of the start-up benchmark. Built a second time with LSS_EMPTY_APP_WITH_COM,
// it only initialises COM, which every start of LSScheduler.exe must do.
#include <windows.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
#ifdef LSS_EMPTY_APP_WITH_COM
  ::CoInitialize(nullptr);
  ::CoUninitialize();
#endif
  return 0;
}
