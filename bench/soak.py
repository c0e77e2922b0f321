#!/usr/bin/env python3
"""A long evening of play in a few minutes: PAGES battle pages opened one
after another, the team chat every CHAT_EVERY pages and a screenshot every
SHOT_EVERY pages, with the process's GDI and USER objects, kernel handles
and private memory sampled every SAMPLE_EVERY pages, both as the system's
counters give them and as zprobe counts them in the system's own tables.
Run inside a Wine session (`make soak`, or `make bench`, which runs it
after bench.py); prints the figures and writes bench/SOAK.md."""
import json
import os
import statistics
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from bench import (ROOT, Folder, Logs, XInput, button, focus, inspect_json, is_player_created,  # noqa: E402
                   memory, middle, windows_path, write_settings, x_window)
from conftest import Program  # noqa: E402

PAGES = int(os.environ.get('ZELVARA_SOAK_PAGES', '500'))
CHAT_EVERY = 10
SHOT_EVERY = 50
SAMPLE_EVERY = 10
SERVERS = 30
MEASURES = ('gdi', 'user', 'handles', 'private')
# Counted by zprobe where Wine keeps the objects, since its counters above answer 0.
COUNTED = ('gdiTable', 'windows', 'handleTable')


def sample(program):
    if program.process.poll() is not None:
        raise RuntimeError(f'the client ended with {program.process.returncode}')
    found = inspect_json('resources', program.hwnd)
    if found is None:
        raise RuntimeError('zprobe resources failed on a live client')
    # Wine 8 answers 0 to the four for another process, so the kernel's view
    # of the Wine process is taken beside them: its private memory, open
    # files (sockets, pipes and shared memory included) and threads.
    pid = program.process.pid
    found['private_kib_linux'] = memory(pid)[1]
    found['fds'] = len(os.listdir(f'/proc/{pid}/fd'))
    found['threads'] = len(os.listdir(f'/proc/{pid}/task'))
    return found


def slope(points):
    """Least-squares change per 100 pages."""
    xs, ys = [p for p, _ in points], [v for _, v in points]
    mx, my = statistics.fmean(xs), statistics.fmean(ys)
    den = sum((x - mx) ** 2 for x in xs)
    return 100 * sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / den if den else 0.0


def to_front(xin, client, xid, caption, turn):
    """The client alone stays in front; a click on its caption, which can
    leave Wine's move loop waiting for a release, only when it is not."""
    if (inspect_json('foreground') or {}).get('hwnd') != client.hwnd:
        focus(xin, client.hwnd, xid, caption, turn)


def chat(xin, logs, client, xid, caption, turn, player, page):
    """F1 until the chat reaches the page's player: right after a page is
    built, the client's window search may not have found the player yet."""
    for attempt in range(5):
        to_front(xin, client, xid, caption, turn + attempt)
        mark = logs.mark()
        xin.key('F1')
        try:
            return logs.wait('player.log', mark, lambda e: e.get('hwnd') == player and e.get('msg') == 'WM_KEYUP' and
                             e.get('wParam') == 13, f'the chat on page {page}', timeout=2.0)
        except TimeoutError:
            pass
    raise TimeoutError(f'the chat never reached the player of page {page}')


