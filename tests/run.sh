#!/usr/bin/env bash
# Runs every test of Zelvara: the unit tests through CTest and the
# end-to-end scenarios with pytest, all inside one throwaway Wine session,
# then the two-monitor scenarios in a session of their own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export ZELVARA_BUILD=${ZELVARA_BUILD:-$root/build}
status=0
"$root/tests/env/session.sh" -- bash -c '
  status=0
  # One at a time: GUI suites share the pointer, the focus and the clipboard.
  ctest --test-dir "$ZELVARA_BUILD" --output-on-failure || status=1
  /usr/bin/python3 -m pytest -p no:cacheprovider -q "'"$root"'/tests/e2e" "'"$root"'/testbed/tests/test_site.py" || status=1
  exit $status' || status=1
# Then the scenarios of a desk with two monitors, in a session of their own.
"$root/tests/env/session.sh" --two-monitors -- \
  /usr/bin/python3 -m pytest -p no:cacheprovider -q "$root/tests/e2e/test_monitors.py" || status=1
exit $status
