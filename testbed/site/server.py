#!/usr/bin/python3
"""Stand-in game site for the test bed: a few static pages on loopback.

Usage: server.py [--port N] [--port-file FILE] [--log FILE] [--clicks N] [--delay MS]
Prints the chosen port as the first line of stdout (and writes it to
--port-file if given). Any Host is answered; --log appends one JSON line per
request (method, path, host) so tests can check what the client sent.
"""
import argparse
import json
import os
import sys
import threading
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PLAYER_TYPE = "application/x-testbed-player"


def page(title, body, head=""):
    return (f"<html><head><title>{title}</title>{head}</head>\n"
            f"<body>\n{body}\n</body></html>\n")


def player(clicks, delay):
    return (f'<embed type="{PLAYER_TYPE}" width="100%" height="100%" '
            f'clicks="{clicks}" delay="{delay}">')


PIXEL = f'<embed type="{PLAYER_TYPE}" width="1" height="1">'


class Site:
    """The page table; the battle condition can be changed while running."""

    def __init__(self, clicks, delay):
        self.clicks = clicks
        self.delay = delay
        self.lock = threading.Lock()

    def condition(self, query):
        with self.lock:
            clicks, delay = self.clicks, self.delay
        q = urllib.parse.parse_qs(query)
        clicks = int(q.get("clicks", [clicks])[0])
        delay = int(q.get("delay", [delay])[0])
        return clicks, delay

    def render(self, path, query):
        """Returns (status, body) for a request path without its query, or
        (status, body, location) for a redirect to a path on the same host."""
        # The program builds battle addresses from its language setting, which
        # it takes unchecked: these "languages" reach the special pages.
        path = BATTLE_VARIANTS.get(path, path)
        if path == "/":
            return 200, page("Front page", "<p>Welcome. Pick a battle server.</p>")
        if path in ("/battle-en.html", "/battle-de.html", "/battle-ru.html"):
            # The program's own query or fragment must not change the page.
            return 200, page("Battle", player(*self.condition("")))
        if path == "/player.html":
            return 200, page("Battle", player(*self.condition(query)))
        if path == "/pixel-first.html":
            return 200, page("Battle", PIXEL + "\n" + player(*self.condition(query)))
        if path == "/pixel-last.html":
            return 200, page("Battle", player(*self.condition(query)) + "\n" + PIXEL)
        if path == "/empty.html":
            return 200, page("No player", "<p>The battle is not available.</p>")
        if path == "/moved.html":
            q = urllib.parse.parse_qs(query)
            secs = q.get("after", ["1"])[0]
            return 200, page("Moved", "<p>Back to the front page soon.</p>",
                             f'<meta http-equiv="refresh" content="{secs};url=/">')
        if path == "/redirect.html":
            # Answered with the host the request named, as a server would.
            target = urllib.parse.parse_qs(query).get("to", ["/"])[0]
            if target == "self":  # a loop that never ends
                target = path + "?" + query
            return 302, page("Moved", "<p>Moved.</p>"), target
        if path == "/_testbed/condition":
            clicks, delay = self.condition(query)
            with self.lock:
                self.clicks, self.delay = clicks, delay
            return 200, f"clicks={clicks} delay={delay}\n"
        return 404, page("Not found", "<p>404</p>")


BATTLE_VARIANTS = {
    "/battle-moved.html": "/moved.html",
    "/battle-empty.html": "/empty.html",
    "/battle-pixelfirst.html": "/pixel-first.html",
    "/battle-pixellast.html": "/pixel-last.html",
    "/battle-redirected.html": "/redirect.html",
}


def make_handler(site, log):
    log_lock = threading.Lock()

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def do_GET(self):
            url = urllib.parse.urlsplit(self.path)
            # Logged before answering, so a client that has its answer finds the entry.
            if log:
                entry = {"method": "GET", "path": self.path,
                         "host": self.headers.get("Host", ""),
                         "user_agent": self.headers.get("User-Agent", "")}
                with log_lock, open(log, "a", encoding="utf-8") as f:
                    f.write(json.dumps(entry) + "\n")
            status, body, *location = site.render(url.path, url.query)
            data = body.encode("utf-8")
            self.send_response(status)
            if location:
                self.send_header("Location", f"http://{self.headers.get('Host', '')}{location[0]}")
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)

        def log_message(self, *args):
            pass

    return Handler


def main(argv=None):
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--port-file")
    ap.add_argument("--log")
    ap.add_argument("--clicks", type=int, default=3)
    ap.add_argument("--delay", type=int, default=0)
    args = ap.parse_args(argv)
    site = Site(args.clicks, args.delay)
    server = ThreadingHTTPServer(("127.0.0.1", args.port), make_handler(site, args.log))
    server.daemon_threads = True
    port = server.server_address[1]
    print(port, flush=True)
    if args.port_file:
        with open(args.port_file + ".tmp", "w") as f:
            f.write(f"{port}\n")
        # Rename so a reader never sees a half-written file.
        os.replace(args.port_file + ".tmp", args.port_file)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    sys.exit(main())