def soak(work):
    client_dir = work / 'soak-client'
    client_dir.mkdir()
    shots = Folder(work / 'soak-shots')
    write_settings(client_dir, folder=windows_path(shots.path), image='jpeg', servers=SERVERS, beep=0)
    logs, xin = Logs(), XInput()
    client = None
    samples, page_ms, missed = [], [], []
    try:
        client = Program(client_dir)
        client.main_window()
        buttons = [middle(button(client.hwnd, server)['rect']) for server in range(1, SERVERS + 1)]
        info = client.info()
        caption = (info['rect'][0] + 150, (info['rect'][1] + info['clientOrigin'][1]) // 2)
        xid = x_window(info['title'])
        turns = iter(range(1 << 30))
        player = None
        for page in range(1, PAGES + 1):
            # Servers in turn, so no two clicks in a row land on one place. A
            # click that opens no page within a few seconds is counted and
            # made again on the next server.
            for attempt in range(3):
                mark = logs.mark()
                started = xin.click(*buttons[(page + attempt) % SERVERS])
                try:
                    created, entry = logs.wait('player.log', mark, is_player_created, f'page {page}', timeout=5.0)
                    break
                except TimeoutError:
                    missed.append(page)
            else:
                raise TimeoutError(f'three clicks opened no page {page}')
            page_ms.append(created - started)
            player = entry['hwnd']
            if page % CHAT_EVERY == 0:
                chat(xin, logs, client, xid, caption, next(turns), player, page)
            if page % SHOT_EVERY == 0:
                to_front(xin, client, xid, caption, next(turns))
                xin.key('Print')
                shots.wait_new_file()
            if page % SAMPLE_EVERY == 0:
                samples.append((page, sample(client)))
    finally:
        if client:
            client.end()
        xin.close()
        logs.close()
        shots.close()
    return samples, page_ms, missed


def main():
    began = time.monotonic()
    with tempfile.TemporaryDirectory() as scratch:
        samples, page_ms, missed = soak(Path(scratch))
    took = time.monotonic() - began
    first = [s for p, s in samples if p <= 100]
    last = [s for p, s in samples if p > PAGES - 100]
    rows = []
    for name in MEASURES + COUNTED + ('private_kib_linux', 'fds', 'threads'):
        scale, unit = (1 / 1048576, ' MiB') if name == 'private' else ((1 / 1024, ' MiB') if name.endswith('kib_linux')
                                                                        else (1, ''))
        if name in MEASURES and not any(s[name] for _, s in samples):
            # Wine 8 answers 0 for these of another process: not measured, not flat.
            rows.append((name, 'not available', 'not available', 'Wine answers 0', ''))
            continue
        if name in COUNTED and any(s[name] < 0 for _, s in samples):
            rows.append((name, 'not available', 'not available', 'zprobe could not count them', ''))
            continue
        a = statistics.fmean(s[name] for s in first) * scale
        b = statistics.fmean(s[name] for s in last) * scale
        top_a = max(s[name] for s in first) * scale
        top_b = max(s[name] for s in last) * scale
        per = slope([(p, s[name] * scale) for p, s in samples])
        # The first screenshot loads the image encoders once; past it a leak shows alone.
        later = slope([(p, s[name] * scale) for p, s in samples if p > 100])
        rows.append((name, f'{a:.2f}{unit} (max {top_a:.2f})', f'{b:.2f}{unit} (max {top_b:.2f})',
                     f'{per:+.3f}{unit}', f'{later:+.3f}{unit}'))
    names = {'gdi': 'GDI objects (GetGuiResources)', 'user': 'USER objects (GetGuiResources)',
             'handles': 'kernel handles (GetProcessHandleCount)', 'private': 'private bytes (PrivateUsage)',
             'gdiTable': 'GDI objects (live entries of its GDI handle table)',
             'windows': 'USER objects: its windows, message-only ones included',
             'handleTable': 'kernel handles (its entries in SystemExtendedHandleInformation)',
             'private_kib_linux': 'private memory of the Wine process (smaps_rollup)',
             'fds': 'open files of the Wine process (/proc/<pid>/fd)', 'threads': 'threads of the Wine process'}
    table = '\n'.join(f'| {names[n]} | {a} | {b} | {c} | {d} |' for n, a, b, c, d in rows)
    first_ms = statistics.median(page_ms[:100])
    last_ms = statistics.median(page_ms[-100:])
    report = f"""## Soak

{PAGES} battle pages one after another (server buttons in turn, each click as soon as the page before it was
built), the team chat F1 every {CHAT_EVERY} pages, a JPEG screenshot every {SHOT_EVERY} pages; sampled every
{SAMPLE_EVERY} pages with `zprobe resources` and `/proc/<pid>/smaps_rollup`. {took:.0f} s.

| measure | pages 1-100 (mean) | pages {PAGES - 99}-{PAGES} (mean) | slope per 100 pages | from page 101 on |
|---|---|---|---|---|
{table}

Click to page built: median {first_ms:.1f} ms over pages 1-100, {last_ms:.1f} ms over the last 100; slowest
{max(page_ms):.1f} ms (page {page_ms.index(max(page_ms)) + 1}). Clicks that opened no page within 5 s and were
made again: {len(missed)} (before pages {missed}).
"""
    (ROOT / 'bench' / 'SOAK.md').write_text(report)
    print(report)
    print('raw:', json.dumps({'samples': samples, 'page_ms': page_ms}))


if __name__ == '__main__':
    main()
