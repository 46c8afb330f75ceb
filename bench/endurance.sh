#!/usr/bin/env bash
# Endurance run: the simulated DK-61 with its flag board streams CFLAG records at the 30 ms
# interval, status ticks, PLL state and stray bytes (about 5 % of the bytes) to the real tool
# binary (offscreen, log and flag files on, settings in a temporary home). The tool's CPU time and
# resident set are sampled every 10 s from /proc; the figures count from the end of the first
# minute (warm-up).
#   bench/endurance.sh BIN_DIR SECONDS [SAMPLES_FILE]
# DK61_TOOL may name another tool binary (to compare builds); the simulator comes from BIN_DIR.
# DK61_ENDURANCE_XVFB=1 runs the tool on a virtual X server (Xvfb, 900x700) instead of offscreen,
# so that the window is really drawn; DK61_ENDURANCE_PAGE=datalog then shows the Data Log page
# with "show data" checked (clicks with xdotool) instead of the flag page, and
# DK61_ENDURANCE_SHOT=FILE keeps a picture of the screen at the end (import). DK61_XVFB=1 and
# DK61_PAGE=log are the short names of the first two. DK61_PERF=SECONDS records a profile
# (perf record -g) of the tool over that many seconds after the warm-up into perf.data in the
# current directory.
set -euo pipefail
BIN="$1"
SECONDS_TOTAL="$2"
SAMPLES="${3:-}"
STEP=10
WARMUP=60

