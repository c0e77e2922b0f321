#!/usr/bin/env bash
# Runs every test of one exe (ZELVARA_BUILD): the unit tests through CTest,
# the end-to-end scenarios with pytest, and the scenarios of a desk with two
# monitors, each in a throwaway Wine session of its own (its own display,
# prefix and wineserver), all three at once. Within a session the suites
# run one at a time, since GUI tests share its pointer, focus and
# clipboard; sessions share none of these. Each part's output goes to
# tests-<part>.log in the build folder and is shown, in order, at the end.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ZELVARA_BUILD=${ZELVARA_BUILD:-$root/build}
parts=(unit e2e monitors)
pids=()
"$root/tests/env/session.sh" -- ctest --test-dir "$ZELVARA_BUILD" --output-on-failure \
  </dev/null >"$ZELVARA_BUILD/tests-unit.log" 2>&1 &
pids+=($!)
"$root/tests/env/session.sh" -- /usr/bin/python3 -m pytest -p no:cacheprovider -q \
  --ignore="$root/tests/e2e/test_monitors.py" "$root/tests/e2e" "$root/testbed/tests/test_site.py" \
  </dev/null >"$ZELVARA_BUILD/tests-e2e.log" 2>&1 &
pids+=($!)
"$root/tests/env/session.sh" --two-monitors -- \
  /usr/bin/python3 -m pytest -p no:cacheprovider -q "$root/tests/e2e/test_monitors.py" \
  </dev/null >"$ZELVARA_BUILD/tests-monitors.log" 2>&1 &
pids+=($!)
status=0
for i in "${!parts[@]}"; do
  wait "${pids[$i]}" || status=1
  echo "-- ${parts[$i]} tests of $ZELVARA_BUILD"
  cat "$ZELVARA_BUILD/tests-${parts[$i]}.log"
done
exit $status
