#!/usr/bin/env python3
"""The local service keeps every mail that it answered 250 for.

1. Crashes: 16 SMTP senders deliver to 16 mailboxes while the service is killed with SIGKILL at
   random moments, 20 times, and started again on the same store each time. Afterwards every mail
   that got 250 is listed once in its mailbox, its content whole, and SQLite finds the store intact.
2. A full disk (as root): the store on a tmpfs of a few megabytes, in a mount namespace of this
   test's own. Deliveries past the space get 452, nothing stored before is lost, and delivery goes
   on once space is freed.
usage: durability_test.py DEVSERVER"""
import os
import random
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from devserver_client import WAIT, Service  # noqa: E402


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
