#!/usr/bin/env python3
"""A scripted stand-in for the mail service, on 127.0.0.1 and a port the system picks (printed
first), as strict as the service: GET / serves the home page of the mailbox "e2ebox7" and sets its
cookie; a POST to / (after --post-delay-ms) is a refresh or a mail-info request, answered as the
service answers its owner, anyone else, or a malformed form. With --mail ascii|chinese MEGABYTES,
the mailbox holds one mail of about that many megabytes on one line, whose size in bytes is
printed second. The other paths are the HTTP clients' cases, for GET and POST alike: /echo
answers with the request as received; /size/N with N bytes; the rest misbehave as their names
say. --log FILE records every request whole. The answers' texts are service_answers.txt's."""
import argparse
import http.server
import pathlib
import re
import socket
import struct
import sys
import threading
import time
import urllib.parse

ANSWERS = dict(line.split("\t", 1) for line in
               (pathlib.Path(__file__).parent / "service_answers.txt").read_text("utf-8").splitlines()
               if line and not line.startswith("#"))
MAILBOX, SID = "e2ebox7", "e2e0123456789abcdef0123456789abcdef01234"


def filled(which, /, **fields):
    """The answer `which` with each {field} filled in as it stands, in one pass."""
    return re.sub(r"\{(\w+)\}", lambda m: str(fields.get(m[1], m[0])), ANSWERS[which])


def answer_bytes(status_line, headers, body):
    head = "".join(f"{name}: {value}\r\n" for name, value in headers)
    return f"HTTP/1.1 {status_line}\r\n{head}Content-Length: {len(body)}\r\nConnection: close\r\n\r\n".encode() + body


# Answers that no well-behaved server sends: (bytes first, then what the connection does).
RAW = {
    "/hold": (b"", "hold"),
    "/trickle": (answer_bytes("200 OK", [], b" " * 1000), "trickle"),
    "/cut": (b"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort", "close"),
    "/reset": (b"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\npart", "reset"),
    "/garbage": (b"SMTP READY\r\n\r\n", "close"),
    "/huge-length": (b"HTTP/1.1 200 OK\r\nContent-Length: 10000000000\r\n\r\nxx", "hold"),
    "/chunks": (b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", "chunks"),
    "/gzip": (answer_bytes("200 OK", [("Content-Encoding", "gzip")], b"\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03"), "close"),
    "/long-header": (answer_bytes("200 OK", [("X-Big", "h" * 200 * 1024)], b"{}"), "close"),
    "/many-headers": (answer_bytes("200 OK", [(f"X-H{i}", "v") for i in range(10000)], b"{}"), "close"),
}

options = argparse.ArgumentParser()
options.add_argument("--log")
options.add_argument("--post-delay-ms", type=int, default=0)
options.add_argument("--mail", nargs=2, metavar=("ascii|chinese", "MEGABYTES"))
options = options.parse_args()
log_lock = threading.Lock()
MAILS = {}  # by MID: (sender, subject, content)
if options.mail:
    kind, megabytes = options.mail[0], float(options.mail[1])
    piece = "这是一封很长的单行邮件，用来测量查看窗口的速度。" if kind == "chinese" else "alpha beta gamma delta data test mail "
    MAILS["1"] = ("bench@example.test", "large", piece * int(megabytes * 1_000_000 // len(piece.encode())))


class StandIn(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def record(self, body):
        if not options.log:
            return
        with log_lock, open(options.log, "a", encoding="utf-8") as log:
            log.write(f"REQUEST {self.command} {self.path}\n")
            log.writelines(f"HEADER {name}: {value}\n" for name, value in self.headers.items())
            log.write(f"BODY {body.decode(errors='replace')}\nEND\n")

    def answer(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        try:
            self.wfile.write(body)
        except OSError:
            pass  # the client stopped reading, as it should past its limit

    def do_GET(self):
        self.serve(b"")

    def do_POST(self):
        self.serve(self.rfile.read(int(self.headers.get("Content-Length", 0))))

    def serve(self, body):
        self.record(body)
        if self.path in RAW:
            self.misbehave(*RAW[self.path])
        elif self.path == "/" and self.command == "GET":
            self.answer(200, filled("home_page", name=MAILBOX).encode(),
                        [("Set-Cookie", filled("cookie", sid=SID)), ("Content-Type", "text/html; charset=utf-8")])
        elif self.path == "/":
            time.sleep(options.post_delay_ms / 1000)
            self.answer(*self.form_answer(body))
        elif self.path == "/echo":
            head = "".join(f"{name}: {value}\r\n" for name, value in self.headers.items())
            self.answer(200, f"{self.requestline}\r\n{head}\r\n".encode("latin-1", "surrogateescape") + body)
        elif self.path.startswith("/size/"):
            self.answer(200, b"x" * int(self.path[6:]))
        elif self.path == "/redirect":
            self.answer(302, b"moved", [("Location", "/gbk")])
        elif self.path == "/gbk":
            self.answer(200, "你好，邮箱".encode("gbk"), [("Content-Type", "text/html; charset=GBK")])
        else:
            self.answer(404, b"missing", [("X-Mixed-Case", "Value"), ("Set-Cookie", "sid=a"), ("Set-Cookie", "sid=b")])

    def form_answer(self, body):
        """What the service answers a POST to /: (status, body, headers)."""
        form = {name: values[0] for name, values in urllib.parse.parse_qs(body.decode("utf-8", "replace")).items()}
        kind, name, arg = form.get("type"), form.get("data"), form.get("arg", "")
        owner = name == MAILBOX and f"sid={SID}" in self.headers.get("Cookie", "")
        json_type = [("Content-Type", "application/json; charset=utf-8")]
        if kind == "refresh" and name is not None:
            mails = ",".join(filled("mail", mid=mid, **{"from": sender}, subject=subject)
                             for mid, (sender, subject, _) in MAILS.items()) if owner else ""
            times = ("2026-12-09 10:00:00", "2026-12-09 10:10:00") if owner else ("", "")
            return 200, filled("refresh", user=name, status=int(owner), added=times[0], expires=times[1],
                               list=mails).encode(), json_type
        if kind == "mailinfo" and name is not None and arg.startswith("f="):
            mail = MAILS.get(arg[2:]) if owner else None
            answer = filled("mail_info", content=mail[2]) if mail else filled("no_mail_info")
            return 200, answer.encode(), json_type
        return 400, (filled("bad_request") + "\n").encode(), [("Content-Type", "text/plain; charset=utf-8")]

    def misbehave(self, first, then):
        self.close_connection = True
        connection = self.connection
        try:
            if then == "trickle":
                for byte in first:
                    connection.sendall(bytes([byte]))
                    time.sleep(0.04)
                return
            connection.sendall(first)
            if then == "hold":  # until the client leaves, 10 s at most
                connection.settimeout(10)
                connection.recv(1)
            elif then == "reset":
                connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            elif then == "chunks":  # until the client leaves, 1 GB at most
                chunk = b"1000\r\n" + b"z" * 0x1000 + b"\r\n"
                for _ in range(250000):
                    connection.sendall(chunk)
        except OSError:
            pass  # the client left, as it should


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), StandIn)
server.daemon_threads = True
# The port, and the mail's size in bytes if there is one, in one write.
print("\n".join(str(n) for n in [server.server_address[1]] + [len(m[2].encode()) for m in MAILS.values()]), flush=True)
sys.stdout.close()
server.serve_forever()
