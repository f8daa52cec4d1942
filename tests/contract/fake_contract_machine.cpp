// The contract tables' machine in the unit tests: the fakes on one fake
// machine, set up as a machine of the tests' time zone with a scratch folder.
#include <memory>

#include "contract/contract_machine.h"
#include "diag/command_line_split.h"
#include "fake/fake_check_os.h"
#include "fake/fake_file_system.h"
#include "fake/fake_machine.h"
#include "fake/fake_os.h"

namespace lss::contract {
namespace {

class FakeContractMachine final : public ContractMachine {
 public:
  FakeContractMachine() {
    machine_.disk.AddFolder(kFolder);
    machine_.clock.SetZoneOffset(330);
  }

  Registry& registry() override { return machine_.registry; }
  FileSystem& files() override { return files_; }
  CheckQueries& queries() override { return queries_; }
  Sync& sync() override { return sync_; }
  Clock& clock() override { return machine_.clock; }

  std::u16string Folder() override { return std::u16string(kFolder); }
  void PutFolder(std::u16string_view name) override { machine_.disk.AddFolder(Path(name)); }
  void PutFile(std::u16string_view name, std::string_view bytes, bool readOnly) override {
    machine_.disk.AddFile(Path(name), bytes, readOnly);
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
  std::vector<std::u16string> SplitCommandLine(std::u16string_view line) override {
    return lss::SplitCommandLine(line);
  }

 private:
  static constexpr std::u16string_view kFolder = u"C:\\Contract";
  static std::u16string Path(std::u16string_view name) {
    return std::u16string(kFolder) + u"\\" + std::u16string(name);
  }

  test::FakeMachine machine_;
  test::FakeNamedObjects& objects_ = machine_.objects;
  test::FakeFileSystem files_{machine_.disk};
  test::FakeCheckQueries queries_{machine_};
  test::FakeSync sync_{machine_.journal, objects_};
  int lastThread_ = test::FakeNamedObjects::kThisThread;
};

}  // namespace

std::unique_ptr<ContractMachine> MakeContractMachine() {
  return std::make_unique<FakeContractMachine>();
}

bool OnWine() { return false; }

}  // namespace lss::contract
