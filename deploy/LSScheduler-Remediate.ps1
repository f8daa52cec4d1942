# LSScheduler remediation script, paired with LSScheduler-Detect.ps1. Run it
# with the logged-on credentials. It does one thing: when the add-in's toolbar
# is still blocked by an interrupted run, it starts LSScheduler.exe without
# options, which restores the toolbar setting and starts nothing (its empty
# log is skipped by the checks). Every other finding needs an administrator
# (see LSScheduler-Report.ps1).
# Exit code 0 when no block is left pending.
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
& $check --only 'toolbar' --quiet | Out-Null
if ($LASTEXITCODE -ne 0) {
  Start-Process -FilePath (Join-Path $folder 'LSScheduler.exe') -Wait
}
& $check --only 'toolbar' --quiet
exit $(if ($LASTEXITCODE -eq 0) { 0 } else { 1 })
