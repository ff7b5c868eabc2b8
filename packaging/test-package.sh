#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a fresh root and uses the
# installed programs as a user would: veltrim-calc from an empty folder, and
# veltrim through the start window to a calculation and back out, in a real
# X server (Xvfb) driven with xdotool.
#   packaging/test-package.sh BUILD-FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package test: $*" >&2; exit 1; }

# Each run packs into its own folder, so parallel builds don't meet.
(cd "$build" && cpack -G DEB -B "$work/pack" >/dev/null) || fail "cpack failed"
deb=$(ls "$work"/pack/veltrim_*.deb)
root="$work/root"
dpkg-deb -x "$deb" "$root"

for f in usr/bin/veltrim usr/bin/veltrim-calc usr/bin/veltrim-launch \
         usr/share/veltrim/data/Tungsten.dat usr/share/veltrim/data/Aluminum.atc \
         usr/share/veltrim/data/Copper.dat usr/share/veltrim/data/ICRUSoft.dat \
         usr/share/veltrim/data/Primary.dat usr/share/veltrim/data/PDS-data/10.dat \
         usr/share/veltrim/data/PDS-data/150.dat usr/share/applications/veltrim.desktop \
         usr/share/metainfo/io.github.veltrim.Veltrim.metainfo.xml \
         usr/share/man/man1/veltrim-calc.1 usr/share/man/man1/veltrim.1 \
         usr/share/icons/hicolor/32x32/apps/veltrim.png \
         usr/share/icons/hicolor/256x256/apps/veltrim.png; do
  [ -e "$root/$f" ] || fail "the package lacks /$f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6svg6 fonts-liberation fonts-ipafont-gothic qt6-qpa-plugins; do
  case "$depends" in *"$d"*) ;; *) fail "the package does not depend on $d ($depends)";; esac
done

# The binary forms of the model data go to a cache of the test's own.
export XDG_CACHE_HOME="$work/cache"

# veltrim-calc from an empty folder finds the installed data.
mkdir "$work/calc" && cd "$work/calc"
"$root/usr/bin/veltrim-calc" >out.txt 2>err.txt || fail "veltrim-calc failed: $(cat err.txt)"
head -n 1 out.txt | grep -q '  100.00$' || fail "veltrim-calc printed no table: $(head -n 3 out.txt)"
[ -s PDD_tempDATA.txt ] || fail "veltrim-calc wrote no results file"
# It maps no Qt library for a table, and finds the installed report module
# when a report is asked for.
if ldd "$root/usr/bin/veltrim-calc" | grep -q libQt6; then fail "veltrim-calc links Qt"; fi
"$root/usr/bin/veltrim-calc" --report report.pdf >/dev/null 2>err.txt ||
  fail "veltrim-calc wrote no report: $(cat err.txt)"
head -c 5 report.pdf | grep -q '%PDF-' || fail "the report is not a PDF"
# Nor DCMTK unless a dose record is read, and then it finds the installed
# reader: a file that only looks like DICOM reaches DCMTK and is refused by it.
if ldd "$root/usr/bin/veltrim-calc" | grep -q 'libdcm\|libofstd\|liboflog'; then
  fail "veltrim-calc links DCMTK"
fi
{ head -c 128 /dev/zero; printf 'DICM'; head -c 64 /dev/zero; } >record.dcm
"$root/usr/bin/veltrim-calc" --study record.dcm --ap-thickness 22 --lateral-width 34 \
  --interest conceptus,8 >/dev/null 2>err.txt && fail "a damaged dose record was read"
grep -q 'truncated or damaged' err.txt || fail "the dose-record module was not used: $(cat err.txt)"

# The Python module, when it was built, imports from the installed tree and
# computes over the installed data.
if [ -e "$build/python" ] && ls "$build"/python/veltrim*.so >/dev/null 2>&1; then
  module=$(ls "$root"/usr/lib/python3/dist-packages/veltrim*.so 2>/dev/null | head -n 1)
  [ -n "$module" ] || fail "the package lacks the Python module"
  if ldd "$module" | grep -q libQt6; then fail "the Python module links Qt"; fi
  total=$(cd "$work/calc" && PYTHONPATH="$root/usr/lib/python3/dist-packages" \
    VELTRIM_DATA="$root/usr/share/veltrim/data" /usr/bin/python3 -c \
    "import veltrim; print(veltrim.depth_dose(veltrim.Conditions()).total[0])") ||
    fail "the installed Python module does not compute"
  [ "$total" = "100.0" ] || fail "the installed Python module gave $total for the first layer"
fi

# veltrim through its windows, from an empty folder.
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || fail "Xvfb and xdotool are needed"
# Xvfb picks a free display itself and writes its number once it accepts
# connections. Without -noreset the server resets when its last client leaves,
# and a client that connects during the reset is refused: the xdotool check
# below would then race the program's own connection.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1200); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"
unset QT_QPA_PLATFORM
xdotool getdisplaygeometry >/dev/null || fail "no connection to the X server on $DISPLAY"
mkdir "$work/gui" && cd "$work/gui"
"$root/usr/bin/veltrim" >app.log 2>&1 &
app_pid=$!

# Each wait below gives up after 120 s: a loaded machine can take tens of
# seconds to start the program or finish a calculation.
# Window positions inside the client area, in pixels (twips / 15).
window_with() { # waits for a visible window of the program whose name matches $1
  local id=""
  for _ in $(seq 1200); do
    id=$(xdotool search --onlyvisible --pid "$app_pid" --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$app_pid" 2>/dev/null || fail "veltrim ended early: $(cat app.log)"
    sleep 0.1
  done
  fail "no window named '$1' appeared: $(cat app.log)"
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

start=$(window_with '.')
click "$start" 160 276                      # English edition
main=$(window_with 'Percentage depth dose')
click "$main" 136 616                       # OK
for _ in $(seq 1200); do [ -s PDD_tempDATA.txt ] && break; sleep 0.1; done
[ -s PDD_tempDATA.txt ] || fail "no calculation: no PDD_tempDATA.txt ($(cat app.log))"
# An Exit that arrives while the calculation is still plotting is held until
# it has finished, so it may follow at once.
click "$main" 112 672                       # Exit
for _ in $(seq 1200); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app_pid" 2>/dev/null; then fail "veltrim did not end on Exit"; fi
wait "$app_pid" || fail "veltrim ended with a failure: $(cat app.log)"
app_pid=""
[ ! -e PDD_tempDATA.txt ] || fail "the working file was not deleted at exit"
echo "package test: $(basename "$deb") installs and runs"
