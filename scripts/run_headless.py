#!/usr/bin/env python3
"""Runs Zelvara on the session's Xvfb, saves a PNG of its main window and
prints the path. Usage: run_headless.py HOME [ARGS...]"""
import os
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / 'tests' / 'e2e'))
from conftest import BUILD, Program, wait_for  # noqa: E402


def screenshot(window, path):
    left, top, right, bottom = window['rect']
    subprocess.run(['import', '-window', 'root', '-crop', f'{right - left}x{bottom - top}+{left}+{top}',
                    '+repage', str(path)], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    home = Path(sys.argv[1])
    program = Program(home, sys.argv[2:])
    try:
        window = program.main_window()
        # Give the window its first paint before the picture is taken.
        wait_for(lambda: program.info()['visible'], 'the window to show')
        shot = BUILD / 'zelvara-window.png'
        screenshot(program.info(), shot)
        print(f'Zelvara is running: "{window["title"]}". Screenshot of its window: {shot}')
        program.close()
    finally:
        program.end()


if __name__ == '__main__':
    main()
