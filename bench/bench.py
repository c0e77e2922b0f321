#!/usr/bin/env python3
"""Benchmarks of Zelvara, each against a baseline measured in the same run.
Run inside a Wine session: `make bench` (tests/env/session.sh provides one).
Writes bench/REPORT.md."""
import ctypes
import datetime
import json
import os
import platform
import re
import select
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / 'tests' / 'e2e'))

from conftest import (Program, accounts_file, button, children, inspect, inspect_json,  # noqa: E402
                      set_site_condition, settings_file, wait_for, windows_path)

BUILD = Path(os.environ.get('ZELVARA_BUILD', ROOT / 'build'))
WINE = os.environ.get('WINE', '/usr/lib/wine/wine64')
SESSION = Path(os.environ.get('ZELVARA_SESSION', '/nonexistent'))
# Each figure is the median of ROUNDS rounds, each round every measure in
# turn, with RUNS launches and PAIRS turns a side (PAGES for the page, whose
# one-page times move by more than the half millisecond that matters there);
# one round's load hits every side of it alike.
ROUNDS = int(os.environ.get('ZELVARA_BENCH_ROUNDS', '5'))
RUNS = int(os.environ.get('ZELVARA_BENCH_RUNS', '5'))
PAIRS = int(os.environ.get('ZELVARA_BENCH_PAIRS', '5'))
PAGES = int(os.environ.get('ZELVARA_BENCH_PAGES', '15'))
# A round's ratio further than this from the median makes the figure unsure.
SPREAD_LIMIT = 0.05
CLIENT = Path(os.environ.get('ZELVARA_BENCH_CLIENT', BUILD / 'zelvara.exe'))
REPORT = Path(os.environ.get('ZELVARA_BENCH_REPORT', ROOT / 'bench' / 'REPORT.md'))
IDLE_SECONDS = 4.5
HOVER_SECONDS = 1.5
QUIET_SECONDS = 0.3
QUIET_DEADLINE_S = 5
CLICKS_TO_TIME = 250
PAGE_SPACING_MS = 600
# How long the pointer rests on a button before the timed click.
POINTER_REST_MS = 100
BURST = 8
CLICK_LEFT = 1003
LABEL = 'benchlabel'
CHAT_BASE = ([('WM_KEYDOWN', 84), ('WM_KEYUP', 84)] + [('WM_CHAR', ord(c)) for c in 'Base'] +
             [('WM_KEYDOWN', 13), ('WM_KEYUP', 13)])
BARE_WINDOW = BUILD / 'bench' / 'bench_bare_window.exe'
BARE_HOST = BUILD / 'bench' / 'bench_bare_host.exe'
FLOOR_WINDOW = BUILD / 'bench' / 'bench_floor_window.exe'


def now():
    """Milliseconds on CLOCK_MONOTONIC_RAW: the clock Wine's performance
    counter and tick count run on, so both sides read one clock."""
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW) * 1000.0


def winepath(path):
    return 'Z:' + str(path).replace('/', '\\')


# ---- input and observation --------------------------------------------------

