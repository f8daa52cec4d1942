#include "check/check_run.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "check/check_context.h"
#include "check/readiness_checks.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace lss {

const std::vector<std::u16string_view>& CheckIds() {
  static const std::vector<std::u16string_view> ids = {
      u"outlook",         u"mapi",     u"log-folder", u"wait-seconds", u"toolbar",
      u"outlook-running", u"sync-now", u"task",       u"last-run"};
  return ids;
}

CheckRun RunChecks(CheckPlatform& os, const CheckOptions& options) {
  // Read-only: a check never creates the keys that a run would.
  SettingsStore settings(kApplicationName, SettingsStore::Access::kReadOnly);
  settings.SetSettingsRoot(os.registry, kVendorKey);
  CheckContext context{os, settings};
  const auto selected = [&](std::u16string_view id) {
    return options.only.empty() ||
           std::find(options.only.begin(), options.only.end(), id) != options.only.end();
  };
  CheckRun run;
  if (selected(u"task") || selected(u"last-run")) {
    run.task = ReadScheduledTask(context, TaskNameToRead(context, options.taskName));
  }
  MailClientFound mail;
  const std::vector<std::pair<std::u16string_view, std::function<CheckResult()>>> checks = {
      {u"outlook", [&] { return CheckOutlook(context, &run.outlookPath); }},
      {u"mapi", [&] { return CheckMapi(context, &mail); }},
      {u"log-folder", [&] { return CheckLogFolder(context, &run.logFolder); }},
      {u"wait-seconds", [&] { return CheckWaitSeconds(context); }},
      {u"toolbar", [&] { return CheckToolbar(context); }},
      {u"outlook-running", [&] { return CheckOutlookRunning(context); }},
      {u"sync-now", [&] { return CheckSyncNow(context); }},
      {u"task", [&] { return CheckTask(context, run.task); }},
      {u"last-run",
       [&] {
         return CheckLastRun(context, options.maxAgeHours, run.task.LastRun(), &run.lastRun);
       }},
  };
  for (const auto& [id, check] : checks) {
    if (selected(id)) run.results.push_back(check());
  }
  run.mailClient = std::move(mail.client);
  run.mapiLibrary = std::move(mail.library);
  return run;
}

}  // namespace lss
