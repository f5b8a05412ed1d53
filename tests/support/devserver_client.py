"""The local service's program as its tests and benchmarks drive it: started on two ports of its
own and a store folder, again as often as asked, and spoken to as its clients speak: HTTP for
mailboxes and their mails, SMTP for delivery."""
import http.client
import json
import os
import re
import select
import smtplib
import socket
import subprocess
import sys
import time

WAIT = 10  # seconds for any one step
DOMAIN = "venmarra.test"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Service:
    """The service on two fixed ports and one store, started again as often as asked."""

    def __init__(self, devserver, store):
        self.devserver, self.store = devserver, store
        self.http, self.smtp = free_port(), free_port()
        self.process = None

    def start(self):
        self.process = subprocess.Popen(
            [self.devserver, "--quiet", "--http-port", str(self.http), "--smtp-port", str(self.smtp),
             "--store", self.store], stderr=subprocess.PIPE)
        deadline, heard = time.monotonic() + WAIT, b""
        while b"listening: " not in heard:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.process.stderr], [], [], left)[0]:
                sys.exit(f"FAIL: the service did not start: {heard!r}")
            piece = os.read(self.process.stderr.fileno(), 4096)
            if not piece:
                sys.exit(f"FAIL: the service ended at its start: {heard!r}")
            heard += piece

    def kill(self):
        self.process.kill()
        self.process.wait(WAIT)
        self.process.stderr.close()

    def request(self, method, body=None, cookie=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.http, timeout=WAIT)
        headers = {"Content-Type": "application/x-www-form-urlencoded"} if body else {}
        if cookie:
            headers["Cookie"] = "sid=" + cookie
        connection.request(method, "/", body=body, headers=headers)
        answer = connection.getresponse()
        result = answer.status, answer.getheader("Set-Cookie") or "", answer.read().decode()
        connection.close()
        return result

    def new_mailbox(self):
        status, cookie, page = self.request("GET")
        name = re.search(r'type="text" value="([a-z0-9]+)"', page)
        sid = re.match(r"sid=([A-Za-z0-9]+)", cookie)
        if status != 200 or not name or not sid:
            sys.exit(f"FAIL: no mailbox: {status} {cookie} {page[:200]}")
        return name.group(1), sid.group(1)

    def listed(self, name, sid):
        """The subjects and identifiers of the mailbox's mails, newest first."""
        status, _, body = self.request("POST", f"type=refresh&data={name}&arg=", sid)
        if status != 200:
            sys.exit(f"FAIL: refresh of {name}: {status}")
        return [(mail["SUBJECT"], mail["MID"]) for mail in json.loads(body)["data"][0]["list"]]

    def content(self, name, sid, mid):
        status, _, body = self.request("POST", f"type=mailinfo&data={name}&arg=f%3D{mid}", sid)
        return json.loads(body)["data"][0]["1"][0]["DATA"][0] if status == 200 else None

    def send(self, name, subject, body):
        """The SMTP server's reply code for the mail; 0 when no reply came."""
        try:
            with smtplib.SMTP("127.0.0.1", self.smtp, timeout=WAIT) as client:
                message = f"From: sender@example.test\r\nSubject: {subject}\r\n\r\n{body}\r\n"
                client.sendmail("sender@example.test", [f"{name}@{DOMAIN}"], message)
                return 250
        except smtplib.SMTPRecipientsRefused as refused:
            return next(iter(refused.recipients.values()))[0]
        except smtplib.SMTPResponseException as refused:
            return refused.smtp_code
        except (OSError, smtplib.SMTPException):
            return 0


