#!/usr/bin/env bash
# shellcheck disable=SC2317  # functions run through trap look unreachable to it
# Measures Vossel under Wine and prints a table; writes it as JSON too.
#
#   scripts/bench.sh [runs, default 7]
#
# - time from starting vossel.exe to its window docked at the top, against
#   two floors, alternating runs: the themed dialog bar (bench/ThemedDialogBar.cpp,
#   the least program that shows the same bar) and a bare desktop toolbar
#   (bench/BareAppBar.cpp); medians, extremes and the ratios against each, the
#   steps on the way timed alike for all three (bench/BenchProbe.cpp); CPU to
#   docked and resident memory after docking, with their ratios;
# - the size of vossel.exe;
# - CPU time over an idle minute docked, and again hidden as an auto-hide bar;
# - CPU time across one click on a drive, until its window is tiled;
# - the frames, duration and CPU time of a slide out and a slide in of the
#   auto-hide bar, with window contents shown while dragging as Windows does
#   by default.
# A figure that this build cannot give (auto-hide not there yet) reads "n/a".
#
# Not a test: it asserts nothing about time. Runs on a virtual 1024x768 screen
# when there is no DISPLAY. VOSSEL_BENCH_IDLE_SECONDS shortens the idle minute.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SELF=$ROOT/scripts/bench.sh
RUNS=${1:-7}
IDLE_SECONDS=${VOSSEL_BENCH_IDLE_SECONDS:-60}

if [ -z "${BENCH_IN_XVFB:-}" ]; then
    "$ROOT/scripts/install-deps.sh" cmake g++-mingw-w64-x86-64 wine wine64 fonts-wine fonts-liberation xvfb xauth xdotool >&2 || exit 1
    BUILD=$ROOT/build/windows
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
    cmake --build "$BUILD" -j2 --target vossel vosseldrv fakeexplorer bareappbar themeddialogbar benchprobe >/dev/null || exit 1
    if [ -z "${DISPLAY:-}" ]; then
        exec xvfb-run -a -s "-screen 0 1024x768x24" env BENCH_IN_XVFB=1 bash "$SELF" "$@"
    fi
fi

BUILD=$ROOT/build/windows
OUT=$ROOT/build/bench
VOSSEL=$BUILD/vossel.exe
BARE=$BUILD/bench/bareappbar.exe
THEMED=$BUILD/bench/themeddialogbar.exe
PROBE=$BUILD/bench/benchprobe.exe
DRIVER=$BUILD/vosseldrv.exe
LAUNCHEE=$BUILD/fakeexplorer.exe
SETTINGS='Software\Quorvane\Vossel\Settings'
export WINEPREFIX=$OUT/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

rm -rf "$OUT"
mkdir -p "$OUT"
VOSSEL_PID=""
cleanup() {
    [ -n "$VOSSEL_PID" ] && kill -0 "$VOSSEL_PID" 2>/dev/null && kill "$VOSSEL_PID"
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
}
trap cleanup EXIT

