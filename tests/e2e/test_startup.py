"""Start-up, the settings files and the main window's placement, seen from
outside through the real executable."""
import re

import pytest

from conftest import (SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE, SW_MAXIMIZE, WM_SYSCOMMAND, copy_client, inspect,
                      read_lines, settings_file, wait_for)


def stored_rect(workdir):
    return tuple(int(v) for v in read_lines(workdir / 'zelvara.cfg')[5:9])


def test_first_start_creates_both_files_and_a_centred_minimum_window(start, workdir, metrics, minimum_size):
    program = start()
    window = program.main_window()
    assert window['title'] == 'Zelvara 1.0'
    assert window['client'] == [1000, 630]
    width, height = minimum_size
    screen_w, screen_h = metrics['screen']
    left, top = (screen_w - width) // 2, (screen_h - height) // 2
    assert window['rect'] == [left, top, left + width, top + height]

    accounts = (workdir / 'accounts.cfg').read_bytes()
    assert re.fullmatch(rb'[0-9A-Za-z]{7,11}\r\n', accounts)
    lines = read_lines(workdir / 'zelvara.cfg')
    assert len(lines) == 49
    assert lines[0] == lines[1] == lines[15] == b'0'
    assert lines[3] == b'en' and lines[16] == b'10' and lines[17:20] == [b'112', b'Base', b'1']
    assert lines[-2:] == [b'44', b'30']

    assert program.close() == 0
    assert stored_rect(workdir) == (left, top, left + width, top + height)
    assert (workdir / 'accounts.cfg').read_bytes() == accounts, 'the label is kept'


def test_restart_comes_back_where_the_window_was_left(start, workdir):
    settings_file(workdir, rect=(100, 50, 1200, 760))
    program = start()
    assert program.main_window()['rect'] == [100, 50, 1200, 760]
    inspect('move', program.hwnd, 40, 30, 1100, 700)
    wait_for(lambda: program.info()['rect'] == [40, 30, 1140, 730], 'the move')
    assert program.close() == 0
    assert stored_rect(workdir) == (40, 30, 1140, 730)

    again = start()
    assert again.main_window()['rect'] == [40, 30, 1140, 730]


