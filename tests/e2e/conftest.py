"""Fixtures that drive the real zelvara.exe inside the Wine session that
tests/env/session.sh prepared (WINEPREFIX, DISPLAY and WINE are set)."""
import json
import re
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request
from pathlib import Path

import pytest

BUILD = Path(os.environ.get('ZELVARA_BUILD', Path(__file__).resolve().parents[2] / 'build'))
WINE = os.environ.get('WINE', '/usr/lib/wine/wine64')
EXE = BUILD / 'zelvara.exe'
ZPROBE = BUILD / 'zprobe.exe'
# What the tests look through (windows, pixels, the clipboard) reads any
# process, whatever its size, and runs many times a second while a test
# waits. The session may name a 64-bit one to run natively while the exe
# under test is 32-bit and emulated; the programs a scenario puts beside
# the exe (clipboard viewers and holders) stay of the exe's own size.
INSPECTOR = [os.environ['ZELVARA_INSPECTOR_WINE'], os.environ['ZELVARA_INSPECTOR']] \
    if os.environ.get('ZELVARA_INSPECTOR') else [WINE, str(ZPROBE)]

SESSION = Path(os.environ.get('ZELVARA_SESSION', '/nonexistent'))
PREFIX = Path(os.environ.get('WINEPREFIX', '/nonexistent'))
DOMAIN = 'game.example'

# Main window style bits.
WS_POPUP = 0x80000000
WS_CAPTION = 0x00C00000
WM_SYSCOMMAND = 0x0112
SC_MAXIMIZE = 0xF030
SC_RESTORE = 0xF120
SC_MINIMIZE = 0xF020
SW_MAXIMIZE = 3


def pytest_configure(config):
    config.addinivalue_line('markers', 'scaled: also run on a screen scaled to 150 % (session.sh --scaled)')


def wait_for(predicate, what, timeout=20.0, interval=0.05):
    """Polls until predicate() gives a true value, and returns it."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f'timed out after {timeout} s waiting for {what}')
        time.sleep(interval)


def probe(*args):
    """zprobe's (exit status, standard output); a failure is shown with the test's. Wine's
    output goes to files, never a pipe: its services may hold a pipe open. zprobe says why
    whenever it fails; a run that ended with a status and not a word is one Wine did not
    start, which a busy machine now and then does, and it is run again."""
    for attempt in range(3):
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            status = subprocess.run([*INSPECTOR, *map(str, args)], stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=err, timeout=60, check=False).returncode
            out.seek(0)
            err.seek(0)
            output, why = out.read().decode('utf-8'), err.read().decode('utf-8', 'replace')
        if status:
            print(f'zprobe {" ".join(map(str, args))}: ended with {status}: {why or "(not started)"}')
        if not status or why or output:
            break
    return status, output


def inspect(*args):
    return probe(*args)[1]


def inspect_json(*args):
    text = inspect(*args).strip()
    return json.loads(text) if text else None


def post_close(hwnd):
    """Posts WM_CLOSE as the close box does; now and then, three sessions at
    once, the probe's post fails while the window is there, and it posts again."""
    wait_for(lambda: probe('close', hwnd)[0] == 0, 'WM_CLOSE posted', 1, 0.2)


def threads_of(exe):
    """Where every thread of the running program named `exe` is, as Wine's
    debugger tells: what a hang's failure shows."""
    name = Path(exe).name.lower()
    with tempfile.TemporaryFile() as out:
        subprocess.run([WINE, 'winedbg', '--command', 'bt all'], stdin=subprocess.DEVNULL,
                       stdout=out, stderr=subprocess.STDOUT, timeout=120, check=False)
        out.seek(0)
        blocks = out.read().decode('utf-8', 'replace').split('\nBacktracing for ')
    return '\n'.join(b for b in blocks if name in b.split('\n', 1)[0].lower()) or 'no thread of ' + name


def read_lines(path):
    """The settings file's lines, CR LF ends checked and removed."""
    data = Path(path).read_bytes()
    assert data.endswith(b'\r\n')
    lines = data.split(b'\r\n')[:-1]
    assert all(b'\n' not in line and b'\r' not in line for line in lines)
    return lines


