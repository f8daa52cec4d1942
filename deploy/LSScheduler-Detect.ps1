# LSScheduler detection script for an Intune remediation, paired with
# LSScheduler-Remediate.ps1. Run it with the logged-on credentials: the check
# reads the user's settings. It flags only what the remediation can fix: a
# toolbar block left pending by an interrupted run. Exit code 1 ("remediate")
# then, 0 otherwise. The one line written is the verdict and the finding.
# How last night's run went is LSScheduler-Report.ps1's question.
# The folder is the one the MSI recorded, read through the 64-bit registry
# view (Intune runs scripts in 32-bit PowerShell, which would otherwise read
# WOW6432Node); without that record, the 64-bit Program Files.

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
& $check --only 'toolbar' --quiet
exit $(if ($LASTEXITCODE -eq 0) { 0 } else { 1 })
