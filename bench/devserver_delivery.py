#!/usr/bin/env python3
"""The local service's delivery, as make bench reports it: mails a second with 16 concurrent SMTP
senders and the 99th percentile of the time to the 250, with the store on disk (durable) and on a
tmpfs (the same code with no disk under it) in one run; then the service's memory once 200 MB of
mail is stored. Prints the rows of docs/PERFORMANCE.md's table.
usage: devserver_delivery.py DEVSERVER"""
import os
import shutil
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from devserver_client import Service  # noqa: E402

SENDERS = 16
MAILS_EACH = 60


def body(kilobytes):
    return "\r\n".join(["x" * 76] * (kilobytes * 1024 // 78))


def deliveries(devserver, folder):
    """Mails a second and the 99th percentile of the time to the 250, in ms."""
    service = Service(devserver, folder)
    service.start()
    mailboxes = [service.new_mailbox() for _ in range(SENDERS)]
    times, refused, lock = [], [], threading.Lock()

    def sender(number):
        name = mailboxes[number][0]
        for count in range(MAILS_EACH):
            began = time.monotonic()
            reply = service.send(name, f"bench {number} {count}", "a short mail\r\nof two lines")
            with lock:
                (times if reply == 250 else refused).append(time.monotonic() - began)

    began = time.monotonic()
    threads = [threading.Thread(target=sender, args=(n,)) for n in range(SENDERS)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    elapsed = time.monotonic() - began
    service.kill()
    if refused:
        sys.exit(f"{len(refused)} deliveries refused")
    times.sort()
    return len(times) / elapsed, 1000 * times[int(0.99 * (len(times) - 1))]


def memory_with_stored(devserver, folder, megabytes):
    """The service's resident and peak memory (MB) once `megabytes` of mail are stored."""
    service = Service(devserver, folder)
    service.start()
    per_mail = 100
    mails = megabytes * 1024 // per_mail
    mailboxes = [service.new_mailbox() for _ in range((mails + 99) // 100)]
    text = body(per_mail)

    def sender(number):
        for index in range(number, mails, SENDERS):
            name = mailboxes[index // 100][0]
            if service.send(name, f"stored {index}", text) != 250:
                sys.exit(f"mail {index} refused")

    threads = [threading.Thread(target=sender, args=(n,)) for n in range(SENDERS)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    name, sid = mailboxes[0]
    service.listed(name, sid)
    status = open(f"/proc/{service.process.pid}/status").read()
    field = lambda key: int(next(line.split()[1] for line in status.splitlines() if line.startswith(key))) / 1024
    service.kill()
    return field("VmRSS:"), field("VmHWM:")


def main():
    devserver = sys.argv[1]
    disk = tempfile.mkdtemp(prefix="venmarra-bench-", dir="/var/tmp")
    memory = tempfile.mkdtemp(prefix="venmarra-bench-", dir="/dev/shm")
    try:
        durable, durable_p99 = deliveries(devserver, os.path.join(disk, "a"))
        in_memory, memory_p99 = deliveries(devserver, os.path.join(memory, "a"))
        resident, peak = memory_with_stored(devserver, os.path.join(disk, "b"), 200)
    finally:
        shutil.rmtree(disk)
        shutil.rmtree(memory)
    met = lambda ok: "met" if ok else "**missed**"
    print(f"| 10. local service: mails a second, {SENDERS} concurrent SMTP senders, store on disk / on a tmpfs "
          f"| {durable:.0f} / {in_memory:.0f} | — | ≥ 250 on disk | {met(durable >= 250)} |")
    print(f"| 11. local service: 99th percentile of the time to the 250, on disk / on a tmpfs (ms) "
          f"| {durable_p99:.1f} / {memory_p99:.1f} | — | < 100 on disk | {met(durable_p99 < 100)} |")
    print(f"| 12. local service: resident / peak memory with 200 MB of mail stored (MB) "
          f"| {resident:.0f} / {peak:.0f} | — | ≤ 64 resident | {met(resident <= 64)} |")


main()
