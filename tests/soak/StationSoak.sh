#!/usr/bin/env bash
# The console station run as a factory runs it, on simulated devices:
#  - soak: every port plugs fresh devices and pulls them at random moments of
#    their road (identification, scan, low format, high format, built), often
#    plugging the next one at once; the station must never crash, every device
#    left in must be built, no report may come for a device
#    after its PLUGGED_OFF, and a SIGTERM amid running devices must end the
#    station cleanly with no process of it left;
#  - road: a device of every usbsim preset and the demo's four-chip device
#    built, each logical unit exported and read back by fsck.fat and mtools;
#  - broken storage: device files cut while plugged, a device on a file
#    system that is full, a refused device mended and plugged again and a
#    second station on the ports folder: only the device concerned fails,
#    with its code, and every other one is built.
# The plug schedule is drawn from a seed: TESSOR_SOAK_SEED=N replays another.
# Usage: StationSoak.sh TESSOR USBSIM CODETREE SAMPLES
set -eu
tessor=$1 usbsim=$2 codetree=$3 samples=$4
seed=${TESSOR_SOAK_SEED:-35}
echo "soak: seed $seed (TESSOR_SOAK_SEED=N replays another)"
RANDOM=$seed

ports=4
rounds=4
# Small enough to be built in seconds with the flash's real timing.
soak_device=(--id ECD351C0 --blocks 128 --pages 64 --sectors 4)
# Generous, for the sanitizer builds on a loaded machine: only a fault waits this long.
limit=120
work=$(mktemp -d "${TMPDIR:-/tmp}/tessor-soak-XXXXXX")
failures=$work/failures
station=
station_pid=
small_fs=
declare -A heard=()

cleanup() {
  if [ -n "$station_pid" ]; then
    kill -KILL "$station_pid" 2>/dev/null || true
  fi
  if [ -n "$small_fs" ]; then
    umount "$small_fs" 2>/dev/null || true
  fi
  if [ -s "$failures" ]; then
    echo "soak: the stations' folders are kept in $work" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" | tee -a "$failures" >&2
}

# The station has not ended (the shell may have reaped it, or it is a zombie).
# Builtins only, here and below: on a loaded machine a process per look at
# the output would make the pulls come seconds late.
running() {
  local state=Z
  [ -r "/proc/$station_pid/stat" ] && read -r _ _ state _ <"/proc/$station_pid/stat"
  [ "$state" != Z ]
}

# Sleeps MS milliseconds.
nap() {
  read -r -t "$(printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)))" -u "$tick" || true
}

# Sleeps a random time of 0 to MAX milliseconds.
pause() {
  nap $((RANDOM % ($1 + 1)))
}

# Reads the station's output from here on through a descriptor of this
# shell's own; `skip` passes over what was said so far.
follow() {
  local fifo=$work/tick-$BASHPID
  exec {out}<"$station/out"
  [ -p "$fifo" ] || mkfifo "$fifo"
  exec {tick}<>"$fifo"
  pending=
}

# Sets `line` to the next whole line of the output; false when none is there yet.
next_line() {
  local part=
  if IFS= read -r -u "$out" part; then
    line=$pending$part
    pending=
    return 0
  fi
  pending+=$part
  return 1
}

skip() {
  while next_line; do :; done
}

# Keeps each port's last report of each word (FOUND, STATUS, ...) in `heard`.
note() {
  [[ $line =~ ^UDISK-([0-9]+)\ ([A-Z_]+) ]] || return 0
  heard["${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"]=$line
}

# Reads on until a line matches REGEX; false when the station ended or the
# limit passed first.
await() {
  local regex=$1 end=$((SECONDS + limit))
  while :; do
    while next_line; do
      note
      [[ $line =~ $regex ]] && return 0
    done
    if ! running || ((SECONDS >= end)); then
      return 1
    fi
    nap 20
  done
}

# Reads on until every port below COUNT was heard saying one of WORDS.
await_each() {
  local count=$1 words=$2 end=$((SECONDS + limit)) port word left
  while :; do
    while next_line; do
      note
    done
    left=0
    for ((port = 0; port < count; port++)); do
      left=$((left + 1))
      for word in $words; do
        if [ -n "${heard["$port $word"]:-}" ]; then
          left=$((left - 1))
          break
        fi
      done
    done
    ((left)) || return 0
    if ! running || ((SECONDS >= end)); then
      return 1
    fi
    nap 20
  done
}

