#!/usr/bin/env bash
# Runs every test of one exe (ZELVARA_BUILD): the unit tests through CTest,
# the end-to-end scenarios with pytest, and the scenarios of a desk with two
# monitors, each in a throwaway Wine session of its own (its own display,
# prefix and wineserver), all at once. Within a session the suites run one
# at a time, since GUI tests share its pointer, focus and clipboard;
# sessions share none of these. Each part's output goes to
# tests-<part>.log in the build folder and is shown, in order, at the end.
# With ZELVARA_WINE=10 the sessions run Wine 10 in the Debian 13 root
# (tests/env/wine10.sh), their logs are tests-<part>-wine10.log, and a
# fourth part runs the scenarios of a scaled screen (150 %).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ZELVARA_BUILD=${ZELVARA_BUILD:-$root/build}
session=("$root/tests/env/session.sh") tag=
if [ "${ZELVARA_WINE:-}" = 10 ]; then
  session=("$root/tests/env/wine10.sh" run "${session[@]}") tag=-wine10
fi
pytest=(/usr/bin/python3 -m pytest -p no:cacheprovider -q)
parts=() pids=()
part() {  # part NAME SESSION-OPTIONS... -- COMMAND...
  local name=$1; shift
  "${session[@]}" "$@" </dev/null >"$ZELVARA_BUILD/tests-$name$tag.log" 2>&1 &
  parts+=("$name") pids+=($!)
}
part unit -- ctest --test-dir "$ZELVARA_BUILD" --output-on-failure
part e2e -- "${pytest[@]}" --ignore="$root/tests/e2e/test_monitors.py" "$root/tests/e2e" "$root/testbed/tests/test_site.py"
part monitors --two-monitors -- "${pytest[@]}" "$root/tests/e2e/test_monitors.py"
[ -n "$tag" ] && part scaled --scaled -- "${pytest[@]}" -m scaled "$root/tests/e2e"
status=0
for i in "${!parts[@]}"; do
  wait "${pids[$i]}"
  rc=$? log=$ZELVARA_BUILD/tests-${parts[$i]}$tag.log
  echo "-- ${parts[$i]} tests of $ZELVARA_BUILD${tag:+ under Wine 10}"
  cat "$log"
  # A session that ended before its tests said anything counts as a failure.
  [ $rc -eq 0 ] && continue
  status=1
  grep -qE 'tests failed out of|^=*\s*[0-9]+ (passed|failed|errors?|skipped|deselected)' "$log" ||
    echo "-- NO RESULTS: the ${parts[$i]} session ended with $rc before its tests reported"
done
exit $status
