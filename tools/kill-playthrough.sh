#!/usr/bin/env bash
# Kills the game with SIGKILL at random moments of the play-through test
# (PlayThroughTest in app_tests), again and again, and after each kill starts
# the game on the data folder it left: the profile must load (no damaged or
# unreadable profile, the main menu opens) and a finished level's score must
# still be there. Prints a line per run and a summary; exits 1 when a run lost
# data. Run by hand, not in CI (it takes a while):
#   tools/kill-playthrough.sh [build dir] [runs]
# KILL_WHOLE_LEVEL=1 plays level 1 to its end in each run (several minutes a
# run), so that kills also fall after the level's score was saved.
# KILL_FROM=<s> and KILL_SPAN=<s> choose the window of the kills: from KILL_FROM
# seconds on, within KILL_SPAN seconds.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=$(cd "${1:-build}" && pwd)
RUNS=${2:-50}
TESTS="$BUILD/tests/app_tests"
PROGRAM="$BUILD/game/lodgeroo"
for needed in "$TESTS" "$PROGRAM"; do
  [ -x "$needed" ] || { echo "missing $needed: build first (cmake --build $BUILD)" >&2; exit 2; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is needed (tools/install-deps.sh)" >&2; exit 2; }

# The play-through's length in seconds: kills fall anywhere within it.
if [ "${KILL_WHOLE_LEVEL:-0}" = 1 ]; then
  export PLAYTHROUGH_WHOLE_LEVEL=1
  SPAN=${KILL_SPAN:-420}
else
  export PLAYTHROUGH_WHOLE_LEVEL=0
  SPAN=${KILL_SPAN:-28}
fi
export ALSOFT_DRIVERS=null

WORK=$(mktemp -d /tmp/kill-playthrough.XXXXXX)
# One X server for the checks; the play-through starts its own.
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null)
XVFB_PID=$!
read -r -t 20 CHECK_DISPLAY <&3 || { echo "Xvfb did not start" >&2; exit 2; }
CHECK_DISPLAY=":$CHECK_DISPLAY"
trap 'kill "$XVFB_PID" 2>/dev/null' EXIT
trap 'exit 130' INT TERM

# Stops a process started here and everything it started, each by its id.
stop_tree() {
  local pid=$1 child
  for child in $(pgrep -P "$pid"); do stop_tree "$child"; done
  kill "$pid" 2>/dev/null
}

# Starts the game on a data folder and waits for its main menu; prints "ok",
# "restored" (from the backup), or what went wrong. A start that could not
# reach the X server says nothing of the profile: it is tried again.
check_profile() {
  local attempt result
  for attempt in 1 2 3; do
    result=$(start_on_profile "$@")
    grep -q "Could not open display" "$2" || break
    sleep 1
  done
  echo "$result"
}

start_on_profile() {
  local data=$1 log=$2 runtime
  runtime=$(mktemp -d "$WORK/runtime.XXXXXX")
  : >"$log"
  DISPLAY=$CHECK_DISPLAY XDG_DATA_HOME=$data XDG_RUNTIME_DIR=$runtime HOME=$WORK "$PROGRAM" >"$log" 2>&1 &
  local pid=$! waited=0
  while [ $waited -lt 300 ] && ! grep -q "Loaded scene node: scenes/MainMenuScene.oscn" "$log"; do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
    waited=$((waited + 1))
  done
  sleep 0.5
  local menu=no
  grep -q "Loaded scene node: scenes/MainMenuScene.oscn" "$log" && menu=yes
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if grep -qE "Profile file is damaged|unreadable profile|Unreadable profile|Could not replace the profile" "$log"; then
    echo "damaged"
  elif [ $menu = no ]; then
    echo "no-menu"
  elif grep -q "Profile restored from the backup" "$log"; then
    echo "restored"
  else
    echo "ok"
  fi
}

profile_text() { tr -d '\0' <"$1/Brightwick/Lodgeroo/profile.dat" 2>/dev/null; }
has_score() { profile_text "$1" | grep -qE 'Name="Scores" Value="[1-9]'; }

ok=0 restored=0 damaged=0 lost=0 nomenu=0 scored_runs=0 player_kept=0 player_runs=0 not_killed=0
for run in $(seq 1 "$RUNS"); do
  data="$WORK/data-$run"
  mkdir -p "$data"
  # A random moment in tenths of a second, from one second on.
  delay=$((${KILL_FROM:-1} * 10 + (RANDOM * 32768 + RANDOM) % (SPAN * 10)))
  # Each run keeps its screens in a folder of its own.
  mkdir -p "$WORK/screens-$run"
  (cd "$WORK/screens-$run" && PLAYTHROUGH_DATA_HOME="$data" exec "$TESTS" --gtest_filter='PlayThroughTest.*') \
    >"$WORK/run-$run.out" 2>&1 &
  test_pid=$!
  for _ in $(seq 1 "$delay"); do
    kill -0 "$test_pid" 2>/dev/null || break
    sleep 0.1
  done
  game=$(pgrep -P "$test_pid" -x lodgeroo | head -n 1)
  stage=$(grep -o 'STAGE    \] .*' "$WORK/run-$run.out" | tail -n 1 | sed 's/.*\] //')
  if [ -n "$game" ]; then
    kill -KILL "$game"
    killed="killed at $((delay / 10)).$((delay % 10)) s"
  else
    killed="no game running at $((delay / 10)).$((delay % 10)) s"
    not_killed=$((not_killed + 1))
  fi
  stop_tree "$test_pid"
  wait "$test_pid" 2>/dev/null
  # A score is saved at the level's end; the player when it was created.
  scored=no
  grep -q 'STAGE    \] level-completed' "$WORK/run-$run.out" && scored=yes && scored_runs=$((scored_runs + 1))
  if grep -q 'STAGE    \] player-created' "$WORK/run-$run.out"; then
    player_runs=$((player_runs + 1))
    profile_text "$data" | grep -q 'Name="Ann"' && player_kept=$((player_kept + 1))
  fi
  result=$(check_profile "$data" "$WORK/check-$run.log")
  case $result in
    ok) ok=$((ok + 1)) ;;
    restored) restored=$((restored + 1)) ;;
    damaged) damaged=$((damaged + 1)) ;;
    no-menu) nomenu=$((nomenu + 1)) ;;
  esac
  note=""
  if [ $scored = yes ] && ! has_score "$data"; then
    lost=$((lost + 1))
    note=" LOST the level's score"
  fi
  printf 'run %2d: %s, stage %s: profile %s%s\n' "$run" "$killed" "${stage:-none}" "$result" "$note"
done

echo
echo "Summary of $RUNS kills of the play-through (work folder $WORK):"
echo "  profile loaded: $ok, restored from its backup: $restored, damaged: $damaged, no main menu: $nomenu"
echo "  runs past the player's creation: $player_runs, the player kept: $player_kept"
echo "  runs past the level's end: $scored_runs, scores lost: $lost"
echo "  runs with no game to kill at the chosen moment: $not_killed"
[ $damaged -eq 0 ] && [ $nomenu -eq 0 ] && [ $lost -eq 0 ]
