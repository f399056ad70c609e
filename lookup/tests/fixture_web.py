#!/usr/bin/python3
"""Local stand-in for the outside web sites the lookups read.

Binds 127.0.0.1 on an ephemeral port (or --port) and prints the port as the
first line of stdout. It answers both as a plain server and as an HTTP proxy:

  direct (the hosts in the settings are "127.0.0.1:PORT"):
    /whois/<domain>/           WHOIS page of <domain>
    /s?wd=site:<domain>        search results for <domain>
    /site/<domain>/            home page of <domain>
  proxy (request line with an absolute URL, Host naming the real site):
    whois.aizhan.com/<domain>/ WHOIS page      (--whois-host to change)
    www.baidu.com/s?wd=site:.. search results  (--baidu-host to change)
    any other host             that host's home page
    a host ending in .invalid  connection closed without an answer
  under either form:
    /__404        status 404 with a body
    /__redirect   302 to /__redirected (same host)
    /__nul        the 7 bytes abc NUL def
    /__big?mb=N   a page of N megabytes (default 4), a title first and the
                  marker END-OF-BIG-PAGE last
    /__hang       the request is read, nothing is answered, and the
                  connection is closed after --hang-seconds (default 5)
    /__requests   JSON list of the last requests: method, target and the
                  headers in the order they arrived
    /__open       JSON list of the targets whose answer is still being sent
                  (a connection the client has not let go of)
    /__hops/<n>   302 to /__hops/<n-1>, and at 0 the page of /__redirected
                  (so n redirects)
    /__gzip       the full.example WHOIS page, gzip-compressed, sent with
                  Content-Encoding: gzip
    /__gzipbomb?mb=N  N megabytes of zeros (default 16) compressed to a few
                  kilobytes, sent with Content-Encoding: gzip
    /__quit       stops the server
  RDAP (direct form only; see the RDAP block below):
    /rdap/dns.json            a bootstrap file: "example" served by this server
    /rdap/domain/<domain>     fixtures/rdap/<domain>.json as application/rdap+json,
                              404 with an empty body when there is none; and
                              limited.example   429, Retry-After: 120, JSON error body
                              html.example      200 with an HTML page
                              failing.example   503 with a JSON error body
    /rdap/hops/<n>            302 to /rdap/hops/<n-1>, and at 0 the domain
                              object of thin.example (redirect limits)
    /rdap/loop                302 to itself

A misbehaving web (see the HOSTILE block): a domain named <kind>.hostile is
answered on every page (WHOIS, search, site) as <kind> says:
    big       a 10 MB page of filler
    badutf8   the full.example WHOIS page, declared UTF-8, with invalid
              UTF-8 sequences spread through it
    binary    64 KB of fixed random bytes
    loop      a redirect to the same address, for ever
    drip      one byte a second (the client gives up first)
    reset     half a page, then the connection reset

Pages are the files under fixtures/<kind>/<domain>.html (UTF-8, served as
they are) or <domain>.gbk.html (kept in UTF-8 here, served as GBK bytes). An
unknown page is answered with 404 and fixtures/special/404.html.

The server ends by itself after --max-seconds (default 600), on SIGTERM or
SIGINT, and on /__quit.
"""

import argparse
import io
import gzip
import json
import os
import random
import signal
import socket
import socketserver
import struct
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import unquote, urlsplit

FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")
MAX_LOGGED = 50


def load_page(kind, name):
    """Bytes of a fixture page, or None when there is none."""
    if not name or "/" in name or "\\" in name or name.startswith("."):
        return None
    base = os.path.join(FIXTURES, kind, name)
    for suffix, encoding in ((".html", None), (".gbk.html", "gbk")):
        path = base + suffix
        if os.path.isfile(path):
            with open(path, "rb") as f:
                data = f.read()
            if encoding:
                data = data.decode("utf-8").encode(encoding)
            return data
    return None


def big_page(megabytes):
    head = "<html><head><title>Big fixture page</title></head><body>\n".encode("ascii")
    tail = b"\nEND-OF-BIG-PAGE</body></html>\n"
    line = ("<p>填充内容 filler line for the big page 0123456789</p>\n").encode("gbk")
    size = max(1, megabytes) * 1024 * 1024
    body = bytearray(head)
    while len(body) + len(line) + len(tail) <= size:
        body += line
    body += b" " * (size - len(body) - len(tail))
    body += tail
    return bytes(body)


