// Does nothing for the number of milliseconds its argument gives (at most a
// minute), so that tests can see a program of a chosen name running.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  const unsigned long milliseconds = std::wcstoul(argv[1], nullptr, 10);
  ::Sleep(milliseconds < 60000 ? milliseconds : 60000);
  return 0;
}
