#!/usr/bin/env python3
"""A Shoutcast-style server for the local test station.

    icy-server.py PORT FILE_OR_URL

Listens on 127.0.0.1:PORT (0 picks a free port) and prints the port it got as its first
line. Every GET is answered with the old "ICY 200 OK" status line and MP3 bytes: relayed
from an http:// URL (the station's MP3 mount, opened anew for each listener) or, for a
file, the file's bytes once. Standard library only.
"""
import shutil
import socketserver
import sys
import urllib.request

HEADER = (b"ICY 200 OK\r\nicy-name: Tone\r\ncontent-type: audio/mpeg\r\n"
          b"icy-br: 128\r\n\r\n")


class Listener(socketserver.StreamRequestHandler):
    def handle(self):
        request = self.rfile.readline(8192)
        while self.rfile.readline(8192).strip():
            pass  # the rest of the request's header
        if not request.startswith(b"GET "):
            return
        self.wfile.write(HEADER)
        try:
            if SOURCE.startswith(("http://", "https://")):
                with urllib.request.urlopen(SOURCE, timeout=10) as mount:
                    while chunk := mount.read1(65536):
                        self.wfile.write(chunk)
            else:
                with open(SOURCE, "rb") as f:
                    shutil.copyfileobj(f, self.wfile)
        except (OSError, ValueError):
            pass  # the listener left, or the source ended


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: icy-server.py PORT FILE_OR_URL")
    SOURCE = sys.argv[2]
    with Server(("127.0.0.1", int(sys.argv[1])), Listener) as server:
        print(server.server_address[1], flush=True)
        server.serve_forever()
