#!/usr/bin/env bash
# One profile makes one device, whichever front end runs the station: the
# console tool and the window each run a station laid out from the samples,
# with automatic start, and build a device of the same make from the sample
# profile, then from one whose CD-ROM partition comes before a local and a
# removable disk. Both devices must hold the same units, every one of them
# read back by fsck.fat, mtools, sfdisk or xorriso.
# Usage: FrontEndsAgree.sh TESSOR MAVIK USBSIM CODETREE SAMPLES
set -eu
tessor=$1 mavik=$2 usbsim=$3 codetree=$4 samples=$5
# Generous, for the sanitizer builds on a loaded machine: only a fault waits this long.
limit=240
work=$(mktemp -d "${TMPDIR:-/tmp}/tessor-front-XXXXXX")
failures=0
station_pid=

cleanup() {
  if [ -n "$station_pid" ]; then
    kill -KILL "$station_pid" 2>/dev/null || true
  fi
  if ((failures)); then
    echo "front ends: the stations' folders are kept in $work" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

mkdir -p "$work/copy/docs" "$work/isosource"
echo "copied by either front end" >"$work/copy/readme.txt"
head -c 200000 /dev/urandom >"$work/copy/docs/data.bin"
echo "on the CD-ROM unit" >"$work/isosource/readme.txt"
xorriso -as mkisofs -quiet -V UNITISO -o "$work/unit.iso" "$work/isosource" 2>/dev/null

# The profiles, as changes to the sample's user profile, and the units each
# must give in order: removable, local or cdrom, with ":copy" when the copy
# folder is on it.
profile_sample() { :; }
units_sample="removable"
profile_cdrom_first() {
  sed -i -e 's/^PtnCapacity0=.*/PtnCapacity0=4096/' -e 's/^PtnType0=.*/PtnType0=2/' \
    -e "s#^CopyPath0=.*#CopyPath0=$work/unit.iso#" \
    -e 's/^PtnCapacity1=.*/PtnCapacity1=40000/' -e 's/^PtnType1=.*/PtnType1=1/' \
    -e "s#^CopyPath1=.*#CopyPath1=$work/copy#" \
    -e 's/^PtnCapacity2=.*/PtnCapacity2=20000/' -e "s#^CopyPath2=.*#CopyPath2=$work/copy#" "$1"
}
units_cdrom_first="cdrom local:copy removable:copy"

# Waits until FILE holds a line matching REGEX, while the station runs.
await() {
  local file=$1 regex=$2 end=$((SECONDS + limit))
  until grep -qE "$regex" "$file" 2>/dev/null; do
    if ! kill -0 "$station_pid" 2>/dev/null || ((SECONDS >= end)); then
      return 1
    fi
    sleep 0.1
  done
}

# Builds a device with TOOL (tessor or mavik) from PROFILE on a station of
# its own and exports its units into the station's folder "export".
produce() {
  local tool=$1 profile=$2 station=$work/$1-$2
  mkdir -p "$station/ports"
  cp -r "$samples/." "$station/"
  "$codetree" "$station" >/dev/null
  local settings=$station/releases/usr/etc/UserSetting.ini
  sed -i 's/^autoStart=0/autoStart=1/' "$settings"
  "profile_$profile" "$settings"
  "$usbsim" create "$station/device" --drive DISK --id ECD35195 --blocks 1024 --pages 64 --sectors 4 --seed 1 \
    >/dev/null
  (cd "$station" && TAVAL_PORTS="$station/ports" TESSOR_MESSAGE_BOX=log QT_QPA_PLATFORM=offscreen \
    exec "${!tool}" -f tessor.cfg >out 2>err) &
  station_pid=$!
  if ! await "$station/ports/port-count" .; then
    fail "$tool: the station did not start: $(cat "$station/err")"
  else
    "$usbsim" plug "$station/ports" 0 "$station/device" >/dev/null
    if ! await "$station/tessor.log" "Next State is 'State(BuildOk|Error)'"; then
      fail "$tool, $profile: the device's road did not end"
    elif ! grep -q "Next State is 'StateBuildOk'" "$station/tessor.log"; then
      fail "$tool, $profile: the device was not built: $(grep -m 3 ' ERR ' "$station/tessor.log")"
    fi
    "$usbsim" unplug "$station/ports" 0 >/dev/null
  fi
  kill -TERM "$station_pid" 2>/dev/null || true
  wait "$station_pid" || true
  station_pid=
  if grep -qE 'Sanitizer|runtime error' "$station/err"; then
    fail "$tool: its standard error:"
    cat "$station/err" >&2
  fi
  "$usbsim" export "$station/device" "$station/export" >/dev/null
  rm -f "$station/export/flash.raw" "$station/export/logical.img"
}

# The FAT volume in IMAGE (at OFFSET bytes) passes fsck.fat and holds the
# copy folder when WANTED is "copy".
check_fat() {
  local what=$1 image=$2 offset=$3 wanted=$4 out=$work/check
  rm -rf "$out"
  mkdir -p "$out"
  local volume=$image
  if ((offset)); then
    volume=$out/volume.img
    dd if="$image" of="$volume" bs=512 skip=$((offset / 512)) conv=sparse status=none
  fi
  fsck.fat -n "$volume" >"$out/fsck" 2>&1 || fail "$what: fsck.fat: $(cat "$out/fsck")"
  if [ "$wanted" = copy ]; then
    if MTOOLS_SKIP_CHECK=1 mcopy -s -n -i "$volume" :: "$out/tree" 2>"$out/mtools"; then
      diff -r "$work/copy" "$out/tree" >&2 || fail "$what: the copy folder is not on it"
    else
      fail "$what: mtools cannot read it: $(cat "$out/mtools")"
    fi
  fi
}

check_units() {
  local what=$1 folder=$2 expected=$3 slot=0 unit kind content
  for unit in $expected; do
    kind=${unit%%:*} content=${unit#*:}
    local image=$folder/lun$slot.img
    slot=$((slot + 1))
    if [ ! -e "$image" ]; then
      fail "$what: no unit $((slot - 1)) ($kind)"
      continue
    fi
    case $kind in
      removable) check_fat "$what unit $((slot - 1))" "$image" 0 "$content" ;;
      local)
        sfdisk -V "$image" >"$work/sfdisk" 2>&1 || fail "$what: sfdisk: $(cat "$work/sfdisk")"
        check_fat "$what unit $((slot - 1))" "$image" $((63 * 512)) "$content" ;;
      cdrom)
        cmp -n "$(stat -c %s "$work/unit.iso")" "$image" "$work/unit.iso" >&2 || fail "$what: not the CD-ROM image"
        xorriso -indev "$image" -find / -type f 2>/dev/null | grep -q readme.txt ||
          fail "$what: xorriso finds no readme.txt" ;;
    esac
  done
  [ ! -e "$folder/lun$slot.img" ] || fail "$what: more units than $expected"
}

for profile in sample cdrom_first; do
  units=units_$profile
  for tool in tessor mavik; do
    produce "$tool" "$profile"
    check_units "$tool, $profile" "$work/$tool-$profile/export" "${!units}"
  done
  console=$(cd "$work/tessor-$profile/export" && stat -c '%n %s' lun*.img 2>/dev/null || true)
  window=$(cd "$work/mavik-$profile/export" && stat -c '%n %s' lun*.img 2>/dev/null || true)
  echo "front ends, $profile: console" $console "; window" $window
  [ "$console" = "$window" ] || fail "$profile: the console's units differ from the window's"
done
if ((failures)); then
  echo "front ends: $failures failures" >&2
  exit 1
fi
