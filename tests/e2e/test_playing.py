"""Playing through the real executable with real X keys and clicks: chat
macros, the player window discovery, the auto-clicker, screenshots and the
hot keys, all against the stand-in player, whose input log is read back."""
import json
import os
import re
import time
from pathlib import Path

import pytest
from PIL import Image

from conftest import (BUTTON_CHECKED, BUTTON_PLAIN, EXE, SC_MINIMIZE, SC_RESTORE, SESSION, WM_SYSCOMMAND, Program,
                      accounts_file, button, button_colour, children, click, click_at, client_box, inspect,
                      inspect_json, key, pixel, read_lines, set_site_condition, settings_file, wait_for,
                      windows_path)

LABEL = 'play5label'
CLICK_LEFT, CLICK_RIGHT, PLUS = 1003, 1004, 1005
WM_KEYDOWN, WM_KEYUP, WM_CHAR = 'WM_KEYDOWN', 'WM_KEYUP', 'WM_CHAR'
PLAYER_LOG = SESSION / 'player.log'
PLAYER_FIELD = (24, 90, 48)


def log_entries():
    if not PLAYER_LOG.exists():
        return []
    return [json.loads(line) for line in PLAYER_LOG.read_text(encoding='utf-8').splitlines() if line.strip()]


def log_mark():
    return len(log_entries())


def since(mark):
    return log_entries()[mark:]


def start_game(start, workdir, server=1, args=(), env=None, **settings):
    """Starts the client and opens a battle server; settings=None keeps the
    defaults the first start writes."""
    accounts_file(workdir, LABEL)
    if settings:
        settings_file(workdir, **settings)
    program = start(args=args, env=env)
    program.main_window()
    click(button(program.hwnd, server))
    wait_for(lambda: children(program.hwnd, 'AtlAxWin120'), 'the browser host')
    return program


def view_windows(program):
    """The plug-in windows of the page: under the control's third window."""
    try:
        host = children(program.hwnd, 'AtlAxWin120')[0]
        embedding = children(host['hwnd'])[0]
        view = children(embedding['hwnd'])[0]
        server = children(view['hwnd'])[0]
    except IndexError:
        return []
    return children(server['hwnd'])


def player_window(program):
    found = [w for w in view_windows(program) if w['client'][0] > 1 and w['client'][1] > 1]
    return found[0] if found else None


def chat_messages(entries):
    """Key and character messages, lParam whole: a 64-bit one has its upper
    half clear, as the system makes it."""
    return [(e['msg'], e['wParam'], e['lParam']) for e in entries
            if e.get('msg') in (WM_KEYDOWN, WM_KEYUP, WM_CHAR)]


def expected_macro(text, team, scan_t=0x14, scan_enter=0x1C):
    """The posted sequence of one macro, with the US layout's scan codes."""
    opening = (84, scan_t) if team else (13, scan_enter)
    def down(code, scan):
        return (WM_KEYDOWN, code, scan << 16)
    def up(code, scan):
        return (WM_KEYUP, code, (scan << 16) | 0x80000000)
    return ([down(*opening), up(*opening)] + [(WM_CHAR, ord(c), 0) for c in text] +
            [down(13, scan_enter), up(13, scan_enter)])


def chats_since(mark):
    return [e for e in since(mark) if e.get('event') == 'chat']


# ---- chat macros ----------------------------------------------------------

@pytest.mark.scaled
def test_f1_and_f10_type_the_default_macros_into_the_player(start, workdir):
    program = start_game(start, workdir)
    wait_for(lambda: player_window(program), 'the player window')
    mark = log_mark()
    key(program, 'F1')
    wait_for(lambda: chats_since(mark), 'the team chat line sent')
    # The line goes on Enter's key-down; its key-up is logged a moment later.
    wait_for(lambda: len(chat_messages(since(mark))) >= 8, 'the last key-up')
    assert chat_messages(since(mark))[:8] == expected_macro('Base', True)
    assert chats_since(mark)[0]['team'] is True and chats_since(mark)[0]['text'] == 'Base'

    mark = log_mark()
    key(program, 'F10')
    wait_for(lambda: chats_since(mark), 'the all-players chat line sent')
    wait_for(lambda: len(chat_messages(since(mark))) >= 20, 'the last key-up')
    sent = chat_messages(since(mark))
    assert sent[:20] == expected_macro('It is not drugs!', False)
    assert not [m for m in sent[:20] if m[1] == 84 and m[0] != WM_CHAR], "no 'T' for all players"


