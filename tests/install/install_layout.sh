#!/usr/bin/env bash
# install_layout.sh BUILD_DIR VERSION: installs the build into a temporary root and checks it.
set -euo pipefail
build=$1
version=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$root" >/dev/null

for program in Client/bin/tlvadmin Client/bin/tlvadm Client/bin/tlvedit Client/bin/tlvreg \
               Server/bin/tlvsd; do
  [ -x "$root/$program" ] || fail "$program is not installed"
done
[ -d "$root/Shared Files" ] || fail "the Shared Files folder is missing"
for file in Client/Admin/admin.html Client/Admin/images/profiles.png \
            share/man/man1/tlvadmin.1 share/man/man1/tlvadm.1 share/man/man1/tlvedit.1 \
            share/man/man1/tlvreg.1 share/man/man8/tlvsd.8 \
            share/applications/kestrova-tlvadmin.desktop \
            share/icons/hicolor/scalable/apps/kestrova-tlvadmin.svg; do
  [ -f "$root/$file" ] || fail "$file is missing"
done
# Every picture the manual shows is installed beside it.
for picture in $(grep -o 'src="images/[^"]*"' "$root/Client/Admin/admin.html" | cut -d'"' -f2); do
  [ -f "$root/Client/Admin/$picture" ] || fail "the manual's $picture is missing"
done
# The pages render with the spaces their synopses are written with: no item runs into the next.
for page in "$root"/share/man/man1/*.1 "$root"/share/man/man8/*.8; do
  rendered=$(MANWIDTH=100 man -l "$page" 2>/dev/null | col -b) || fail "$(basename "$page") does not render"
  if grep -nE '\]\[|[A-Za-z]\[-|[a-z]S\]' <<<"$rendered"; then
    fail "$(basename "$page") runs words together"
  fi
done
# (Rendered whole first: grep -q would leave man writing into a closed pipe.)
tlvadm_page=$(MANWIDTH=100 man -l "$root/share/man/man1/tlvadm.1" | col -b)
for line in 'set-level N [--emergency] [--wait [--timeout S]]' 'stop [--emergency] NAME...'; do
  grep -qF -- "$line" <<<"$tlvadm_page" || fail "tlvadm.1 does not show: $line"
done
tlvreg_page=$(MANWIDTH=100 man -l "$root/share/man/man1/tlvreg.1" | col -b)
grep -qF 'add KEY [NAME TYPE DATA]' <<<"$tlvreg_page" ||
  fail "tlvreg.1 does not show: add KEY [NAME TYPE DATA]"
# The parts only the package has stay out of a plain install.
[ ! -e "$root/usr" ] && [ ! -e "$root/lib" ] || fail "package-only parts were installed"

# The installed programs run from the root alone: nothing in them points into the build tree.
cd "$root"
for program in Client/bin/tlvadmin Client/bin/tlvedit Client/bin/tlvreg Server/bin/tlvsd; do
  name=$(basename "$program")
  answer=$(QT_QPA_PLATFORM=offscreen "$root/$program" --version 2>&1) || fail "$name --version failed"
  [ "$answer" = "$name $version (Kestrova Telvane Server)" ] || fail "$name --version: $answer"
  "$root/$program" --help >/dev/null 2>&1 || fail "$name --help failed"
  if readelf -d "$root/$program" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
    fail "$name looks for libraries in the build tree"
  fi
done
# Every program answers an option it does not take with one line naming itself, and exit 2.
for program in Client/bin/tlvadmin Client/bin/tlvadm Client/bin/tlvedit Client/bin/tlvreg \
               Server/bin/tlvsd; do
  name=$(basename "$program")
  status=0
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/$program" --bogus 2>&1 >/dev/null) || status=$?
  [ "$status" -eq 2 ] || fail "$name --bogus exits $status"
  [ "$answer" = "$name: unknown option --bogus (try --help)" ] || fail "$name --bogus: $answer"
done
TLV_REGISTRY="$root/registry.db" "$root/Client/bin/tlvreg" add 'SOFTWARE\Kestrova\Check' >/dev/null ||
  fail "the installed tlvreg cannot write a registry"

if [ "$failures" -ne 0 ]; then
  echo "$failures failed" >&2
  exit 1
fi
echo "install layout: every check passed"