def test_stored_rectangle_rules(start, workdir, metrics, minimum_size):
    width, height = minimum_size
    centred = [(metrics['screen'][0] - width) // 2, (metrics['screen'][1] - height) // 2]
    cases = [((0, 20, 1100, 700), [0, 20, 1100, 700]),         # at the left screen edge: used
             ((-30, -10, 1050, 700), [-30, -10, 1050, 700]),   # negative left and top alone: used
             ((50, 50, -1, 700), centred + [centred[0] + width, centred[1] + height]),
             ((-32000, -32000, -31840, -31973), centred + [centred[0] + width, centred[1] + height])]
    for rect, expected in cases:
        settings_file(workdir, rect=rect)
        program = start()
        assert program.main_window()['rect'] == expected, rect
        assert program.close() == 0


def test_the_window_state_is_stored_as_the_window_really_is(start, workdir):
    settings_file(workdir, rect=(100, 50, 1200, 760))
    program = start()
    program.main_window()
    inspect('post', program.hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0)
    wait_for(lambda: program.info()['zoomed'], 'the window to be maximised')
    # Minimised and restored, it comes back maximised, and stays stored so.
    inspect('post', program.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0)
    wait_for(lambda: program.info()['iconic'], 'the window minimised')
    inspect('post', program.hwnd, WM_SYSCOMMAND, SC_RESTORE, 0)
    wait_for(lambda: program.info()['zoomed'] and not program.info()['iconic'], 'back maximised')
    assert program.close() == 0
    lines = read_lines(workdir / 'zelvara.cfg')
    assert lines[4] == b'1'
    assert stored_rect(workdir) == (100, 50, 1200, 760), 'only the normal rectangle is stored'

    # Shown maximised again; restored, the normal rectangle is stored.
    again = start()
    again.main_window()
    # The window is visible from its creation; it is maximised a moment later.
    wait_for(lambda: again.info()['zoomed'], 'the window shown maximised')
    inspect('post', again.hwnd, WM_SYSCOMMAND, SC_RESTORE, 0)
    wait_for(lambda: not again.info()['zoomed'], 'the window to be restored')
    inspect('move', again.hwnd, 60, 40, 1100, 700)
    wait_for(lambda: again.info()['rect'] == [60, 40, 1160, 740], 'the move')
    assert again.close() == 0
    assert read_lines(workdir / 'zelvara.cfg')[4] == b'0'
    assert stored_rect(workdir) == (60, 40, 1160, 740)

    # Snapping to the top edge maximises without the system command.
    third = start()
    third.main_window()
    inspect('show', third.hwnd, SW_MAXIMIZE)
    wait_for(lambda: third.info()['zoomed'], 'the window snapped maximised')
    assert third.close() == 0
    assert read_lines(workdir / 'zelvara.cfg')[4] == b'1'
    assert stored_rect(workdir) == (60, 40, 1160, 740)


def test_command_line_shows_in_the_title(start):
    program = start(args=['two', 'words'])
    assert program.main_window()['title'] == '[two words] Zelvara 1.0'


def test_long_command_line_is_shown_whole(start):
    tail = 'x' * 300
    program = start(args=[tail])
    assert program.main_window()['title'] == f'[{tail}] Zelvara 1.0'
    assert program.close() == 0
    # Near the system's limit of 32,767 characters.
    tail = 'y' * 32000
    program = start(args=[tail])
    assert program.main_window(timeout=60)['title'] == f'[{tail}] Zelvara 1.0'
    assert program.close() == 0


def test_corrupted_settings_file_is_rewritten_whole(start, workdir):
    settings_file(workdir, rect=(100, 50, 1200, 760), clicks=25)
    lines = (workdir / 'zelvara.cfg').read_bytes().split(b'\r\n')
    lines[13] = b'ninety'  # the JPEG quality
    (workdir / 'zelvara.cfg').write_bytes(b'\r\n'.join(lines[:15]))
    program = start()
    assert program.main_window()['rect'] == [100, 50, 1200, 760], 'values before the damage are used'
    lines = read_lines(workdir / 'zelvara.cfg')
    assert len(lines) == 49, 'defaults after the damage, written whole'
    assert lines[2] == b'25' and lines[13] == b'90' and lines[16] == b'10'


# Each language in every country: German in Switzerland as well.
@pytest.mark.parametrize('lang, code, page, base, last, folder', [
    ('ru_RU.UTF-8', b'ru', 'cp866', 'База', 'Это не наркотики!', 'Снимки Zelvara'),
    ('de_CH.UTF-8', b'de', 'cp850', 'Basis', 'Das sind keine Drogen!', 'Zelvara Bildschirmfotos')])
def test_the_system_language_writes_its_defaults(start, workdir, lang, code, page, base, last, folder):
    program = start(env={'LANG': lang})
    program.main_window()
    lines = read_lines(workdir / 'zelvara.cfg')
    assert lines[3] == code
    assert lines[18].decode(page) == base
    assert lines[-4].decode(page) == last
    assert lines[9].decode(page).endswith('\\' + folder)


def test_running_as_the_new_name_replaces_the_old_executable(start, workdir):
    new = copy_client(workdir, 'new_orbisk.exe')
    (workdir / 'orbisk.exe').write_bytes(b'old')
    start(exe=new).main_window()
    assert (workdir / 'orbisk.exe').read_bytes() == new.read_bytes()


def test_other_names_leave_the_old_executable_alone(start, workdir):
    other = copy_client(workdir, 'New_Orbisk.exe')
    (workdir / 'orbisk.exe').write_bytes(b'old')
    start(exe=other).main_window()
    assert (workdir / 'orbisk.exe').read_bytes() == b'old'