_BOMBS = {}


def gzip_bomb(megabytes):
    """Zeros of `megabytes` MB, gzip-compressed (about 1 KB a megabyte)."""
    if megabytes not in _BOMBS:
        zeros = bytes(1024 * 1024)
        out = io.BytesIO()
        with gzip.GzipFile(fileobj=out, mode="wb", compresslevel=9) as f:
            for _ in range(megabytes):
                f.write(zeros)
        _BOMBS[megabytes] = out.getvalue()
    return _BOMBS[megabytes]


def site_query_domain(query):
    """The domain of a query wd=site:<domain>, or None."""
    for part in query.split("&"):
        key, _, value = part.partition("=")
        if key == "wd":
            value = unquote(value)
            if value.lower().startswith("site:"):
                return value[5:]
    return None


# ---- RDAP routes -----------------------------------------------------------
# Kept in one block: the bootstrap names this server's own /rdap/ as the
# service of "example", so names like thin.example resolve here.

RDAP_JSON = "application/rdap+json"


def rdap_route(handler, path, host):
    """Answers an /rdap/ request; False when the path is not one."""
    if not path.startswith("/rdap/"):
        return False
    rest = path[len("/rdap/"):]
    if rest == "dns.json":
        # The program refuses a base at a literal loopback address, so the
        # server is named by its host name.
        port = handler.server.server_address[1]
        if not host or host.startswith("127.0.0.1"):
            host = "localhost:%d" % port
        base = "http://%s/rdap/" % host
        body = json.dumps({
            "version": "1.0",
            "publication": "2026-01-30T00:00:01Z",
            "description": "Fixture RDAP bootstrap",
            "services": [[["example"], [base]], [["invalid"], ["http://localhost:9/rdap/"]]],
        }).encode("ascii")
        handler.reply(200, body, "application/json")
        return True
    if rest == "loop":
        return rdap_redirect(handler, "/rdap/loop")
    if rest.startswith("hops/"):
        hops = rest[len("hops/"):]
        if not hops.isdigit():
            return False
        if int(hops) > 0:
            return rdap_redirect(handler, "/rdap/hops/%d" % (int(hops) - 1))
        handler.reply(200, load_rdap("thin.example"), RDAP_JSON)
        return True
    if not rest.startswith("domain/"):
        return False
    name = rest[len("domain/"):].lower()
    if name == "limited.example":
        error = json.dumps({"errorCode": 429, "title": "Too Many Requests"}).encode("ascii")
        handler.reply(429, error, RDAP_JSON, [("Retry-After", "120")])
    elif name == "html.example":
        handler.reply(200, b"<html><body>Please enable JavaScript</body></html>", "text/html")
    elif name == "failing.example":
        handler.reply(503, json.dumps({"errorCode": 503}).encode("ascii"), RDAP_JSON)
    else:
        data = load_rdap(name)
        if data is None:
            handler.reply(404, b"", RDAP_JSON)
        else:
            handler.reply(200, data, RDAP_JSON)
    return True


def rdap_redirect(handler, location):
    handler.send_response(302)
    handler.send_header("Location", location)
    handler.send_header("Content-Type", "text/html")
    handler.send_header("Content-Length", "0")
    handler.send_header("Connection", "close")
    handler.end_headers()
    return True


def load_rdap(name):
    if not name or "/" in name or "\\" in name or name.startswith("."):
        return None
    path = os.path.join(FIXTURES, "rdap", name + ".json")
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        return f.read()

# ---- end of RDAP routes ----------------------------------------------------


