#!/usr/bin/env python3
"""Benchmarks of Zelvara, each against a baseline measured in the same run.
Run inside a Wine session: `make bench` (tests/env/session.sh provides one).
Writes bench/REPORT.md."""
import datetime
import os
import platform
import statistics
import subprocess
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
BUILD = Path(os.environ.get('ZELVARA_BUILD', ROOT / 'build'))
WINE = os.environ.get('WINE', '/usr/lib/wine/wine64')
RUNS = int(os.environ.get('ZELVARA_BENCH_RUNS', '15'))


def winepath(path):
    return 'Z:' + str(path).replace('/', '\\')


def time_to_window(window_class, exe, cwd):
    """Milliseconds from process start to a visible window of the class."""
    with tempfile.TemporaryFile() as out:
        subprocess.run([WINE, str(BUILD / 'bench' / 'bench_launch.exe'), window_class, f'"{winepath(exe)}"'],
                       cwd=cwd, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.DEVNULL, check=True,
                       timeout=120)
        out.seek(0)
        return float(out.read().decode().strip())


def startup():
    bare = BUILD / 'bench' / 'bench_bare_window.exe'
    client = BUILD / 'zelvara.exe'
    with tempfile.TemporaryDirectory() as home:
        time_to_window('Zelvara', client, home)  # first run writes the settings files
        time_to_window('BareWindow', bare, home)
        bare_times, client_times = [], []
        for _ in range(RUNS):  # interleaved, so drift hits both alike
            bare_times.append(time_to_window('BareWindow', bare, home))
            client_times.append(time_to_window('Zelvara', client, home))
    return statistics.median(bare_times), statistics.median(client_times)


def main():
    bare, client = startup()
    size = (BUILD / 'zelvara.exe').stat().st_size
    bare_size = (BUILD / 'bench' / 'bench_bare_window.exe').stat().st_size
    report = f"""# Benchmarks

Made by `make bench` on {datetime.date.today().isoformat()}, {platform.machine()}, {os.cpu_count()} cores,
Wine session of `tests/env/session.sh` (Xvfb, virtual desktop). Medians of {RUNS} interleaved runs.

| measure | Zelvara | baseline | ratio |
|---|---|---|---|
| start-up to a visible main window | {client:.1f} ms | {bare:.1f} ms (bare Win32 window program) | {client / bare:.2f} |
| executable size | {size / 1024:.0f} KiB | {bare_size / 1024:.0f} KiB (bare program, same flags) | {size / bare_size:.2f} |

Start-up is timed by `bench_launch.exe`, which starts the program inside the Wine session and polls for
its visible top-level window; both programs pay the same process start. The client's start includes
reading both settings files, loading its resources and installing its keyboard hook.
"""
    (ROOT / 'bench' / 'REPORT.md').write_text(report)
    print(report)


if __name__ == '__main__':
    main()