class Program:
    """One run of the client (or a copy of it) in a working directory."""

    def __init__(self, cwd, args=(), exe=EXE, env=None):
        self.cwd = Path(cwd)
        self.log = open(self.cwd.parent / f'{self.cwd.name}-wine.log', 'ab')
        environment = dict(os.environ)
        environment.update(env or {})
        self.process = subprocess.Popen([WINE, str(exe), *args], cwd=self.cwd, env=environment,
                                        stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
        self.hwnd = None

    def main_window(self, timeout=30.0):
        def visible():
            assert self.process.poll() is None, 'the program ended early'
            found = [w for w in inspect_json('find', 'Zelvara') or [] if w['visible']]
            return found[0] if found else None
        window = wait_for(visible, 'the main window', timeout)
        self.hwnd = window['hwnd']
        return window

    def info(self):
        return inspect_json('info', self.hwnd)

    def close(self, timeout=30.0):
        """Closes the main window as the close box does and waits for the exit code."""
        post_close(self.hwnd)
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            print(threads_of(self.process.args[1]))
            raise

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=30)
        self.log.close()


@pytest.fixture
def workdir(tmp_path):
    path = tmp_path / 'run'
    path.mkdir()
    return path


@pytest.fixture
def start(workdir):
    """start(args=(), cwd=workdir, ...) runs the client; every run is ended afterwards."""
    runs = []

    def launch(args=(), cwd=None, **kwargs):
        program = Program(cwd or workdir, args, **kwargs)
        runs.append(program)
        return program

    yield launch
    for program in runs:
        program.end()
    # Wait until no main window is left, so the next test starts clean.
    wait_for(lambda: not [w for w in inspect_json('find', 'Zelvara') or []], 'all main windows to go', 20)


class ClipboardViewer:
    """A clipboard viewer in another process, as a clipboard history tool is:
    at every notice it reads the clipboard, records the text and passes the
    notice on."""

    def __init__(self, directory, mode=None):
        directory.mkdir(exist_ok=True)
        self.log = directory / 'viewer.jsonl'
        self.log.touch()
        with open(directory / 'viewer-wine.log', 'ab') as out:
            self.process = subprocess.Popen([WINE, str(ZPROBE), 'viewer', windows_path(self.log), *[m for m in [mode] if m]],
                                            stdin=subprocess.DEVNULL, stdout=out, stderr=out)
        # Joined once its first notice is written; as long as a program's start may take.
        wait_for(lambda: self.log.read_text(encoding='utf-8').strip(), 'the viewer in the chain', 30)

    def texts(self):
        return [json.loads(line) for line in self.log.read_text(encoding='utf-8').splitlines() if line.strip()]

    def close(self):
        """Closes its window: it leaves the chain as a viewer should, and is
        leaving once its log says so."""
        post_close(inspect_json('find', 'zprobe viewer', windows_path(self.log))[0]['hwnd'])
        wait_for(lambda: None in self.texts(), 'the viewer leaving')

    def leave(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=30)


@pytest.fixture
def clipboard_viewer(tmp_path):
    """A viewer that joins the chain before the client starts."""
    viewer = ClipboardViewer(tmp_path)
    try:
        yield viewer
    finally:
        viewer.leave()


@pytest.fixture
def add_viewer(tmp_path):
    """add_viewer(name, mode=None) joins another viewer now (mode 'hang',
    'swallow' or 'busy', see zprobe); each is ended afterwards."""
    made = []

    def add(name, mode=None):
        made.append(ClipboardViewer(tmp_path / name, mode))
        return made[-1]

    yield add
    for viewer in made:
        viewer.leave()


@pytest.fixture
def hold_clipboard(tmp_path):
    """hold_clipboard(text=None): another program holds the clipboard open,
    with text put on it meanwhile, until the returned function releases it."""
    holders = []

    def hold(text=None):
        marker = tmp_path / f'held{len(holders)}'
        with open(tmp_path / 'holder-wine.log', 'ab') as out:
            holders.append(subprocess.Popen([WINE, str(ZPROBE), 'clipboard-hold', windows_path(marker),
                                             *[t for t in [text] if t]],
                                            stdin=subprocess.DEVNULL, stdout=out, stderr=out))
        wait_for(marker.exists, 'the clipboard held open')
        holder = holders[-1]
        return lambda: (holder.kill(), holder.wait(timeout=30))

    yield hold
    for holder in holders:
        if holder.poll() is None:
            holder.kill()
            holder.wait(timeout=30)


@pytest.fixture(scope='session')
def metrics():
    return inspect_json('metrics')