# Station NAME laid out like the demo's, for controller variant CHIPSET: its
# configuration, profiles and flash-chip table, the firmware tree, a folder
# the high format copies onto every device, and the ports folder.
make_station() {
  station=$work/$1
  mkdir -p "$station/ports" "$station/devices" "$station/copy/docs"
  cp -r "$samples/." "$station/"
  "$codetree" "$station" >/dev/null
  sed -i "s/^ChipSet .*/ChipSet          string  $2/" "$station/tessor.cfg"
  # The photo-frame controller builds USB disks from the 6716 images.
  printf 'ScanCode list 6716V31 releases/code/scan_6716.img\nUdiskCode list 6716V31 releases/code/udisk_6716.img\n' \
    >>"$station/tessor.cfg"
  # Content to copy onto the unit the station fits to each device.
  sed -i "s#^CopyPath0=.*#CopyPath0=$station/copy#" "$station/releases/usr/etc/UserSetting.ini"
  echo "made by the station soak" >"$station/copy/readme.txt"
  head -c 300000 /dev/urandom >"$station/copy/docs/data.bin"
}

# Device NAME of the station, made with usbsim options; its drive text is its name.
make_device() {
  local name=$1
  shift
  "$usbsim" create "$station/devices/$name" --drive "$name" "$@" >/dev/null
}

# The flash-chip table gets the section of device NAME unless it has one for its id.
add_section() {
  local section table=$station/releases/usr/etc/FlashChip.ini
  section=$("$usbsim" ini-section "$station/devices/$1")
  if ! grep -qxF "$(head -n 1 <<<"$section")" "$table"; then
    printf '\n%s\n' "$section" >>"$table"
  fi
}

start_station() {
  # A session of its own: whatever the station starts stays in it.
  (cd "$station" && TAVAL_PORTS="$station/ports" exec setsid "$tessor" -f tessor.cfg >out 2>err) &
  station_pid=$!
  until [ -e "$station/out" ]; do
    sleep 0.01
  done
  follow
  if ! await '^- LAYER_READY$'; then
    fail "the station did not start: $(cat "$station/err")"
    exit 1
  fi
}

# SIGTERM ends the station with status 0 within the limit and leaves no
# process behind; nothing a sanitizer says may be on its standard error.
stop_station() {
  kill -TERM "$station_pid" 2>/dev/null || true
  local end=$((SECONDS + limit))
  while running && ((SECONDS < end)); do
    sleep 0.1
  done
  if running; then
    fail "the station did not end within $limit s of SIGTERM"
    kill -KILL "$station_pid"
  fi
  local status=0
  wait "$station_pid" || status=$?
  [ "$status" = 0 ] || fail "the station ended with status $status"
  local left
  left=$(ps -o pid=,args= -s "$station_pid" || true)
  if [ -n "$left" ]; then
    fail "processes left by the station: $left"
    kill -KILL $(awk '{print $1}' <<<"$left") 2>/dev/null || true
  fi
  station_pid=
  if grep -qE 'Sanitizer|runtime error' "$station/err"; then
    fail "the station's standard error:"
    cat "$station/err" >&2
  fi
}

plug() {
  "$usbsim" plug "$station/ports" "$1" "$station/devices/$2" >/dev/null
}

unplug() {
  "$usbsim" unplug "$station/ports" "$1" >/dev/null
}

# A port's rounds: a fresh device each round, pulled at a random moment of its
# road or left to its end; the next one plugged at once or after the station
# let the last go.
soak_port() {
  local port=$1 round device phase
  local ended="STATUS|BUILD_OK|PLUGGED_OFF"
  RANDOM=$((seed * 100 + port))
  follow
  for ((round = 0; round <= rounds; round++)); do
    device=P${port}R$round
    # The last round leaves its device in to its end.
    phase=$((round == rounds ? 5 : RANDOM % 6))
    skip
    line=
    plug "$port" "$device"
    # Reports before this device's FOUND may still be the last device's, its
    # FOUND too: the line that counts names this one.
    ((phase == 0)) || await "^UDISK-$port FOUND: .*'$device'" || fail "port $port: device $device was not found"
    case $phase in
      0) pause 400 ;;
      1) pause 2000 ;;
      2) await "^UDISK-$port (PROGRESS: StateScan|$ended)" && pause 1000 ;;
      # The low format is short: the pull is aimed at the end of the scan.
      3) await "^UDISK-$port (PROGRESS: (StateScan ScanSaveBitmap 1000|StateLowFormat)|$ended)" && pause 30 ;;
      4) await "^UDISK-$port (PROGRESS: StateHighFormat|$ended)" && pause 300 ;;
      # A sound device left in is built, whatever came before it on the port.
      5) if ! await "^UDISK-$port (STATUS|BUILD_OK)"; then
           fail "port $port: device $device got neither BUILD_OK nor a code"
         elif [[ $line != "UDISK-$port BUILD_OK"* ]]; then
           fail "port $port: device $device left in was not built: ${line:8:100}"
         fi ;;
    esac || fail "port $port: device $device reported nothing"
    unplug "$port"
    if ((RANDOM % 3 != 0 && round < rounds)) || [ "$line" = "UDISK-$port PLUGGED_OFF" ]; then
      continue
    fi
    await "^UDISK-$port PLUGGED_OFF" || fail "port $port: no PLUGGED_OFF for $device"
  done
}

