// The contract tables' machine in the unit tests: the fakes, set up as a
// machine of the tests' time zone with a scratch folder.
#include <memory>

#include "contract/contract_machine.h"
#include "fake/call_journal.h"
#include "fake/fake_check_os.h"
#include "fake/fake_clock.h"
#include "fake/fake_file_system.h"
#include "fake/fake_named_objects.h"
#include "fake/fake_os.h"
#include "fake/fake_registry.h"

namespace lss::contract {
namespace {

class FakeContractMachine final : public ContractMachine {
 public:
  FakeContractMachine() {
    files_.AddFolder(kFolder);
    queries_.AddFolder(kFolder);
    sync_.objects = &objects_;
    queries_.objects = &objects_;
    clock_.SetZoneOffset(330);
  }

  Registry& registry() override { return registry_; }
  FileSystem& files() override { return files_; }
  CheckQueries& queries() override { return queries_; }
  Sync& sync() override { return sync_; }
  Clock& clock() override { return clock_; }

  std::u16string Folder() override { return std::u16string(kFolder); }
  void PutFolder(std::u16string_view name) override {
    files_.AddFolder(Path(name));
    queries_.AddFolder(Path(name));
  }
  void PutFile(std::u16string_view name, std::string_view bytes, bool readOnly) override {
    files_.AddFile(Path(name), bytes, readOnly);
    queries_.AddFile(Path(name), bytes, readOnly);
  }
  std::optional<std::string> Contents(std::u16string_view path) override {
    return files_.Contents(path);
  }
  void PutMachineText(RegistryView view, std::u16string_view key, std::u16string_view name,
                      std::u16string_view text) override {
    queries_.SetMachineText(view, key, name, text);
  }

  void RunOnOtherThread(const std::function<void()>& step) override {
    const int thread = ++lastThread_;
    objects_.SwitchTo(thread);
    step();
    objects_.EndThread(thread);
    objects_.SwitchTo(test::FakeNamedObjects::kThisThread);
  }
  void HoldOnOtherThread(std::u16string_view name) override {
    objects_.SwitchTo(++lastThread_);  // a thread that never ends
    objects_.Wait(objects_.Open(name, true));
    objects_.SwitchTo(test::FakeNamedObjects::kThisThread);
  }
  void PutOtherObject(std::u16string_view name) override { objects_.AddOtherObject(name); }

 private:
  static constexpr std::u16string_view kFolder = u"C:\\Contract";
  static std::u16string Path(std::u16string_view name) {
    return std::u16string(kFolder) + u"\\" + std::u16string(name);
  }

  test::CallJournal journal_;
  test::FakeRegistry registry_;
  test::FakeFileSystem files_;
  test::FakeCheckQueries queries_;
  test::FakeNamedObjects objects_;
  test::FakeSync sync_{journal_};
  test::FakeClock clock_;
  int lastThread_ = test::FakeNamedObjects::kThisThread;
};

}  // namespace

std::unique_ptr<ContractMachine> MakeContractMachine() {
  return std::make_unique<FakeContractMachine>();
}

bool OnWine() { return false; }

}  // namespace lss::contract
