#!/usr/bin/env python3
"""The local service keeps every mail that it answered 250 for.

1. Crashes: 16 SMTP senders deliver to 16 mailboxes while the service is killed with SIGKILL at
   random moments, 20 times, and started again on the same store each time. Afterwards every mail
   that got 250 is listed once in its mailbox, its content whole, and SQLite finds the store intact.
2. A full disk (as root): the store on a tmpfs of a few megabytes, in a mount namespace of this
   test's own. Deliveries past the space get 452, nothing stored before is lost, and delivery goes
   on once space is freed.
usage: durability_test.py DEVSERVER"""
import http.client
import os
import random
import re
import select
import shutil
import signal
import smtplib
import socket
import sqlite3
import subprocess
import sys
import tempfile
import threading
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
        import json
        status, _, body = self.request("POST", f"type=refresh&data={name}&arg=", sid)
        if status != 200:
            sys.exit(f"FAIL: refresh of {name}: {status}")
        return [(mail["SUBJECT"], mail["MID"]) for mail in json.loads(body)["data"][0]["list"]]

    def content(self, name, sid, mid):
        import json
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


def body_of(token):
    return f"the whole body of {token}: " + token * 20


def crashes(devserver):
    store = tempfile.mkdtemp(prefix="venmarra-durability-")
    service = Service(devserver, store)
    service.start()
    mailboxes = [service.new_mailbox() for _ in range(16)]
    accepted, lock, stop = [], threading.Lock(), threading.Event()

    def sender(number):
        for count in range(10 ** 6):
            if stop.is_set():
                return
            name, sid = mailboxes[(number + count) % len(mailboxes)]
            token = f"m{number}x{count}"
            if service.send(name, token, body_of(token)) == 250:
                with lock:
                    accepted.append((name, sid, token))

    senders = [threading.Thread(target=sender, args=(n,)) for n in range(16)]
    for thread in senders:
        thread.start()
    for _ in range(20):
        time.sleep(random.uniform(0.05, 0.4))
        service.kill()
        service.start()
    time.sleep(0.3)
    stop.set()
    for thread in senders:
        thread.join(WAIT * 3)
    service.kill()
    service.start()
    found = lost = 0
    for name, sid in mailboxes:
        listed = service.listed(name, sid)
        subjects = [subject for subject, _ in listed]
        for mail_box, _, token in accepted:
            if mail_box != name:
                continue
            if subjects.count(token) != 1:
                print(f"lost or doubled: {token} in {name} ({subjects.count(token)} times)")
                lost += 1
                continue
            mid = listed[subjects.index(token)][1]
            if service.content(name, sid, mid) != body_of(token) + "\n":
                print(f"damaged: {token} in {name}")
                lost += 1
                continue
            found += 1
    service.kill()
    check = sqlite3.connect(os.path.join(store, "mail.sqlite3")).execute("PRAGMA integrity_check").fetchone()[0]
    shutil.rmtree(store)
    print(f"crashes: 20 kills with 16 senders; accepted {len(accepted)}, found {found}, lost {lost}; "
          f"integrity_check {check}")
    if lost or not accepted or check != "ok":
        sys.exit("FAIL: a mail that got 250 was lost, or the store is damaged")


def full_disk(devserver):
    """In a mount namespace of its own: the store on a tmpfs that a filler nearly fills."""
    disk = tempfile.mkdtemp(prefix="venmarra-full-")
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4m", "tmpfs", disk], check=True)
    filler = os.path.join(disk, "filler")
    with open(filler, "wb") as fill:
        fill.write(b"\0" * (2 * 1024 * 1024 + 512 * 1024))
    service = Service(devserver, os.path.join(disk, "store"))
    service.start()
    name, sid = service.new_mailbox()
    replies, kept = [], []
    for count in range(60):
        token = f"full{count}"
        reply = service.send(name, token, body_of(token) + ("\r\n" + "x" * 76) * 1300)
        replies.append(reply)
        if reply == 250:
            kept.append(token)
        elif reply == 452 and replies.count(452) >= 3:
            break
    listed = [subject for subject, _ in service.listed(name, sid)]
    os.remove(filler)
    again = service.send(name, "after", "space again")
    service.kill()
    subprocess.run(["umount", disk], check=True)
    os.rmdir(disk)
    print(f"full disk: {len(kept)} accepted, then {[r for r in replies if r != 250]}; after freeing: {again}")
    if 452 not in replies or any(r not in (250, 452) for r in replies):
        sys.exit("FAIL: past the space a delivery did not get 452")
    if sorted(listed) != sorted(kept):
        sys.exit(f"FAIL: the store does not hold exactly the accepted mails: {listed} against {kept}")
    if again != 250:
        sys.exit("FAIL: delivery did not go on once space was freed")


def main():
    devserver = os.path.abspath(sys.argv[-1])
    if sys.argv[1] == "--full-disk":
        full_disk(devserver)
        return
    crashes(devserver)
    if os.geteuid() != 0 or not shutil.which("unshare"):
        print("1 passed, 0 failed, 1 skipped: the full disk needs root to mount a tmpfs")
        return
    inner = subprocess.run(["unshare", "-m", "--propagation", "private", sys.executable, __file__, "--full-disk",
                            devserver], timeout=120)
    if inner.returncode != 0:
        sys.exit("FAIL: the full disk")
    print("2 passed, 0 failed: crashes and a full disk")


main()