@pytest.fixture(scope='session')
def minimum_size(metrics):
    left, top, right, bottom = metrics['frame']
    return right - left + 1000, bottom - top + 630


def copy_client(directory, name):
    target = Path(directory) / name
    shutil.copyfile(EXE, target)
    return target


def windows_path(path):
    return 'Z:' + str(path).replace('/', '\\')


def settings_file(workdir, rect=(0, 0, 0, 0), flags=0, clicks=10, language='en', servers=30, folder=r'C:\Shots',
                  image='jpeg', quality=90, beep=1, screenshot_key=44, date_format="dd'.'MM'.'yyyy' '"):
    """A complete settings file in the program's layout (one chat macro, F1 "Hi")."""
    lines = ['0', '0', str(clicks), language, str(flags), *map(str, rect), str(folder), date_format,
             "HH'-'mm'-'ss'.'", image, str(quality), str(beep), '0', '1', '112', 'Hi', '1', str(screenshot_key),
             str(servers)]
    (Path(workdir) / 'zelvara.cfg').write_bytes(''.join(line + '\r\n' for line in lines).encode('ascii'))


def accounts_file(workdir, label):
    (Path(workdir) / 'accounts.cfg').write_bytes(label.encode('ascii') + b'\r\n')


def set_site_condition(clicks, delay=0):
    """How the stand-in player decides that its battle has loaded."""
    port = os.environ['ZELVARA_TESTBED_PORT']
    with urllib.request.urlopen(f'http://127.0.0.1:{port}/_testbed/condition?clicks={clicks}&delay={delay}',
                                timeout=10) as answer:
        answer.read()


def site_requests():
    """Every request the stand-in site has answered in this session."""
    log = SESSION / 'site.log'
    if not log.exists():
        return []
    return [json.loads(line) for line in log.read_text(encoding='utf-8').splitlines() if line.strip()]


def children(hwnd, window_class=None):
    found = inspect_json('children', hwnd) or []
    return [w for w in found if window_class is None or w['class'] == window_class]


def client_box(main, child):
    """A child's (x, y, width, height) in the main window's client coordinates."""
    ox, oy = main['clientOrigin']
    left, top, right, bottom = child['rect']
    return (left - ox, top - oy, right - left, bottom - top)


def button(hwnd, control_id):
    found = [w for w in children(hwnd, 'Zelvara#Button') if w['id'] == control_id]
    assert found, f'no button {control_id}'
    return found[0]


def click(window, dx=None, dy=None):
    """A real left click (X input) on a window, at its middle unless told."""
    left, top, right, bottom = window['rect']
    x = left + (dx if dx is not None else (right - left) // 2)
    y = top + (dy if dy is not None else (bottom - top) // 2)
    click_at(x, y)


def click_at(x, y):
    # No --sync: it waits for ever when the pointer is already there. The
    # server takes XTest events in order, so the click lands at the new place.
    subprocess.run(['xdotool', 'mousemove', str(x), str(y), 'click', '1'], check=True, timeout=30)


def key(program, name, hold=None):
    """A real key press on the main window's X window."""
    # The X window takes a new title a moment after the Win32 one.
    title = re.escape(program.info()['title']) + '$'
    window = wait_for(lambda: subprocess.run(['xdotool', 'search', '--name', title], capture_output=True, text=True,
                                             timeout=30).stdout.split(), f'an X window named {title}')[0]
    if hold is None:
        subprocess.run(['xdotool', 'windowfocus', window, 'key', name], check=True, timeout=30)
    else:
        subprocess.run(['xdotool', 'windowfocus', window, 'keydown', name], check=True, timeout=30)
        time.sleep(hold)  # the hold itself is the input: the X server repeats the key meanwhile
        subprocess.run(['xdotool', 'keyup', name], check=True, timeout=30)


def pixel(hwnd, x, y):
    return tuple(inspect_json('pixel', hwnd, x, y))


BUTTON_CHECKED = (88, 255, 49)
BUTTON_PLAIN = (8, 74, 0)
BUTTON_DISABLED = (87, 87, 87)


def button_colour(hwnd, control_id):
    return pixel(button(hwnd, control_id)['hwnd'], 2, 2)


def clipboard():
    return json.loads(inspect('clipboard-get'))


def set_clipboard(text):
    assert inspect('clipboard-set', text) is not None
