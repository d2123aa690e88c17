#!/bin/sh
# The fleet recipes of docs/fleet.md, at the level of the shell: each zrctl
# command line the Intune, Configuration Manager, Salt and Puppet recipes
# run, taken from the recipe files themselves, against two simulated
# scanners (one that differs, one that holds the profile, each with its own
# device number), with the exit statuses and output the tools read. The
# PowerShell around the command lines cannot run here; what it does with the
# status is a line or two, followed below. Also: docs/fleet.md shows each
# file as it is. Usage: fleet_recipes_test.sh ZRCTL SOURCE-ROOT
set -eu
zrctl=$1
recipes=$2/docs/fleet
page=$2/docs/fleet.md
work=$(mktemp -d "${TMPDIR:-/tmp}/zrctl-recipes.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "fleet recipes: $*" >&2
  failed=1
}

golden=$work/golden.profile
printf '%s\n' '# the reference scanner' 'masterver=V2.0.7' 'deviceno=GOLD' 'qrcode=0' \
  'codeprefix=SN' 'io_outputs=hid0' 'io_inits=com0,hid0,hid1,com2' 'io_monitors=hid1' >"$golden"
fresh() {
  printf '%s\n' 'deviceno=A-1' 'qrcode=1' 'codeprefix=' 'io_outputs=com1' >"$work/a.seed"
  printf '%s\n' 'deviceno=B-2' 'qrcode=0' 'codeprefix=SN' 'io_outputs=hid0' \
    'io_inits=com0,hid0,hid1,com2' 'io_monitors=hid1' >"$work/b.seed"
  rm -f "$work/broken.seed"
}

# run ARGS...: zrctl on the two scanners (and the broken one when there is
# one), every frame traced; sets $status, $out (stdout), $last (its last line).
run() {
  set -- --trace "--simulate=$work/a.seed" "--simulate=$work/b.seed" "$@"
  if [ -f "$work/broken.seed" ]; then set -- "--simulate=$work/broken.seed" "$@"; fi
  set +e
  "$zrctl" "$@" >"$work/out" 2>"$work/err"
  status=$?
  set -e
  out=$(cat "$work/out")
  last=$(tail -n 1 "$work/out")
}

# The command line of a recipe, as its file has it, with the test's profile.
line_of() {
  sed -n "$2" "$recipes/$1" | sed "s#\\\$golden#$golden#; s#/etc/lumiq/golden.profile#$golden#"
}

# Salt reads the last line as name=value pairs, split at blanks outside
# quotes and each at its one '='; Intune and the summary keep 2,048 characters.
salt_form() {
  printf '%s\n' "$last" |
    grep -Eqx 'changed=(yes|no) comment="([^"\\=$`]|\\x[0-9A-F]{2})*"' ||
    fail "$1: not a Salt line: $last"
  [ "${#last}" -le 2048 ] || fail "$1: the line is ${#last} characters"
}
sent_nothing() {
  # Set (07) and commit (09) requests.
  if grep -Eq '^> 66 BB EE 0[79] ' "$work/err"; then fail "$1: sent a set or a commit"; fi
}
expect() {
  [ "$status" -eq "$2" ] || fail "$1: status $status, expected $2: $(cat "$work/err" | grep -v '^[<>]')"
}

# --- Intune: detection, remediation, detection again, remediation again ---
detect=$(line_of intune-detect.ps1 's/^\$line = & \$zrctl \(.*\)$/\1/p')
remedy=$(line_of intune-remediate.ps1 's/^\$line = & \$zrctl \(.*\)$/\1/p')
[ "$detect" = "--all check --summary $golden" ] || fail "intune: detection runs '$detect'"
[ "$remedy" = "--all apply --summary $golden" ] || fail "intune: remediation runs '$remedy'"
fresh
cp "$work/a.seed" "$work/a.before"
# shellcheck disable=SC2086
run $detect
expect "intune detection" 1
salt_form "intune detection"
[ "$out" = "$last" ] || fail "intune detection: more than one line: $out"
sent_nothing "intune detection"
cmp -s "$work/a.seed" "$work/a.before" || fail "intune detection changed the scanner"
# shellcheck disable=SC2086
run $remedy
expect "intune remediation" 0
salt_form "intune remediation"
case $last in changed=yes*) ;; *) fail "intune remediation: $last" ;; esac
grep -qx 'deviceno=A-1' "$work/a.seed" || fail "intune remediation: scanner A lost its deviceno"
grep -qx 'io_outputs=hid0' "$work/a.seed" || fail "intune remediation: scanner A not changed"
grep -qx 'deviceno=B-2' "$work/b.seed" || fail "intune remediation: scanner B lost its deviceno"
# shellcheck disable=SC2086
run $detect
expect "intune detection after" 0
[ "$last" = 'changed=no comment="2 scanners compliant"' ] || fail "intune detection after: $last"
# shellcheck disable=SC2086
run $remedy
expect "intune remediation again" 0
[ "$last" = 'changed=no comment="2 scanners compliant"' ] || fail "intune remediation again: $last"
sent_nothing "intune remediation again"
# A scanner that cannot be read: an issue for the detection, a failure for
# the remediation, each said on its one line.
fresh
printf 'no equals sign\n' >"$work/broken.seed"
# shellcheck disable=SC2086
run $detect
expect "intune detection, broken scanner" 3
salt_form "intune detection, broken scanner"
case $last in *broken.seed*) ;; *) fail "intune detection, broken scanner: $last" ;; esac
# shellcheck disable=SC2086
run $remedy
expect "intune remediation, broken scanner" 3
sent_nothing "intune remediation, broken scanner"

