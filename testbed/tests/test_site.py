"""The stand-in site: its pages, the player markup and the request log."""
import json
import os
import subprocess
import sys
import http.client

import pytest

SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "site", "server.py")


@pytest.fixture
def site(tmp_path):
    log = tmp_path / "requests.log"
    proc = subprocess.Popen([sys.executable, SERVER, "--port", "0", "--log", str(log), "--clicks", "4"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    try:
        port = int(proc.stdout.readline())
        yield port, log
    finally:
        proc.terminate()
        proc.wait(timeout=10)


def get(port, path, host="abc123.game.example"):
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
    conn.request("GET", path, headers={"Host": host})
    resp = conn.getresponse()
    body = resp.read().decode("utf-8")
    conn.close()
    return resp.status, body


PLAYER = 'type="application/x-testbed-player"'


def test_battle_pages_hold_one_full_size_player_whatever_the_query(site):
    port, _ = site
    for lang in ("en", "de", "ru"):
        status, body = get(port, f"/battle-{lang}.html?server=7")
        assert status == 200
        assert body.count(PLAYER) == 1
        assert 'width="100%" height="100%" clicks="4" delay="0"' in body


def test_front_and_empty_pages_have_no_player(site):
    port, _ = site
    for path in ("/", "/empty.html"):
        status, body = get(port, path)
        assert status == 200 and PLAYER not in body


def test_one_pixel_plugin_before_or_after_the_player(site):
    port, _ = site
    _, first = get(port, "/pixel-first.html")
    _, last = get(port, "/pixel-last.html")
    pixel = 'width="1" height="1"'
    assert first.index(pixel) < first.index('width="100%"')
    assert last.index(pixel) > last.index('width="100%"')


def test_condition_by_query_and_by_control_page(site):
    port, _ = site
    _, body = get(port, "/player.html?clicks=0&delay=1500")
    assert 'clicks="0" delay="1500"' in body
    status, _ = get(port, "/_testbed/condition?clicks=9&delay=20")
    assert status == 200
    _, body = get(port, "/battle-en.html")
    assert 'clicks="9" delay="20"' in body


def test_moved_page_refreshes_to_the_front_page(site):
    port, _ = site
    _, body = get(port, "/moved.html?after=3")
    assert '<meta http-equiv="refresh" content="3;url=/">' in body


def test_everything_else_is_missing_and_requests_are_logged(site):
    port, log = site
    assert get(port, "/battle-xx.html")[0] == 404
    assert get(port, "/favicon.ico", host="other.example:81")[0] == 404
    entries = [json.loads(line) for line in log.read_text().splitlines()]
    assert entries[-1] == {"method": "GET", "path": "/favicon.ico", "host": "other.example:81",
                           "user_agent": ""}