# Every report of a port lies between a FOUND and its PLUGGED_OFF, and every
# FOUND comes to its PLUGGED_OFF.
check_reports() {
  awk -v ports="$ports" '
    /^UDISK-[0-9]+ / {
      port = substr($1, 7); word = $2; sub(/:$/, "", word)
      if (word == "FOUND") {
        if (on[port]) print "port " port ": FOUND before the last device'"'"'s PLUGGED_OFF (line " NR ")"
        on[port] = 1
      } else if (!on[port]) {
        print "port " port ": " word " after PLUGGED_OFF (line " NR "): " $0
      } else if (word == "PLUGGED_OFF") {
        on[port] = 0
      }
    }
    END { for (p = 0; p < ports; ++p) if (on[p]) print "port " p ": a device never reported PLUGGED_OFF" }
  ' "$station/out" | head -n 20 | while IFS= read -r problem; do fail "$problem"; done
}

# Where the station was with each device it let go: the last step it reported
# before the PLUGGED_OFF (a code it reported on the way is left aside).
removals() {
  awk '
    /^UDISK-[0-9]+ / {
      port = $1; word = $2; sub(/:$/, "", word)
      if (word == "PROGRESS") word = $3
      if (word == "PLUGGED_OFF") ++after[at[port]]; else if (word != "STATUS") at[port] = word
    }
    END { for (word in after) print "soak: " after[word] " let go after " word }
  ' "$station/out" | sort
}

soak() {
  make_station soak 6716
  local port round pids=()
  # Made ahead, one port at a time: each usbsim call takes long under a sanitizer.
  for ((port = 0; port < ports; port++)); do
    (
      for ((round = 0; round <= rounds; round++)); do
        make_device "P${port}R$round" "${soak_device[@]}" --timing realistic
      done
      make_device "S$port" "${soak_device[@]}"
    ) &
    pids+=($!)
  done
  wait "${pids[@]}"
  add_section S0
  start_station
  pids=()
  for ((port = 0; port < ports; port++)); do
    soak_port "$port" &
    pids+=($!)
  done
  for port in "${pids[@]}"; do
    wait "$port" || fail "a port's rounds ended early"
  done
  check_reports
  removals
  # Stopped amid running devices, copies included.
  for ((port = 0; port < ports; port++)); do
    plug "$port" "S$port"
  done
  pause 2000
  stop_station
}

# Devices of the road: name, chip set, usbsim options.
road_devices=(
  "G1 6716 --preset G1 --id ECD351D1"
  "G2 6716 --preset G2 --id ECD351D2"
  "G5 6716 --preset G5 --id ECD351D5"
  "4chip 6716 --variant 6716 --id ADD7949A --chips 4 --blocks 1024 --pages 128 --sectors 8 --fault BadBlockFraction=0.01"
  "G3 6706 --preset G3 --id ECD351D3"
  "G4 6716V31 --preset G4 --id ECD351D4"
  "G4-94 6716V31 --preset G4-94 --id ECD351D6"
)

# Every unit of an exported device passes fsck.fat and holds the copy folder.
check_units() {
  local name=$1 out=$work/export-$1 unit found=0
  "$usbsim" export "$station/devices/$name" "$out" >/dev/null
  rm -f "$out/flash.raw"
  for unit in "$out"/lun*.img; do
    [ -e "$unit" ] || continue
    found=1
    fsck.fat -n "$unit" >"$out/fsck" 2>&1 || fail "$name: fsck.fat on $(basename "$unit"): $(cat "$out/fsck")"
    rm -rf "$out/tree"
    if MTOOLS_SKIP_CHECK=1 mcopy -s -n -i "$unit" :: "$out/tree" 2>"$out/mtools"; then
      diff -r "$station/copy" "$out/tree" >&2 || fail "$name: $(basename "$unit") does not hold the copied folder"
    else
      fail "$name: mtools cannot read $(basename "$unit"): $(cat "$out/mtools")"
    fi
  done
  ((found)) || fail "$name: no logical unit exported"
  rm -rf "$out"
}