# --- Configuration Manager: the discovery's value, the remediation ---
discover=$(line_of configmgr-discovery.ps1 's/^\$line = & \$zrctl \(.*\)$/\1/p')
repair=$(line_of configmgr-remediation.ps1 's/^& \$zrctl \(.*\)$/\1/p')
[ "$discover" = "$detect" ] || fail "configmgr: discovery runs '$discover'"
[ "$repair" = "$remedy" ] || fail "configmgr: remediation runs '$repair'"
grep -q "if (\$LASTEXITCODE -eq 0) { 'Compliant' }" "$recipes/configmgr-discovery.ps1" ||
  fail "configmgr: the discovery does not answer Compliant on status 0"
fresh
# shellcheck disable=SC2086
run $discover
expect "configmgr discovery" 1
salt_form "configmgr discovery"
# shellcheck disable=SC2086
run $repair
expect "configmgr remediation" 0
# shellcheck disable=SC2086
run $discover
expect "configmgr discovery after" 0

# --- Salt and Puppet: onlyif, unless, then the command ---
# converge NAME ONLYIF UNLESS COMMAND: one run of the tool's logic; sets
# $ran to yes when the command ran.
converge() {
  ran=no
  # shellcheck disable=SC2086
  run $2
  [ "$status" -eq 0 ] || return 0
  # shellcheck disable=SC2086
  run $3
  sent_nothing "$1 unless"
  [ "$status" -ne 0 ] || return 0
  # shellcheck disable=SC2086
  run $4
  ran=yes
  expect "$1 command" 0
  salt_form "$1 command"
}
salt_onlyif=$(line_of lumiq-scanners.sls 's/^ *- onlyif: zrctl \(.*\)$/\1/p')
salt_unless=$(line_of lumiq-scanners.sls 's/^ *- unless: zrctl \(.*\)$/\1/p')
salt_name=$(line_of lumiq-scanners.sls 's/^ *- name: zrctl \(.*\)$/\1/p')
grep -q '^ *- stateful: True$' "$recipes/lumiq-scanners.sls" || fail "salt: not stateful"
puppet_onlyif=$(line_of lumiq-scanners.pp "s/^ *onlyif *=> '\\/usr\\/bin\\/zrctl \\(.*\\)',\$/\\1/p")
puppet_unless=$(line_of lumiq-scanners.pp "s/^ *unless *=> '\\/usr\\/bin\\/zrctl \\(.*\\)',\$/\\1/p")
puppet_command=$(line_of lumiq-scanners.pp "s/^ *command *=> '\\/usr\\/bin\\/zrctl \\(.*\\)',\$/\\1/p")
for tool in salt puppet; do
  if [ $tool = salt ]; then
    set -- "$salt_onlyif" "$salt_unless" "$salt_name"
  else
    set -- "$puppet_onlyif" "$puppet_unless" "$puppet_command"
  fi
  [ "$1" = list ] || fail "$tool: onlyif runs '$1'"
  [ "$2" = "--all check $golden" ] || fail "$tool: unless runs '$2'"
  [ "$3" = "--all apply --summary $golden" ] || fail "$tool: the command is '$3'"
  fresh
  converge "$tool" "$@"
  [ "$ran" = yes ] || fail "$tool: the command did not run on a scanner that differs"
  case $last in changed=yes*) ;; *) fail "$tool: $last" ;; esac
  converge "$tool again" "$@"
  [ "$ran" = no ] || fail "$tool: the command ran again on compliant scanners"
done

# --- the page shows each file as it is ---
for file in "$recipes"/*; do
  name=docs/fleet/$(basename "$file")
  awk -v marker="<!-- $name -->" '
    $0 == marker { found = 1; next }
    found == 1 && /^```/ { found = 2; next }
    found == 2 && /^```$/ { exit }
    found == 2 { print }
  ' "$page" >"$work/shown"
  cmp -s "$work/shown" "$file" || fail "docs/fleet.md does not show $name as it is"
done

[ "$failed" -eq 0 ] || exit 1
echo "fleet recipes: passed"
