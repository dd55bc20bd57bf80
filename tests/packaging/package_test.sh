#!/bin/sh
# Builds the Debian package from this build tree and tries it as an installation would: the
# files are unpacked into a scratch folder, the programs run from there, the desktop files and
# the AppStream description pass their checkers, and the pre-installation step refuses to go on
# when nobody answers its question.
# Usage: package_test.sh BUILD_DIR SCRATCH_DIR
set -eu
build=$1
scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  fail "cpack could not build the package"
fi
set -- "$scratch"/out/quenbrook_*_amd64.deb
[ -f "$1" ] || fail "no quenbrook_VERSION_amd64.deb was made"
deb=$1

# The metadata: dependencies from the shared libraries, and the pre-installation step.
info=$(dpkg-deb -I "$deb")
echo "$info" | grep -Eq '^ Depends:.*libqt6widgets6' || fail "Depends does not name Qt: $info"
echo "$info" | grep -Eq '^ Depends:.*libc6' || fail "Depends does not name the C library"
echo "$info" | grep -Eq '^ Pre-Depends:.*libstdc\+\+6' || fail "no Pre-Depends for the preinst"
echo "$info" | grep -Eq '^ +[0-9]+ bytes, +[0-9]+ lines +\* +preinst ' || fail "no preinst: $info"

dpkg-deb -x "$deb" "$scratch/root"
usr=$scratch/root/usr
for file in bin/quenbrook bin/quenbrook-cli share/applications/quenbrook.desktop \
  share/applications/quenbrook-import.desktop share/mime/packages/quenbrook.xml \
  share/icons/hicolor/scalable/apps/quenbrook.svg share/man/man1/quenbrook.1.gz \
  share/man/man1/quenbrook-cli.1.gz share/doc/quenbrook/manual/index.html \
  share/doc/quenbrook/manual/reports.html share/doc/quenbrook/screenshots/main-window.png; do
  [ -s "$usr/$file" ] || fail "the package has no $file"
done
set -- "$usr"/lib/*quenbrook/libSetup.so
[ -f "$1" ] || fail "the package has no libSetup.so"

desktop-file-validate "$usr"/share/applications/*.desktop || fail "desktop files"
appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml || fail "AppStream file"

# The programs run from the unpacked files, against a scratch home.
mkdir -p "$scratch/home" "$scratch/config"
mkdir -m 700 "$scratch/run"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run"
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
budget=$scratch/budget.vrl
"$usr/bin/quenbrook-cli" generate "$budget" --transactions 200 --seed 7 || fail "generate"
"$usr/bin/quenbrook-cli" check "$budget" || fail "check"

# The program opens the budget: then it holds the budget's guard, and the tool refuses to write
# the file. (The same seed makes the same budget, so a write before the program is up changes
# nothing.)
"$usr/bin/quenbrook" -f "$budget" >"$scratch/quenbrook.log" 2>&1 &
program=$!
opened=no
tries=0
while [ $tries -lt 120 ] && kill -0 $program 2>/dev/null; do
  if "$usr/bin/quenbrook-cli" generate "$budget" --transactions 200 --seed 7 2>&1 |
    grep -q "is open in Quenbrook"; then
    opened=yes
    break
  fi
  tries=$((tries + 1))
  sleep 0.5
done
kill $program 2>/dev/null || true
wait $program 2>/dev/null || true
[ $opened = yes ] || { cat "$scratch/quenbrook.log" >&2; fail "quenbrook -f did not open the budget"; }

# The pre-installation step: with a registered older version and nobody to ask, the answer is
# No, the installation stops and the old uninstaller is not run; with none registered it goes on.
dpkg-deb -e "$deb" "$scratch/control"
printf '#!/bin/sh\ntouch "%s/uninstaller-ran"\n' "$scratch" >"$scratch/uninstall"
chmod +x "$scratch/uninstall"
printf '[Vorla]\nUninstallString=%s/uninstall\n' "$scratch" >"$scratch/uninstall.conf"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY QUENBROOK_UNINSTALL_KEYFILE="$scratch/uninstall.conf" \
  "$scratch/control/preinst" install </dev/null || status=$?
[ $status -eq 1 ] || fail "preinst went on ($status) although the removal was refused"
[ ! -e "$scratch/uninstaller-ran" ] || fail "the old uninstaller ran without leave"
env -u DISPLAY -u WAYLAND_DISPLAY QUENBROOK_UNINSTALL_KEYFILE="$scratch/none.conf" \
  "$scratch/control/preinst" install </dev/null || fail "preinst stopped with no older version"

rm -rf "$scratch"
echo "package $(basename "$deb") passed"
