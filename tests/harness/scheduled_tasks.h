#pragma once
// Tasks registered through schtasks.exe, as an administrator would, for the
// tests that read them back. Wine's task service keeps only part of a
// definition (no triggers, an empty action) and runs nothing.
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// The deployment kit's task template (LSS_TASK_TEMPLATE) in `folder`\task.xml,
// returned. Disabled: its settings' <Enabled>, the last one (a trigger's comes
// first), set false. A non-empty `author` replaces the template's <Author>.
std::wstring WriteTaskTemplate(const std::wstring& folder, bool disabled = false,
                               std::wstring_view author = {});

struct ExecAction {
  std::wstring command;
  std::wstring arguments;
};

// The Exec actions of a task definition file, in their order, as Windows'
// XmlLite parser reads them (Wine's task service drops them). Throws when the
// file cannot be parsed.
std::vector<ExecAction> ReadExecActions(const std::wstring& xmlPath);

// A task registered with `schtasks /Create /XML xml /TN name /F` for the life
// of the object, and deleted again by its destructor (or earlier by Delete).
// Throws when schtasks refuses it. `folder` takes schtasks' output.
class RegisteredTask {
 public:
  RegisteredTask(std::wstring_view xmlPath, std::wstring name, std::wstring folder);
  RegisteredTask(const RegisteredTask&) = delete;
  RegisteredTask& operator=(const RegisteredTask&) = delete;
  ~RegisteredTask();

  // schtasks /Delete /TN name /F; throws when it fails.
  void Delete();

 private:
  std::wstring name_;
  std::wstring folder_;
  bool registered_ = false;
};

}  // namespace e2e
