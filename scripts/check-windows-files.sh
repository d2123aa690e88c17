#!/bin/sh
# Checks the Windows programs and their README.txt as they are shipped (the
# unpacked zip): what Explorer's Properties, Task Manager and the installer
# read from each program, and what Notepad shows of the text.
# - Each .exe: a version record whose FileDescription, CompanyName,
#   LegalCopyright, ProductName and FileVersion are set, whose
#   OriginalFilename is the program's own file name and InternalName its
#   name; a manifest; the icon.
# - README.txt: a UTF-8 byte order mark first, CRLF at every line end, and
#   every program of the folder named.
# Usage: check-windows-files.sh FOLDER
set -eu
folder=$1
windres=x86_64-w64-mingw32-windres
failed=0
fault() {
  echo "windows files: $*" >&2
  failed=1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# value NAME: the value of a VALUE line of the decompiled record, quotes and
# L prefix taken off.
value() {
  sed -n "s/^ *VALUE \"$1\", L\{0,1\}\"\(.*\)\"\$/\1/p" "$work/rc"
}
for exe in "$folder"/*.exe; do
  name=$(basename "$exe")
  if ! "$windres" -J coff -O rc -i "$exe" -o "$work/rc" 2>"$work/err"; then
    fault "$name: its resources do not read ($(cat "$work/err"))"
    continue
  fi
  for field in FileDescription CompanyName LegalCopyright ProductName FileVersion; do
    [ -n "$(value "$field")" ] || fault "$name: the version record has no $field"
  done
  original=$(value OriginalFilename)
  [ "$(echo "$original" | tr A-Z a-z)" = "$(echo "$name" | tr A-Z a-z)" ] ||
    fault "$name: OriginalFilename is \"$original\""
  internal=$(value InternalName)
  [ "$internal" = "${name%.exe}" ] || fault "$name: InternalName is \"$internal\""
  grep -q '^1 24 /\* RT_MANIFEST \*/' "$work/rc" || fault "$name: no manifest"
  grep -q ' 14 /\* RT_GROUP_ICON \*/' "$work/rc" || fault "$name: no icon"
done

readme="$folder/README.txt"
if [ ! -f "$readme" ]; then
  fault "no README.txt"
else
  [ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' \n')" = efbbbf ] ||
    fault "README.txt does not start with a UTF-8 byte order mark"
  # Line ends: every LF after a CR, every CR before an LF, the last line ended.
  lf=$(tr -cd '\n' <"$readme" | wc -c)
  cr=$(tr -cd '\r' <"$readme" | wc -c)
  crlf=$(grep -c "$(printf '\r')\$" "$readme" || true)
  [ "$lf" -eq "$cr" ] && [ "$crlf" -eq "$lf" ] && [ "$(tail -c 2 "$readme" | od -An -tx1 | tr -d ' \n')" = 0d0a ] ||
    fault "README.txt does not end every line with CRLF ($lf LF, $cr CR, $crlf CRLF)"
  for exe in "$folder"/*.exe; do
    grep -qF "$(basename "$exe")" "$readme" || fault "README.txt does not name $(basename "$exe")"
  done
fi
exit "$failed"
