#!/usr/bin/env python3
"""Local servers for run_tls.sh, all on 127.0.0.1 and each on a port of its own.

    tls_servers.py CERT_FOLDER CONTENT_FOLDER PORTS_FILE

CERT_FOLDER holds trusted.pem, stranger.pem and othername.pem (certificate
followed by key). PORTS_FILE receives one "name port" line per server once
all listen; the servers run until the process is ended.

  plain      HTTP, files from CONTENT_FOLDER
  trusted    HTTPS, certificate for localhost/127.0.0.1 from the trusted test CA
  stranger   HTTPS, certificate for localhost/127.0.0.1 from a CA nobody trusts
  othername  HTTPS, certificate from the trusted CA for other.test only
  silent     accepts connections and never says a word (the handshake stalls)
  hangup     reads the client hello, then closes the connection
  mute       finishes the TLS handshake, then never answers (reads stall)
  echo       TLS: reads "<length>\\n" and that many bytes, sends them back,
             then ends the session with close_notify
"""
import http.server
import os
import socket
import socketserver
import ssl
import sys
import threading
import time


def tls_context(pem):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(pem)
    return context


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def file_server(content, context):
    handler = lambda *args, **kw: QuietHandler(*args, directory=content, **kw)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    if context is not None:
        # The handshake runs on the connection's own thread, at its first read.
        server.socket = context.wrap_socket(
            server.socket, server_side=True, do_handshake_on_connect=False)
    return server


class SilentHandler(socketserver.BaseRequestHandler):
    def handle(self):
        time.sleep(60)


class HangupHandler(socketserver.BaseRequestHandler):
    def handle(self):
        # Closing with nothing unread ends the connection cleanly, not with a reset.
        self.request.recv(65536)
        self.request.close()


class MuteHandler(socketserver.BaseRequestHandler):
    def handle(self):
        try:
            self.request.do_handshake()
            time.sleep(60)
        except (OSError, ssl.SSLError):
            pass


class EchoHandler(socketserver.BaseRequestHandler):
    def handle(self):
        try:
            tls = self.request
            header = b""
            while not header.endswith(b"\n"):
                header += tls.recv(1)
            left = int(header)
            data = bytearray()
            while left > 0:
                piece = tls.recv(min(left, 65536))
                if not piece:
                    return
                data += piece
                left -= len(piece)
            tls.sendall(data)
            tls.unwrap()  # close_notify
        except (OSError, ssl.SSLError, ValueError):
            pass


def tcp_server(handler, context=None):
    server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    if context is not None:
        server.socket = context.wrap_socket(
            server.socket, server_side=True, do_handshake_on_connect=False)
    return server


def main():
    certs, content, ports_file = sys.argv[1:4]
    pem = lambda name: os.path.join(certs, name + ".pem")
    servers = {
        "plain": file_server(content, None),
        "trusted": file_server(content, tls_context(pem("trusted"))),
        "stranger": file_server(content, tls_context(pem("stranger"))),
        "othername": file_server(content, tls_context(pem("othername"))),
        "silent": tcp_server(SilentHandler),
        "hangup": tcp_server(HangupHandler),
        "mute": tcp_server(MuteHandler, tls_context(pem("trusted"))),
        "echo": tcp_server(EchoHandler, tls_context(pem("trusted"))),
    }
    for server in servers.values():
        server.daemon_threads = True
        threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(ports_file + ".part", "w") as out:
        for name, server in servers.items():
            out.write(f"{name} {server.server_address[1]}\n")
    os.rename(ports_file + ".part", ports_file)
    threading.Event().wait()


if __name__ == "__main__":
    main()
