#!/usr/bin/env python3
"""HTTP fixture server for the client tests: well-behaved, slow, silent,
large and broken replies, chosen by the request path. Raw sockets, so every
byte on the wire is under the test's control.

    http_fixture.py [--bind 127.0.0.1]

Listens on a free port and prints "listening PORT" on standard output.
Paths:
  /echo            the request text as the body
  /large?n=N       N body bytes (a pattern with NUL bytes), Content-Length
  /chunked         a chunked body sent in awkward pieces
  /slow            headers, then one body byte a second, never ending
  /silent          accepts, reads the request, never answers
  /forever         sends body bytes without end (no Content-Length)
  /cl0             Content-Length 0, connection left open
  /short           Content-Length 100, 10 bytes, then closes
  /short-open      Content-Length 100, 10 bytes, connection left open
  /long            Content-Length 5, 50 bytes, connection left open
  /noheaders       a few bytes without any header end, then closes
  /empty           closes without sending anything
  /head            Content-Length 1000 and keep-alive (for HEAD requests)
  /sleep?ms=N      a short reply after N milliseconds
"""
import argparse
import socket
import sys
import threading
import time
from urllib.parse import parse_qs, urlsplit


def pattern(n):
    unit = bytes(range(256))
    return (unit * (n // 256 + 1))[:n]


CHUNKED_BODY = b"Hello, chunked world!\x00" + b"x" * 40000 + b"END"


def reply(conn, head, body, extra=b""):
    conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n" + extra +
                 b"Content-Length: " + str(len(body)).encode() + b"\r\n\r\n" + body)


def hold(conn, seconds=30):
    """Keeps the connection open without sending, until the client goes."""
    conn.settimeout(seconds)
    try:
        while conn.recv(4096):
            pass
    except OSError:
        pass


def handle(conn):
    try:
        conn.settimeout(10)
        data = b""
        while b"\r\n\r\n" not in data:
            part = conn.recv(4096)
            if not part:
                return
            data += part
        request = data.split(b"\r\n\r\n", 1)[0] + b"\r\n\r\n"
        line = request.split(b"\r\n", 1)[0].decode("latin-1")
        method, target = line.split(" ")[0], line.split(" ")[1]
        url = urlsplit(target)
        q = parse_qs(url.query)
        path = url.path
        if path == "/echo":
            reply(conn, method == "HEAD", request)
        elif path == "/large":
            n = int(q.get("n", ["1000"])[0])
            head = b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % n
            conn.sendall(head)
            body = pattern(n)
            for i in range(0, n, 1 << 20):
                conn.sendall(body[i:i + (1 << 20)])
            hold(conn, 5)
        elif path == "/chunked":
            wire = b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
            body = CHUNKED_BODY
            pos = 0
            sizes = [1, 7, 300, 5000, 17, 40000]
            i = 0
            while pos < len(body):
                size = min(sizes[i % len(sizes)], len(body) - pos)
                ext = b";name=value" if i == 2 else b""
                wire += b"%x%s\r\n" % (size, ext) + body[pos:pos + size] + b"\r\n"
                pos += size
                i += 1
            wire += b"0\r\nX-Trailer: yes\r\n\r\n"
            # Awkward pieces: size lines and data split across sends.
            for j in range(0, len(wire), 997):
                conn.sendall(wire[j:j + 997])
                time.sleep(0.001)
            hold(conn, 5)
        elif path == "/slow":
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n")
            for _ in range(1000):
                time.sleep(1)
                conn.sendall(b"x")
        elif path == "/silent":
            hold(conn, 60)
        elif path == "/forever":
            conn.sendall(b"HTTP/1.1 200 OK\r\n\r\n")
            block = b"y" * 4096
            while True:
                conn.sendall(block)
                time.sleep(0.005)
        elif path == "/cl0":
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n")
            hold(conn)
        elif path == "/short":
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789")
        elif path == "/short-open":
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789")
            hold(conn)
        elif path == "/long":
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n" + b"z" * 50)
            hold(conn)
        elif path == "/noheaders":
            conn.sendall(b"garbage without headers")
        elif path == "/empty":
            pass
        elif path == "/head":
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: keep-alive\r\n\r\n")
            hold(conn)
        elif path == "/sleep":
            time.sleep(int(q.get("ms", ["100"])[0]) / 1000.0)
            reply(conn, False, b"slept")
        else:
            conn.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n")
    except OSError:
        pass
    finally:
        try:
            conn.close()
        except OSError:
            pass


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bind", default="127.0.0.1")
    args = ap.parse_args()
    family = socket.AF_INET6 if ":" in args.bind else socket.AF_INET
    s = socket.socket(family, socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind((args.bind, 0))
    s.listen(64)
    print("listening %d" % s.getsockname()[1], flush=True)
    while True:
        conn, _ = s.accept()
        threading.Thread(target=handle, args=(conn,), daemon=True).start()


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit(0)