class Handler(BaseHTTPRequestHandler):
    server_version = "FixtureWeb/1.0"
    protocol_version = "HTTP/1.0"

    def log_message(self, format, *args):  # keep stdout for the port line
        pass

    # One handler for every method: the fetcher only sends GET, but a stray
    # POST or HEAD must not hang a test.
    def do_GET(self):
        self.server.record(self)
        self.server.opened(self.path)
        try:
            return self.route()
        finally:
            self.server.closed(self.path)

    def route(self):
        target = self.path
        if "://" in target:
            parts = urlsplit(target)
            host = parts.netloc
            path = parts.path or "/"
            query = parts.query
        else:
            host = self.headers.get("Host", "")
            path, _, query = target.partition("?")
        proxied = not self.server.is_own_host(host)
        host_name = host.split(":")[0].lower()

        if path.startswith("/__"):
            return self.special(path, query, host, proxied)
        if proxied:
            if host_name.endswith(".invalid"):
                self.close_connection = True
                return
            if host_name == self.server.whois_host:
                return self.page("whois", path.strip("/"))
            if host_name == self.server.baidu_host and path == "/s":
                return self.page("baidu", site_query_domain(query))
            return self.page("site", host_name)
        if rdap_route(self, path, host):
            return
        if path.startswith("/whois/"):
            return self.page("whois", path[len("/whois/"):].strip("/"))
        if path == "/s":
            return self.page("baidu", site_query_domain(query))
        if path.startswith("/site/"):
            return self.page("site", path[len("/site/"):].strip("/"))
        return self.not_found()

    do_POST = do_GET
    do_HEAD = do_GET

    def special(self, path, query, host, proxied):
        if path == "/__404":
            return self.not_found()
        if path == "/__redirect":
            location = "/__redirected"
            if proxied:
                location = "http://" + host + location
            self.send_response(302)
            self.send_header("Location", location)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if path == "/__redirected":
            return self.reply(200, load_page("special", "redirected"))
        if path == "/__nul":
            return self.reply(200, b"abc\0def", "application/octet-stream")
        if path == "/__big":
            mb = 4
            for part in query.split("&"):
                key, _, value = part.partition("=")
                if key == "mb" and value.isdigit():
                    mb = min(int(value), 64)
            return self.reply(200, big_page(mb))
        if path == "/__hang":
            time.sleep(self.server.hang_seconds)
            self.close_connection = True
            return
        if path == "/__requests":
            body = json.dumps(self.server.logged(), ensure_ascii=False).encode("utf-8")
            return self.reply(200, body, "application/json; charset=utf-8")
        if path == "/__open":
            body = json.dumps(self.server.open_targets(), ensure_ascii=False).encode("utf-8")
            return self.reply(200, body, "application/json; charset=utf-8")
        if path.startswith("/__hops/") and path[len("/__hops/"):].isdigit():
            hops = int(path[len("/__hops/"):])
            if hops == 0:
                return self.reply(200, load_page("special", "redirected"))
            location = "/__hops/%d" % (hops - 1)
            if proxied:
                location = "http://" + host + location
            self.send_response(302)
            self.send_header("Location", location)
            self.send_header("Content-Length", "0")
            self.send_header("Connection", "close")
            self.end_headers()
            return
        if path == "/__gzip":
            return self.reply(200, gzip.compress(load_page("whois", "full.example")), "text/html",
                              [("Content-Encoding", "gzip")])
        if path == "/__gzipbomb":
            mb = 16
            for part in query.split("&"):
                key, _, value = part.partition("=")
                if key == "mb" and value.isdigit():
                    mb = min(int(value), 1024)
            return self.reply(200, gzip_bomb(mb), "text/html", [("Content-Encoding", "gzip")])
        if path == "/__quit":
            self.reply(200, b"bye")
            self.server.stop_event.set()
            return
        return self.not_found()

    def page(self, kind, name):
        if hostile_kind(name):
            return hostile_reply(self, hostile_kind(name))
        data = load_page(kind, name)
        if data is None:
            return self.not_found()
        return self.reply(200, data)

    def not_found(self):
        self.reply(404, load_page("special", "404"))

    def reply(self, status, body, content_type="text/html", extra_headers=()):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        for name, value in extra_headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        if self.command != "HEAD":
            try:
                self.wfile.write(body)
            except OSError:
                pass  # the client let go first (a body past its cap)


# ---- HOSTILE: pages that misbehave, for the lookups' fault tests ---------

HOSTILE_SUFFIX = ".hostile"


