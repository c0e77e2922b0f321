"""The main window's place on a desk of two monitors, through the real
executable: the primary 1280x1024 at (0, 0) with a 40-pixel task bar at its
top and a second one 1024x768 left of it (or above it) with a 60-pixel task
bar at its left; or the primary alone, a small screen. Runs only in a
session started with --two-monitors, where Wine has no virtual desktop and
Win32 coordinates are the X root's shifted by the left and top of the
whole desk."""
import os
import subprocess

import pytest

from conftest import (WS_POPUP, WM_SYSCOMMAND, SC_MAXIMIZE, button, children, inspect, inspect_json, read_lines,
                      wait_for)
from test_settings_sheet import CAPTION, PSBTN_CANCEL, open_client

pytestmark = pytest.mark.skipif(os.environ.get('ZELVARA_MONITORS') != 'two', reason='needs the two-monitor session')

PRIMARY = [0, 0, 1280, 1024]
PRIMARY_WORK = [0, 40, 1280, 1024]
LEFT = [-1024, 0, 0, 768]
LEFT_WORK = [-964, 0, 0, 768]
ABOVE = [0, -768, 1024, 0]
SMALL, SMALL_WORK = [0, 0, 1024, 600], [0, 40, 1024, 600]
PLUS = 1005
WM_LBUTTONDOWN, WM_LBUTTONUP = 0x201, 0x202


def monitors():
    return sorted(m['area'] for m in inspect_json('monitors'))


def desk():
    return sorted((m['area'], m['work'], m['primary']) for m in inspect_json('monitors'))


def click_at(x, y):
    """A real click at a point in Win32 coordinates."""
    desk = monitors()
    left, top = min(m[0] for m in desk), min(m[1] for m in desk)
    subprocess.run(['xdotool', 'mousemove', str(x - left), str(y - top), 'click', '1'], check=True, timeout=30)


