// A GUI program that does nothing, built like LSScheduler.exe: the baseline
// of the start-up benchmark.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