# Wine's output goes to files, never a pipe (programs it starts inherit it).
N=0
run() {  # run <name> <windows program> <args...>; output in $RUN_OUT
    N=$((N + 1))
    RUN_OUT=$OUT/$N-$1.txt
    shift
    wine "$@" >"$RUN_OUT.raw" 2>>"$OUT/wine-stderr.txt"
    local rc=$?
    tr -d '\r' <"$RUN_OUT.raw" >"$RUN_OUT"
    rm -f "$RUN_OUT.raw"
    return $rc
}
val() { sed -n "s/^$1=//p" "$RUN_OUT" | head -n 1; }
drv() { run "drv-$1" "$DRIVER" "$@"; }
winpath() { local p=${1//\//\\}; echo "Z:$p"; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { if [ "$1" = n/a ] || [ "$2" = n/a ]; then echo n/a; else awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; fi; }
mb() { if [ "$1" = n/a ]; then echo n/a; else awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; fi; }

CLK_TCK=$(getconf CLK_TCK)
cpu_ms() {  # user + system time of Linux process $1 so far
    local f
    read -r -a f <<<"$(sed 's/^.*) //' "/proc/$1/stat")"
    echo $(((f[11] + f[12]) * 1000 / CLK_TCK))
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }
linux_pid_of() {  # the Linux process that runs Windows program $1 in this prefix
    local pid
    for pid in $(pgrep -f "$1"); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        echo "$pid"
        return 0
    done
    return 1
}
start_vossel() {  # starts the bar in the background and waits for its window
    wine "$VOSSEL" >"$OUT/bar-$1.log" 2>&1 &
    VOSSEL_PID=$!
    drv wait-window Vossel 30 || return 1
    sleep 2  # let the start settle before measuring anything
    LINUX_PID=$(linux_pid_of vossel.exe)
    [ -n "$LINUX_PID" ]
}
stop_vossel() {
    drv syscommand-close Vossel
    drv wait-gone Vossel 20
    wait "$VOSSEL_PID" 2>/dev/null
    VOSSEL_PID=""
}
le32hex() {
    local v
    for v in "$@"; do
        printf '%02x%02x%02x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255))
    done
}

echo "bench: preparing Wine prefix $WINEPREFIX" >&2
VOSSEL_WINE_TEMPLATE=$BUILD/wine-template "$ROOT/scripts/wine-prefix.sh" fresh "$WINEPREFIX" >"$OUT/prefix.txt" 2>&1 ||
    { cat "$OUT/prefix.txt" >&2; exit 1; }
# Windows shows window contents while dragging unless told otherwise; Wine's
# default is not to, and its programs read the setting once, at their start.
drv reg-set 'Control Panel\Desktop' DragFullWindows sz 1
xdotool mousemove 512 500

# --- start-up, alternating, after one unmeasured start of each ------------------
KINDS="vossel themed bare"
STEPS="window buttons placed docked"
program() {  # sets exe and title for kind $1
    case $1 in
        vossel) exe=$VOSSEL title=Vossel ;;
        themed) exe=$THEMED title="Themed Dialog Bar" ;;
        bare) exe=$BARE title="Bare AppBar" ;;
    esac
}
for kind in $KINDS; do
    program "$kind"
    run "warmup-$kind" "$PROBE" start "$(winpath "$exe")" "$title" 200
    for f in $STEPS rss cpu; do : >"$OUT/$kind-$f.txt"; done
done
for i in $(seq 1 "$RUNS"); do
    for kind in $KINDS; do
        program "$kind"
        if run "start-$kind-$i" "$PROBE" start "$(winpath "$exe")" "$title" 1000; then
            for f in $STEPS; do val "${f}_ms" | grep . >>"$OUT/$kind-$f.txt"; done
            val working_set >>"$OUT/$kind-rss.txt"
            val cpu_to_docked_ms >>"$OUT/$kind-cpu.txt"
        else
            echo "bench: run $i of $kind failed: $(val error)" >&2
        fi
    done
    echo "bench: start-up run $i of $RUNS done (load average $(cut -d' ' -f1 /proc/loadavg))" >&2
done
med() { median <"$OUT/$1-$2.txt"; }  # med <kind> <figure>
# Each program's own work, run by run: from its window's creation to the
# window shown docked. The loader's share, the same for all, drops out.
for kind in $KINDS; do
    paste "$OUT/$kind-window.txt" "$OUT/$kind-docked.txt" | awk 'NF == 2 { print $2 - $1 }' >"$OUT/$kind-own.txt"
done
extreme() { sort -n "$OUT/$1-docked.txt" | if [ "$2" = min ]; then head -n 1; else tail -n 1; fi; }
EXE_SIZE=$(stat -c %s "$VOSSEL")

