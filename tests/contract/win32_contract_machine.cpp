// The contract tables' machine under Wine: the Win32 layer itself, with a
// scratch folder, scratch registry keys and helper threads that are cleared
// when the machine is made and when it goes.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "contract/contract_machine.h"
#include "handles/win32_handles.h"
#include "harness/scratch_files.h"
#include "harness/test_registry.h"
#include "platform/win32/win32_check_file_system.h"
#include "platform/win32/win32_check_queries.h"
#include "platform/win32/win32_check_registry.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_sync.h"

namespace lss::contract {
namespace {

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
std::u16string U16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

const std::wstring kFolder = L"C:\\lss_contract";

void ClearScratchKeys() {
  const std::wstring key = Wide(kScratchKey);
  e2e::DeleteKeyTree(HKEY_CURRENT_USER, key);
  e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, key);
  e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, L"Software\\WOW6432Node\\" + key.substr(9));
}

class Win32ContractMachine final : public ContractMachine {
 public:
  Win32ContractMachine() {
    ClearScratchKeys();
    e2e::MakeFreshFolder(kFolder);
  }
  ~Win32ContractMachine() override {
    ::SetEvent(done_.get());
    for (std::thread& holder : holders_) holder.join();
    ClearScratchKeys();
    e2e::RemoveTree(kFolder);
  }

  Registry& registry() override { return registry_; }
  FileSystem& files() override { return files_; }
  CheckQueries& queries() override { return queries_; }
  Sync& sync() override { return sync_; }
  Clock& clock() override { return clock_; }

  std::u16string Folder() override { return U16(kFolder); }
  void PutFolder(std::u16string_view name) override {
    ::CreateDirectoryW((kFolder + L"\\" + Wide(name)).c_str(), nullptr);
  }
  void PutFile(std::u16string_view name, std::string_view bytes, bool readOnly) override {
    const std::wstring path = kFolder + L"\\" + Wide(name);
    e2e::WriteFileBytes(path, bytes);
    if (readOnly) e2e::SetReadOnly(path);
  }
  void RunOnOtherThread(const std::function<void()>& step) override { std::thread(step).join(); }
  void HoldOnOtherThread(std::u16string_view name) override {
    const UniqueHandle owned(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    holders_.emplace_back([name = Wide(name), owned = owned.get(), done = done_.get()] {
      const UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, name.c_str()));
      ::WaitForSingleObject(mutex.get(), INFINITE);
      ::SetEvent(owned);
      ::WaitForSingleObject(done, INFINITE);
      ::ReleaseMutex(mutex.get());
    });
    ::WaitForSingleObject(owned.get(), INFINITE);
  }
  void PutOtherObject(std::u16string_view name) override {
    others_.emplace_back(::CreateEventW(nullptr, TRUE, FALSE, Wide(name).c_str()));
  }
  std::vector<std::u16string> SplitCommandLine(std::u16string_view line) override {
    int count = 0;
    const LocalMemory<LPWSTR> split(::CommandLineToArgvW(Wide(line).c_str(), &count));
    std::vector<std::u16string> arguments;
    for (int i = 0; split && i < count; ++i) arguments.push_back(U16(split.get()[i]));
    return arguments;
  }

 private:
  Win32CheckRegistry registry_;
  Win32CheckFileSystem files_;
  Win32CheckQueries queries_;
  Win32Sync sync_;
  Win32Clock clock_;
  UniqueHandle done_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::vector<std::thread> holders_;
  std::vector<UniqueHandle> others_;
};

}  // namespace

std::unique_ptr<ContractMachine> MakeContractMachine() {
  return std::make_unique<Win32ContractMachine>();
}

bool OnWine() {
  // Wine's ntdll exports its version; Windows' does not.
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace lss::contract
