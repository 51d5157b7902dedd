#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
"""Local stand-in for the maker's web server, for tests only.

Listens on 127.0.0.1 only:
  http        plain HTTP
  https       TLS with a certificate for 127.0.0.1/localhost signed by a test CA
  dual        plain HTTP and TLS on one port (the first byte of a connection decides)
  wronghost   TLS with a certificate for another host name, signed by the same test CA
  selfsigned  TLS with a self-signed certificate that no CA vouches for
  tlsreset    plain HTTP, and a reset for every TLS handshake, as on a network that blocks
              HTTPS and answers plain HTTP itself

The test CA and the certificates are made at start with `openssl` in --certdir.
When ready, one JSON line is printed on stdout with the ports and the CA file.
Then stdin takes one JSON command per line and stdout answers each with one JSON line:
  {"cmd": "set", "path": "/php/check2.php", "mode": "reply", "status": 200,
   "body": "...", "content_type": "...", "ms": 0, "count": 0, "size": 0}
  {"cmd": "requests"}   every request seen so far (method, scheme, path, headers, body)
  {"cmd": "clear"}      forget the recorded requests
  {"cmd": "tls", "mode": "reset"}  the dual listener resets every TLS handshake from now on
                                   ("serve" goes back to answering them)
The server ends when stdin closes, so a crashed test cannot leave it behind.

Modes (for configured paths, or chosen by the path itself):
  /reply/<status>    that status, with a short body
  /echo              the request body back, as UTF-8 text
  /hang              read the request, never answer
  /slow/<ms>         answer after <ms> milliseconds
  /reset             read the request, then reset the connection
  /redirect/<n>      302 to /redirect/<n-1>; /redirect/0 answers 200 "arrived"
  moved (configured) 302 to the address in "body"
  /big/<bytes>       a body of that many bytes
  /stream/<bytes>    the same without a Content-Length: the body ends when the connection does
  /charset/<name>    "caf\u00e9 \u20ac" encoded in <name> (or UTF-8 without a charset for "none")
"""

import argparse
import fcntl
import json
import os
import socket
import socketserver
import ssl
import struct
import subprocess
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

STOP = threading.Event()
# The dual listener resets TLS handshakes while this is set; the tlsreset listener always does.
RESET_DUAL_TLS = threading.Event()
ALWAYS = threading.Event()
ALWAYS.set()
LOCK = threading.Lock()
REQUESTS = []
CONFIG = {
    "/php/check2.php": {
        "mode": "reply",
        "status": 200,
        "body": "<version>4.4</version>\r\n<url>https://example.invalid/download/</url>\r\n",
        "content_type": "text/html; charset=UTF-8",
    },
    "/php/feedback.php": {
        "mode": "reply",
        "status": 200,
        "body": "OK",
        "content_type": "text/html; charset=UTF-8",
    },
}


def run_openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.PIPE)


