#!/usr/bin/env python3
"""A mail service for measuring the program with a large mail, on 127.0.0.1 and a port the system
picks (printed first): GET / allocates the mailbox "bench" with a cookie, a refresh lists one mail,
and its mail-info answer holds a one-line content of about MEGABYTES MB of ASCII words or of
Chinese. usage: mail_service.py ascii|chinese MEGABYTES"""
import http.server
import json
import sys

kind, megabytes = sys.argv[1], int(sys.argv[2])
piece = "这是一封很长的单行邮件，用来测量查看窗口的速度。" if kind == "chinese" else "alpha beta gamma delta data test mail "
content = piece * (megabytes * 1_000_000 // len(piece.encode()))
MAIL_INFO = json.dumps({"data": [{"1": [{"DATA": [content]}]}]}, ensure_ascii=False).encode()
REFRESH = json.dumps({"data": [{"user": {"USER": "bench", "STATUS": 1, "ADDTIME": "t", "EXPIRETIME": "t"},
                                "list": [{"FROM": "bench@example.test", "SUBJECT": "large", "MID": "1"}]}]}).encode()
PAGE = b'<input id="converts" name="converts" type="text" value="bench" valid=\'{"minlength":3}\' />'


class Service(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        print(self.command, self.requestline, file=sys.stderr, flush=True)

    def send(self, body, cookie=False):
        self.send_response(200)
        self.send_header("Content-Type", "application/json; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        if cookie:
            self.send_header("Set-Cookie", "sid=bench0123456789abcdef0123456789abcdef01; Path=/")
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self.send(PAGE, cookie=True)

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        self.send(MAIL_INFO if b"type=mailinfo" in body else REFRESH)


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Service)
print(server.server_address[1], flush=True)
print(len(content.encode()), flush=True)
server.serve_forever()
