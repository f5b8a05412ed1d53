#!/usr/bin/env python3
"""Answers for the Windows HTTP client's tests, on 127.0.0.1 and a port the system picks (printed
first): a redirect, an answer past the size limit, a GBK page, an error status with cookies."""
import http.server
import sys


class Answers(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def answer(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if self.path == "/redirect":
            self.answer(302, b"moved", [("Location", "/gbk")])
        elif self.path == "/big":
            size = 64 * 1024 * 1024 + 1
            self.send_response(200)
            self.send_header("Content-Length", str(size))
            self.end_headers()
            chunk = b"x" * 65536
            try:
                for _ in range(size // len(chunk) + 1):
                    self.wfile.write(chunk)
            except OSError:
                pass  # the client stopped reading, as it should
        elif self.path == "/gbk":
            self.answer(200, "你好，邮箱".encode("gbk"), [("Content-Type", "text/html; charset=GBK")])
        else:
            self.answer(404, b"missing", [("Set-Cookie", "sid=a"), ("Set-Cookie", "sid=b")])


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Answers)
print(server.server_address[1], flush=True)
sys.stdout.close()
server.serve_forever()
