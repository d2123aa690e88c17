#!/bin/sh
# Builds the release packages and checks them as a user receives them.
# - The Debian packages (lumiq-zrctl, the command line without Qt, and
#   lumiqconfigtool, the window, which depends on it), from a Release build
#   with Debian's hardening flags in build-deb/: lintian (every error and
#   warning fails, unless the package carries an override saying why), the
#   desktop entries and the metainfo through their validators, each file list
#   against the one below, the dependencies, the manual pages against --help,
#   both installed and purged by dpkg into a scratch root (the maintainer
#   scripts without udev or systemd), the station's unit through
#   systemd-analyze verify and security, and zrctl run from the unpacked
#   package.
# - The Windows zip, from build-win64/ (the Windows cross-build stage's
#   folder) when it exists: its file list, the programs stripped, each
#   program's version record and manifest, README.txt's bytes (a UTF-8 byte
#   order mark, CRLF throughout, every program named).
# - The Windows installer, from the same programs: built with wixl, then
#   installed, upgraded and removed under Wine (scripts/check-msi.sh).
# The packages are left in build-deb/ and build-win64/.
set -eu
cd "$(dirname "$0")/../.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)
start=$(date +%s)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "packages: $*" >&2
  exit 1
}

# ---- Debian packages -------------------------------------------------------
build="$root/build-deb"
if [ ! -f "$build/CMakeCache.txt" ]; then
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLUMIQ_WERROR=ON -DLUMIQ_PACKAGE=ON \
      -DLUMIQ_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
else
  cmake -S . -B "$build" -DLUMIQ_PACKAGE=ON >/dev/null
fi
cmake --build "$build" -j "$jobs"
rm -f "$build"/lumiqconfigtool_*.deb "$build"/lumiq-zrctl_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/lumiqconfigtool_*.deb)
cli=$(ls "$build"/lumiq-zrctl_*.deb)
version=$(dpkg-deb -f "$deb" Version)
echo "-- $(basename "$cli") $(basename "$deb")"

# lintian as root says so on stderr; that line is no finding.
for package in "$cli" "$deb"; do
  lintian --fail-on error,warning --info --display-experimental "$package" >"$work/lintian" 2>&1 ||
    { grep -v 'running with root privileges' "$work/lintian" >&2; fail "lintian found errors or warnings in $(basename "$package")"; }
  grep -v 'running with root privileges' "$work/lintian" || true
done

tree="$work/deb"
dpkg-deb -x "$deb" "$tree"
dpkg-deb -e "$deb" "$tree/DEBIAN"
clitree="$work/cli"
dpkg-deb -x "$cli" "$clitree"
dpkg-deb -e "$cli" "$clitree/DEBIAN"

# Exactly these files, nothing more (no tests, benchmarks or dev tools).
# files_of TREE: the files a package holds, its control files aside.
files_of() {
  (cd "$1" && find . -path ./DEBIAN -prune -o ! -type d -print | sed 's|^\./|/|' | LC_ALL=C sort)
}
app=org.lumiq.LumiqConfigTool
{
  for program in zrctl lumiq-virtual-scanner; do
    echo "/usr/bin/$program"
    echo "/usr/share/man/man1/$program.1.gz"
  done
  echo /usr/lib/udev/rules.d/70-lumiq-scanner.rules
  echo /usr/lib/systemd/system/lumiq-station.service
  echo /usr/lib/sysusers.d/lumiq-zrctl.conf
  echo /usr/share/doc/lumiq-zrctl/changelog.gz
  echo /usr/share/doc/lumiq-zrctl/copyright
} | LC_ALL=C sort >"$work/expected-cli"
{
  for program in LumiqConfigTool LumiqConfigTool-demo; do
    echo "/usr/bin/$program"
    echo "/usr/share/man/man1/$program.1.gz"
  done
  echo "/usr/share/applications/$app.desktop"
  echo "/usr/share/applications/$app.Demo.desktop"
  echo "/usr/share/metainfo/$app.metainfo.xml"
  echo "/usr/share/icons/hicolor/scalable/apps/$app.svg"
  for size in 16 22 24 32 48 64 128 256; do
    echo "/usr/share/icons/hicolor/${size}x$size/apps/$app.png"
  done
  echo /usr/share/doc/lumiqconfigtool/changelog.gz
  echo /usr/share/doc/lumiqconfigtool/copyright
} | LC_ALL=C sort >"$work/expected"
files_of "$clitree" >"$work/files-cli"
files_of "$tree" >"$work/files"
if ! diff -u "$work/expected-cli" "$work/files-cli" >&2; then
  fail "lumiq-zrctl's files differ from the list above (- expected, + in the package)"
