# LSScheduler report script: the fleet's report of last night, for a
# detection-only Intune remediation (no remediation script) or a
# Configuration Manager compliance item. Run it with the logged-on
# credentials. It fixes nothing. Exit code 1 when the last scheduled run
# failed, was interrupted, left no log or warned, when the task is missing,
# disabled or set up so that it cannot work, or when a toolbar block is
# pending; 0 otherwise. The one line written is the verdict and the worst
# finding, which is what Intune shows.
# The folder is found as the detection script finds it.

$folder = $null
try {
  $machine = [Microsoft.Win32.RegistryKey]::OpenBaseKey('LocalMachine', 'Registry64')
  $key = $machine.OpenSubKey('Software\Brinmoor\LSScheduler')
  if ($key) { $folder = $key.GetValue('InstallFolder'); $key.Close() }
  $machine.Close()
} catch { }
if (-not $folder) { $folder = Join-Path $env:ProgramW6432 'Brinmoor\LSScheduler' }
$check = Join-Path $folder 'LSSchedulerCheck.exe'
# Windows PowerShell 5.1 decodes a program's output with the console's code
# page (850 on a German PC) unless told otherwise. The check writes UTF-8 to a
# pipe: with this, a finding that names a folder with a letter beyond ASCII
# (an umlaut in a user folder's name) reaches Intune's output intact.
[Console]::OutputEncoding = New-Object System.Text.UTF8Encoding $false
if (-not (Test-Path -LiteralPath $check)) {
  Write-Output "FAIL: $check is not installed"
  exit 1
}
& $check --only 'last-run,task,toolbar' --quiet
exit $(if ($LASTEXITCODE -eq 0) { 0 } else { 1 })