# --- idle, docked ------------------------------------------------------------------
IDLE_DOCKED=n/a CLICK_CPU=n/a CLICK_WALL=n/a IDLE_HIDDEN=n/a
OUT_FRAMES=n/a OUT_MS=n/a OUT_CPU=n/a IN_FRAMES=n/a IN_MS=n/a IN_CPU=n/a
mkdir -p "$OUT/launchee"
cp "$LAUNCHEE" "$OUT/launchee/"
drv reg-set "$SETTINGS" "Launch Program" sz "$(winpath "$OUT/launchee/fakeexplorer.exe") /e,\"%1\""
if start_vossel docked; then
    echo "bench: idle docked for $IDLE_SECONDS s" >&2
    before=$(cpu_ms "$LINUX_PID")
    sleep "$IDLE_SECONDS"
    IDLE_DOCKED=$(($(cpu_ms "$LINUX_PID") - before))

    # --- one click on the first drive, until its window is tiled -------------------
    drv children Vossel
    BUTTON=$(grep '^child id=2683 ' "$RUN_OUT" | sed -n 's/.* screen=\([-0-9,]*\) .*/\1/p')
    if [ -n "$BUTTON" ]; then
        IFS=, read -r BL BT BR BB <<<"$BUTTON"
        before=$(cpu_ms "$LINUX_PID")
        t0=$(now_ms)
        xdotool mousemove $(((BL + BR) / 2)) $(((BT + BB) / 2)) click 1
        for _ in $(seq 1 100); do
            drv class-windows CabinetWClass
            grep -q "^window .* rect=0,0," "$RUN_OUT" && break
            sleep 0.05
        done
        CLICK_WALL=$(($(now_ms) - t0))
        CLICK_CPU=$(($(cpu_ms "$LINUX_PID") - before))
        xdotool mousemove 512 500
        drv syscommand-close "Fake Explorer"
        drv wait-gone "Fake Explorer" 10
    fi
    stop_vossel
fi

# --- hidden as an auto-hide bar, if this build has auto-hide ----------------------
# The stored placement: top edge, auto-hide, always on top, default thicknesses.
drv reg-query "$SETTINGS" "State Info"
STATE=$(val hex)
if [ "${#STATE}" = 96 ]; then
    drv reg-set "$SETTINGS" "State Info" binary "${STATE:0:16}$(le32hex 1)${STATE:24}"
    if start_vossel autohide; then
        sleep 2
        drv window-info Vossel
        IFS=, read -r _ _ _ HB <<<"$(val rect)"
        if [ -n "${HB:-}" ] && [ "$HB" -le 4 ]; then
            echo "bench: idle hidden for $IDLE_SECONDS s" >&2
            before=$(cpu_ms "$LINUX_PID")
            sleep "$IDLE_SECONDS"
            IDLE_HIDDEN=$(($(cpu_ms "$LINUX_PID") - before))
            # Out when the pointer touches the strip, in once it has left
            # the bar (the 400 ms timer notices) while another window is active.
            wine "$DRIVER" hold-active 300 400 15 >"$OUT/other-window.txt" 2>>"$OUT/wine-stderr.txt" &
            for _ in $(seq 1 100); do grep -q '^active=' "$OUT/other-window.txt" && break; sleep 0.1; done
            for slide in out in; do
                wine "$PROBE" frames Vossel 5000 >"$OUT/slide-$slide.raw" 2>>"$OUT/wine-stderr.txt" &
                PROBE_PID=$!
                sleep 1
                if [ $slide = out ]; then xdotool mousemove 512 0; else xdotool mousemove 512 500; fi
                wait "$PROBE_PID"
                tr -d '\r' <"$OUT/slide-$slide.raw" >"$OUT/slide-$slide.txt"
                read -r F M C <<<"$(for f in frames slide_ms slide_cpu_ms; do
                    sed -n "s/^$f=//p" "$OUT/slide-$slide.txt" | grep . || echo n/a
                done | paste -sd' ')"
                if [ $slide = out ]; then OUT_FRAMES=$F OUT_MS=$M OUT_CPU=$C; else IN_FRAMES=$F IN_MS=$M IN_CPU=$C; fi
            done
        else
            echo "bench: the bar did not hide as an auto-hide bar (rect $(val rect)): hidden figures n/a" >&2
        fi
        stop_vossel
    fi
fi