def test_holding_a_function_key_sends_once_and_no_function_key_reaches_the_player(start, workdir):
    program = start_game(start, workdir)
    wait_for(lambda: player_window(program), 'the player window')
    mark = log_mark()
    key(program, 'F3', hold=1.5)
    for name in ('F5', 'F1', 'F12', 'F12'):
        key(program, name)
    wait_for(lambda: len(chats_since(mark)) >= 3, 'the chat lines')
    time.sleep(0.5)
    assert [c['text'] for c in chats_since(mark)] == ['Center', 'Clear', 'Base']
    assert not [e for e in since(mark) if e.get('msg') in (WM_KEYDOWN, WM_KEYUP) and 112 <= e['wParam'] <= 123]


def test_a_changed_macro_is_sent_from_the_next_page(start, workdir):
    accounts_file(workdir, LABEL)
    program = start()
    program.main_window()
    about = children(program.hwnd, 'Zelvara#About')[0]
    click([b for b in children(about['hwnd'], 'Zelvara#Button') if b['id'] == 0][0])
    sheet = wait_for(lambda: [w for w in inspect_json('find', '#32770', 'Zelvara settings') or []
                              if w['owner'] == program.hwnd], 'the sheet')[0]['hwnd']
    chat_page = int(inspect('sheet-page', sheet, 2))
    inspect('dlg-set', chat_page, 1100, 'Hold the line')
    inspect('sheet-press', sheet, 3)
    wait_for(lambda: not inspect_json('info', sheet), 'the sheet to close')
    click(button(program.hwnd, 1))
    wait_for(lambda: player_window(program), 'the player window')
    mark = log_mark()
    key(program, 'F1')
    wait_for(lambda: chats_since(mark), 'the chat line')
    assert chats_since(mark)[0]['text'] == 'Hold the line'


# ---- discovery ------------------------------------------------------------

def test_one_pixel_plug_in_is_hidden_and_the_player_is_the_target(start, workdir):
    program = start_game(start, workdir, language='pixelfirst')
    wait_for(lambda: len(view_windows(program)) == 2, 'both plug-ins')
    wait_for(lambda: not [w for w in view_windows(program) if w['client'] == [1, 1] and w['visible']],
             'the one-pixel window hidden')
    player = player_window(program)
    mark = log_mark()
    key(program, 'F1')
    wait_for(lambda: chats_since(mark), 'the chat line')
    assert chats_since(mark)[0]['text'] == 'Hi'
    assert {e['hwnd'] for e in since(mark) if e.get('msg')} == {player['hwnd']}


def test_without_a_player_nothing_is_sent_and_no_screenshot_taken(start, workdir, tmp_path):
    folder = tmp_path / 'shots'
    program = start_game(start, workdir, language='empty')
    time.sleep(0.5)
    mark = log_mark()
    key(program, 'F1')
    key(program, 'Print')
    time.sleep(1.0)
    assert since(mark) == []
    assert not folder.exists()


# ---- hot keys -------------------------------------------------------------