# The road devices of CHIPSET built side by side on a station of their own.
road() {
  local chipset=$1 entry name chip options port expected
  make_station "road-$chipset" "$chipset"
  local names=()
  for entry in "${road_devices[@]}"; do
    read -r name chip options <<<"$entry"
    if [ "$chip" = "$chipset" ]; then
      # shellcheck disable=SC2086
      make_device "$name" $options --seed "$RANDOM"
      add_section "$name"
      names+=("$name")
    fi
  done
  start_station
  heard=()
  for ((port = 0; port < ${#names[@]}; port++)); do
    plug "$port" "${names[port]}"
  done
  # A 6706 has no page for its configuration table (see the readme).
  expected='BUILD_OK'
  if [ "$chipset" = 6706 ]; then
    expected='STATUS: .*\(0x8021\)'
  fi
  await_each ${#names[@]} 'BUILD_OK STATUS' || true
  for ((port = 0; port < ${#names[@]}; port++)); do
    line=${heard["$port BUILD_OK"]:-${heard["$port STATUS"]:-}}
    if [ -z "$line" ]; then
      fail "${names[port]}: no end of its road"
    else
      echo "road: ${names[port]} ${line:8:100}"
      [[ $line =~ ^UDISK-$port\ $expected ]] || fail "${names[port]}: not as expected: $expected"
    fi
    unplug "$port"
  done
  await_each ${#names[@]} PLUGGED_OFF || fail "not every road device reported PLUGGED_OFF"
  stop_station
  check_reports
  if [ "$chipset" != 6706 ]; then
    for name in "${names[@]}"; do
      check_units "$name"
    done
  fi
}

# A FIFO named as the log, and one inside the copy folder: the log falls back
# to standard error and the device fails its copy, and nothing waits on a
# reader. Then a station killed amid a copy takes the copying program with it.
odd_files() {
  make_station odd 6716
  make_device D0 "${soak_device[@]}"
  add_section D0
  rm -f "$station/tessor.log"
  mkfifo "$station/tessor.log" "$station/copy/docs/pipe"
  start_station
  grep -qF 'Cannot open log file tessor.log:  is not a regular file' "$station/err" ||
    fail "the station took a FIFO as its log"
  plug 0 D0
  if ! await '^UDISK-0 (STATUS|BUILD_OK)'; then
    fail "a device copying a folder with a FIFO did not end"
  elif [[ $line != 'UDISK-0 STATUS'*'(0x8015)'* ]]; then
    fail "a device copying a folder with a FIFO: ${line:8:100}"
  fi
  grep -qF "copy/docs/pipe is not a regular file" "$station/err" || fail "the copy did not name the FIFO"
  unplug 0
  stop_station

  # A copying program that never ends, found first on the path.
  rm "$station/tessor.log" "$station/copy/docs/pipe"
  mkdir -p "$work/bin"
  printf '#!/bin/sh\necho $$ >"%s"\nexec sleep %d\n' "$work/copying" $((limit * 2)) >"$work/bin/mcopy"
  chmod +x "$work/bin/mcopy"
  local -x PATH="$work/bin:$PATH"
  start_station
  plug 0 D0
  local end=$((SECONDS + limit))
  until [ -s "$work/copying" ] || ! running || ((SECONDS >= end)); do
    nap 50
  done
  local copying
  copying=$(cat "$work/copying" 2>/dev/null) || true
  kill -KILL "$station_pid"
  wait "$station_pid" 2>/dev/null || true
  station_pid=
  if [ -z "$copying" ]; then
    fail "the killed station never started its copy"
    return
  fi
  local state=
  end=$((SECONDS + limit))
  while [ -r "/proc/$copying/stat" ] && read -r _ _ state _ <"/proc/$copying/stat" && [ "$state" != Z ] &&
    ((SECONDS < end)); do
    nap 50
  done
  if [ -r "/proc/$copying/stat" ] && [ "$state" != Z ]; then
    fail "the copying program outlived the killed station"
    kill -KILL "$copying" 2>/dev/null || true
  fi
}

# Ports 0..2: a device whose page-state, flash or logical-disk file is cut
# amid its scan; port 3: a device on a file system filled before its scan
# (a small tmpfs, where this machine lets us mount one; else a sound device
# on the disk); port 4: a device
# refused for its description, mended and plugged again; port 5: a sound
# device. Meanwhile a second station on the same ports folder is refused.
broken_storage() {
  make_station broken 6716
  sed -i 's/^Device_Count .*/Device_Count     int     6/' "$station/tessor.cfg"
  local port name cut=(pages.bin flash.bin logical.bin)
  for name in C0 C1 C2 R S; do
    make_device "$name" "${soak_device[@]}" --timing realistic
  done
  add_section S
  local full=
  small_fs=$work/small
  mkdir -p "$small_fs"
  if mount -t tmpfs -o size=1m tmpfs "$small_fs" 2>/dev/null; then
    "$usbsim" create "$small_fs/F" --drive F "${soak_device[@]}" --timing realistic >/dev/null
    ln -s "$small_fs/F" "$station/devices/F"
    cat /dev/zero >"$small_fs/fill" 2>/dev/null || true
    full=1
  else
    small_fs=
    echo "broken storage: no tmpfs can be mounted here; port 3 takes a sound device"
    make_device F "${soak_device[@]}" --timing realistic
  fi
  cp "$station/devices/R/device.ini" "$work/R.ini"
  sed -i 's/^Variant=.*/Variant=9999/' "$station/devices/R/device.ini"
  start_station
  heard=()
  for port in 0 1 2; do
    plug "$port" "C$port"
  done
  plug 3 F
  # usbsim would refuse the broken device: the entry is made by hand.
  ln -s "$station/devices/R" "$station/ports/port4"
  plug 5 S
  for port in 0 1 2; do
    if await "^UDISK-$port (PROGRESS: StateScan|STATUS|BUILD_OK)"; then
      truncate -s 0 "$station/devices/C$port/${cut[port]}"
    else
      fail "port $port: device C$port never reached its scan"
    fi
  done

  local first=$station second status=0
  make_station second 6716
  second=$station
  station=$first
  (cd "$second" && TAVAL_PORTS="$station/ports" exec timeout "$limit" "$tessor" -f tessor.cfg >out 2>err) ||
    status=$?
  [ "$status" = 3 ] || fail "a second station on the ports folder ended with status $status, not 3"
  grep -q 'is watched by another running station' "$second/err" ||
    fail "the second station did not say why it stopped: $(head -c 300 "$second/err")"
  [ -s "$station/ports/port-count" ] || fail "the second station took the first one's port count"

  local end=$((SECONDS + limit))
  until grep -q 'port4 not plugged' "$station/err" || ((SECONDS >= end)); do
    nap 50
  done
  cp "$work/R.ini" "$station/devices/R/device.ini"
  unplug 4
  plug 4 R
  await_each 6 'BUILD_OK STATUS' || fail "not every port of the broken-storage station ended its road"
  local expected
  for port in 0 1 2 3 4 5; do
    expected='STATUS: .*\(0x[0-9A-Fa-f]+\)'
    ((port >= 4 || (port == 3 && !full))) && expected=BUILD_OK
    line=${heard["$port BUILD_OK"]:-${heard["$port STATUS"]:-}}
    echo "broken storage: port $port ${line:8:100}"
    [[ $line =~ ^UDISK-$port\ $expected ]] || fail "port $port: not as expected: $expected"
  done
  local told
  told=$(grep -c 'port4 not plugged' "$station/err" || true)
  [ "$told" = 1 ] || fail "the refused device was told $told times, not once"
  for port in 0 1 2 3 4 5; do
    [ -L "$station/ports/port$port" ] && unplug "$port"
  done
  await_each 6 PLUGGED_OFF || true
  stop_station
  check_reports
  [ ! -e "$station/ports/port-count" ] || fail "the station left its port count behind"
  if [ -n "$small_fs" ]; then
    umount "$small_fs"
    small_fs=
  fi
}

started=$SECONDS
broken_storage
echo "broken storage: $((SECONDS - started)) s"
odd_files
echo "odd files: $((SECONDS - started)) s"
soak
echo "soak: $((SECONDS - started)) s"
for chipset in 6716 6706 6716V31; do
  road "$chipset"
done
echo "soak and road: $((SECONDS - started)) s"
if [ -s "$failures" ]; then
  echo "soak: $(wc -l <"$failures") failures with seed $seed" >&2
  exit 1
fi
