#!/usr/bin/env python3
"""A TLS front for the local test station.

    tls-relay.py PORT CERT KEY TARGET_PORT

Listens on 127.0.0.1:PORT (0 picks a free port) with the certificate CERT and its key
KEY, prints the port it got as its first line, and relays every HTTP request, once its
TLS handshake is done, to 127.0.0.1:TARGET_PORT and the answer back. Standard library
only.
"""
import socket
import socketserver
import ssl
import sys


class Relay(socketserver.BaseRequestHandler):
    def handle(self):
        try:
            client = CONTEXT.wrap_socket(self.request, server_side=True)
        except (OSError, ssl.SSLError):
            return  # a failed handshake: nothing to relay
        # The request goes up once; then only the answer flows, so that one thread moves
        # everything (a TLS socket is not for reading and writing from two threads).
        try:
            with client, socket.create_connection(("127.0.0.1", TARGET), timeout=10) as upstream:
                request = b""
                while b"\r\n\r\n" not in request and len(request) < 16384:
                    chunk = client.recv(4096)
                    if not chunk:
                        return
                    request += chunk
                upstream.sendall(request)
                while chunk := upstream.recv(65536):
                    client.sendall(chunk)
        except (OSError, ssl.SSLError):
            pass  # the listener left, or the station did


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit("usage: tls-relay.py PORT CERT KEY TARGET_PORT")
    CONTEXT = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    CONTEXT.load_cert_chain(sys.argv[2], sys.argv[3])
    TARGET = int(sys.argv[4])
    with Server(("127.0.0.1", int(sys.argv[1])), Relay) as server:
        print(server.server_address[1], flush=True)
        server.serve_forever()
