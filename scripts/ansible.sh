#!/usr/bin/env bash
# Runs the playbooks of contrib/ansible with Debian's ansible-core against this machine, as two hosts
# (a Linux and a Windows demo installation, both over the local connection), and checks what they
# report and change. One of them has a server that answers the query (a fake on 127.0.0.1).
# Expects build/ to hold the built tarrow (scripts/test.sh). Installs what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
tarrow_install_packages ansible-core python3
tarrow="$PWD/build/src/cli/tarrow"
[ -x "$tarrow" ] || { echo "build tarrow first (scripts/test.sh)"; exit 1; }

work=$(mktemp -d)
server_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
"$tarrow" demo linux --dir "$work/linux" > /dev/null
"$tarrow" demo --dir "$work/windows" > /dev/null
python3 tests/support/fakeserver.py > "$work/port" &
server_pid=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")

cat > "$work/inventory.ini" <<INVENTORY
[tarrow_servers]
demo-linux tarrow_command="$tarrow --settings $work/linux/Tarrow-demo.conf" tarrow_address=127.0.0.1:$port
demo-windows tarrow_command="$tarrow --settings $work/windows/Tarrow-demo.conf" tarrow_address=127.0.0.1:1

[tarrow_servers:vars]
ansible_connection=local
ansible_python_interpreter=/usr/bin/python3
INVENTORY
export ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_LOCALHOST_WARNING=0
play() { ansible-playbook -i "$work/inventory.ini" "$@"; }

check_json() { # FILE PYTHON-EXPRESSION MESSAGE
    python3 -c "import json,sys; d=json.load(open(sys.argv[1])); sys.exit(0 if ($2) else 1)" "$1" ||
        { echo "playbook check failed: $3"; cat "$1"; exit 1; }
}

echo "== status.yml"
play contrib/ansible/status.yml -e tarrow_report="$work/status.json" | tee "$work/status.log"
grep -q "HOST .*FOLDER .*LOADED .*PEOPLE/BOTS .*CHAIN PROBLEMS" "$work/status.log"
check_json "$work/status.json" "[r['host'] for r in d] == ['demo-linux', 'demo-windows']" "one row per host"
check_json "$work/status.json" "d[0]['folder'] == '$work/linux/Half-Life/' and d[0]['platform'] == 'linux'" \
    "the Linux host's folder"
check_json "$work/status.json" "d[0]['answering'] and d[0]['people'] == 2 and d[0]['bots'] == 3 and d[0]['map'] == '2fort'" \
    "people apart from bots on the answering server"
check_json "$work/status.json" "not d[1]['answering'] and d[1]['people'] is None" "the silent server"
check_json "$work/status.json" "'neotf' not in d[0]['loaded'] and 'metamod' in d[0]['loaded']" "loaded components"
check_json "$work/status.json" "d[0]['chain_problems'] == [] and d[1]['chain_problems'] == []" "no chain problems"

echo "== check.yml"
play contrib/ansible/check.yml
# Metamod on the Linux server now finds only Windows lines: that host fails, the other passes.
printf '; Metamod plugins\r\nwin32 ../tarrow/tarrow.dll\r\n' > "$work/linux/Half-Life/TFC/addons/metamod/plugins.ini"
rc=0
ANSIBLE_STDOUT_CALLBACK=json play contrib/ansible/check.yml > "$work/check.json" || rc=$?
[ "$rc" -eq 2 ] || { echo "check.yml should fail one host (exit 2), got $rc"; exit 1; }
check_json "$work/check.json" "d['stats']['demo-linux']['failures'] == 1 and d['stats']['demo-windows']['failures'] == 0" \
    "only the broken host fails"
grep -q "has only win32 lines" "$work/check.json"
printf '; Metamod plugins\r\nlinux ../tarrow/tarrow_i386.so\r\n' > "$work/linux/Half-Life/TFC/addons/metamod/plugins.ini"

echo "== load.yml"
# No user systemd here: the restart that waits for people is tested with a fake systemctl elsewhere.
play contrib/ansible/load.yml -e component=neotf -e restart_when_empty=false | tee "$work/load.log"
grep -qE "demo-linux +: ok=[0-9]+ +changed=1 " "$work/load.log"
grep -qE "demo-windows +: ok=[0-9]+ +changed=1 " "$work/load.log"
# One host at a time.
[ "$(grep -c '^PLAY \[Load or unload a component' "$work/load.log")" -eq 2 ]
play contrib/ansible/load.yml -e component=neotf -e restart_when_empty=false | tee "$work/again.log"
grep -qE "demo-linux +: ok=[0-9]+ +changed=0 " "$work/again.log"
play contrib/ansible/status.yml -e tarrow_report="$work/after.json" > /dev/null
check_json "$work/after.json" "all('neotf' in r['loaded'] for r in d)" "neotf loaded on every host"
play contrib/ansible/load.yml -e component=neotf -e state=unloaded -e restart_when_empty=false > /dev/null
play contrib/ansible/status.yml -e tarrow_report="$work/unloaded.json" > /dev/null
check_json "$work/unloaded.json" "all('neotf' not in r['loaded'] for r in d)" "neotf unloaded on every host"
rc=0
play contrib/ansible/load.yml -e component=nothing > "$work/bad.log" || rc=$?
[ "$rc" -ne 0 ] && grep -q "give -e component" "$work/bad.log" || { echo "an unknown component must stop load.yml"; exit 1; }
echo "playbooks: all checks passed"
