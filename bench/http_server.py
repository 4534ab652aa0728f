#!/usr/bin/env python3
"""A small, fast page server for the HTTP benchmark: answers every request
with the same short page and closes the connection. Prints "listening PORT"."""
import socket
import sys

PAGE = b"<html><body><center><p>Relay-ALL</p></center></body></html>\r\n"
REPLY = b"HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: %d\r\n\r\n%s" % (len(PAGE), PAGE)


def main():
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind(("127.0.0.1", 0))
    s.listen(128)
    print("listening %d" % s.getsockname()[1], flush=True)
    while True:
        c, _ = s.accept()
        try:
            data = b""
            while b"\r\n\r\n" not in data:
                part = c.recv(4096)
                if not part:
                    break
                data += part
            c.sendall(REPLY)
        except OSError:
            pass
        finally:
            c.close()


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit(0)
