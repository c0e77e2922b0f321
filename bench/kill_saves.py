#!/usr/bin/env python3
"""Kills Zelvara while it saves "zelvara.cfg", again and again, and checks
after each kill that the file is the old whole file or the new whole file.
Run inside a Wine session: `make kill-loop` (ZELVARA_KILLS, default 100)."""
import os
import random
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / 'tests' / 'e2e'))

from conftest import WINE, ZPROBE, Program, accounts_file, inspect_json, settings_file, wait_for  # noqa: E402

KILLS = int(os.environ.get('ZELVARA_KILLS', '100'))


def whole(data):
    """The settings file as the program writes it, with every chat entry its
    count announces and the last line: nothing cut."""
    lines = data.split(b'\r\n')
    return (data.endswith(b'\r\n') and len(lines) > 17 and lines[16].isdigit() and
            len(lines) == 17 + 3 * int(lines[16]) + 3 and lines[2] == b'25' and lines[-2] == b'30')


def main():
    random.seed(KILLS)
    outcomes = {'old': 0, 'new': 0}
    with tempfile.TemporaryDirectory() as scratch:
        work = Path(scratch) / 'run'
        work.mkdir()
        accounts_file(work, 'killlabel')
        settings_file(work, clicks=25, rect=(10, 10, 20, 20))
        # Each run starts from a rectangle below the minimum size, which the
        # program corrects, so each save writes a file that differs.
        for n in range(KILLS):
            cfg = work / 'zelvara.cfg'
            before = cfg.read_bytes()
            program = Program(work)
            try:
                window = program.main_window(timeout=60)
                closer = subprocess.Popen([WINE, str(ZPROBE), 'close', str(window['hwnd'])], stdin=subprocess.DEVNULL,
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                time.sleep(random.uniform(0.0, 0.9))
                program.process.kill()
                program.process.wait(timeout=30)
                closer.wait(timeout=60)
            finally:
                program.end()
            wait_for(lambda: not [w for w in inspect_json('find', 'Zelvara') or []], 'the window gone', 30)
            after = cfg.read_bytes()
            if after == before:
                outcomes['old'] += 1
            elif whole(after):
                outcomes['new'] += 1
            else:
                print(f'kill {n + 1}: zelvara.cfg is neither the old nor a whole new file: {after!r}')
                return 1
            lines = after.split(b'\r\n')
            lines[5:9] = [str(v).encode() for v in (10 + n % 50, 10, 20, 20)]
            cfg.write_bytes(b'\r\n'.join(lines))
    print(f'{KILLS} kills during saves survived: {outcomes["old"]} left the old file, '
          f'{outcomes["new"]} the new one; every file whole and readable')
    return 0


if __name__ == '__main__':
    sys.exit(main())
