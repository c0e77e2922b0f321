#!/usr/bin/env bash
# tests/sizes.sh BUILD... runs tests/run.sh against the exe of each build
# folder, all side by side: each in sessions of its own (its own displays,
# prefixes and wineservers), so they share nothing but the CPU. Each size's
# output goes to tests.log in its build folder and is shown once it ends;
# then one line a size with its counts and time, and the counts of all.
# The x64 exe's suites run a second time beside them, under Wine 10 (see
# tests/run.sh). A build whose exe this machine cannot run, or a second
# Wine that cannot be entered, is reported as not run.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=$(date +%s)
# The tests look through a 64-bit zprobe where one was built: run natively,
# it is cheap to poll also while a 32-bit exe runs under emulation.
for build in "$@"; do
  if [ "$("$root/tests/env/machine.sh" "$build/zprobe.exe" 2>/dev/null)" = x64 ]; then
    export ZELVARA_INSPECTOR=$build/zprobe.exe ZELVARA_INSPECTOR_WINE=/usr/lib/wine/wine64
    break
  fi
done
# CTest lists a test program's cases by running it, once the program is
# newer than its list. The x64 build's cases run under both Wines at once,
# so its lists are made first, in a session of their own, not by both
# runs writing them together.
for build in "$@"; do
  if [ "$("$root/tests/env/machine.sh" "$build/zelvara.exe")" = x64 ] && "$root/tests/env/wine10.sh" ready >/dev/null; then
    ZELVARA_BUILD=$build "$root/tests/env/session.sh" -- ctest --test-dir "$build" -N </dev/null >"$build/tests-lists.log" 2>&1 ||
      { echo "== the test lists of $build could not be made:"; cat "$build/tests-lists.log"; }
  fi
done
names=() logs=() pids=() starts=()
for build in "$@"; do
  size=$("$root/tests/env/machine.sh" "$build/zelvara.exe")
  if [ "$size" = x86 ] && ! why=$("$root/tests/env/runs32.sh" 2>&1); then
    echo "== tests of $build NOT RUN: $why."
    echo "   The x86 exe is built, packed and its bytes checked; its suites need a machine that runs 32-bit code."
    continue
  fi
  log=$build/tests.log
  ZELVARA_BUILD=$build "$root/tests/run.sh" </dev/null >"$log" 2>&1 &
  names+=("$size") logs+=("$log") pids+=($!) starts+=("$(date +%s)")
  echo "== tests of $build ($size) started; its output: $log"
  # The x64 exe also under a second Windows: Wine 10, in its Debian 13 root.
  [ "$size" = x64 ] || continue
  if ! why=$("$root/tests/env/wine10.sh" ready); then
    echo "== Wine 10 tests of $build NOT RUN: $why."
    continue
  fi
  log=$build/tests-wine10.log
  ZELVARA_WINE=10 ZELVARA_BUILD=$build "$root/tests/run.sh" </dev/null >"$log" 2>&1 &
  names+=("$size Wine 10") logs+=("$log") pids+=($!) starts+=("$(date +%s)")
  echo "== tests of $build ($size) under Wine 10 started; its output: $log"
done

# Counts of a log: CTest's "out of N" line and pytest's closing lines.
counts() {
  /usr/bin/python3 - "$1" <<'EOF'
import re, sys
passed = failed = skipped = 0
for line in open(sys.argv[1], errors='replace'):
    m = re.search(r'tests passed, (\d+) tests failed out of (\d+)', line)
    if m:
        failed += int(m[1]); passed += int(m[2]) - int(m[1])
    elif line.startswith('-- NO RESULTS:'):
        failed += 1
    elif re.match(r'^=*\s*(\d+ \w+(, )?)+ in [\d.]+s', line):
        for n, what in re.findall(r'(\d+) (passed|failed|error|errors|skipped)', line):
            if what == 'passed': passed += int(n)
            elif what == 'skipped': skipped += int(n)
            else: failed += int(n)
print(passed, failed, skipped)
EOF
}

status=0 total_passed=0 total_failed=0 total_skipped=0 summary=()
for i in "${!pids[@]}"; do
  wait "${pids[$i]}" || status=1
  took=$(( $(date +%s) - starts[i] ))
  echo "== tests of ${names[$i]}: ${logs[$i]}"
  cat "${logs[$i]}"
  read -r p f s < <(counts "${logs[$i]}")
  total_passed=$((total_passed + p)) total_failed=$((total_failed + f)) total_skipped=$((total_skipped + s))
  summary+=("== ${names[$i]}: $p passed, $f failed, $s skipped in $((took / 60)) min $((took % 60)) s")
done
printf '%s\n' "${summary[@]}"
took=$(( $(date +%s) - start ))
echo "== all side by side: $((took / 60)) min $((took % 60)) s"
# A size that failed without a count (its session did not start) still fails.
[ $status != 0 ] && [ $total_failed = 0 ] && total_failed=1
echo "total: $total_passed passed, $total_failed failed, $total_skipped skipped"
exit $status
