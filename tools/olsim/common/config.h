#pragma once
// olsim's own settings under HKCU\Software\Olsim, read once by each part at its start.
#include <windows.h>

#include <string>
#include <vector>

namespace olsim {

struct Config {
  std::wstring journalPath;  // empty: no journal
  DWORD stayMilliseconds = 60000;
  DWORD syncDelayMilliseconds = 0;
  DWORD syncMilliseconds = 0;  // 0: the add-in never takes LSSyncMutex
  bool abandonMutex = false;
  DWORD setAutoRunExit = 0;  // 0: AutoRunExit is left alone
  std::vector<HRESULT> initResults;  // for successive MAPIInitialize calls
  HRESULT logonResult = S_OK;
  HRESULT logoffResult = S_OK;
};

Config ReadConfig();

// "0x80004005, 5,-1" -> {0x80004005, 5, 0xFFFFFFFF}. Hex with 0x, otherwise
// decimal; blanks around items are ignored; an item that does not parse reads as 0.
std::vector<HRESULT> ParseResultList(const std::wstring& text);

}  // namespace olsim
