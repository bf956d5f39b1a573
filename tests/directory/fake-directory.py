#!/usr/bin/env python3
"""A public station directory of the tests' own, answering as its API does.

    fake-directory.py PORT STATION_URL [SECOND_STATION_URL] CLICK_LOG

Listens on 127.0.0.1:PORT (0 picks a free port) and prints the port. The first part of
a request's path picks how this "server" behaves, so that one process stands in for
several servers (directory.ini names them as http://127.0.0.1:PORT/<way>):

    /api/json/stations/search?name=...   a JSON list of its stations whose name holds
                                          `name` (any case), as the directory sends it
    /api/json/url/<stationuuid>          counts a click: one line in CLICK_LOG
    /html/...                             a web page (a proxy's error page)
    /endless/...                          JSON that never ends
    /silent/...                           accepts and never answers

Standard library only.
"""
import json
import socketserver
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

STATIONS = []
CLICK_LOG = ""
LOG_LOCK = threading.Lock()


def station(uuid, name, url, votes, codec="MP3", ok=1, resolved=True):
    return {"changeuuid": "c" + uuid, "stationuuid": uuid, "name": name,
            "url": url + ".pls" if resolved else url, "url_resolved": url if resolved else "",
            "homepage": "", "favicon": "", "tags": "test,tone", "country": "Testland", "countrycode": "TL",
            "state": "", "language": "", "votes": votes, "codec": codec, "bitrate": 128, "hls": 0,
            "lastcheckok": ok, "clickcount": 5, "clicktrend": 0}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send(self, body, kind="application/json"):
        data = body.encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        parts = urllib.parse.urlsplit(self.path)
        way, _, rest = parts.path.lstrip("/").partition("/")
        try:
            if way == "silent":
                time.sleep(60)
            elif way == "html":
                self.send("<html><body><h1>502 Bad Gateway</h1></body></html>", "text/html")
            elif way == "endless":
                self.send_response(200)
                self.send_header("Content-Type", "application/json")
                self.end_headers()
                self.wfile.write(b"[")
                entry = json.dumps(STATIONS[0]).encode() + b","
                while True:
                    self.wfile.write(entry * 64)
            elif rest == "json/stations/search":
                query = urllib.parse.parse_qs(parts.query)
                name = query.get("name", [""])[0].lower()
                hide = query.get("hidebroken", ["false"])[0] == "true"
                found = [s for s in STATIONS if name in s["name"].lower() and not (hide and not s["lastcheckok"])]
                self.send(json.dumps(found))
            elif rest.startswith("json/url/"):
                uuid = rest[len("json/url/"):]
                with LOG_LOCK, open(CLICK_LOG, "a") as log:
                    log.write(uuid + " " + self.headers.get("User-Agent", "") + "\n")
                self.send(json.dumps({"ok": "true", "message": "retrieved station url", "stationuuid": uuid}))
            else:
                self.send_error(404)
        except (BrokenPipeError, ConnectionResetError):
            pass


def main():
    global CLICK_LOG
    port, first, second, CLICK_LOG = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    STATIONS.extend([
        station("96062a7b-0601-11e8-ae97-52543be04c81", "Test Tone Radio", first, 40),
        station("96062a7b-0601-11e8-ae97-52543be04c82", "Test Tone Radio (mirror)", first, 10),
        station("96062a7b-0601-11e8-ae97-52543be04c83", "Second Test Tone", second, 20, "OGG", resolved=False),
        station("96062a7b-0601-11e8-ae97-52543be04c84", "Broken Test Tone", "http://127.0.0.1:1/", 90, ok=0),
    ])
    ThreadingHTTPServer.daemon_threads = True
    server = ThreadingHTTPServer(("127.0.0.1", port), Handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
