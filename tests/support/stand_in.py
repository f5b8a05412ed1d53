#!/usr/bin/env python3
"""A scripted stand-in for the mail service, on 127.0.0.1 and a port the system picks (printed
first). GET / serves the home page with a mailbox name (none with --no-name) and sets the cookie;
a POST gets "{}" after --post-delay-ms. Other paths are the HTTP client's edge cases: a redirect,
an answer past 64 MiB, a GBK page, an error with two cookies. --log FILE records every request
whole."""
import argparse
import http.server
import sys
import threading
import time

COOKIE = "sid=e2e0123456789abcdef0123456789abcdef01234; Path=/; HttpOnly"

options = argparse.ArgumentParser()
options.add_argument("--log")
options.add_argument("--no-name", action="store_true")
options.add_argument("--post-delay-ms", type=int, default=0)
options = options.parse_args()
log_lock = threading.Lock()


class StandIn(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def record(self, body=""):
        if not options.log:
            return
        with log_lock, open(options.log, "a", encoding="utf-8") as log:
            log.write(f"REQUEST {self.command} {self.path}\n")
            log.writelines(f"HEADER {name}: {value}\n" for name, value in self.headers.items())
            log.write(f"BODY {body}\nEND\n")

    def answer(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self.record()
        if self.path == "/":
            name = "" if options.no_name else "e2ebox7"
            page = f'<html><body><input id="converts" name="converts" type="text" value="{name}" valid=\'{{"minlength":3}}\' /></body></html>'
            self.answer(200, page.encode(), [("Set-Cookie", COOKIE), ("Content-Type", "text/html; charset=utf-8")])
        elif self.path == "/redirect":
            self.answer(302, b"moved", [("Location", "/gbk")])
        elif self.path == "/big":
            self.send_big_answer(64 * 1024 * 1024 + 1)
        elif self.path == "/gbk":
            self.answer(200, "你好，邮箱".encode("gbk"), [("Content-Type", "text/html; charset=GBK")])
        else:
            self.answer(404, b"missing", [("Set-Cookie", "sid=a"), ("Set-Cookie", "sid=b")])

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0))).decode()
        self.record(body)
        time.sleep(options.post_delay_ms / 1000)
        self.answer(200, b"{}", [("Content-Type", "application/json")])

    def send_big_answer(self, size):
        self.send_response(200)
        self.send_header("Content-Length", str(size))
        self.end_headers()
        chunk = b"x" * 65536
        try:
            for _ in range(size // len(chunk) + 1):
                self.wfile.write(chunk)
        except OSError:
            pass  # the client stopped reading, as it should


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), StandIn)
print(server.server_address[1], flush=True)
sys.stdout.close()
server.serve_forever()