fi
if ! diff -u "$work/expected" "$work/files" >&2; then
  fail "lumiqconfigtool's files differ from the list above (- expected, + in the package)"
fi

# The window comes with the command line of its own build; the command line
# needs no Qt (a terminal without a desktop).
depends=$(dpkg-deb -f "$deb" Depends)
for needed in "lumiq-zrctl (= $version)" fonts-wqy-microhei libqt6widgets6 libc6; do
  case ", $depends," in
    *", $needed"[\ ,]*) ;;
    *) fail "lumiqconfigtool's Depends lacks $needed: $depends" ;;
  esac
done
cli_depends=$(dpkg-deb -f "$cli" Depends)
case ", $cli_depends," in
  *", libc6"[\ ,]*) ;;
  *) fail "lumiq-zrctl's Depends lacks libc6: $cli_depends" ;;
esac
if echo "$cli_depends" | grep -qi 'qt'; then
  fail "lumiq-zrctl depends on Qt: $cli_depends"
fi
if (cd "$work" && ldd "$clitree"/usr/bin/*) | grep -qi 'libqt'; then
  fail "a program of lumiq-zrctl links Qt"
fi

desktop-file-validate "$tree/usr/share/applications/"*.desktop ||
  fail "desktop-file-validate refused a desktop entry"
appstreamcli validate --no-net "$tree/usr/share/metainfo/$app.metainfo.xml" >"$work/appstream" 2>&1 ||
  { cat "$work/appstream" >&2; fail "appstreamcli refused the metainfo"; }

# Each manual page describes every option and command its program's --help
# shows: an entry (.B, .BI or .BR line) starting with it.
check_manual() {
  program=$1
  "$clitree/usr/bin/$program" --help >"$work/help" 2>&1 || true
  zcat "$clitree/usr/share/man/man1/$program.1.gz" | sed 's/\\-/-/g' >"$work/manual"
  words=$(grep -oE -- '--[a-z][a-z-]*' "$work/help" | sort -u)
  if [ "$program" = zrctl ]; then
    words="$words $(sed -n '/^commands:/,/^options:/s/^  \([a-z][a-z]*\) .*/\1/p' "$work/help")"
  fi
  [ -n "$words" ] || fail "$program --help printed no options"
  for word in $words; do
    grep -qE -- "^\.B[IR]? $word( |\$)" "$work/manual" ||
      fail "the manual page of $program has no entry for $word, which --help shows"
  done
}
check_manual zrctl
check_manual lumiq-virtual-scanner

# The station's unit: systemd-analyze reads it as systemd would, with no
# running systemd. verify also finds its programs and manual page: those of
# the unpacked package here (the unit's copy names the packaged zrctl). Its
# exposure must not rise above the figure reached (0.0 safest, 10.0 least).
unit="$clitree/usr/lib/systemd/system/lumiq-station.service"
most_exposure=1.0
sed "s|^ExecStart=/usr/bin/zrctl |ExecStart=$clitree/usr/bin/zrctl |" "$unit" \
  >"$work/lumiq-station.service"
grep -q "^ExecStart=$clitree/usr/bin/zrctl serve " "$work/lumiq-station.service" ||
  fail "lumiq-station.service does not run /usr/bin/zrctl serve"
MANPATH="$clitree/usr/share/man" SYSTEMD_LOG_COLOR=0 \
  systemd-analyze verify --man=yes "$work/lumiq-station.service" >"$work/verify" 2>&1 ||
  { cat "$work/verify" >&2; fail "systemd-analyze verify refused lumiq-station.service"; }
if [ -s "$work/verify" ]; then
  cat "$work/verify" >&2
  fail "systemd-analyze verify found fault with lumiq-station.service"
fi
SYSTEMD_COLORS=0 systemd-analyze security --offline=true --no-pager "$unit" >"$work/security" 2>&1 ||
  { cat "$work/security" >&2; fail "systemd-analyze security could not judge lumiq-station.service"; }
exposure=$(sed -n 's/.*Overall exposure level for lumiq-station.service: \([0-9.]*\).*/\1/p' "$work/security")
[ -n "$exposure" ] || { cat "$work/security" >&2; fail "systemd-analyze security gave no exposure"; }
echo "-- lumiq-station.service: exposure $exposure (at most $most_exposure)"
if awk -v got="$exposure" -v most="$most_exposure" 'BEGIN { exit !(got > most) }'; then
  grep '✗' "$work/security" >&2 || true
  fail "lumiq-station.service is more exposed ($exposure) than $most_exposure"
fi
# Off until the administrator turns it on, and only with a profile in place.
grep -qx 'ConditionPathExists=/etc/lumiq/site.profile' "$unit" ||
  fail "lumiq-station.service does not wait for /etc/lumiq/site.profile"
