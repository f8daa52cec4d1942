# LSScheduler detection script (Intune remediations, or any tool that reads an
# exit code). Run it with the logged-on credentials: the checks read the
# user's settings and logs. Exit code 1 ("remediate") when the last scheduled
# run failed, was interrupted or left no log, when the task is missing,
# disabled or set up so that it cannot start Outlook, or when a toolbar block
# is pending; 0 otherwise. The one line written is the verdict and the worst
# finding. $env:ProgramW6432 is the 64-bit Program Files in 32-bit PowerShell too.

$check = Join-Path $env:ProgramW6432 'Brinmoor\LSScheduler\LSSchedulerCheck.exe'
if (-not (Test-Path -LiteralPath $check)) {
  Write-Output "FAIL: $check is not installed"
  exit 1
}
& $check --only 'last-run,task,toolbar' --quiet
exit $(if ($LASTEXITCODE -eq 0) { 0 } else { 1 })
