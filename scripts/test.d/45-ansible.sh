#!/bin/sh
# The Ansible collection (packaging/ansible/) as an administrator gets it:
# built with ansible-galaxy, installed into a folder of its own, its
# modules documented by ansible-doc, and its playbooks
# (packaging/ansible/tests/) run on localhost against zrctl's simulated
# scanners: check mode, a first run that changes both, a second that sends
# nothing, a scanner chosen by number, an audit, and scanners that fail.
# The modules reach the simulated scanners only through their `executable`
# option, given a wrapper made here; nothing in the modules simulates.
# Builds only zrctl, in build/, and reuses it on a second run.
set -eu
cd "$(dirname "$0")/../.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)
start=$(date +%s)
fail() {
  echo "ansible: $*" >&2
  exit 1
}
for tool in ansible-playbook ansible-galaxy ansible-doc flock; do
  command -v "$tool" >/dev/null || fail "needs $tool (ansible-core, see scripts/packages.txt)"
done

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIQ_WERROR=ON -DLUMIQ_BUILD_TESTS=ON >/dev/null
cmake --build build -j "$jobs" --target zrctl
zrctl="$root/build/tools/zrctl/zrctl"

work="$root/build/ansible"
rm -rf "$work"
mkdir -p "$work/tmp"
# Nothing of the machine's or the user's Ansible set-up: this file only.
cat >"$work/ansible.cfg" <<EOF
[defaults]
collections_path = $work/collections
local_tmp = $work/tmp
remote_tmp = $work/tmp
interpreter_python = /usr/bin/python3
retry_files_enabled = False
nocolor = True
localhost_warning = False
[inventory]
inventory_unparsed_warning = False
EOF
export ANSIBLE_CONFIG="$work/ansible.cfg"

ansible-galaxy collection build packaging/ansible --output-path "$work" >/dev/null
tarball=$(ls "$work"/lumiq-scanners-*.tar.gz)
ansible-galaxy collection install --offline "$tarball" >/dev/null
echo "-- $(basename "$tarball"): $(tar tzf "$tarball" | grep -c '\.py$') Python files"

for module in profile scanner_facts; do
  ansible-doc "lumiq.scanners.$module" >"$work/doc-$module" 2>&1 ||
    { cat "$work/doc-$module" >&2; fail "ansible-doc could not render lumiq.scanners.$module"; }
  for part in OPTIONS EXAMPLES 'RETURN VALUES'; do
    grep -q "^$part" "$work/doc-$module" || fail "ansible-doc shows no $part for $module"
  done
  if grep -q 'WARNING' "$work/doc-$module"; then
    cat "$work/doc-$module" >&2
    fail "ansible-doc warned about lumiq.scanners.$module"
  fi
done

utils="$work/collections/ansible_collections/lumiq/scanners/plugins/module_utils"
(cd packaging/ansible/tests && PYTHONDONTWRITEBYTECODE=1 PYTHONPATH="$utils" python3 -m unittest -q test_profile_text 2>"$work/unittest") ||
  { cat "$work/unittest" >&2; fail "test_profile_text.py failed"; }

# wrapper NAME SEED...: zrctl on simulated scanners with these seeds, for
# the playbooks' `executable`; every run's frames and messages are added
# to trace. Its messages still reach the module, without the frames.
wrapper() {
  name=$1
  shift
  simulate=""
  for seed in "$@"; do simulate="$simulate --simulate=$work/$seed"; done
  cat >"$work/$name" <<EOF
#!/bin/sh
err=\$(mktemp)
"$zrctl"$simulate --trace "\$@" 2>"\$err"
status=\$?
cat "\$err" >>"$work/trace"
grep -v '^[<>] ' "\$err" >&2
rm -f "\$err"
exit \$status
EOF
  chmod +x "$work/$name"
}

# The golden profile, as a dump of another scanner: its own device number,
# a GBK character, an escaped byte and the Wi-Fi password.
cat >"$work/golden.profile" <<'EOF'
# firmware V2.0.7, deviceno Z-9
masterver=V2.0.7
deviceno=Z-9
qrcode=1
dmcode=1
codeprefix=条
codepostfix=\x0D
io_outputs=hid0
wifi0_stawskeykey=new-secret
EOF
printf '%s\n' masterver=V2.0.7 deviceno=Z-9 qrcode=0 >"$work/second.profile"
printf '%s\n' masterver=V2.0.7 deviceno=A-1 qrcode=0 dmcode=1 codeprefix=X >"$work/seed-a"
printf '%s\n' masterver=V2.0.7 deviceno=B-2 qrcode=1 dmcode=0 wifi0_stawskeykey=old-secret \
  >"$work/seed-b"
wrapper zrctl-simulated seed-a seed-b

# playbook FILE VARIABLES [LOCKED-FILE]: runs it (holding LOCKED-FILE as
# another program would), showing its recap line.
playbook() {
  set -- "packaging/ansible/tests/$1" "$2" "${3:-}"
  if [ -n "$3" ]; then set -- "$1" "$2" flock "$3"; else set -- "$1" "$2"; fi
  book=$1
  variables=$2
  shift 2
  "$@" ansible-playbook -i localhost, -c local "$book" -e "$variables" >"$work/playbook.log" 2>&1 ||
    { cat "$work/playbook.log" >&2; fail "$book failed"; }
  grep -E '^localhost +:' "$work/playbook.log" | sed "s|^localhost|   $(basename "$book")|"
}
playbook scenario.yml "zrctl=$work/zrctl-simulated work=$work"

# A scanner whose commit is lost: its seed file cannot be written back.
# Root writes anywhere, but follows no other user's link in a sticky folder.
cp "$work/seed-a" "$work/seed-good"
cp "$work/seed-b" "$work/seed-lost"
if [ "$(id -u)" = 0 ]; then
  mkdir -m 1777 "$work/sticky"
  ln -s ../seed-lost "$work/sticky/seed"
  chown -h nobody "$work/sticky/seed"
  wrapper zrctl-lost seed-good sticky/seed
else
  mkdir "$work/locked"
  mv "$work/seed-lost" "$work/locked/seed"
  chmod 555 "$work/locked"
  wrapper zrctl-lost seed-good locked/seed
fi
# And one another program holds.
cp "$work/seed-a" "$work/seed-held"
wrapper zrctl-held seed-held
playbook failing.yml "zrctl_lost=$work/zrctl-lost zrctl_held=$work/zrctl-held work=$work" \
  "$work/seed-held"
if [ -d "$work/locked" ]; then chmod 755 "$work/locked"; fi

echo "ansible: passed in $(($(date +%s) - start)) s"