def click(window):
    left, top, right, bottom = window['rect']
    click_at((left + right) // 2, (top + bottom) // 2)


def press(window):
    inspect('post', window['hwnd'], WM_LBUTTONDOWN, 1, 0x00020002)
    inspect('post', window['hwnd'], WM_LBUTTONUP, 0, 0x00020002)


def stored_rect(workdir):
    return [int(v) for v in read_lines(workdir / 'zelvara.cfg')[5:9]]


def inside(rect, monitor):
    return monitor[0] <= rect[0] and rect[2] <= monitor[2] and monitor[1] <= rect[1] and rect[3] <= monitor[3]


@pytest.fixture
def second_above():
    """The second monitor moved above the primary for one test, and back."""
    def place(where):
        subprocess.run(['xrandr', '--output', 'DUMMY1', where, 'DUMMY0'], check=True, timeout=30)
        subprocess.run(['xrandr'], check=True, timeout=30, stdout=subprocess.DEVNULL)
    place('--above')
    wait_for(lambda: monitors() == [ABOVE, PRIMARY], 'Wine to see the monitor above')
    yield
    place('--left-of')
    wait_for(lambda: monitors() == [LEFT, PRIMARY], 'Wine to see the monitor left again')


@pytest.fixture
def small_screen():
    """The primary alone at 1024x600, a netbook's screen, with its task bar
    at the top, for one test; then the desk of two again. Wine reads the
    outputs and the work areas again when the outputs change."""
    def run(*command, check=True):
        return subprocess.run(command, check=check, timeout=30, capture_output=True, text=True).stdout

    before, areas = desk(), run('xprop', '-root', '_GTK_WORKAREAS_D0').split('=')[1].replace(' ', '').strip()
    run('xprop', '-root', '-format', '_GTK_WORKAREAS_D0', '32c', '-set', '_GTK_WORKAREAS_D0', '0,40,1024,560')
    # The mode stays with the server once added.
    run('xrandr', '--newmode', '1024x600', '49.00', '1024', '1072', '1168', '1312', '600', '603', '613', '624',
        '-hsync', '+vsync', check=False)
    run('xrandr', '--addmode', 'DUMMY0', '1024x600', check=False)
    run('xrandr', '--output', 'DUMMY1', '--off', '--output', 'DUMMY0', '--mode', '1024x600')
    run('xrandr')
    wait_for(lambda: desk() == [(SMALL, SMALL_WORK, True)], 'Wine to see the small screen')
    yield
    run('xprop', '-root', '-format', '_GTK_WORKAREAS_D0', '32c', '-set', '_GTK_WORKAREAS_D0', areas)
    run('xrandr', '--output', 'DUMMY0', '--mode', '1280x1024', '--output', 'DUMMY1', '--mode', '1024x768',
        '--left-of', 'DUMMY0')
    run('xrandr')
    wait_for(lambda: desk() == before, 'Wine to see the desk of two again')


def test_the_window_keeps_to_the_left_monitor(start, workdir, minimum_size):
    assert monitors() == [LEFT, PRIMARY]
    # The smallest window, as the system's frame makes it: Wine 10's frame
    # is 4 px taller than Wine 8's, and Windows' differs again by theme.
    left = [-1020, 60, -1020 + minimum_size[0], 60 + minimum_size[1]]
    program = open_client(start, workdir, rect=left)
    assert program.info()['rect'] == left, 'remembered on the left monitor'

    # The sheet opens over its owner, on the same monitor.
    about = children(program.hwnd, 'Zelvara#About')[0]
    click([b for b in children(about['hwnd'], 'Zelvara#Button') if b['id'] == 0][0])
    mine = lambda: [w for w in inspect_json('find', '#32770', CAPTION) or [] if w['owner'] == program.hwnd]
    sheet = wait_for(mine, 'the settings sheet')[0]['hwnd']
    assert inside(inspect_json('info', sheet)['rect'], LEFT)
    inspect('sheet-press', sheet, PSBTN_CANCEL)
    wait_for(lambda: not inspect_json('info', sheet), 'the sheet to close')

    # Full screen fills the window's own monitor, and leaving comes back.
    click(button(program.hwnd, PLUS))
    wait_for(lambda: program.info()['rect'] == LEFT, 'full screen on the left monitor')
    click(button(program.hwnd, PLUS))
    wait_for(lambda: program.info()['rect'] == left, 'the earlier rectangle')

    # Maximised, full screen and leaving it stay on that monitor. Its X
    # clicks are lost while maximised (Wine with no window manager): the
    # button gets the click as messages.
    normal = program.info()['rect']
    inspect('post', program.hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0)
    wait_for(lambda: program.info()['zoomed'], 'maximised')
    press(button(program.hwnd, PLUS))
    wait_for(lambda: program.info()['style'] & WS_POPUP, 'full screen again')
    wait_for(lambda: inside(program.info()['rect'], LEFT), 'full screen on the left monitor')
    press(button(program.hwnd, PLUS))
    wait_for(lambda: not program.info()['style'] & WS_POPUP, 'framed again')
    framed = program.info()
    assert program.close() == 0
    flags = int(read_lines(workdir / 'zelvara.cfg')[4])
    if framed['zoomed']:
        # Still maximised, as on Windows: over the work area, right of the
        # task bar, and the normal rectangle kept for the next start. The
        # system sizes no window below its smallest, and that monitor's work
        # area is narrower than the smallest window: it reaches past the
        # work area's right edge by the difference.
        x, y, right, bottom = LEFT_WORK
        expected = [x, y, x + max(right - x, minimum_size[0]), y + max(bottom - y, minimum_size[1])]
        assert (framed['rect'], flags & 1, stored_rect(workdir)) == (expected, 1, normal)
    else:
        # This Wine restores a maximised window whose X window changes
        # size: a normal window at the top-left corner of the work area,
        # kept as it is.
        assert framed['rect'][:2] == LEFT_WORK[:2]
        assert (flags & 1, stored_rect(workdir)) == (0, framed['rect'])


def test_a_monitor_that_is_gone_a_stretched_window_and_an_old_minimised_position(start, workdir, minimum_size):
    # The default: centred in the primary's work area, under its task bar.
    width, height = minimum_size
    x, y = (1280 - width) // 2, 40 + (984 - height) // 2
    centred = [x, y, x + width, y + height]
    # The monitor it was on is gone; or it was stretched from a monitor
    # that is gone to this desk, and the system shrinks it to the largest
    # track size where it starts, on no monitor; or its caption is where
    # the task bar now is.
    for rect in [(3000, 200, 4016, 869), (-6000, 100, 1900, 800), (100, 0, 1116, 669)]:
        program = open_client(start, workdir, rect=rect)
        assert program.info()['rect'] == centred, rect
        assert program.close() == 0

    # A start in full screen: the rectangle the window was created with is
    # the one full screen leaves to, and the file heals.
    again = open_client(start, workdir, rect=(-32000, -32000, -31840, -31973), flags=2)
    wait_for(lambda: again.info()['rect'] == PRIMARY, 'full screen at start')
    click(button(again.hwnd, PLUS))
    wait_for(lambda: again.info()['rect'] == centred, 'the default rectangle')
    assert again.close() == 0
    assert stored_rect(workdir) == centred


def test_a_monitor_above_and_its_top_edge(start, workdir, second_above, minimum_size):
    above = [10, -700, 10 + minimum_size[0], -700 + minimum_size[1]]
    program = open_client(start, workdir, rect=above)
    assert program.info()['rect'] == above, 'remembered on the monitor above'
    click(button(program.hwnd, PLUS))
    wait_for(lambda: program.info()['rect'] == ABOVE, 'full screen above')

    # The top row of that monitor shows and hides the bar.
    click(button(program.hwnd, 6))
    wait_for(lambda: children(program.hwnd, 'AtlAxWin120'), 'the browser host')
    host = lambda: children(program.hwnd, 'AtlAxWin120')[0]['rect']
    wait_for(lambda: host() == [0, -738, 1024, 0], 'the area under the bar')
    click_at(400, -768)
    wait_for(lambda: host() == ABOVE, 'the bar hidden')
    click_at(400, -768)
    wait_for(lambda: host() == [0, -738, 1024, 0], 'the bar back')


def test_a_small_screen_with_a_task_bar_at_the_top(small_screen, start, workdir, minimum_size):
    # The smallest window is larger than the work area: its top-left
    # corner, and with it the caption, lies in it.
    width, height = minimum_size
    x = (1024 - width) // 2
    program = open_client(start, workdir)
    assert program.info()['rect'] == [x, 40, x + width, 40 + height]

    # Full screen from a maximised window, and back under the task bar.
    # Wine restores the window as it leaves (see above), so its size is
    # not the work area's here; its place is.
    inspect('post', program.hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0)
    wait_for(lambda: program.info()['zoomed'], 'maximised')
    press(button(program.hwnd, PLUS))
    wait_for(lambda: program.info()['style'] & WS_POPUP, 'full screen')
    press(button(program.hwnd, PLUS))
    wait_for(lambda: not program.info()['style'] & WS_POPUP, 'framed again')
    wait_for(lambda: program.info()['rect'][:2] == SMALL_WORK[:2], 'the top-left corner of the work area')
    assert program.close() == 0