def test_f11_switches_full_screen_and_f12_the_bar_only_with_a_game(start, workdir, metrics):
    accounts_file(workdir, LABEL)
    program = start()
    program.main_window()
    framed = program.info()['rect']
    key(program, 'F12')
    time.sleep(0.3)
    assert client_box(program.info(), children(program.hwnd, 'Zelvara#About')[0])[1] == 31
    key(program, 'F11')
    screen_w, screen_h = metrics['screen']
    wait_for(lambda: program.info()['rect'] == [0, 0, screen_w, screen_h], 'full screen')
    wait_for(lambda: button_colour(program.hwnd, PLUS) == BUTTON_CHECKED, '+ checked')
    click(button(program.hwnd, 3))
    wait_for(lambda: children(program.hwnd, 'AtlAxWin120'), 'the browser host')
    host = lambda: client_box(program.info(), children(program.hwnd, 'AtlAxWin120')[0])
    wait_for(lambda: host()[1] == 30, 'the area under the bar')
    key(program, 'F12')
    wait_for(lambda: host() == (0, 0, screen_w, screen_h), 'the bar hidden')
    # The player sees the game in the bar's rows, not a button, and a click
    # there reaches the game. Read off the screen at a spot of button 30
    # clear of the player's grid lines and text.
    player = wait_for(lambda: player_window(program), 'the player window')
    x, y, width, _ = client_box(program.info(), button(program.hwnd, 30))
    spot = next(px for px in range(x + 2, x + width - 2) if px % 40 > 2), y + 2
    wait_for(lambda: pixel(program.hwnd, *spot) == PLAYER_FIELD, 'the playing field over the hidden bar')
    mark = log_mark()
    click_at(*spot)  # full screen: client and screen coordinates agree
    wait_for(lambda: clicks_since(mark) == [player_box(player, {'rect': [*spot, 0, 0]})[:2]], 'the click in the game')
    assert program.info()['title'] == '[3] Zelvara 1.0', 'no server button was pressed'
    key(program, 'F12')
    wait_for(lambda: host()[1] == 30, 'the bar back')
    wait_for(lambda: pixel(program.hwnd, *spot) == BUTTON_PLAIN, 'button 30 shown again')
    click(button(program.hwnd, 30))
    wait_for(lambda: program.info()['title'] == '[30] Zelvara 1.0', 'button 30 works again')
    key(program, 'F11')
    wait_for(lambda: program.info()['rect'] == framed, 'framed again')
    wait_for(lambda: button_colour(program.hwnd, PLUS) == BUTTON_PLAIN, '+ unchecked')


@pytest.mark.scaled
def test_one_world_of_96_dpi_however_the_screen_is_scaled(start, workdir, metrics):
    """What the program sees is one desk in its own coordinates, which the
    system stretches to the screen's real pixels (150 % in the scaled
    session): it opens centred on the work area at its smallest size, and
    full screen covers the whole screen in both."""
    accounts_file(workdir, LABEL)
    program = start()
    program.main_window()
    info = program.info()
    screen = metrics['screen']
    scale = int(os.environ.get('ZELVARA_DPI', 96)) / 96
    desk = [round(n / scale) for n in screen]
    # Its size from the frame the system tells a program that is not
    # DPI-aware. Wine 10 at 144 DPI tells it the real pixels' frame (Windows
    # the 96-DPI one) yet draws one of another size, so the client it gets
    # there is a little larger than it asked for, never smaller.
    left, top, right, bottom = metrics['unawareFrame']
    width, height = right - left + 1000, bottom - top + 630
    x, y = (desk[0] - width) // 2, (desk[1] - height) // 2
    assert info['ownRect'] == [x, y, x + width, y + height]
    if scale == 1:
        assert info['ownClient'] == [1000, 630]
    assert info['ownClient'][0] >= 1000 and info['ownClient'][1] >= 630
    assert [abs(real - own * scale) <= 1 for real, own in zip(info['rect'], info['ownRect'])] == [True] * 4
    click(button(program.hwnd, 7))
    wait_for(lambda: program.info()['title'] == '[7] Zelvara 1.0', 'the page of server 7')
    key(program, 'F11')
    wait_for(lambda: program.info()['rect'] == [0, 0, *screen], 'full screen')
    assert program.info()['ownRect'] == [0, 0, *desk]
    # Back with the + button: Wine 10 at 144 DPI gives a full-screen window
    # X clicks but no X keys, though it is in front (at 96 DPI it gets both).
    click(button(program.hwnd, PLUS))
    wait_for(lambda: program.info()['ownRect'] == info['ownRect'], 'framed again')


# ---- auto-clicker ---------------------------------------------------------

def clicks_since(mark):
    return [(e['lParam'] & 0xFFFF, e['lParam'] >> 16) for e in since(mark) if e.get('msg') == 'WM_LBUTTONDOWN']