grep -q 'systemctl enable\|deb-systemd-helper enable\|deb-systemd-invoke start' \
  "$clitree/DEBIAN/postinst" && fail "postinst turns the station on"

# Both packages installed and purged by dpkg into a scratch root, their
# maintainer scripts run outside it (DPKG_ROOT names it): with no udev or
# systemd there they must succeed, leave udev alone, create the scanners'
# group, and leave nothing behind but the group.
for script in postinst prerm postrm; do
  [ -x "$clitree/DEBIAN/$script" ] || fail "lumiq-zrctl's $script missing or not executable"
done
scratch="$work/root"
mkdir -p "$scratch/var/lib/dpkg/info" "$scratch/var/lib/dpkg/updates" "$scratch/etc"
: >"$scratch/var/lib/dpkg/status"
printf 'root:x:0:\n' >"$scratch/etc/group"
printf 'root:*::\n' >"$scratch/etc/gshadow"
printf 'root:x:0:0:root:/root:/bin/sh\n' >"$scratch/etc/passwd"
printf 'root:*:1::::::\n' >"$scratch/etc/shadow"
cp -a "$scratch/etc" "$work/etc-before"
# dpkg's own questions of the root (its dependencies, its programs on PATH)
# are not what is checked here.
in_scratch() {
  dpkg --root="$scratch" --force-script-chrootless --force-depends --force-not-root \
    --log=/dev/null "$@" >"$work/dpkg" 2>&1 ||
    { cat "$work/dpkg" >&2; fail "dpkg $* failed in a scratch root"; }
}
in_scratch -i "$cli" "$deb"
grep -q '^lumiq-scanner:x:[0-9]*:$' "$scratch/etc/group" ||
  fail "installing lumiq-zrctl did not create group lumiq-scanner"
[ -f "$scratch/usr/bin/zrctl" ] && [ -f "$scratch/usr/bin/LumiqConfigTool" ] ||
  fail "dpkg did not install the programs into the scratch root"
# What the administrator does to turn the station on, that a purge undoes.
mkdir -p "$scratch/etc/systemd/system/multi-user.target.wants" "$scratch/var/log/private/lumiq"
ln -s /usr/lib/systemd/system/lumiq-station.service \
  "$scratch/etc/systemd/system/multi-user.target.wants/lumiq-station.service"
ln -s private/lumiq "$scratch/var/log/lumiq"
echo 'time,port,deviceno,firmware,result,failed_keys' >"$scratch/var/log/private/lumiq/station.csv"
in_scratch -P lumiqconfigtool lumiq-zrctl
left=$(cd "$scratch" && find . ! -type d ! -path './var/lib/dpkg/*' ! -path './etc/*' | sort)
[ -z "$left" ] || fail "the purge left files behind: $left"
[ ! -e "$scratch/etc/systemd/system/multi-user.target.wants/lumiq-station.service" ] ||
  fail "the purge left the station enabled"
for file in passwd shadow; do
  cmp -s "$work/etc-before/$file" "$scratch/etc/$file" || fail "installing changed /etc/$file"
done
echo "-- dpkg into a scratch root: installed and purged, group lumiq-scanner created"

# A package has no source tree: its messages name the installed udev rule.
for program in "$tree/usr/bin/LumiqConfigTool" "$clitree/usr/bin/zrctl"; do
  if grep -q "packaging/70-lumiq-scanner.rules" "$program"; then
    fail "the packaged $(basename "$program") points to the source tree's udev rule"
  fi
  grep -q "/usr/lib/udev/rules.d/70-lumiq-scanner.rules" "$program" ||
    fail "the packaged $(basename "$program") does not name the installed udev rule"
done