def hostile_kind(name):
    """The <kind> of a domain named <kind>.hostile, or None."""
    if name and name.lower().endswith(HOSTILE_SUFFIX):
        return name[: -len(HOSTILE_SUFFIX)].lower()
    return None


def hostile_bad_utf8():
    page = load_page("whois", "full.example")
    bad = b"\xff\xfe\xc0\x80\xed\xa0\x80\xe4\xb8"
    # Broken sequences before every tag, and an unfinished one at the very end.
    return page.replace(b"<", bad + b"<") + b"\xe4"


def hostile_binary():
    rng = random.Random(11)
    return bytes(rng.getrandbits(8) for _ in range(64 * 1024))


def hostile_reply(handler, kind):
    if kind == "big":
        return handler.reply(200, big_page(10))
    if kind == "badutf8":
        return handler.reply(200, hostile_bad_utf8(), "text/html; charset=utf-8")
    if kind == "binary":
        return handler.reply(200, hostile_binary(), "application/octet-stream")
    if kind == "loop":
        handler.send_response(302)
        handler.send_header("Location", handler.path)
        handler.send_header("Content-Length", "0")
        handler.end_headers()
        return
    if kind == "drip":
        handler.send_response(200)
        handler.send_header("Content-Type", "text/html")
        handler.send_header("Content-Length", "600")
        handler.end_headers()
        try:
            for _ in range(600):
                handler.wfile.write(b"x")
                handler.wfile.flush()
                time.sleep(1)
        except OSError:
            pass  # the client gave up
        handler.close_connection = True
        return
    if kind == "reset":
        body = load_page("whois", "full.example")
        handler.send_response(200)
        handler.send_header("Content-Type", "text/html")
        handler.send_header("Content-Length", str(len(body)))
        handler.end_headers()
        handler.wfile.write(body[: len(body) // 2])
        handler.wfile.flush()
        # Closing with a zero linger time sends a reset instead of a FIN.
        handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        handler.connection.close()
        handler.close_connection = True
        return
    return handler.not_found()


# ---- end of HOSTILE -------------------------------------------------------


class FixtureServer(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, args):
        super().__init__(address, Handler)
        self.whois_host = args.whois_host.lower()
        self.baidu_host = args.baidu_host.lower()
        self.hang_seconds = args.hang_seconds
        self.stop_event = threading.Event()  # set by /__quit
        self._log = []
        self._log_lock = threading.Lock()
        self._open = []

    def is_own_host(self, host):
        if not host:
            return True
        name, _, port = host.partition(":")
        if port and port != str(self.server_address[1]):
            return False
        return name.lower() in ("127.0.0.1", "localhost")

    def record(self, handler):
        entry = {
            "method": handler.command,
            "target": handler.path,
            "headers": [[k, v] for k, v in handler.headers.items()],
            "time": time.time(),
        }
        with self._log_lock:
            if not handler.path.startswith("/__requests") and not handler.path.endswith("/__requests"):
                self._log.append(entry)
                del self._log[:-MAX_LOGGED]

    def logged(self):
        with self._log_lock:
            return list(self._log)

    def opened(self, target):
        with self._log_lock:
            self._open.append(target)

    def closed(self, target):
        with self._log_lock:
            self._open.remove(target)

    def open_targets(self):
        with self._log_lock:
            return [t for t in self._open if not t.endswith("/__open")]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--max-seconds", type=float, default=600)
    parser.add_argument("--hang-seconds", type=float, default=5)
    parser.add_argument("--whois-host", default="whois.aizhan.com")
    parser.add_argument("--baidu-host", default="www.baidu.com")
    args = parser.parse_args()

    server = FixtureServer(("127.0.0.1", args.port), args)
    signalled = []
    signal.signal(signal.SIGTERM, lambda *_: signalled.append(1))
    signal.signal(signal.SIGINT, lambda *_: signalled.append(1))

    thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
    thread.start()
    print(server.server_address[1], flush=True)

    # Polled rather than blocking on the event, so a signal handler never
    # runs inside the event's own lock.
    deadline = time.monotonic() + args.max_seconds
    while not signalled and not server.stop_event.is_set() and time.monotonic() < deadline:
        time.sleep(0.1)
    server.shutdown()
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