class XInput:
    """Keys and clicks through XTest on one open display connection, the
    request xdotool makes, so a figure starts at the event, not at the start
    of a helper process."""

    def __init__(self):
        self.x11 = ctypes.CDLL('libX11.so.6')
        self.xtst = ctypes.CDLL('libXtst.so.6')
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(os.environ['DISPLAY'].encode())
        if not self.display:
            raise RuntimeError('cannot open the display')

    def close(self):
        self.x11.XCloseDisplay(self.display)

    def key(self, name):
        """Presses and releases a key; returns the time it was sent."""
        code = self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(name.encode()))
        started = now()
        self.xtst.XTestFakeKeyEvent(self.display, code, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.display, code, 0, 0)
        self.x11.XFlush(self.display)
        return started

    def move(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        self.x11.XSync(self.display, 0)

    def click(self, x, y):
        """Moves the pointer there and clicks; returns the time it started."""
        started = now()
        self.xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        self.xtst.XTestFakeButtonEvent(self.display, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.display, 1, 0, 0)
        self.x11.XFlush(self.display)
        return started


class Inotify:
    """Wakes on changes to files, so the time a change is seen is the time it
    happened, give or take the scheduler, without a polling loop."""
    IN_MODIFY, IN_CLOSE_WRITE = 0x2, 0x8

    def __init__(self):
        self.libc = ctypes.CDLL(None, use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        if self.fd < 0:
            raise OSError(ctypes.get_errno(), 'inotify_init1')
        self.poller = select.poll()
        self.poller.register(self.fd, select.POLLIN)

    def watch(self, path, mask):
        if self.libc.inotify_add_watch(self.fd, os.fsencode(str(path)), mask) < 0:
            raise OSError(ctypes.get_errno(), f'inotify_add_watch {path}')

    def wait(self, timeout_ms):
        """(time seen, [(mask, name)]) or None once the time is up."""
        if not self.poller.poll(max(0, int(timeout_ms))):
            return None
        seen = now()
        data = os.read(self.fd, 1 << 16)
        events, at = [], 0
        while at < len(data):
            _, mask, _, size = struct.unpack_from('iIII', data, at)
            name = data[at + 16:at + 16 + size].rstrip(b'\0').decode()
            events.append((mask, name))
            at += 16 + size
        return seen, events

    def drain(self):
        """Drops the changes reported so far."""
        while self.poller.poll(0):
            os.read(self.fd, 1 << 16)

    def close(self):
        os.close(self.fd)


class Logs:
    """The player's and the site's JSON-lines logs, each entry stamped with
    the time it was first seen."""

    def __init__(self):
        self.notify = Inotify()
        self.notify.watch(SESSION, Inotify.IN_MODIFY)
        self.files = {'player.log': [0, b'', []], 'site.log': [0, b'', []]}
        self.read(now())

    def read(self, seen):
        for name, state in self.files.items():
            path = SESSION / name
            if not path.exists():
                continue
            with open(path, 'rb') as f:
                f.seek(state[0])
                data = f.read()
            state[0] += len(data)
            *lines, state[1] = (state[1] + data).split(b'\n')
            state[2].extend((seen, json.loads(line)) for line in lines if line.strip())

    def entries(self, name):
        return self.files[name][2]

    def mark(self, name='player.log'):
        """The count of entries so far; lines written while no one waited are
        read first, so they count as before the mark, and their changes are
        dropped, so the next wait wakes for new ones."""
        self.notify.drain()
        self.read(now())
        return len(self.entries(name))

    def wait(self, name, mark, predicate, what, timeout=20.0):
        """(seen, entry) of the first entry since mark that satisfies predicate."""
        deadline = now() + timeout * 1000
        at = mark
        while True:
            found = self.entries(name)
            while at < len(found):
                seen, entry = found[at]
                at += 1
                if predicate(entry):
                    return seen, entry
            left = deadline - now()
            if left <= 0:
                raise TimeoutError(f'timed out waiting for {what}')
            woke = self.notify.wait(left)
            if woke:
                self.read(woke[0])

    def close(self):
        self.notify.close()


class Folder:
    """A screenshot folder: the time a new file was closed with content."""

    def __init__(self, path):
        self.path = Path(path)
        self.path.mkdir(parents=True, exist_ok=True)
        self.known = set(os.listdir(self.path))
        self.notify = Inotify()
        self.notify.watch(self.path, Inotify.IN_CLOSE_WRITE)

    def wait_new_file(self, timeout=20.0):
        deadline = now() + timeout * 1000
        while True:
            left = deadline - now()
            if left <= 0:
                raise TimeoutError(f'timed out waiting for a file in {self.path}')
            woke = self.notify.wait(left)
            if not woke:
                continue
            seen, events = woke
            for _, name in events:
                # The client claims the name with an empty file first.
                path = self.path / name
                if name not in self.known and path.exists() and path.stat().st_size > 0:
                    self.known.add(name)
                    return seen

    def close(self):
        self.notify.close()


class Output:
    """Lines a bench program prints to its output file."""

    def __init__(self, path):
        self.path = Path(path)

    def lines(self, kind):
        if not self.path.exists():
            return []
        return [line.split()[1:] for line in self.path.read_text().splitlines() if line.startswith(kind + ' ')]


# ---- processes ----------------------------------------------------------------

class BareHost:
    """The bare host of the control (bench_bare_host.exe)."""

    def __init__(self, directory, url, folder=None, open_now=False):
        self.output = Output(Path(directory) / 'bare-host.out')
        self.out = open(self.output.path, 'wb')
        args = [WINE, str(BARE_HOST), *(['--open'] if open_now else []), url]
        if folder:
            args.append(winepath(folder))
        self.process = subprocess.Popen(args, cwd=directory, stdin=subprocess.DEVNULL, stdout=self.out,
                                        stderr=subprocess.DEVNULL)
        window = wait_for(lambda: [w for w in inspect_json('find', 'BenchBareHost') or [] if w['visible']],
                          'the bare host window', 30)[0]
        self.hwnd = window['hwnd']

    def info(self):
        return inspect_json('info', self.hwnd)

    def end(self):
        if self.process.poll() is None:
            inspect('close', self.hwnd)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=30)
        self.out.close()


class BareWindow:
    def __init__(self, directory):
        self.process = subprocess.Popen([WINE, str(BARE_WINDOW)], cwd=directory, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = wait_for(lambda: [w for w in inspect_json('find', 'BareWindow') or [] if w['visible']],
                          'the bare window', 30)[0]
        self.hwnd = window['hwnd']

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=30)


def x_window(title):
    found = subprocess.run(['xdotool', 'search', '--name', '^' + re.escape(title) + '$'], capture_output=True,
                           text=True, timeout=30).stdout.split()
    return found[0]


def focus(xin, hwnd, xid, point, turn):
    """Brings a window to the front as a person does, with a click on its
    caption (Wine sends keys to its foreground window, whatever has the X
    focus), gives it the X focus and waits until Wine reports it in front.
    Each turn clicks a little further right: two clicks at one place would
    be a double click, which maximizes."""
    for attempt in range(3):
        xin.click(point[0] + 25 * ((turn + attempt) % 5), point[1])
        subprocess.run(['xdotool', 'windowfocus', xid], check=True, timeout=30)
        try:
            wait_for(lambda: (inspect_json('foreground') or {}).get('hwnd') == hwnd, 'the window in front', 5)
            return
        except AssertionError:
            # Now and then a caption click is lost (Wine's move loop may
            # hold it); one more, a little further on, brings it in front.
            if attempt == 2:
                raise


def cpu(pid):
    """(nanoseconds on a CPU over all threads from schedstat, clock ticks of
    user and system time from stat) of a process so far."""
    ns = 0
    for task in Path(f'/proc/{pid}/task').iterdir():
        try:
            ns += int((task / 'schedstat').read_text().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass
    fields = Path(f'/proc/{pid}/stat').read_text().rsplit(')', 1)[1].split()
    return ns, int(fields[11]) + int(fields[12])


def returned_to_system(pid):
    """Resident and private kilobytes once the process's C library has given
    its free heap back (malloc_trim through gdb), or None without gdb. Wine's
    Unix side allocates with glibc, whose heap keeps freed blocks of up to
    twice its moving mmap threshold: the second big paint buffer of a
    process stays counted as private after it is freed."""
    if not shutil.which('gdb'):
        return None
    subprocess.run(['gdb', '-p', str(pid), '-batch', '-ex', 'call (int)malloc_trim(0)'], stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=False)
    return memory(pid)


def memory(pid):
    """Resident and private kilobytes."""
    values = {}
    for line in Path(f'/proc/{pid}/smaps_rollup').read_text().splitlines()[1:]:
        key, value = line.split(':', 1)
        values[key] = int(value.split()[0])
    return values['Rss'], values.get('Private_Clean', 0) + values.get('Private_Dirty', 0)


# ---- start-up -------------------------------------------------------------------

def time_to_window(window_class, exe, cwd, tries=2):
    """Milliseconds from process start to a visible window of the class. A
    launch that ends before its window shows is made once more, and said."""
    with tempfile.TemporaryFile() as out:
        launched = subprocess.run([WINE, str(BUILD / 'bench' / 'bench_launch.exe'), window_class,
                                   f'"{winepath(exe)}"'], cwd=cwd, stdin=subprocess.DEVNULL, stdout=out,
                                  stderr=subprocess.DEVNULL, timeout=120)
        if launched.returncode != 0:
            print(f'{exe.name}: no window (exit {launched.returncode})', file=sys.stderr, flush=True)
            if tries > 1:
                return time_to_window(window_class, exe, cwd, tries - 1)
            launched.check_returncode()
        out.seek(0)
        return float(out.read().decode().strip())


def startup():
    """Launch times of each side, and the floor's steps of each launch."""
    sides = {'client': ('Zelvara', CLIENT), 'bare': ('BareWindow', BARE_WINDOW),
             'floor': ('FloorWindow', FLOOR_WINDOW)}
    with tempfile.TemporaryDirectory() as home:
        for side in sides.values():  # the client's first run writes the settings files
            time_to_window(*side, home)
        (Path(home) / 'floor-window.out').unlink()
        times = {side: [] for side in sides}
        for i in range(RUNS):  # interleaved, so drift hits every side alike
            order = list(sides)[i % 3:] + list(sides)[:i % 3]
            for side in order:
                times[side].append(time_to_window(*sides[side], home))
        steps = [[float(x) for x in line.split()[1:]]
                 for line in (Path(home) / 'floor-window.out').read_text().splitlines()]
    return times, steps


# ---- playing: the client and the bare host side by side -------------------------

def write_settings(workdir, **settings):
    """The test suite's settings file with F1 as the team chat "Base": eight
    messages, like the first start's default."""
    accounts_file(workdir, LABEL)
    settings_file(workdir, **settings)
    path = Path(workdir) / 'zelvara.cfg'
    text = path.read_bytes()
    assert b'\r\n112\r\nHi\r\n' in text, 'the settings layout has changed'
    path.write_bytes(text.replace(b'\r\n112\r\nHi\r\n', b'\r\n112\r\nBase\r\n'))


def middle(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


def arrange(client, bare):
    """Client at the top left, bare host at the bottom right, so neither
    covers the places the other is clicked: the server button and the
    caption of the client, the strip and the caption of the bare host."""
    metrics = inspect_json('metrics')
    screen_w, screen_h = metrics['screen']
    c = client.info()
    cw, ch = c['rect'][2] - c['rect'][0], c['rect'][3] - c['rect'][1]
    inspect('move', client.hwnd, 0, 0, cw, ch)
    b = bare.info()
    bw, bh = b['rect'][2] - b['rect'][0], b['rect'][3] - b['rect'][1]
    inspect('move', bare.hwnd, screen_w - bw, screen_h - bh, bw, bh)
    c, b = client.info(), bare.info()
    server_button = button(client.hwnd, 1)['rect']
    # Under the 1000x600 page: its left half opens the bare page, its right
    # half the floor's.
    strip = (b['clientOrigin'][0] + 250, b['clientOrigin'][1] + 615)
    floor_strip = (b['clientOrigin'][0] + 750, b['clientOrigin'][1] + 615)
    client_caption = (c['rect'][0] + 150, (c['rect'][1] + c['clientOrigin'][1]) // 2)
    # Right of the client, left of the bare host's caption buttons.
    bare_caption = (c['rect'][2] + 20, (b['rect'][1] + b['clientOrigin'][1]) // 2)
    assert server_button[3] < b['rect'][1], 'the bare host covers the server button'
    assert strip[1] > c['rect'][3], 'the client covers the bare host strip'
    assert bare_caption[0] + 100 < b['rect'][2] - 60, 'the client covers the bare host caption'
    return ({'click': middle(server_button), 'caption': client_caption}, {'click': strip, 'caption': bare_caption},
            {'click': floor_strip, 'caption': bare_caption})


def is_player_created(entry):
    return entry.get('event') == 'created' and entry['width'] > 1 and entry['height'] > 1


def interleaved(measure, warm_up=True, sides=('client', 'bare'), pairs=PAIRS):
    """`pairs` runs of each side, taking turns and changing who goes first,
    so drift hits all alike; one untimed run each first, so all are measured
    warm (the first use of a code path loads what it needs)."""
    if warm_up:
        for side in sides:
            measure(side)
    runs = {side: [] for side in sides}
    for i in range(pairs):
        k = i % len(sides)
        for side in sides[k:] + sides[:k]:
            runs[side].append(measure(side))
    return runs


def playing(work):
    """Click to page, F1 to chat line, screenshot key to file, click period."""
    set_site_condition(clicks=1000000)  # the battle never loads: the clicker keeps going
    client_dir, bare_dir = work / 'client', work / 'bare'
    client_dir.mkdir()
    bare_dir.mkdir()
    client_shots, bare_shots = Folder(work / 'shots-client'), Folder(work / 'shots-bare')
    write_settings(client_dir, clicks=10, folder=windows_path(client_shots.path), image='jpeg')
    logs, xin = Logs(), XInput()
    client = bare = None
    results = {}
    try:
        client = Program(client_dir, exe=CLIENT)
        client.main_window()
        # The bare host opens the very address the client asks the site for.
        mark, site_mark = logs.mark(), logs.mark('site.log')
        xin.click(*middle(button(client.hwnd, 1)['rect']))
        logs.wait('player.log', mark, is_player_created, 'the first page')
        request = logs.wait('site.log', site_mark, lambda e: e['path'].startswith('/battle-'), 'the request')[1]
        url = f"http://{request['host']}{request['path']}"
        bare = BareHost(bare_dir, url, folder=bare_shots.path)
        client_points, bare_points, floor_points = arrange(client, bare)
        sides = {'client': (client, client_points), 'bare': (bare, bare_points), 'floor': (bare, floor_points)}
        players = {}
        xids = {'client': x_window(client.info()['title']), 'bare': x_window('Bare host')}
        xids['floor'] = xids['bare']
        turns = iter(range(1 << 30))

        last_click = {'client': 0.0, 'bare': 0.0, 'floor': 0.0}
        # Which side's page the bare host shows: one program, one page.
        hosted = [None]
        # Whether each floor page, in order, is one of the timed ones.
        floor_timed = []

        def open_page(side, spaced=True, timed=True):
            # Each side replaces a page of its own, as the client always does:
            # the floor's page work destroys the old container, and a
            # page of the bare side has none to destroy (and the bare side's
            # release of a floor container would cost it the container's
            # destruction). Where the other side's page is shown, one page of
            # this side is opened first, untimed.
            if side != 'client':
                if hosted[0] not in (None, side):
                    hosted[0] = side
                    open_page(side, spaced, timed=False)
                hosted[0] = side
            # The program is brought to the front first, outside the timed
            # span, as before a key: a click on a program behind another
            # first activates it (1-1.5 ms of Wine's activation messages and
            # caption paints), and the sides take turns unevenly, so without
            # this the client's clicks always paid it and the floor's, which
            # mostly follow the bare side's in the same program, seldom did.
            program = sides[side][0]
            if (inspect_json('foreground') or {}).get('hwnd') != program.hwnd:
                focus(xin, program.hwnd, xids[side], sides[side][1]['caption'], next(turns))
                last_click[side] = now()
            # A person opens one page at a time: clicks on one program, the
            # caption click that brought it in front among them, come at least
            # PAGE_SPACING_MS apart, unless a burst is what is measured. So
            # every side's click finds its program as quiet, whichever side
            # went before it.
            if spaced:
                # And a person points at the button before clicking it: the
                # pointer is moved onto the click point first, outside the
                # timed span, and rests there a while. Otherwise the click's own
                # move, and the program's handling of the pointer entering it,
                # fell inside the span on some turns only: always for the
                # client, which the pointer reached from the other program,
                # seldom for the floor, whose untimed page before it had left
                # the pointer on its button. (A burst's clicks find the pointer
                # on the button already.)
                xin.move(*sides[side][1]['click'])
                pointed = now()
                # The bare host's two sides are one program.
                last = max(last_click['bare'], last_click['floor']) if side != 'client' else last_click[side]
                wait_for(lambda: now() >= max(last + PAGE_SPACING_MS, pointed + POINTER_REST_MS), 'the spacing',
                         5, 0.01)
            if side == 'floor':
                floor_timed.append(timed)
            mark, site_mark = logs.mark(), logs.mark('site.log')
            started = last_click[side] = xin.click(*sides[side][1]['click'])
            created, entry = logs.wait('player.log', mark, is_player_created, f'the {side} page')
            requested, _ = logs.wait('site.log', site_mark, lambda e: True, f'the {side} request')
            players[side] = entry['hwnd']
            return requested - started, created - started

        # The client's first page above and these are the warm-up.
        open_page('bare', timed=False)
        open_page('floor', timed=False)
        results['page'] = interleaved(open_page, warm_up=False, sides=('client', 'bare', 'floor'), pairs=PAGES)
        results['bare_page_inside'] = [(float(a), float(b)) for a, b in bare.output.lines('page')[1:]]
        results['floor_page_steps'] = [[float(x) for x in line] for line, timed in
                                       zip(bare.output.lines('floorpage'), floor_timed) if timed]
        # Back to back: each click as soon as the page before it is built.
        results['burst'] = {side: [open_page(side, spaced=False)[1] for _ in range(BURST)][BURST // 2:]
                            for side in ('client', 'bare')}

        def chat(side):
            program, points = sides[side]
            focus(xin, program.hwnd, xids[side], points['caption'], next(turns))
            mark = logs.mark()
            started = xin.key('F1')
            player = players[side]
            seen, _ = logs.wait('player.log', mark, lambda e: e.get('hwnd') == player and
                                e.get('msg') == 'WM_KEYUP' and e.get('wParam') == 13, f'the {side} chat line')
            sequence = [e for _, e in logs.entries('player.log')[mark:]
                        if e.get('hwnd') == player and e.get('msg') in ('WM_KEYDOWN', 'WM_KEYUP', 'WM_CHAR')]
            # Translating the posted key-downs may add characters after the eighth.
            got = [(e['msg'], e['wParam']) for e in sequence[:8]]
            assert got == CHAT_BASE, f'{side}: {got}'
            return seen - started

        results['chat'] = interleaved(chat)

        folders = {'client': client_shots, 'bare': bare_shots, 'floor': bare_shots}

        def shot(side):
            focus(xin, sides[side][0].hwnd, xids[side], sides[side][1]['caption'], next(turns))
            started = xin.key('F2' if side == 'floor' else 'Print')
            return folders[side].wait_new_file() - started

        results['shot'] = interleaved(shot, sides=('client', 'bare', 'floor'))
        results['bare_shot_inside'] = [float(a[0]) for a in bare.output.lines('shot')[1:]]
        results['floor_shot_steps'] = [[float(x) for x in line] for line in bare.output.lines('floorshot')[1:]]

        # The auto-clicker at the set period of 10 ms.
        mark = logs.mark()
        player = players['client']
        xin.click(*middle(button(client.hwnd, CLICK_LEFT)['rect']))
        logs.wait('player.log', mark, lambda e: e.get('hwnd') == player and e.get('msg') == 'WM_LBUTTONDOWN' and
                  sum(1 for _, x in logs.entries('player.log')[mark:] if x.get('msg') == 'WM_LBUTTONDOWN') >=
                  CLICKS_TO_TIME, f'{CLICKS_TO_TIME} clicks', timeout=60)
        xin.click(*middle(button(client.hwnd, CLICK_LEFT)['rect']))
        downs = [(seen, e['t']) for seen, e in logs.entries('player.log')[mark:]
                 if e.get('hwnd') == player and e.get('msg') == 'WM_LBUTTONDOWN'][5:CLICKS_TO_TIME]
        results['clicks'] = downs
    finally:
        for program in (bare, client):
            if program:
                program.end()
        xin.close()
        logs.close()
        client_shots.close()
        bare_shots.close()
        set_site_condition(clicks=3)
    return results


# ---- idle ---------------------------------------------------------------------

def one_pixel_hidden(program):
    try:
        host = children(program.hwnd, 'AtlAxWin120')[0]
        plugins = children(children(children(host['hwnd'])[0]['hwnd'])[0]['hwnd'])[0]['hwnd']
    except IndexError:
        return False
    found = children(plugins)
    return len(found) == 2 and not [w for w in found if w['client'] == [1, 1] and w['visible']]


def cpu_rates(pids, seconds):
    """CPU milliseconds per second of each process over one measuring window,
    from schedstat, and its clock ticks from stat."""
    before = {name: cpu(pid) for name, pid in pids.items()}
    started = time.monotonic()
    time.sleep(seconds)  # the measuring window itself
    elapsed = time.monotonic() - started
    rates, ticks = {}, {}
    for name, pid in pids.items():
        ns, tick = cpu(pid)
        rates[name] = (ns - before[name][0]) / 1e6 / elapsed
        ticks[name] = tick - before[name][1]
    return rates, ticks


def idle(work):
    """CPU and memory of the client with a page open once the window search
    has stopped, against the bare window and the bare host over the same span."""
    client_dir, bare_dir = work / 'idle-client', work / 'idle-bare'
    client_dir.mkdir()
    bare_dir.mkdir()
    write_settings(client_dir, language='pixelfirst')
    client = window = host = None
    xin = XInput()
    try:
        # The baselines first, out of the way at the bottom right.
        window = BareWindow(bare_dir)
        port = os.environ['ZELVARA_TESTBED_PORT']
        host = BareHost(bare_dir, f'http://{LABEL}.game.example:{port}/battle-pixelfirst.html', open_now=True)
        wait_for(lambda: host.output.lines('page'), 'the bare host page')
        screen_w, screen_h = inspect_json('metrics')['screen']
        for other in (window, host):
            box = inspect_json('info', other.hwnd)['rect']
            w, h = box[2] - box[0], box[3] - box[1]
            inspect('move', other.hwnd, screen_w - w, screen_h - h, w, h)
        client = Program(client_dir, exe=CLIENT)
        client.main_window()
        rect = client.info()['rect']
        inspect('move', client.hwnd, 0, 0, rect[2] - rect[0], rect[3] - rect[1])
        server_button = middle(button(client.hwnd, 1)['rect'])
        xin.click(*server_button)
        wait_for(lambda: one_pixel_hidden(client), 'the search stopped at the one-pixel plug-in')
        # Resting on one of the client's buttons, the pointer is polled by
        # Wine for the button's leave notice; it is measured apart below.
        xin.move(rect[2] - rect[0] + 100, screen_h - 20)
        pids = {'client': client.process.pid, 'window': window.process.pid, 'host': host.process.pid}
        # Settled: the pages painted and the pointer's leave handled. A
        # program that never goes quiet is measured all the same, and said so.
        deadline = time.monotonic() + QUIET_DEADLINE_S
        settled = False
        while not settled and time.monotonic() < deadline:
            settled = not any(cpu_rates(pids, QUIET_SECONDS)[0].values())
        rates, ticks = cpu_rates(pids, IDLE_SECONDS)
        mem = {name: memory(pid) for name, pid in pids.items()}
        xin.move(*server_button)
        hovered, _ = cpu_rates({'client': pids['client']}, HOVER_SECONDS)
        trimmed = {name: returned_to_system(pids[name]) for name in ('client', 'host')}
    finally:
        for program in (host, window, client):
            if program:
                program.end()
        xin.close()
    return rates, ticks, mem, trimmed, hovered['client'], settled


# ---- report -------------------------------------------------------------------

def cpu_model():
    for line in Path('/proc/cpuinfo').read_text().splitlines():
        if line.startswith('model name'):
            return line.split(':', 1)[1].strip()
    return platform.processor() or 'unknown CPU'


def load():
    """The 1-minute load average: how busy the machine was."""
    return float(Path('/proc/loadavg').read_text().split()[0])


def one_round(scratch):
    """Every measure once, each side in turn: one round's figures."""
    loads = [load()]
    launches, floor_start = startup()
    play = playing(scratch)
    idle_cpu, idle_ticks, idle_mem, trimmed_mem, hovered_cpu, settled = idle(scratch)
    loads.append(load())
    med = statistics.median
    page_sides = ('client', 'bare', 'floor')
    stamps = [seen for seen, _ in play['clicks']]
    ticks = [t for _, t in play['clicks']]
    intervals = [b - a for a, b in zip(stamps, stamps[1:])]
    return {
        'load': loads,
        'start': {side: med(times) for side, times in launches.items()},
        'start_steps': floor_start,
        'page': {side: med(c for _, c in play['page'][side]) for side in page_sides},
        'request': {side: med(r for r, _ in play['page'][side]) for side in page_sides},
        'burst': {side: med(play['burst'][side]) for side in ('client', 'bare')},
        'chat': {side: med(play['chat'][side]) for side in ('client', 'bare')},
        'shot': {side: med(play['shot'][side]) for side in page_sides},
        'bare_save': med(play['bare_shot_inside']),
        'page_inside': [list(x) for x in play['bare_page_inside']],
        'page_steps': play['floor_page_steps'],
        'shot_steps': play['floor_shot_steps'],
        'period': {'mean': (stamps[-1] - stamps[0]) / (len(stamps) - 1), 'median': med(intervals),
                   'ticks': (ticks[-1] - ticks[0]) / (len(ticks) - 1), 'count': len(intervals)},
        'cpu': idle_cpu, 'cpu_ticks': idle_ticks, 'hovered': hovered_cpu, 'settled': settled,
        'mem': idle_mem, 'trimmed': trimmed_mem,
    }


def summary(values):
    """(median, lowest, highest) of the rounds' values."""
    return statistics.median(values), min(values), max(values)


def ratio_cell(ratios, digits=2):
    """The median of the rounds' ratios with their range, flagged when a
    round lies further than SPREAD_LIMIT from it."""
    if any(r is None for r in ratios):
        return 'none: a baseline used no CPU'
    mid, low, high = summary(ratios)
    cell = f'{mid:.{digits}f} ({low:.{digits}f}-{high:.{digits}f})'
    if high - mid > SPREAD_LIMIT or mid - low > SPREAD_LIMIT:
        cell += f' **spread over ±{SPREAD_LIMIT}**'
    return cell


def ms(values):
    return f'{statistics.median(values):.1f} ms'


def main():
    began = time.monotonic()
    rounds = []
    with tempfile.TemporaryDirectory() as scratch:
        for n in range(ROUNDS):
            work = Path(scratch) / f'round-{n}'
            work.mkdir()
            rounds.append(one_round(work))
            print(f'round {n + 1} of {ROUNDS}:', json.dumps({k: v for k, v in rounds[-1].items()
                                                             if not k.endswith('steps') and k != 'page_inside'}),
                  flush=True)
    took = time.monotonic() - began

    def each(key, side):
        return [r[key][side] for r in rounds]

    def ratios(key, side, base):
        return [r[key][side] / r[key][base] if r[key][base] > 0 else None for r in rounds]

    size = CLIENT.stat().st_size
    bare_size = BARE_WINDOW.stat().st_size
    rows = []

    def row(name, key, baseline, target_bare='', target_floor='', bare_key=None):
        floor = ('floor' in rounds[0][key])
        rows.append((name, ms(each(key, 'client')), f"{ms(each(key, 'bare'))}, {baseline}",
                     ratio_cell(ratios(key, 'client', 'bare')), target_bare,
                     ms(each(key, 'floor')) if floor else '', ratio_cell(ratios(key, 'client', 'floor')) if floor
                     else '', target_floor))

    row(f'start-up to a visible main window ({RUNS} launches a round)', 'start', 'bare Win32 window program',
        '1.20', '1.05')
    rows.append(('executable size', f'{size / 1024:.0f} KiB', f'{bare_size / 1024:.0f} KiB, bare window program',
                 f'{size / bare_size:.2f}', '', '', '', ''))
    row(f'server-button click to the page built (player created) ({PAGES} a round)', 'page',
        'bare host of the control, same end event', '1.15', '1.05')
    row(f"server-button click to the site's page request ({PAGES} a round)", 'request', 'bare host, same end event')
    row(f'the same clicks back to back (last {BURST - BURST // 2} of a burst of {BURST})', 'burst',
        'bare host, same end event')
    row(f"F1 to the chat's last message (WM_KEYUP 13) in the player ({PAIRS} a round)", 'chat',
        'bare host posting the same 8 messages')
    row(f'screenshot key to the JPEG file closed, like for like ({PAIRS} a round)', 'shot',
        'bare host from the key, same end event', '1.10', '1.05')
    bare_saves = [r['bare_save'] for r in rounds]
    rows.append(('the same against the bare save alone', ms(each('shot', 'client')),
                 f'{ms(bare_saves)}, bare GDI+ save: capture start to file closed',
                 ratio_cell([r['shot']['client'] / r['bare_save'] for r in rounds]), '', '', '', ''))
    means = [r['period']['mean'] for r in rounds]
    medians = [r['period']['median'] for r in rounds]
    count = rounds[0]['period']['count']
    rows.append((f'click period at clicksPeriod 10 (mean interval over {count} clicks a round)',
                 f'{statistics.median(means):.2f} ms', '10 ms, the set period',
                 ratio_cell([m / 10 for m in means], 3), '1.01', '', '', ''))
    rows.append(('the same, median interval', f'{statistics.median(medians):.2f} ms', '10 ms, the set period',
                 ratio_cell([m / 10 for m in medians], 3), '', '', '', ''))

    def mem_ratios(key, side, base, part):
        return [r[key][side][part] / r[key][base][part] for r in rounds]

    def mib(values):
        return f'{statistics.median(values) / 1024:.1f} MiB'

    rows.append(('memory while idle with a page open (resident)', mib([r['mem']['client'][0] for r in rounds]),
                 f"{mib([r['mem']['window'][0] for r in rounds])}, bare window program",
                 ratio_cell(mem_ratios('mem', 'client', 'window', 0)), '1.30', '', '', ''))
    rows.append(('private memory with a page open', mib([r['mem']['client'][1] for r in rounds]),
                 f"{mib([r['mem']['host'][1] for r in rounds])}, bare host with the same page open",
                 ratio_cell(mem_ratios('mem', 'client', 'host', 1)), '', '', '', ''))
    if all(all(r['trimmed'].values()) for r in rounds):
        rows.append(('the same once glibc has given its free heap back (malloc_trim in both)',
                     mib([r['trimmed']['client'][1] for r in rounds]),
                     f"{mib([r['trimmed']['host'][1] for r in rounds])}, bare host",
                     ratio_cell(mem_ratios('trimmed', 'client', 'host', 1)), '', '', '', ''))
    cpu_client = [r['cpu']['client'] for r in rounds]
    cpu_window = [r['cpu']['window'] for r in rounds]
    rows.append((f'CPU while idle with a page open, window search stopped ({IDLE_SECONDS} s)',
                 f'{statistics.median(cpu_client):.3f} ms/s', f'{statistics.median(cpu_window):.3f} ms/s, '
                 'bare window program', ratio_cell([c / w if w > 0 else None for c, w in zip(cpu_client, cpu_window)]),
                 '', '', '', ''))
    table = '\n'.join('| ' + ' | '.join(cells) + ' |' for cells in rows)

    def step_rows(names, runs, total=None, total_name=''):
        cells = []
        for i, name in enumerate(names):
            cells.append(f'| {name} | {statistics.median(run[i] for run in runs):.2f} ms |')
        if total is not None:
            cells.append(f'| {total_name} | {total:.2f} ms |')
        return '\n'.join(cells)

    start_steps = [s for r in rounds for s in r['start_steps']]
    floor_launch = statistics.median(each('start', 'floor'))
    start_rest = floor_launch - sum(statistics.median(run[i] for run in start_steps) for i in range(5))
    start_table = step_rows(['read zelvara.cfg and accounts.cfg, ask the shell for the desktop and the '
                             'application-data folders (the shell DLLs load with the program)',
                             'initialise COM, register the 6 classes, make the 4 fonts (the first window call '
                             'loads the display driver)', 'create the main window, visible from its creation (its style has '
                             'WS_VISIBLE): its 45 children, the clipboard viewer',
                             'install the keyboard hook', 'show (visible already)'], start_steps, start_rest,
                            'the rest: process start to wWinMain, and seeing the window')
    page_steps = [s for r in rounds for s in r['page_steps']]
    floor_page = statistics.median(each('page', 'floor'))
    page_inside = statistics.median(run[0] for run in page_steps)
    page_table = step_rows(['activate the window (WM_ACTIVATE sent, the focus to it)',
                            'destroy the old container (its control closed)',
                            'create the container with the address as its text (control made, activated, '
                            'navigating)', 'connect the sink', 'start the 100 ms timer', 'set the title',
                            'lay it out'],
                           [run[1:] for run in page_steps])
    page_table += (f'\n| the control, to DocumentComplete (raised once the player is made and shown) | '
                   f'{page_inside - sum(statistics.median(run[i] for run in page_steps) for i in range(1, 8)):.2f}'
                   f' ms |\n| the rest: the click reaching the program and seeing the player, less the player\'s '
                   'showing before DocumentComplete (a difference of medians) | '
                   f'{floor_page - page_inside:.2f} '
                   'ms |')
    shot_steps = [s for r in rounds for s in r['shot_steps']]
    floor_shot = statistics.median(each('shot', 'floor'))
    shot_table = step_rows(['start the thread', 'start GDI+', 'look the JPEG encoder up',
                            'make the name from the date and time pictures', 'create the folder, claim the file',
                            'capture the player', 'save (GDI+ wraps the bitmap, encodes, writes, closes)'],
                           [run[1:] for run in shot_steps])
    shot_table += (f'\n| the rest: the key reaching the hook, seeing the file closed (a difference of medians) | '
                   f'{floor_shot - statistics.median(run[0] for run in shot_steps):.2f} ms |')
    loads = [x for r in rounds for x in r['load']]
    unsettled = sum(1 for r in rounds if not r['settled'])
    unsettled = '' if not unsettled else (f' In {unsettled} round(s) not all three programs went quiet for '
                                          f'{QUIET_SECONDS} s within {QUIET_DEADLINE_S} s before the idle span.')
    report = f"""# Benchmarks

Made on {datetime.date.today().isoformat()} by `make bench`, that is
`ZELVARA_BUILD=build tests/env/session.sh -- /usr/bin/python3 bench/bench.py`,
on {cpu_model()} ({platform.machine()}, {os.cpu_count()} cores), {platform.system()} {platform.release()},
in the Wine session of `tests/env/session.sh` (Wine 8, Xvfb, virtual desktop 1280x1024);
{ROUNDS} rounds in {took:.0f} s, the 1-minute load average between {min(loads):.2f} and {max(loads):.2f}.
Each round measures every figure, all sides taking turns; each figure is the median of the rounds'
medians and each ratio the median of the rounds' ratios, with their range, flagged where a round lies
further than ±{SPREAD_LIMIT} from it. `ZELVARA_BENCH_ROUNDS`, `_RUNS`, `_PAIRS` and `_PAGES` change the counts.

| measure | Zelvara | bare program | ratio | target | floor | ratio to floor | target |
|---|---|---|---|---|---|---|---|
{table}

The floor is the client's written work done directly and nothing else, by `bench_floor_window.exe`
for start-up and by `bench_bare_host.exe` for the page (a click on the server button on its strip's
right half) and the screenshot (F2). What the floor costs is what the written steps cost; what the
client takes beyond it is its own. Beside these: the mean click period from the player's own `t` stamps is
{statistics.median(r['period']['ticks'] for r in rounds):.2f} ms; with the pointer resting on one of the
client's buttons, the idle client uses {statistics.median(r['hovered'] for r in rounds):.3f} ms/s (Wine
polls the pointer for the button's leave notice).{unsettled}

### The floor's steps (medians over all rounds)

Start-up, from `wWinMain` ({floor_launch:.1f} ms from the launch to the visible window):

| step | time |
|---|---|
{start_table}

Page, from the click's message ({floor_page:.1f} ms from the X click to the player created):

| step | time |
|---|---|
{page_table}

Screenshot, from the key's hook ({floor_shot:.1f} ms from the X key to the file closed):

| step | time |
|---|---|
{shot_table}

## How

- One clock: Python reads `CLOCK_MONOTONIC_RAW`, the clock of Wine's `QueryPerformanceCounter`. The
  player's `t` field (`GetTickCount64`) lags it by 0 to 16 ms here, too coarse for these spans, so an end
  event is timed when Python sees its line appear: it waits on inotify for the log to change and stamps
  each new line with the time it woke. Screenshot files are timed the same way, at the close of a write
  that left the new file non-empty (the client claims the name with an empty file first).
- Keys and clicks go through XTest on one open display connection (the request `xdotool` makes); a figure
  starts when the request is sent, so no helper's process start is counted. Before a key, the program is
  brought to the front with a click on its caption and `xdotool windowfocus`, and the bench waits until
  Wine reports it as the foreground window, all outside the timed span.
- Start-up: `bench_launch.exe` starts the program inside the Wine session and polls for its visible
  top-level window; all three programs pay the same process start and take turns. The client's start
  includes reading both settings files, loading its resources and installing its keyboard hook; the
  floor reads the same two files, asks the shell for the desktop folder (the default screenshot folder's
  parent) and looks for the player's shared-object folder in the application-data folder (whether "Open
  Url" starts enabled), initialises COM, registers the client's six window classes, makes its four fonts,
  creates the main window with the first view's 45 child windows (the bar's 35 buttons, the About view
  and its 9 windows) at their places with the same texts, becomes the clipboard viewer, installs the
  keyboard hook and shows the window.
- Page: the client and `bench_bare_host.exe` run side by side (the client at the top left, the bare host
  at the bottom right, neither covering the other's click points) and take turns, each once untimed
  first. A click on server button 1 makes the client replace its browser host and navigate; a click on
  the left half of the bare host's strip makes it release its control, create a new one with
  `CoCreateInstance(CLSID_WebBrowser)`, activate it in place with a minimal client site, advise an
  `IDispatch` sink and navigate to the same address; a click on the floor's server button, on the right
  half, goes through a button's written click (the leave notice asked for on the move, the capture on the
  press, the capture given back, the leave notice asked for again and the command posted on the release,
  each look painted with the next `WM_PAINT` through an off-screen bitmap) and its command does the
  floor's page work (the steps above). Each side replaces a page of its own, as the client does: where
  the bare host shows the other side's page, one page of this side is opened first, untimed. All are timed from the
  click to the stand-in player's `created` line (the control builds the player just before it raises
  DocumentComplete), and to the site's log line of the page request. Before a click the program is brought to the front as before a key, outside the timed
  span: a click on a program behind another first activates it, which no side should pay on some turns
  and not on others. Then the pointer is moved onto the click point and rests there at least
  {POINTER_REST_MS} ms, as a person points before clicking, so the timed click is the press and the
  release alone on every side. Two clicks on one program, that caption click among them, come at least
  {PAGE_SPACING_MS} ms apart, as a person opens one page at a time, so each side's click finds its
  program as settled; the burst row instead clicks again as soon as the page is built.
- Chat: F1 into each program in turn, each once untimed first. The client's keyboard hook posts the team
  chat "Base" to the player it found; the bare host's thread keyboard hook posts the same eight messages
  to its player. Timed from the key to the line of the eighth message, the Enter key's WM_KEYUP; each run
  checks that the first eight messages are that sequence.
- Screenshot: Print into the client and the bare host and F2 into the bare host (the floor) in turn,
  each once untimed first; JPEG on all sides. The client saves on its screenshot worker, which its first
  (untimed) shot makes and later shots find waiting. The bare host BitBlts its player window (the same
  size, 1000x600), saves it with `GdipSaveImageToFile` on its window thread and times the capture start
  to the save's return (the file closed). The floor saves on a thread made for each shot, the client's
  way before its worker was kept, at the client's quality 90. All are timed from the key to the file
  closed on disk.
- Click period: the stand-in site's condition is set so the battle never loads, `clicksPeriod` is 10 and
  "Click Left" is on; the mean interval between the player's WM_LBUTTONDOWN lines, as seen (the span
  over the count), over {count} intervals after the first five clicks, and their median. The mean is
  the clicks a second a player gets; the waits are whole milliseconds, so single intervals are a
  millisecond either side of the period.
- Idle: the client opens the page reached with battle language `pixelfirst` and the bench waits until
  the one-pixel plug-in is hidden, which the client does at the tick that stops its window search. The
  pointer is moved off the client. The CPU time of the client's Wine process, the bare window program's
  and the bare host's (same page open) is then read over the same {IDLE_SECONDS} s from every thread's
  `/proc/<pid>/task/<tid>/schedstat`, once all three have used no CPU for {QUIET_SECONDS} s. The
  wineserver's share is counted on neither side.
  Memory is the resident set and its private part from `/proc/<pid>/smaps_rollup`, read at the end of
  that span. Last, where gdb is installed, `malloc_trim(0)` is called in the client's and the bare
  host's Wine processes and their private memory read again: glibc, which Wine's Unix side allocates
  with, keeps freed blocks of up to twice its moving mmap threshold in its heap, counted as private
  after they are freed; the difference between the two readings is that free memory.
"""
    # The analysis written by hand below the marker survives a new run.
    marker = '<!-- notes -->'
    old = REPORT.read_text() if REPORT.exists() else ''
    if marker in old:
        report += '\n' + marker + old.split(marker, 1)[1]
    REPORT.write_text(report)
    print(report)
    print('raw:', json.dumps(rounds))


if __name__ == '__main__':
    main()