# The packaged zrctl, from the unpacked tree: it needs nothing of the build.
if (cd "$work" && ldd "$tree"/usr/bin/* "$clitree"/usr/bin/*) | grep -q 'not found'; then
  fail "a packaged program needs a library that is not found"
fi
status=0
(cd "$work" && "$clitree/usr/bin/zrctl" --simulate dump) >"$work/dump" 2>&1 || status=$?
if [ "$status" -ne 0 ] || ! grep -q '^qrcode=' "$work/dump"; then
  cat "$work/dump" >&2
  fail "zrctl --simulate dump from the package ended with status $status"
fi
echo "-- packaged zrctl --simulate dump: $(grep -c '=' "$work/dump") settings"

# ---- Windows zip -----------------------------------------------------------
win="$root/build-win64"
if [ -f "$win/CMakeCache.txt" ]; then
  # Only the programs that go in the zip are built here, not the Windows
  # test programs the cross-build stage leaves out: CMake's file API names
  # the targets with install rules, and installing stops building "all".
  mkdir -p "$win/.cmake/api/v1/query"
  touch "$win/.cmake/api/v1/query/codemodel-v2"
  cmake -S . -B "$win" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
  installed=$(grep -l "^$(printf '\t')\"install\" :" "$win"/.cmake/api/v1/reply/target-*.json |
    xargs sed -n "s/^$(printf '\t')\"name\" : \"\(.*\)\",\$/\1/p")
  [ -n "$installed" ] || fail "no target of the Windows build has install rules"
  # shellcheck disable=SC2086
  cmake --build "$win" -j "$jobs" --target $installed
  rm -f "$win"/LumiqConfigTool-*-win64.zip
  (cd "$win" && cpack -G ZIP >/dev/null)
  zip=$(ls "$win"/LumiqConfigTool-*-win64.zip)
  echo "-- $(basename "$zip")"
  top=$(basename "$zip" .zip)
  mkdir "$work/zip"
  (cd "$work/zip" && cmake -E tar xf "$zip")
  (cd "$work/zip" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) >"$work/zipfiles"
  {
    echo "$top/README.txt"
    echo "$top/zrctl.exe"
    echo "$top/LumiqConfigTool.exe"
    echo "$top/LumiqConfigTool-demo.exe"
  } | LC_ALL=C sort >"$work/zipneeded"
  missing=$(LC_ALL=C comm -23 "$work/zipneeded" "$work/zipfiles")
  [ -z "$missing" ] || fail "the zip lacks: $missing"
  if grep -viE '\.(exe|txt)$' "$work/zipfiles" >&2 || grep -iE 'test|bench|fuzz|headless|make-icon' "$work/zipfiles" >&2; then
    fail "the zip holds files beyond the programs and their text (above)"
  fi
  for exe in "$work/zip/$top"/*.exe; do
    if x86_64-w64-mingw32-objdump -h "$exe" | grep -qE '\.debug_|\.stab'; then
      fail "$(basename "$exe") in the zip is not stripped"
    fi
  done
  sh scripts/check-windows-files.sh "$work/zip/$top" || fail "the zip's files are not as a Windows user needs them"
  sed 's|^|   |' "$work/zipfiles"

  if command -v wixl >/dev/null; then
    cmake --build "$win" --target msi
    msi=$(ls "$win"/LumiqConfigTool-*-win64.msi)
    echo "-- $(basename "$msi")"
    sh scripts/check-msi.sh "$msi" "$win/packaging/msi"
    sha=$(sha256sum "$msi" | cut -d' ' -f1 | tr a-f A-F)
    grep -q "InstallerSha256: $sha\$" "$win/winget/Lumiq.LumiqConfigTool.installer.yaml" ||
      fail "the winget manifest does not give the MSI's SHA-256"
  else
    fail "wixl is missing: the MSI cannot be built (install scripts/packages.txt)"
  fi
else
  echo "-- no build-win64/: the Windows zip and MSI are not built"
fi

# ---- Ansible collection ----------------------------------------------------
# packaging/ansible/ as administrators install it (ansible-galaxy collection
# install FILE): the modules, their shared code and the read-me, no tests;
# its version is the project's first three numbers.
collection_dir="$root/build-deb"
mkdir -p "$collection_dir"
project_version=$(sed -n 's/^project(LumiqConfigTool VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' CMakeLists.txt)
collection_version=$(sed -n 's/^version: *//p' packaging/ansible/galaxy.yml)
[ "$collection_version" = "$project_version" ] ||
  fail "packaging/ansible/galaxy.yml gives version $collection_version, the project $project_version"
rm -f "$collection_dir"/lumiq-scanners-*.tar.gz
ansible-galaxy collection build packaging/ansible --output-path "$collection_dir" >/dev/null
collection="$collection_dir/lumiq-scanners-$collection_version.tar.gz"
[ -f "$collection" ] || fail "ansible-galaxy built no $(basename "$collection")"
tar tzf "$collection" | grep -v '/$' | LC_ALL=C sort >"$work/collection"
printf '%s\n' FILES.json MANIFEST.json README.md meta/runtime.yml \
  plugins/doc_fragments/zrctl.py plugins/module_utils/profile_text.py plugins/module_utils/zrctl.py \
  plugins/modules/profile.py plugins/modules/scanner_facts.py | LC_ALL=C sort >"$work/collection-expected"
if ! diff -u "$work/collection-expected" "$work/collection" >&2; then
  fail "the collection's files differ from the list above (- expected, + in the tarball)"
fi
echo "-- $(basename "$collection")"

echo "packages: passed in $(($(date +%s) - start)) s"
