"""The settings sheet, opened from "Change settings" with a real click and
driven like a person would fill it in, through the real executable."""
import os
import subprocess
import time

from conftest import (BUTTON_CHECKED, BUTTON_PLAIN, DOMAIN, PREFIX, WINE, ZPROBE, accounts_file, button,
                      button_colour, children, click, inspect, inspect_json, read_lines, settings_file, site_requests,
                      wait_for)

LABEL = 'sheet5label'
GENERAL, SCREENSHOT, BATTLE_CHAT, INTERFACE = range(4)
CLICKS_PERIOD, LANGUAGE_EN, LANGUAGE_DE = 1010, 1011, 1012
FORMAT_JPEG, JPEG_QUALITY = 1018, 1021
SERVER_COUNT = 1027
PSBTN_OK, PSBTN_CANCEL = 3, 5


def open_client(start, workdir, env=None, **settings):
    accounts_file(workdir, LABEL)
    settings_file(workdir, **settings)
    program = start(env=env)
    program.main_window()
    return program


CAPTION = 'Zelvara settings'


def open_sheet(program, caption=CAPTION):
    about = children(program.hwnd, 'Zelvara#About')[0]
    settings_button = [b for b in children(about['hwnd'], 'Zelvara#Button') if b['id'] == 0][0]
    click(settings_button)
    # Only this run's sheet: one of a run ended a moment ago may still be listed.
    mine = lambda: [w for w in inspect_json('find', '#32770', caption) or [] if w['owner'] == program.hwnd]
    return wait_for(mine, 'the settings sheet')[0]['hwnd']


def page(sheet, index):
    # The sheet's window is there a moment before its pages are.
    return wait_for(lambda: int(inspect('sheet-page', sheet, index).strip() or 0), f'page {index} of the sheet')


def press(sheet, which):
    inspect('sheet-press', sheet, which)
    wait_for(lambda: not inspect_json('info', sheet), 'the sheet to close')


def test_cancel_and_unchanged_ok_leave_the_file_alone(start, workdir):
    program = open_client(start, workdir)
    cfg = workdir / 'zelvara.cfg'
    before = (cfg.read_bytes(), cfg.stat().st_mtime_ns)

    sheet = open_sheet(program)
    inspect('dlg-set', page(sheet, GENERAL), CLICKS_PERIOD, '77')
    press(sheet, PSBTN_CANCEL)
    sheet = open_sheet(program)
    assert inspect_json('dlg-get', page(sheet, GENERAL), CLICKS_PERIOD) == '10', 'cancel changed nothing'
    press(sheet, PSBTN_OK)
    time.sleep(0.3)
    assert (cfg.read_bytes(), cfg.stat().st_mtime_ns) == before, 'OK without a change saves nothing'


def test_values_are_clamped_and_saved_at_once(start, workdir):
    program = open_client(start, workdir)
    sheet = open_sheet(program)
    inspect('dlg-set', page(sheet, GENERAL), CLICKS_PERIOD, '0')
    inspect('dlg-set', page(sheet, INTERFACE), SERVER_COUNT, '')
    shots = page(sheet, SCREENSHOT)
    inspect('dlg-set', shots, JPEG_QUALITY, '250')
    press(sheet, PSBTN_OK)
    lines = wait_for(lambda: (lambda l: l if l[2] == b'1' else None)(read_lines(workdir / 'zelvara.cfg')),
                     'the file saved')
    assert lines[13] == b'100' and lines[-1] == b'1'
    wait_for(lambda: len(children(program.hwnd, 'Zelvara#Button')) == 5 + 1, 'a bar of one server button')


def test_server_count_rebuilds_the_bar(start, workdir):
    program = open_client(start, workdir)
    sheet = open_sheet(program)
    inspect('dlg-set', page(sheet, INTERFACE), SERVER_COUNT, '12')
    press(sheet, PSBTN_OK)
    wait_for(lambda: len([b for b in children(program.hwnd, 'Zelvara#Button') if b['id'] < 1000]) == 12,
             'twelve server buttons')
    boxes = sorted((b['rect'][0], b['rect'][2] - b['rect'][0]) for b in children(program.hwnd, 'Zelvara#Button')
                   if b['id'] < 1000)
    assert boxes[-1][1] > 40, 'the remaining buttons widen to fill the row'
    assert read_lines(workdir / 'zelvara.cfg')[-1] == b'12'

    # Grown again: the new buttons join the row edge to edge, in number order.
    sheet = open_sheet(program)
    inspect('dlg-set', page(sheet, INTERFACE), SERVER_COUNT, '40')
    press(sheet, PSBTN_OK)
    servers = lambda: sorted((b['id'], b['rect']) for b in children(program.hwnd, 'Zelvara#Button') if b['id'] < 1000)
    wait_for(lambda: len(servers()) == 40, 'forty server buttons')
    rects = [rect for _, rect in servers()]
    assert all(rect[1] == rects[0][1] and rect[3] - rect[1] == 20 for rect in rects)
    assert all(right + 2 == next_left for (_, _, right, _), (next_left, _, _, _) in zip(rects, rects[1:]))
    assert {rect[2] - rect[0] for rect in rects} <= {rects[0][2] - rects[0][0], rects[0][2] - rects[0][0] + 1}


def test_language_change_reaches_the_next_server_address(start, workdir):
    program = open_client(start, workdir)
    sheet = open_sheet(program)
    general = page(sheet, GENERAL)
    inspect('dlg-check', general, LANGUAGE_EN, 0)
    inspect('dlg-check', general, LANGUAGE_DE, 1)
    press(sheet, PSBTN_OK)
    wait_for(lambda: read_lines(workdir / 'zelvara.cfg')[3] == b'de', 'the language saved')
    click(button(program.hwnd, 2))
    wait_for(lambda: any(r['path'].startswith('/battle-de.html') and r['host'] == f'{LABEL}.{DOMAIN}'
                         for r in site_requests()), 'the German battle page')


def test_russian_templates_under_a_russian_locale(start, workdir):
    # Russian as spoken in Ukraine: the Russian templates all the same.
    program = open_client(start, workdir, env={'LANG': 'ru_UA.UTF-8'}, language='ru')
    sheet = open_sheet(program, 'Настройки Zelvara')
    general = page(sheet, GENERAL)
    assert inspect_json('info', general)['title'] == 'Общее'
    press(sheet, PSBTN_CANCEL)


def test_link_buttons_open_their_pages_through_the_shell(start, workdir, tmp_path):
    record = tmp_path / 'opened.jsonl'
    handler = f'"Z:{str(ZPROBE).replace("/", chr(92))}" record "Z:{str(record).replace("/", chr(92))}" "%1"'
    key = r'HKLM\Software\Classes\https\shell\open\command'
    with open(os.devnull, 'wb') as null:
        subprocess.run([WINE, 'reg', 'add', key, '/ve', '/d', handler, '/f'], stdin=subprocess.DEVNULL,
                       stdout=null, stderr=null, check=True, timeout=60)
    program = open_client(start, workdir)
    about = children(program.hwnd, 'Zelvara#About')[0]
    help_button = [b for b in children(about['hwnd'], 'Zelvara#Button') if b['id'] == 1][0]
    click(help_button)
    wait_for(lambda: record.exists() and record.read_text().strip(), 'the shell to start the handler')
    assert '"https://zelvara.example/help"' in record.read_text()
    assert program.info()['title'] == 'Zelvara 1.0', 'the program stays as it was'
