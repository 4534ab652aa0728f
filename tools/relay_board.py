#!/usr/bin/env python3
"""A simulated 16-relay Ethernet relay board, for running the Hexbury
simulation without the real board.

The board is driven by plain HTTP GET requests whose URL ends in a two-digit
code:  00-31 switch one relay (relay r: (r-1)*2+1 on, (r-1)*2 off), 44 returns
the status page. Any path prefix is accepted (http://HOST:PORT/30000/44 works
as well as http://HOST:PORT/44). Other codes change nothing and return the
status page.

Open http://HOST:PORT/ in a browser to watch the 16 relays as lamps; the page
updates as requests arrive. Every request is logged on standard error.

    python3 tools/relay_board.py [--port 8080] [--bind 127.0.0.1]

Standard library only. Port 0 picks a free port; the first line printed on
standard output names the address the board listens on.
"""
import argparse
import json
import re
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import urlsplit

RELAYS = 16
STATUS_CODE = 44
# The reply to code 44: the simulation checks that the text of the whole
# response from its 64th character on begins with this marker.
MARKER = "<center><p>Relay-ALL"
MARKER_OFFSET = 63

CODE_RE = re.compile(r"(\d\d)$")


class Board:
    def __init__(self):
        self.lock = threading.Lock()
        self.relays = [False] * RELAYS
        self.requests = 0
        self.last = ""
        self.version = 0

    def apply(self, code):
        """Applies a request code; returns a text describing what it did."""
        with self.lock:
            self.requests += 1
            self.version += 1
            if 0 <= code <= 31:
                relay = code // 2 + 1
                on = code % 2 == 1
                self.relays[relay - 1] = on
                what = "relay %d %s" % (relay, "on" if on else "off")
            elif code == STATUS_CODE:
                what = "status"
            else:
                what = "unknown code %02d (no change)" % code
            self.last = "%02d: %s" % (code, what)
            return what

    def snapshot(self):
        with self.lock:
            return {"relays": list(self.relays), "requests": self.requests,
                    "last": self.last, "version": self.version}


BOARD = Board()

HEADERS = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"
assert len(HEADERS) + len("<html><body>") <= MARKER_OFFSET


def status_response():
    """The raw status reply: fixed headers, then a body whose marker starts
    at the 64th character of the whole response."""
    snap = BOARD.snapshot()
    states = "".join("1" if on else "0" for on in snap["relays"])
    prefix = "<html><body>"
    prefix += " " * (MARKER_OFFSET - len(HEADERS) - len(prefix))
    body = prefix + MARKER + "</p><p>" + states + "</p>"
    for i, on in enumerate(snap["relays"]):
        body += "<p>Relay-%02d %s</p>" % (i + 1, "ON" if on else "OFF")
    body += "</center></body></html>"
    text = HEADERS + body
    assert text[MARKER_OFFSET:MARKER_OFFSET + len(MARKER)] == MARKER
    return text.encode("ascii")


PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Relay board</title>
<style>
body { background: #222; color: #ddd; font-family: sans-serif; text-align: center; }
#lamps { display: grid; grid-template-columns: repeat(8, 80px); gap: 16px;
         justify-content: center; margin: 30px; }
.lamp { width: 60px; height: 60px; border-radius: 50%; margin: 0 auto;
        background: #400; border: 3px solid #111; }
.lamp.on { background: #f33; box-shadow: 0 0 20px #f33; }
.n { margin-top: 6px; }
</style></head><body>
<h1>16-relay board</h1>
<div id="lamps"></div>
<p id="info">waiting for the board...</p>
<script>
const lamps = document.getElementById('lamps');
for (let i = 1; i <= 16; i++) {
  lamps.insertAdjacentHTML('beforeend',
    '<div><div class="lamp" id="l' + i + '"></div><div class="n">' + i + '</div></div>');
}
let version = -1;
async function poll() {
  try {
    const r = await fetch('/state', {cache: 'no-store'});
    const s = await r.json();
    if (s.version !== version) {
      version = s.version;
      s.relays.forEach((on, i) =>
        document.getElementById('l' + (i + 1)).className = on ? 'lamp on' : 'lamp');
      document.getElementById('info').textContent =
        s.requests + ' requests; last ' + (s.last || '-');
    }
  } catch (e) {
    document.getElementById('info').textContent = 'board not reachable';
  }
  setTimeout(poll, 200);
}
poll();
</script></body></html>
"""


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "RelayBoard/1.0"

    def log_message(self, fmt, *args):
        pass  # our own log line per request instead

    def log(self, what):
        sys.stderr.write("%s %s %s %s -> %s\n" % (time.strftime("%H:%M:%S"), self.client_address[0],
                                                 self.command, self.path, what))
        sys.stderr.flush()

    def send_raw(self, data, head=False):
        if head:
            data = data.split(b"\r\n\r\n", 1)[0] + b"\r\n\r\n"
        self.wfile.write(data)

    def send_plain(self, status, ctype, body, head=False):
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        if not head:
            self.wfile.write(body)

    def handle_any(self, head):
        path = urlsplit(self.path).path
        if path in ("/", "/index.html"):
            self.send_plain(200, "text/html; charset=utf-8", PAGE.encode("utf-8"), head)
            return
        if path == "/state":
            self.send_plain(200, "application/json", json.dumps(BOARD.snapshot()).encode("ascii"), head)
            return
        m = CODE_RE.search(path)
        if not m:
            self.log("not a board request (404)")
            self.send_plain(404, "text/plain", b"not a relay board request\r\n", head)
            return
        what = BOARD.apply(int(m.group(1)))
        self.log(what)
        self.send_raw(status_response(), head)

    def do_GET(self):
        self.handle_any(False)

    def do_HEAD(self):
        self.handle_any(True)


def main():
    ap = argparse.ArgumentParser(description="Simulated 16-relay Ethernet relay board.")
    ap.add_argument("--port", type=int, default=8080, help="TCP port (0 picks a free one; default 8080)")
    ap.add_argument("--bind", default="127.0.0.1", help="address to listen on (default 127.0.0.1)")
    args = ap.parse_args()
    if not 0 <= args.port <= 65535:
        ap.error("port out of range")
    family_server = ThreadingHTTPServer
    if ":" in args.bind:
        import socket

        class V6Server(ThreadingHTTPServer):
            address_family = socket.AF_INET6
        family_server = V6Server
    try:
        server = family_server((args.bind, args.port), Handler)
    except OSError as e:
        sys.stderr.write("relay_board: cannot listen on %s port %d: %s\n" % (args.bind, args.port, e))
        return 1
    server.daemon_threads = True
    host, port = server.server_address[:2]
    shown = "[%s]" % host if ":" in host else host
    print("Relay board listening on http://%s:%d/ (board URL for the simulation: http://%s:%d/)"
          % (shown, port, shown, port), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
