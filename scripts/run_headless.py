#!/usr/bin/env python3
"""Runs Zelvara on the session's Xvfb against the stand-in game site, saves
pictures of its About view and of a battle page, lets Zelvara take a
screenshot of the playing field itself, prints the paths and exits.
With --pictures DIR it also pictures the settings sheet and leaves the
README's pictures in DIR (start-view.png, settings-sheet.png, battle.png).
Usage: run_headless.py HOME [--pictures DIR] [ARGS...]"""
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / 'tests' / 'e2e'))
from conftest import BUILD, PREFIX, Program, button, children, click, inspect_json, key, wait_for  # noqa: E402
from test_settings_sheet import PSBTN_CANCEL, open_sheet, press  # noqa: E402


def picture(window, path):
    left, top, right, bottom = window['rect']
    subprocess.run(['import', '-window', 'root', '-crop', f'{right - left}x{bottom - top}+{left}+{top}',
                    '+repage', str(path)], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def own_screenshots():
    return sorted(PREFIX.glob('drive_c/users/*/Desktop/*/*.jpeg')) + sorted(PREFIX.glob('drive_c/users/*/Desktop/*/*.png'))


def main():
    home, args = Path(sys.argv[1]), sys.argv[2:]
    pictures = None
    if args[:1] == ['--pictures']:
        pictures, args = Path(args[1]), args[2:]
        pictures.mkdir(parents=True, exist_ok=True)
    program = Program(home, args)
    try:
        window = program.main_window()
        # The About view is painted once the window is up; give it its first paint.
        time.sleep(0.5)
        about = BUILD / 'zelvara-window.png'
        picture(program.info(), about)
        print(f'Zelvara is running: "{window["title"]}". Its start view: {about}')
        if pictures:
            shutil.copyfile(about, pictures / 'start-view.png')
            sheet = open_sheet(program)
            time.sleep(0.5)  # its first page paints
            picture(inspect_json('info', sheet), pictures / 'settings-sheet.png')
            press(sheet, PSBTN_CANCEL)

        click(button(program.hwnd, 1))
        wait_for(lambda: children(program.hwnd, 'AtlAxWin120'), 'the game page')
        time.sleep(1.0)  # the stand-in player paints its field
        battle = BUILD / 'zelvara-battle.png'
        picture(program.info(), battle)
        print(f'With battle server 1 open ("{program.info()["title"]}"): {battle}')
        if pictures:
            shutil.copyfile(battle, pictures / 'battle.png')

        before = set(own_screenshots())
        key(program, 'Print')
        shots = wait_for(lambda: [p for p in own_screenshots() if p not in before and p.stat().st_size > 0],
                         'the screenshot Zelvara takes', 20)
        time.sleep(0.3)
        own = BUILD / f'zelvara-own-screenshot{shots[0].suffix}'
        shutil.copyfile(shots[0], own)
        print(f'The screenshot Zelvara itself took of the playing field: {own}')
        program.close()
    finally:
        program.end()


if __name__ == '__main__':
    main()