RUN="$(mktemp -d "${TMPDIR:-/tmp}/dk61-endurance.XXXXXX")"
SIM_PID=""
TOOL_PID=""
XVFB_PID=""
cleanup() {
    [[ -n "$TOOL_PID" ]] && kill "$TOOL_PID" 2>/dev/null && wait "$TOOL_PID" 2>/dev/null
    [[ -n "$SIM_PID" ]] && kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID" 2>/dev/null
    [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    rm -rf "$RUN"
}
trap cleanup EXIT INT TERM

mkdir -p "$RUN/home" "$RUN/config/Orvalta" "$RUN/files" "$RUN/runtime"
chmod 700 "$RUN/runtime"
cat >"$RUN/config/Orvalta/DK-61 PC-Tool.conf" <<CONF
[General]
storeLogFile=true
storeFlagFile_csv=true
logFileDirectory=$RUN/files/log
flagFileDirectory=$RUN/files/flags
CONF
mkdir -p "$RUN/files/log" "$RUN/files/flags"

"$BIN/dk61-sim" --board both --link "$RUN/link" --seed 1 --start-interval 3 --hold-interval \
    --playing --pll --garbage 0.3 --log "$RUN/sim.log" >"$RUN/sim.out" 2>&1 &
SIM_PID=$!
for _ in $(seq 1 100); do
    [[ -e "$RUN/link" ]] && break
    sleep 0.05
done
[[ -e "$RUN/link" ]] || { echo "endurance: the simulator did not start" >&2; exit 1; }

[[ "${DK61_XVFB:-0}" == 1 ]] && DK61_ENDURANCE_XVFB=1
[[ "${DK61_PAGE:-}" == log ]] && DK61_ENDURANCE_PAGE=datalog
PLATFORM=offscreen
GEOMETRY=()
if [[ "${DK61_ENDURANCE_XVFB:-0}" == 1 ]]; then
    Xvfb -displayfd 3 -screen 0 900x700x24 -nolisten tcp 3>"$RUN/display" 2>"$RUN/xvfb.err" &
    XVFB_PID=$!
    for _ in $(seq 1 100); do
        [[ -s "$RUN/display" ]] && break
        sleep 0.05
    done
    [[ -s "$RUN/display" ]] || { cat "$RUN/xvfb.err" >&2; exit 1; }
    export DISPLAY=":$(head -n 1 "$RUN/display")"
    PLATFORM=xcb
    GEOMETRY=(-geometry 900x700+0+0)
fi

HOME="$RUN/home" XDG_CONFIG_HOME="$RUN/config" XDG_RUNTIME_DIR="$RUN/runtime" \
    QT_QPA_PLATFORM=$PLATFORM DK61_VIRTUAL_PORTS="$RUN/link" \
    "${DK61_TOOL:-$BIN/dk61-pc-tool}" "${GEOMETRY[@]}" >"$RUN/tool.out" 2>&1 &
TOOL_PID=$!
if [[ "${DK61_ENDURANCE_PAGE:-}" == datalog ]]; then
    # The "Data Log" tab is the first one, at the top left below the menu bar; "show data" is at
    # the top right of the page.
    for _ in $(seq 1 100); do
        WINDOW="$(xdotool search --pid "$TOOL_PID" --onlyvisible --name . 2>/dev/null | head -n 1 || true)"
        [[ -n "$WINDOW" ]] && break
        sleep 0.1
    done
    [[ -n "$WINDOW" ]] || { echo "endurance: the tool's window did not show" >&2; exit 1; }
    sleep 2
    xdotool mousemove --window "$WINDOW" 40 36 click 1
    sleep 0.5
    xdotool mousemove --window "$WINDOW" 715 66 click 1
fi

TICKS=$(getconf CLK_TCK)
PAGE_KB=$(($(getconf PAGESIZE) / 1024))
# elapsed seconds, CPU seconds, RSS in kB
sample() {
    local stat rss
    stat=$(cut -d' ' -f14,15 "/proc/$TOOL_PID/stat" 2>/dev/null) || return 1
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$TOOL_PID/status" 2>/dev/null) || return 1
    set -- $stat
    echo "$(($(date +%s%N) / 1000000)) $((($1 + $2) * 1000 / TICKS)) $rss"
}

START_MS=$(($(date +%s%N) / 1000000))
: >"$RUN/samples"
while :; do
    now=$(($(date +%s%N) / 1000000))
    elapsed=$(((now - START_MS) / 1000))
    line=$(sample) || { echo "endurance: the tool ended after ${elapsed} s" >&2; cat "$RUN/tool.out" >&2; exit 1; }
    echo "$line" >>"$RUN/samples"
    ((elapsed >= SECONDS_TOTAL)) && break
    if [[ -n "${DK61_PERF:-}" && -z "${PERF_DONE:-}" ]] && ((elapsed >= WARMUP)); then
        PERF_DONE=1
        perf record ${DK61_PERF_OPTS:--g} -o perf.data -p "$TOOL_PID" -- sleep "$DK61_PERF" >/dev/null 2>&1 &
    fi
    sleep "$STEP"
done

if [[ -n "${DK61_ENDURANCE_SHOT:-}" && -n "$XVFB_PID" ]]; then
    import -window root "$DK61_ENDURANCE_SHOT"
fi

# Records the simulator sent and rows the tool wrote; the tool must have kept up. The simulator
# stops first so that nothing is in flight while counting.
kill "$SIM_PID" 2>/dev/null && wait "$SIM_PID" 2>/dev/null || true
SIM_PID=""
sleep 1
SENT=$(grep -c ' TX C6 0C' "$RUN/sim.log" || true)
ROWS=$(cat "$RUN"/files/flags/*.txt 2>/dev/null | wc -l)
LOGGED=$(cat "$RUN"/files/log/*.txt 2>/dev/null | grep -c 'DK-61  : C6  0C' || true)
[[ -n "$SAMPLES" ]] && cp "$RUN/samples" "$SAMPLES"

awk -v start="$START_MS" -v warm="$WARMUP" -v total="$SECONDS_TOTAL" -v sent="$SENT" \
    -v rows="$ROWS" -v logged="$LOGGED" '
# Least-squares slope of R over T for the samples from..to, in MB per hour.
function growth(from, to,    i, k, st, sr, mt, mr, sxy, sxx) {
    k = 0; st = 0; sr = 0; sxy = 0; sxx = 0
    for (i = from; i <= to; i++) { st += T[i]; sr += R[i]; k++ }
    if (k < 2) return 0
    mt = st / k; mr = sr / k
    for (i = from; i <= to; i++) { sxy += (T[i] - mt) * (R[i] - mr); sxx += (T[i] - mt) ^ 2 }
    return sxx > 0 ? sxy / sxx * 3600 : 0
}
{
    t = ($1 - start) / 1000.0
    if (t < warm - 0.5) next
    n++; T[n] = t; C[n] = $2 / 1000.0; R[n] = $3 / 1024.0
}
END {
    if (n < 2) { print "endurance: too short for figures (run longer than the warm-up)"; exit 1 }
    cpu = (C[n] - C[1]) / (T[n] - T[1]) * 100
    half = 1; while (half < n && T[half] < T[n] / 2) half++
    maxr = R[1]; for (i = 1; i <= n; i++) if (R[i] > maxr) maxr = R[i]
    printf "endurance (%d s at the 30 ms interval): CPU of the tool %.1f %% of one core after the first minute\n", total, cpu
    printf "endurance (%d s at the 30 ms interval): RSS %.1f MB after the first minute, %.1f MB at the end (highest %.1f MB)\n", total, R[1], R[n], maxr
    printf "endurance (%d s at the 30 ms interval): RSS growth %.2f MB per hour after the first minute, %.2f MB per hour over the second half\n", total, growth(1, n), growth(half, n)
    printf "endurance (%d s at the 30 ms interval): %d CFLAG records sent, %d flag file rows, %d log file lines of them\n", total, sent, rows, logged
}' "$RUN/samples"
