# Intune remediation, detection script: exit 0 when every scanner plugged in
# holds the profile, 1 to have the remediation script run. Sends nothing.
$zrctl = Join-Path $env:ProgramW6432 'LumiqConfigTool\zrctl.exe'
$golden = Join-Path $env:ProgramData 'LumiqConfigTool\golden.profile'
$line = & $zrctl --all check --summary $golden
$status = $LASTEXITCODE
# One line of at most 2,048 characters: what Intune keeps of the output.
Write-Output $line
# zrctl: 0 compliant, 1 a scanner differs, 2 the profile refused,
# 3 no scanner found or one not read. All but 0 are an issue to report.
if ($status -eq 0) { exit 0 }
exit 1
