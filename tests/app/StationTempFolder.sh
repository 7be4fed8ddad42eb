#!/usr/bin/env bash
# The console station writes nothing into its TMPDIR: a device whose profile
# copies a folder onto it is killed (SIGKILL) while its copy is read back to
# be checked, the station is started again and builds it (without a copy);
# the private, empty TMPDIR it ran with is still empty, and the device's
# folder keeps no read-back left by the killed run.
# Usage: StationTempFolder.sh TESSOR USBSIM CODETREE SAMPLES
set -eu
tessor=$1 usbsim=$2 codetree=$3 samples=$4
limit=120
work=$(mktemp -d "${TMPDIR:-/tmp}/tessor-tmpdir-XXXXXX")
station=$work/station
device=$station/devices/D0
station_pid=

cleanup() {
  if [ -n "$station_pid" ]; then
    kill -KILL -- "-$station_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Waits until FILE holds a line matching REGEX; false when the station ended
# or the limit passed first.
await() {
  local file=$1 regex=$2 end=$((SECONDS + limit))
  until grep -qE "$regex" "$file" 2>/dev/null; do
    if ! kill -0 "$station_pid" 2>/dev/null || ((SECONDS >= end)); then
      return 1
    fi
    sleep 0.05
  done
}

# Starts the station with the private TMPDIR and PATH first searched in
# FIRST_PATH; its output goes to OUT.
start_station() {
  local out=$1 first_path=$2
  (cd "$station" && TMPDIR="$work/tmp" PATH="$first_path:$PATH" TAVAL_PORTS="$station/ports" \
    exec setsid "$tessor" -f tessor.cfg >"$out" 2>"$out.err") &
  station_pid=$!
  await "$out" '^- LAYER_READY$' || fail "the station did not start: $(cat "$out.err")"
}

mkdir -p "$work/tmp" "$work/bin" "$station/ports" "$station/devices" "$station/copy/docs"
cp -r "$samples/." "$station/"
"$codetree" "$station" >/dev/null
sed -i "s#^CopyPath0=.*#CopyPath0=$station/copy#" "$station/releases/usr/etc/UserSetting.ini"
echo "copied by the station" >"$station/copy/readme.txt"
head -c 100000 /dev/urandom >"$station/copy/docs/data.bin"
"$usbsim" create "$device" --drive D0 --id ECD351C0 --blocks 128 --pages 64 --sectors 4 >/dev/null
section=$("$usbsim" ini-section "$device")
printf '\n%s\n' "$section" >>"$station/releases/usr/etc/FlashChip.ini"

# An mcopy that, once it has read a volume back into a folder (-n), says so
# and holds the station there.
real_mcopy=$(command -v mcopy)
cat >"$work/bin/mcopy" <<EOF
#!/bin/sh
"$real_mcopy" "\$@" || exit \$?
[ "\$2" = -n ] || exit 0
touch "$work/reading-back"
exec sleep $limit
EOF
chmod +x "$work/bin/mcopy"

start_station "$work/first" "$work/bin"
"$usbsim" plug "$station/ports" 0 "$device" >/dev/null
end=$((SECONDS + limit))
until [ -e "$work/reading-back" ]; do
  ((SECONDS < end)) || fail "the copy was never read back: $(grep -E '^UDISK-0 (STATUS|BUILD_OK)' "$work/first")"
  sleep 0.05
done
kill -KILL "$station_pid"
wait "$station_pid" 2>/dev/null || true
kill -KILL -- "-$station_pid" 2>/dev/null || true
station_pid=
[ -z "$(ls -A "$work/tmp")" ] || fail "the killed station left in its TMPDIR: $(cd "$work/tmp" && find . -mindepth 1)"

# Without a copy this time: the device's opening alone clears the read-back.
sed -i "s#^CopyPath0=.*#CopyPath0=#" "$station/releases/usr/etc/UserSetting.ini"
start_station "$work/second" /nonexistent
await "$work/second" '^UDISK-0 (BUILD_OK|STATUS)' || fail "the device got no end of its road after the restart"
grep -qE '^UDISK-0 BUILD_OK' "$work/second" || fail "the device was not built: $(grep -E '^UDISK-0 STATUS' "$work/second")"
kill -TERM "$station_pid"
wait "$station_pid" || fail "the station ended with status $?"
station_pid=
[ -z "$(ls -A "$work/tmp")" ] || fail "the station left in its TMPDIR: $(cd "$work/tmp" && find . -mindepth 1)"
leftover=$(find "$device" -mindepth 1 -type d)
[ -z "$leftover" ] || fail "the device's folder keeps: $leftover"