def overlays(player):
    return children(player['hwnd'], 'Zelvara#Clicker')


def player_box(player, window):
    """A window's (x, y, width, height) inside the player's client area."""
    ox, oy = player['clientOrigin']
    left, top, right, bottom = window['rect']
    return (left - ox, top - oy, right - left, bottom - top)


def test_clicker_clicks_its_targets_until_turned_off(start, workdir):
    set_site_condition(clicks=1000000)
    try:
        program = start_game(start, workdir, clicks=20)
        player = wait_for(lambda: player_window(program), 'the player window')
        w, h = player['client']
        mark = log_mark()
        click(button(program.hwnd, CLICK_LEFT))
        left_target = (2 * (w // 3) + 80, h - 40)
        right_target = (w - 80, h - 40)
        wait_for(lambda: len(clicks_since(mark)) >= 5, 'clicks on the left target')
        assert set(clicks_since(mark)) == {left_target}
        cw = min((w - 996) // 6 + 99, 118)
        assert [player_box(player, o) for o in overlays(player)] == [(2 * (w // 3) + 17, h - 55, cw, 39)]
        wait_for(lambda: button_colour(program.hwnd, CLICK_LEFT) == BUTTON_CHECKED, 'Click Left checked')

        click(button(program.hwnd, CLICK_RIGHT))
        wait_for(lambda: right_target in clicks_since(mark), 'clicks on the right target')
        both = clicks_since(mark)
        first_right = both.index(right_target)
        pairs = both[first_right - 1:]
        pairs = pairs[:len(pairs) // 2 * 2]
        assert pairs[0::2] == [left_target] * (len(pairs) // 2) and pairs[1::2] == [right_target] * (len(pairs) // 2), \
            'one thread: left before right in every period'
        assert len(overlays(player)) == 2

        # The overlay's own button turns its target off, as the bar button does.
        left_overlay = [o for o in overlays(player) if player_box(player, o)[0] < w - 200][0]
        click(children(left_overlay['hwnd'], 'Zelvara#Button')[0])
        wait_for(lambda: button_colour(program.hwnd, CLICK_LEFT) == BUTTON_PLAIN, 'Click Left unchecked')
        wait_for(lambda: len(overlays(player)) == 1, 'the left overlay gone')
        mark = log_mark()
        wait_for(lambda: len(clicks_since(mark)) >= 3, 'clicks going on')
        assert set(clicks_since(mark)) == {right_target}

        click(button(program.hwnd, CLICK_RIGHT))
        wait_for(lambda: not overlays(player), 'no overlay')
        time.sleep(0.2)
        mark = log_mark()
        time.sleep(0.5)
        assert clicks_since(mark) == [], 'the last target off stops the clicking'
        assert program.close() == 0
    finally:
        set_site_condition(clicks=3)


@pytest.mark.scaled
def test_loaded_battle_ends_the_clicking_and_calls_the_user_back(start, workdir):
    set_site_condition(clicks=3)
    program = start_game(start, workdir, clicks=1)
    player = wait_for(lambda: player_window(program), 'the player window')
    click(button(program.hwnd, CLICK_LEFT))
    wait_for(lambda: overlays(player), 'the overlay')
    # Another program comes in front while the battle loads.
    other = Program(workdir, exe=EXE.parent / 'bench' / 'bench_bare_window.exe')
    try:
        wait_for(lambda: inspect_json('find', 'BareWindow'), 'the other program')
        # The box turns topmost while it initialises, a moment after it exists.
        box = wait_for(lambda: [w for w in inspect_json('find', '#32770', 'Zelvara') or []
                                if w['owner'] == program.hwnd and w['exstyle'] & 0x8], 'the topmost battle-loaded box')[0]
        texts = [c['title'] for c in children(box['hwnd'])]
        assert 'Battle is loaded!' in texts
        assert not overlays(player)
        inspect('post', box['hwnd'], 0x0111, 1, 0)  # WM_COMMAND IDOK
        wait_for(lambda: not inspect_json('find', '#32770', 'Zelvara'), 'the box closed')
    finally:
        other.end()
    wait_for(lambda: button_colour(program.hwnd, CLICK_LEFT) == BUTTON_PLAIN, 'Click Left unchecked')

    # With the client in front there is no box.
    click(button(program.hwnd, 2))
    player = wait_for(lambda: player_window(program), 'the new player window')
    mark = log_mark()
    click(button(program.hwnd, CLICK_RIGHT))
    wait_for(lambda: any(e.get('event') == 'loaded' for e in since(mark)), 'the battle loaded')
    wait_for(lambda: button_colour(program.hwnd, CLICK_RIGHT) == BUTTON_PLAIN, 'Click Right unchecked')
    time.sleep(0.5)
    assert not inspect_json('find', '#32770', 'Zelvara')
    # The program aims and reads by the browser area; the control, hosted as
    # the platform's container hosts it, draws no edge, so the player fills
    # that area: every click is on the player's own target, and the pixel
    # the program read is the player's own mark.
    w, h = player['ownClient']
    assert set(clicks_since(mark)) == {(w - 80, h - 40)}
    host = children(program.hwnd, 'AtlAxWin120')[0]
    assert player_box(player, host) == (0, 0, *player['client']), 'the player at the area\'s origin, the area\'s size'
    wait_for(lambda: pixel(host['hwnd'], w - 20, h - 11) == (255, 255, 255), "the player's mark")
    assert pixel(host['hwnd'], 0, 0) == PLAYER_FIELD, 'no edge around the playing field'

    # Behind a minimised window the clicks keep their targets, and the
    # battle is found loaded once the window is back. The clicking starts
    # only once the window is down (the button pressed with posted mouse
    # messages), so the load cannot come before the window is minimised
    # however long the steps before take.
    set_site_condition(clicks=3, delay=2000)
    try:
        click(button(program.hwnd, 4))
        player = wait_for(lambda: (p := player_window(program)) and p['hwnd'] != player['hwnd'] and p,
                          'the third player window')
        w, h = player['ownClient']
        right = button(program.hwnd, CLICK_RIGHT)['hwnd']
        inspect('post', program.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0)
        wait_for(lambda: program.info()['iconic'], 'the window minimised')
        mark = log_mark()
        inspect('post', right, 0x0201, 1, 0x00050005)  # WM_LBUTTONDOWN, MK_LBUTTON
        inspect('post', right, 0x0202, 0, 0x00050005)  # WM_LBUTTONUP
        wait_for(lambda: any(e.get('event') == 'loaded' for e in since(mark)), 'the battle loaded while minimised')
        assert set(clicks_since(mark)) == {(w - 80, h - 40)}
        inspect('post', program.hwnd, WM_SYSCOMMAND, SC_RESTORE, 0)
        wait_for(lambda: button_colour(program.hwnd, CLICK_RIGHT) == BUTTON_PLAIN, 'the clicker done after restore')
    finally:
        set_site_condition(clicks=3)


def test_a_battle_already_loaded_unchecks_the_button_at_once(start, workdir):
    set_site_condition(clicks=0)
    try:
        program = start_game(start, workdir)
        player = wait_for(lambda: player_window(program), 'the player window')
        wait_for(lambda: any(e.get('event') == 'loaded' and e.get('hwnd') == player['hwnd'] for e in log_entries()),
                 'the battle shown as loaded')
        mark = log_mark()
        click(button(program.hwnd, CLICK_LEFT))
        wait_for(lambda: button_colour(program.hwnd, CLICK_LEFT) == BUTTON_PLAIN, 'Click Left unchecked')
        time.sleep(0.3)
        assert not overlays(player) and clicks_since(mark) == []
    finally:
        set_site_condition(clicks=3)


# ---- screenshots ----------------------------------------------------------

def shots_in(folder):
    return sorted(p for p in Path(folder).glob('*') if p.is_file()) if Path(folder).exists() else []


def whole_image(path):
    """The format and size of the image in path once all of it is written."""
    try:
        with Image.open(path) as picture:
            picture.load()
            return picture.format, list(picture.size)
    except (OSError, SyntaxError, ValueError):
        return None


@pytest.mark.scaled
def test_the_screenshot_key_saves_the_player_window(start, workdir, tmp_path):
    for image, pil_format in (('jpeg', 'JPEG'), ('png', 'PNG'), ('bmp', 'BMP')):
        folder = tmp_path / image
        folder.mkdir()
        program = start_game(start, workdir, folder=windows_path(folder), image=image)
        player = wait_for(lambda: player_window(program), 'the player window')
        key(program, 'Print')
        shot = wait_for(lambda: shots_in(folder), 'the screenshot file')[0]
        assert re.fullmatch(r'\d\d\.\d\d\.\d{4} \d\d-\d\d-\d\d\.' + image, shot.name), shot.name
        # The file is there from its first byte on: wait until it decodes whole.
        assert wait_for(lambda: whole_image(shot), 'the whole image') == (pil_format, player['ownClient'])
        program.close()


def test_one_press_one_file_and_two_presses_two_files(start, workdir, tmp_path):
    folder = tmp_path / 'made' / 'shots'  # missing, but its parent exists
    (tmp_path / 'made').mkdir()
    program = start_game(start, workdir, folder=windows_path(folder), image='png',
                         date_format="yyyy'-'MM'-'dd' '")
    wait_for(lambda: player_window(program), 'the player window')
    key(program, 'Print', hold=1.2)
    wait_for(lambda: shots_in(folder), 'the first file')
    time.sleep(0.5)
    assert len(shots_in(folder)) == 1, 'holding the key gives one file'
    assert re.fullmatch(r'\d{4}-\d\d-\d\d \d\d-\d\d-\d\d\.png', shots_in(folder)[0].name)
    key(program, 'Print')
    time.sleep(0.25)
    key(program, 'Print')
    wait_for(lambda: len(shots_in(folder)) == 3, 'a file per press, none overwritten')


def test_a_folder_without_parent_or_beyond_the_path_limit_gets_no_file(start, workdir, tmp_path):
    # Past 260 characters the path buffer has no room for a file name.
    deep = tmp_path / 'deep' / '/'.join(f'{i}' * 50 for i in range(6))
    deep.mkdir(parents=True)
    assert len(windows_path(deep)) > 260
    for folder in (tmp_path / 'missing' / 'shots', deep):
        program = start_game(start, workdir, folder=windows_path(folder))
        wait_for(lambda: player_window(program), 'the player window')
        key(program, 'Print')
        time.sleep(1.0)
        assert shots_in(folder) == [] and not (tmp_path / 'missing').exists(), folder
        assert program.close() == 0


def test_escape_as_the_screenshot_key_is_consumed(start, workdir, tmp_path):
    folder = tmp_path / 'esc'
    folder.mkdir()
    program = start_game(start, workdir, folder=windows_path(folder), screenshot_key=27)
    wait_for(lambda: player_window(program), 'the player window')
    mark = log_mark()
    key(program, 'Escape')
    wait_for(lambda: shots_in(folder), 'the screenshot')
    assert not [e for e in since(mark) if e.get('msg') in (WM_KEYDOWN, WM_KEYUP) and e['wParam'] == 27]


def test_closing_while_clicking_and_saving_ends_promptly_with_a_whole_file(start, workdir, tmp_path):
    set_site_condition(clicks=1000000)
    try:
        folder = tmp_path / 'end'
        folder.mkdir()
        # A hand-edited period of INFINITE is brought into the sheet's range,
        # and the stop wakes the clicker's pause.
        program = start_game(start, workdir, folder=windows_path(folder), image='bmp', clicks=4294967295)
        player = wait_for(lambda: player_window(program), 'the player window')
        click(button(program.hwnd, CLICK_LEFT))
        wait_for(lambda: overlays(player), 'the clicker running')
        key(program, 'Print')
        assert program.close() == 0
        assert read_lines(workdir / 'zelvara.cfg')[2] == b'999'
        shot = wait_for(lambda: shots_in(folder), 'the screenshot')[0]
        with Image.open(shot) as picture:
            picture.load()
            assert list(picture.size) == player['client']
    finally:
        set_site_condition(clicks=3)
