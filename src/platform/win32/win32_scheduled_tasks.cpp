#include "platform/win32/win32_scheduled_tasks.h"

#include <windows.h>
#include <oleauto.h>
#include <taskschd.h>

#include <string>

#include "platform/win32/com_owner.h"
#include "platform/win32/wide_text.h"

namespace lss {
namespace {

// HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND): how a missing folder may be reported.
constexpr HResult kPathNotFound = static_cast<HResult>(0x80070003);

// The apartment of one ReadTask call. A thread already in a multithreaded
// apartment (RPC_E_CHANGED_MODE) is left as it is and used as it is.
class ComApartment {
 public:
  ComApartment() : entered_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (entered_) ::CoUninitialize();  // S_FALSE counts too: every success is balanced
  }

 private:
  bool entered_;
};

UniqueBstr MakeBstr(std::u16string_view text) {
  const std::wstring wide = ToWide(text);
  return UniqueBstr(::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

// A null BSTR is the empty text, and what a stub leaves behind.
std::u16string FromBstr(const UniqueBstr& text) {
  return text ? FromWide(text.get(), ::SysStringLen(text.get())) : std::u16string();
}

// The service's DATE values are local time. Only S_OK carries one:
// SCHED_S_TASK_HAS_NOT_RUN is a success code with no time, and 0 is "never".
std::optional<LocalTime> FromDate(HRESULT result, DATE date) {
  SYSTEMTIME time{};
  if (result != S_OK || date == 0 || !::VariantTimeToSystemTime(date, &time)) return std::nullopt;
  return LocalTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

// "\Folder\Name" is "Name" in "\Folder"; "Name" and "\Name" are in the root.
void SplitPath(std::u16string_view path, std::u16string* folder, std::u16string* name) {
  const std::size_t last = path.rfind(u'\\');
  if (last == std::u16string_view::npos) {
    *folder = u"\\";
    *name = path;
    return;
  }
  *folder = last == 0 ? std::u16string(u"\\") : std::u16string(path.substr(0, last));
  *name = path.substr(last + 1);
}

void ReadPrincipal(ITaskDefinition& definition, TaskInfo* task) {
  ComOwner<IPrincipal> principal;
  if (FAILED(definition.get_Principal(principal.put())) || !principal) return;
  UniqueBstr user;
  UniqueBstr group;
  TASK_LOGON_TYPE logon = TASK_LOGON_NONE;
  if (SUCCEEDED(principal.get()->get_UserId(user.put()))) task->userId = FromBstr(user);
  if (SUCCEEDED(principal.get()->get_GroupId(group.put()))) task->groupId = FromBstr(group);
  if (SUCCEEDED(principal.get()->get_LogonType(&logon))) {
    task->logonType = static_cast<TaskLogonType>(logon);
  }
}

void ReadExecActions(ITaskDefinition& definition, TaskInfo* task) {
  ComOwner<IActionCollection> actions;
  if (FAILED(definition.get_Actions(actions.put())) || !actions) return;
  LONG count = 0;  // a stub may succeed without setting it
  if (FAILED(actions.get()->get_Count(&count))) return;
  for (LONG index = 1; index <= count; ++index) {  // the collection counts from 1
    ComOwner<IAction> action;
    TASK_ACTION_TYPE type = TASK_ACTION_EXEC;
    if (FAILED(actions.get()->get_Item(index, action.put())) || !action ||
        FAILED(action.get()->get_Type(&type)) || type != TASK_ACTION_EXEC) {
      continue;
    }
    ComOwner<IExecAction> exec;
    if (FAILED(
            action.get()->QueryInterface(IID_IExecAction, reinterpret_cast<void**>(exec.put())))) {
      continue;
    }
    UniqueBstr program;
    UniqueBstr arguments;
    exec.get()->get_Path(program.put());
    exec.get()->get_Arguments(arguments.put());
    task->execActions.push_back(TaskExecAction{FromBstr(program), FromBstr(arguments)});
  }
}

}  // namespace

HResult Win32ScheduledTasks::ReadTask(std::u16string_view path, TaskInfo* task) {
  const ComApartment apartment;
  ComOwner<ITaskService> service;
  HRESULT result = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_ITaskService, reinterpret_cast<void**>(service.put()));
  if (FAILED(result)) return result;
  VARIANT local;  // VT_EMPTY for each: this machine, the caller's account
  ::VariantInit(&local);
  result = service.get()->Connect(local, local, local, local);
  if (FAILED(result)) return result;

  std::u16string folderPath;
  std::u16string name;
  SplitPath(path, &folderPath, &name);
  ComOwner<ITaskFolder> folder;
  result = service.get()->GetFolder(MakeBstr(folderPath).get(), folder.put());
  if (result == kPathNotFound) return task_result::kNotFound;
  if (FAILED(result)) return result;
  if (!folder) return E_POINTER;
  ComOwner<IRegisteredTask> registered;
  result = folder.get()->GetTask(MakeBstr(name).get(), registered.put());
  // A name with '/' in it names a task in a folder, which may be missing.
  if (result == kPathNotFound) return task_result::kNotFound;
  if (FAILED(result)) return result;
  if (!registered) return E_POINTER;

  TaskInfo read;
  VARIANT_BOOL enabled = VARIANT_TRUE;
  result = registered.get()->get_Enabled(&enabled);
  if (FAILED(result)) return result;
  read.enabled = enabled != VARIANT_FALSE;
  ComOwner<ITaskDefinition> definition;
  result = registered.get()->get_Definition(definition.put());
  if (FAILED(result)) return result;
  if (!definition) return E_POINTER;
  ReadPrincipal(*definition.get(), &read);
  ReadExecActions(*definition.get(), &read);

  DATE date = 0;
  result = registered.get()->get_LastRunTime(&date);
  read.lastRun = FromDate(result, date);
  LONG lastResult = 0;
  if (registered.get()->get_LastTaskResult(&lastResult) == S_OK) read.lastResult = lastResult;
  date = 0;
  result = registered.get()->get_NextRunTime(&date);
  read.nextRun = FromDate(result, date);
  UniqueBstr xml;
  if (SUCCEEDED(registered.get()->get_Xml(xml.put()))) read.xml = FromBstr(xml);
  *task = std::move(read);
  return 0;
}

}  // namespace lss