def make_certificates(folder):
    """A CA, a good server certificate, a wrong-host one and a self-signed one (EC keys: fast).

    Made once and shared by the servers of parallel test processes: a lock file orders them,
    and a set younger than a day is reused.
    """
    os.makedirs(folder, exist_ok=True)
    p = lambda name: os.path.join(folder, name)
    with open(p("lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        ready = p("ready")
        if os.path.exists(ready) and time.time() - os.path.getmtime(ready) < 86400:
            return p
        if os.path.exists(ready):
            os.remove(ready)
        make_certificate_files(p)
        open(ready, "w").close()
    return p


def make_certificate_files(p):
    ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    run_openssl("req", "-x509", *ec, "-keyout", p("ca.key"), "-out", p("ca.pem"), "-days", "2",
                "-subj", "/CN=Loadspire Test CA",
                "-addext", "basicConstraints=critical,CA:TRUE",
                "-addext", "keyUsage=critical,keyCertSign,cRLSign")

    def signed(name, san):
        with open(p(name + ".ext"), "w") as ext:
            ext.write("subjectAltName=%s\nbasicConstraints=CA:FALSE\n"
                      "keyUsage=digitalSignature,keyEncipherment\n"
                      "extendedKeyUsage=serverAuth\n" % san)
        run_openssl("req", *ec, "-keyout", p(name + ".key"), "-out", p(name + ".csr"),
                    "-subj", "/CN=" + name)
        run_openssl("x509", "-req", "-in", p(name + ".csr"), "-CA", p("ca.pem"),
                    "-CAkey", p("ca.key"), "-CAcreateserial", "-out", p(name + ".pem"),
                    "-days", "2", "-extfile", p(name + ".ext"))

    signed("server", "IP:127.0.0.1,DNS:localhost")
    signed("wronghost", "DNS:wrong.invalid")
    run_openssl("req", "-x509", *ec, "-keyout", p("selfsigned.key"), "-out", p("selfsigned.pem"),
                "-days", "2", "-subj", "/CN=127.0.0.1",
                "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost")


def tls_context(p, name):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(p(name + ".pem"), p(name + ".key"))
    return context


def behaviour_for(path):
    """The configured behaviour of a path, or the one its name asks for."""
    with LOCK:
        if path in CONFIG:
            return dict(CONFIG[path])
    parts = path.strip("/").split("/")
    head = parts[0]
    arg = parts[1] if len(parts) > 1 else ""
    number = int(arg) if arg.isdigit() else 0
    if head == "reply":
        return {"mode": "reply", "status": number or 200, "body": "body of %d" % (number or 200)}
    if head in ("hang", "reset", "echo"):
        return {"mode": head}
    if head == "slow":
        return {"mode": "slow", "ms": number, "body": "slow reply"}
    if head == "redirect":
        return {"mode": "redirect", "count": number}
    if head in ("big", "stream"):
        return {"mode": head, "size": number}
    if head == "charset":
        return {"mode": "charset", "charset": arg}
    return {"mode": "reply", "status": 404, "body": "not found"}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "LoadspireTestServer/1"

    def log_message(self, format, *args):  # keep the test output clean
        pass

    def do_GET(self):
        self.handle_request(b"")

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        self.handle_request(self.rfile.read(length) if length > 0 else b"")

    def handle_request(self, body):
        with LOCK:
            REQUESTS.append({
                "method": self.command,
                "scheme": self.server_scheme(),
                "path": self.path,
                "content_type": self.headers.get("Content-Type", ""),
                "connection": self.headers.get("Connection", ""),
                "expect": self.headers.get("Expect", ""),
                "body": body.decode("latin-1"),
            })
        b = behaviour_for(self.path.split("?")[0])
        mode = b.get("mode", "reply")
        if mode == "hang":
            STOP.wait()
            self.close_connection = True
            return
        if mode == "reset":
            self.close_connection = True
            reset(self.connection)
            return
        if mode == "slow":
            if STOP.wait(b.get("ms", 0) / 1000.0):
                return
            self.send_body(b.get("status", 200), b.get("body", "").encode("utf-8"),
                           b.get("content_type", "text/plain; charset=utf-8"))
            return
        if mode == "moved":
            self.send_response(302)
            self.send_header("Location", b.get("body", ""))
            self.send_header("Content-Length", "0")
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            return
        if mode == "redirect":
            count = b.get("count", 0)
            if count <= 0:
                self.send_body(200, b"arrived", "text/plain")
                return
            self.send_response(302)
            self.send_header("Location", "/redirect/%d" % (count - 1))
            self.send_header("Content-Length", "0")
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            return
        if mode in ("big", "stream"):
            size = b.get("size", 0)
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            if mode == "big":
                self.send_header("Content-Length", str(size))
            self.send_header("Connection", "close")
            self.end_headers()
            chunk = b"x" * 65536
            sent = 0
            try:
                while sent < size:
                    n = min(len(chunk), size - sent)
                    self.wfile.write(chunk[:n])
                    sent += n
            except OSError:
                pass
            self.close_connection = True
            return
        if mode == "echo":
            self.send_body(200, body, "text/plain; charset=utf-8")
            return
        if mode == "charset":
            name = b.get("charset", "none")
            text = "caf\u00e9 \u20ac" if name.lower() not in ("iso-8859-1", "latin1") else "caf\u00e9"
            if name == "none":
                self.send_body(200, text.encode("utf-8"), "text/plain")
            else:
                self.send_body(200, text.encode(name), "text/plain; charset=\"%s\"" % name)
            return
        self.send_body(b.get("status", 200), b.get("body", "").encode("utf-8"),
                       b.get("content_type", "text/plain; charset=utf-8"))

    def send_body(self, status, data, content_type):
        try:
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(data)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(data)
        except OSError:
            pass
        self.close_connection = True

    def server_scheme(self):
        return "https" if isinstance(self.connection, ssl.SSLSocket) else "http"


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, tls, plain, reset_tls=None):
        self.tls = tls      # context, or None
        self.plain = plain  # plain HTTP accepted (alone, or beside TLS)
        # An Event: while it is set, a connection that opens with a TLS handshake is reset.
        self.reset_tls = reset_tls
        super().__init__(("127.0.0.1", port), Handler)

    def server_bind(self):
        # HTTPServer.server_bind looks the host name up, which can take long; nothing uses it.
        socketserver.TCPServer.server_bind(self)
        self.server_name = "127.0.0.1"
        self.server_port = self.server_address[1]

    def finish_request(self, request, client_address):
        # The TLS handshake runs here, on the connection's own thread, so that a client that
        # never finishes it cannot stall the listener.
        try:
            request.settimeout(30)
            use_tls = self.tls is not None
            if self.reset_tls is not None and self.reset_tls.is_set():
                if request.recv(1, socket.MSG_PEEK) == b"\x16":
                    reset(request)
                    return
            if use_tls and self.plain:
                first = request.recv(1, socket.MSG_PEEK)
                use_tls = first == b"\x16"
            if use_tls:
                request = self.tls.wrap_socket(request, server_side=True)
            request.settimeout(None)
        except (OSError, ssl.SSLError):
            try:
                request.close()
            except OSError:
                pass
            return
        try:
            super().finish_request(request, client_address)
        except (OSError, ssl.SSLError):
            pass

    def handle_error(self, request, client_address):
        pass


def reset(connection):
    """Ends the connection with a reset: SO_LINGER with zero time turns close() into one."""
    connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    connection.close()


def serve(server):
    threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1},
                     daemon=True).start()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--certdir", required=True)
    parser.add_argument("--dual-port", type=int, default=0)
    args = parser.parse_args()

    p = make_certificates(args.certdir)
    good = tls_context(p, "server")
    servers = {
        "http": Server(0, None, True),
        "https": Server(0, good, False),
        "dual": Server(args.dual_port, good, True, reset_tls=RESET_DUAL_TLS),
        "wronghost": Server(0, tls_context(p, "wronghost"), False),
        "selfsigned": Server(0, tls_context(p, "selfsigned"), False),
        "tlsreset": Server(0, None, True, reset_tls=ALWAYS),
    }
    for server in servers.values():
        serve(server)
    ready = {name: server.server_address[1] for name, server in servers.items()}
    ready["ca"] = p("ca.pem")
    print(json.dumps(ready), flush=True)

    for line in sys.stdin:
        line = line.strip()
        if not line:
            continue
        try:
            command = json.loads(line)
            name = command.get("cmd")
            if name == "set":
                path = command.pop("path")
                command.pop("cmd")
                with LOCK:
                    CONFIG[path] = command
                answer = {"ok": True}
            elif name == "requests":
                with LOCK:
                    answer = {"ok": True, "requests": list(REQUESTS)}
            elif name == "clear":
                with LOCK:
                    REQUESTS.clear()
                answer = {"ok": True}
            elif name == "tls" and command.get("mode") in ("reset", "serve"):
                if command["mode"] == "reset":
                    RESET_DUAL_TLS.set()
                else:
                    RESET_DUAL_TLS.clear()
                answer = {"ok": True}
            else:
                answer = {"ok": False, "error": "unknown command"}
        except (ValueError, KeyError, AttributeError) as error:
            answer = {"ok": False, "error": str(error)}
        print(json.dumps(answer), flush=True)

    # Connections still hanging or sleeping need no goodbye: the tests are over.
    STOP.set()
    sys.stdout.flush()
    os._exit(0)


if __name__ == "__main__":
    main()
