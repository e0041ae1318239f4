#!/usr/bin/env bash
# Builds the Debian packages tarrow and tarrow-gui into build/packages/ and checks them: lintian finds
# no error and no warning that the packages' own override files do not explain; every dependency
# resolves from Debian's archive (as on a box with nothing installed); the unpacked programs run, the
# command line on the demo installation. Installs what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tarrow_install_packages dpkg-dev fakeroot lintian
cmake --preset default
cmake --build --preset default
rm -rf build/packages
(cd build && cpack -G DEB -B "$PWD/packages")
debs=(build/packages/tarrow_*.deb build/packages/tarrow-gui_*.deb)
for deb in "${debs[@]}"; do
    [ -f "$deb" ] || { echo "package missing: $deb"; exit 1; }
done

echo "== lintian"
# Errors and warnings fail; information tags are listed for the curious.
lintian --fail-on error,warning --display-info "${debs[@]}"

echo "== dependencies"
# An empty package database: apt must find every dependency in the archive, not on this machine.
empty=$(mktemp)
trap 'rm -f "$empty"' EXIT
apt-get install --simulate -o Dir::State::Status="$empty" "./${debs[0]}" "./${debs[1]}" > build/packages/simulate.log
grep -q '^Inst tarrow ' build/packages/simulate.log
grep -q '^Inst tarrow-gui ' build/packages/simulate.log
echo "apt resolves $(grep -c '^Inst ' build/packages/simulate.log) packages for both"
# The command line alone pulls in no display stack.
apt-get install --simulate -o Dir::State::Status="$empty" "./${debs[0]}" > build/packages/simulate-cli.log
if grep -E '^Inst (libqt6gui6|libqt6widgets6|libqt6webengine|libx11-6|libgl1) ' build/packages/simulate-cli.log; then
    echo "the tarrow package pulls in a display stack"
    exit 1
fi

echo "== unpacked"
unpacked=$(mktemp -d)
trap 'rm -f "$empty"; rm -rf "$unpacked"' EXIT
for deb in "${debs[@]}"; do dpkg -x "$deb" "$unpacked"; done
"$unpacked/usr/bin/tarrow" --version
# The completion the build wrote from the command table.
grep -q '^complete -F _tarrow tarrow$' "$unpacked/usr/share/bash-completion/completions/tarrow"
QT_QPA_PLATFORM=offscreen "$unpacked/usr/bin/tarrow-gui" --version
"$unpacked/usr/bin/tarrow" demo --dir "$unpacked/demo" --json > "$unpacked/demo.json"
settings=$(sed -n 's/.*"settingsFile": "\(.*\)".*/\1/p' "$unpacked/demo.json")
rc=0
"$unpacked/usr/bin/tarrow" --settings "$settings" status --json > "$unpacked/status.json" || rc=$?
# 3: the report found something to mend, as the demo means it to.
[ "$rc" -eq 0 ] || [ "$rc" -eq 3 ] || { echo "tarrow status stopped with $rc"; exit 1; }
grep -q "\"installRoot\": \"$unpacked/demo/Half-Life/\"" "$unpacked/status.json"
echo "the unpacked tarrow reports on the demo installation (exit $rc)"
ls -l "${debs[@]}"