# --- the table and the JSON --------------------------------------------------------
MACHINE="$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1), $(nproc) cores, $(uname -sr), $(wine --version)"
DATE=$(date -u +%Y-%m-%d)
LOAD=$(cut -d' ' -f1-3 /proc/loadavg)
row3() { printf '%-40s %10s %10s %10s %9s %9s\n' "$@"; }
row1() { printf '%-40s %10s\n' "$@"; }
# A figure's medians for all three programs, then Vossel's ratio to each floor.
figure() {  # figure <label> <figure> [shown as]
    local show=${3:-same} v t b
    v=$(med vossel "$2") t=$(med themed "$2") b=$(med bare "$2")
    row3 "$1" "$($show "$v")" "$($show "$t")" "$($show "$b")" "$(ratio "$v" "$t")" "$(ratio "$v" "$b")"
}
same() { echo "$1"; }
{
    echo "Vossel benchmark, $DATE, $MACHINE, $RUNS runs each, load average at the end $LOAD"
    row3 "" "Vossel" "themed" "bare" "/themed" "/bare"
    figure "start to docked, median (ms)" docked
    row3 "  fastest (ms)" "$(extreme vossel min)" "$(extreme themed min)" "$(extreme bare min)" "" ""
    row3 "  slowest (ms)" "$(extreme vossel max)" "$(extreme themed max)" "$(extreme bare max)" "" ""
    figure "CPU from start to docked, median (ms)" cpu
    figure "resident memory, median (MiB)" rss mb
    echo "steps, ms from CreateProcess (medians):"
    figure "  the window exists" window
    figure "  its buttons exist, pictures set" buttons
    figure "  it stands docked, not yet shown" placed
    figure "  it is shown docked" docked
    figure "  its own work: window to shown docked" own
    row1 "vossel.exe (bytes)" "$EXE_SIZE"
    row1 "CPU over ${IDLE_SECONDS} s idle, docked (ms)" "$IDLE_DOCKED"
    row1 "CPU over ${IDLE_SECONDS} s idle, auto-hidden (ms)" "$IDLE_HIDDEN"
    row1 "CPU across one drive click (ms)" "$CLICK_CPU"
    row1 "  wall time of that click to tiled (ms)" "$CLICK_WALL"
    row3 "" "frames" "ms" "CPU ms" "" ""
    row3 "slide out of the auto-hidden bar" "$OUT_FRAMES" "$OUT_MS" "$OUT_CPU" "" ""
    row3 "slide in" "$IN_FRAMES" "$IN_MS" "$IN_CPU" "" ""
    for kind in $KINDS; do
        echo "start to docked, every run, $kind (ms): $(paste -sd' ' "$OUT/$kind-docked.txt")"
    done
} | tee "$OUT/bench.txt"

json() { if [ "$1" = n/a ] || [ -z "$1" ]; then echo null; else echo "$1"; fi; }
list() { paste -sd, "$1"; }
# {"vossel": ..., "themed_dialog_bar": ..., "bare_appbar": ..., both ratios} of figure $1.
three() {
    local v t b
    v=$(med vossel "$1") t=$(med themed "$1") b=$(med bare "$1")
    echo "{\"vossel\": $(json "$v"), \"themed_dialog_bar\": $(json "$t"), \"bare_appbar\": $(json "$b"),"\
        "\"ratio_themed\": $(json "$(ratio "$v" "$t")"), \"ratio_bare\": $(json "$(ratio "$v" "$b")")}"
}
cat >"$OUT/bench.json" <<JSON
{
  "date": "$DATE",
  "machine": "$MACHINE",
  "load_average": "$LOAD",
  "runs": $RUNS,
  "idle_seconds": $IDLE_SECONDS,
  "start_to_docked_ms": $(three docked),
  "start_to_docked_runs_ms": {"vossel": [$(list "$OUT/vossel-docked.txt")], "themed_dialog_bar": [$(list "$OUT/themed-docked.txt")],
                              "bare_appbar": [$(list "$OUT/bare-docked.txt")]},
  "window_exists_ms": $(three window),
  "buttons_exist_ms": $(three buttons),
  "placed_ms": $(three placed),
  "window_to_docked_ms": $(three own),
  "cpu_to_docked_ms": $(three cpu),
  "resident_bytes": $(three rss),
  "exe_bytes": $EXE_SIZE,
  "cpu_idle_docked_ms": $(json "$IDLE_DOCKED"),
  "cpu_idle_autohidden_ms": $(json "$IDLE_HIDDEN"),
  "cpu_one_click_ms": $(json "$CLICK_CPU"),
  "click_to_tiled_ms": $(json "$CLICK_WALL"),
  "slide_out": {"frames": $(json "$OUT_FRAMES"), "ms": $(json "$OUT_MS"), "cpu_ms": $(json "$OUT_CPU")},
  "slide_in": {"frames": $(json "$IN_FRAMES"), "ms": $(json "$IN_MS"), "cpu_ms": $(json "$IN_CPU")}
}
JSON
echo "bench: written $OUT/bench.json" >&2
