# Configuration Manager configuration item, discovery script (String). The
# compliance rule: the value returned equals Compliant. Sends nothing.
$zrctl = Join-Path $env:ProgramW6432 'LumiqConfigTool\zrctl.exe'
$golden = Join-Path $env:ProgramData 'LumiqConfigTool\golden.profile'
$line = & $zrctl --all check --summary $golden
# Any other value is reported as the noncompliant one: zrctl's status and
# its one line, which names the keys that differ or why a scanner was not read.
if ($LASTEXITCODE -eq 0) { 'Compliant' } else { "zrctl $LASTEXITCODE $line" }
