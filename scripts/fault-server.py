#!/usr/bin/env python3
"""A misbehaving station for the player's fault tests.

    fault-server.py PORT SOURCE_URL

Listens on 127.0.0.1:PORT (0 picks a free port) and prints two lines: the port it
listens on, and a port that refuses every connection (bound, never listening). Good
stream bytes are relayed from SOURCE_URL (the local station's MP3 mount), opened anew
for each listener. Each path is one fault; `after` is the seconds of good stream sent
before the fault (default 5):

    /silent               accepts and never answers
    /404                  answers 404 Not Found
    /html                 answers 200 with an HTML page
    /stall?after=S        good stream, then nothing while the connection stays open
    /close?after=S        good stream, then the connection closes
    /garbage?after=S      good stream, then random bytes
    /bigheader            a header of 1 MB before the stream
    /trickle              the answer at one byte per second
    /redirect             a redirect to itself, for ever
    /bigplaylist          a 10 MB playlist whose entries all fail
    /endless.m3u8         an HLS list that never ends
    /self.pls             a playlist whose one entry is itself
    /icylie               ICY metadata whose length bytes lie
    /wrongtype?type=T     MP3 sent with the content type T (default audio/aac)

Standard library only.
"""
import os
import socket
import socketserver
import sys
import time
import urllib.parse
import urllib.request

PLAYLIST_BYTES = 10 * 1024 * 1024


class Listener(socketserver.StreamRequestHandler):
    def handle(self):
        request = self.rfile.readline(8192)
        while self.rfile.readline(8192).strip():
            pass  # the rest of the request's header
        parts = request.split()
        if len(parts) < 2 or parts[0] != b"GET":
            return
        url = urllib.parse.urlsplit(parts[1].decode("latin-1"))
        query = urllib.parse.parse_qs(url.query)
        self.after = float(query.get("after", ["5"])[0])
        self.base = "http://127.0.0.1:%d" % self.server.server_address[1]
        name = url.path.strip("/").replace(".", "_") or "index"
        action = getattr(self, "fault_" + name, None)
        try:
            if action:
                action(query)
            else:
                self.answer(b"404 Not Found", b"text/plain", b"no such fault\n")
        except (OSError, ValueError):
            pass  # the listener left

    def answer(self, status, content_type, body=b"", extra=b""):
        self.wfile.write(b"HTTP/1.0 " + status + b"\r\nContent-Type: " + content_type + b"\r\n" + extra + b"\r\n")
        self.wfile.write(body)

    def good(self, seconds, write=None):
        """Relays the good stream for `seconds`."""
        write = write or self.wfile.write
        end = time.monotonic() + seconds
        with urllib.request.urlopen(SOURCE, timeout=10) as mount:
            while time.monotonic() < end:
                chunk = mount.read1(4096)
                if not chunk:
                    break
                write(chunk)

    def hold(self):
        """Keeps the connection open, sending nothing, until the listener leaves."""
        self.connection.settimeout(None)
        while self.connection.recv(4096):
            pass

    def fault_silent(self, _):
        self.hold()

    def fault_404(self, _):
        self.wfile.write(b"HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n"
                         b"<html><body><h1>404 Not Found</h1></body></html>\n")

    def fault_html(self, _):
        page = b"<!DOCTYPE html>\n<html><head><title>Radio</title></head><body>\n"
        page += b"<p>Our stream has moved. Please visit our web site.</p>\n" * 200
        self.answer(b"200 OK", b"text/html; charset=utf-8", page + b"</body></html>\n")

    def stream_head(self):
        self.wfile.write(b"HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nicy-br: 128\r\n\r\n")

    def fault_stall(self, _):
        self.stream_head()
        self.good(self.after)
        self.hold()

    def fault_close(self, _):
        self.stream_head()
        self.good(self.after)

    def fault_garbage(self, _):
        self.stream_head()
        self.good(self.after)
        while True:
            self.wfile.write(os.urandom(4096))
            time.sleep(0.25)

    def fault_bigheader(self, _):
        self.wfile.write(b"HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n")
        line = b"X-Filler: " + b"x" * 1000 + b"\r\n"
        for _ in range(1024 * 1024 // len(line) + 1):
            self.wfile.write(line)
        self.wfile.write(b"\r\n")
        self.good(60)

    def fault_trickle(self, _):
        for byte in b"HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n":
            self.wfile.write(bytes([byte]))
            self.wfile.flush()
            time.sleep(1)

        def slowly(chunk):
            for byte in chunk:
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
                time.sleep(1)
        self.good(60, slowly)

    def fault_redirect(self, _):
        self.wfile.write(b"HTTP/1.0 302 Found\r\nLocation: " + self.base.encode() + b"/redirect\r\n\r\n")

    def fault_bigplaylist(self, _):
        self.wfile.write(b"HTTP/1.0 200 OK\r\nContent-Type: audio/x-scpls\r\n\r\n[playlist]\r\n")
        sent, n = 0, 0
        while sent < PLAYLIST_BYTES:
            n += 1
            entry = b"File%d=%s/404?entry=%d\r\nTitle%d=Nowhere %d\r\n" % (n, self.base.encode(), n, n, n)
            self.wfile.write(entry)
            sent += len(entry)
        self.wfile.write(b"NumberOfEntries=%d\r\nVersion=2\r\n" % n)

    def fault_endless_m3u8(self, _):
        self.answer(b"200 OK", b"application/vnd.apple.mpegurl", b"#EXTM3U\n#EXT-X-TARGETDURATION:2\n")
        n = 0
        while True:
            n += 1
            self.wfile.write(b"#EXTINF:2.0,\n%s/404/segment-%d.ts\n" % (self.base.encode(), n))

    def fault_self_pls(self, _):
        body = b"[playlist]\r\nNumberOfEntries=1\r\nFile1=" + self.base.encode() + b"/self.pls\r\nVersion=2\r\n"
        self.answer(b"200 OK", b"audio/x-scpls", body)

    def fault_icylie(self, _):
        # Announces metadata after every 8000 bytes, but inserts blocks whose length
        # byte claims far more (or less) than follows, at places of its own.
        self.wfile.write(b"ICY 200 OK\r\nContent-Type: audio/mpeg\r\nicy-metaint: 8000\r\n\r\n")
        pending = bytearray()
        lies = [255, 0, 7, 200, 1]
        turn = 0

        def write(chunk):
            nonlocal turn
            pending.extend(chunk)
            while len(pending) >= 5000:
                self.wfile.write(bytes(pending[:5000]))
                del pending[:5000]
                self.wfile.write(bytes([lies[turn % len(lies)]]) + b"StreamTitle='liar';")
                turn += 1
        self.good(60, write)

    def fault_wrongtype(self, query):
        content_type = query.get("type", ["audio/aac"])[0].encode()
        self.wfile.write(b"HTTP/1.0 200 OK\r\nContent-Type: " + content_type + b"\r\n\r\n")
        self.good(60)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: fault-server.py PORT SOURCE_URL")
    SOURCE = sys.argv[2]
    refusing = socket.socket()
    refusing.bind(("127.0.0.1", 0))  # bound but never listening: connections are refused
    with Server(("127.0.0.1", int(sys.argv[1])), Listener) as server:
        print(server.server_address[1], flush=True)
        print(refusing.getsockname()[1], flush=True)
        server.serve_forever()
