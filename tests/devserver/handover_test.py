#!/usr/bin/env python3
"""The local service started twice on the same two listening sockets, held here as systemd holds
them and handed over by name (http, smtp), with SIGTERM in between: both answer after each start,
since a stop lets go of a socket that was handed over and does nothing more to it.
usage: handover_test.py DEVSERVER"""
import fcntl
import http.client
import os
import select
import signal
import socket
import subprocess
import sys
import tempfile
import time

WAIT = 10  # seconds for any one step
STORE = tempfile.mkdtemp(prefix="venmarra-store-")  # both starts keep their mail here


def start(devserver, fds):
    # LISTEN_PID must be the service's own: bash's $$ is the process that exec keeps.
    moves = f"3<&{fds[0]} 4<&{fds[1]} {fds[0]}<&- {fds[1]}<&-"
    return subprocess.Popen(["bash", "-c", f'LISTEN_PID=$$ exec "$0" --store "$1" {moves}', devserver, STORE],
                            pass_fds=fds,
                            env=dict(os.environ, LISTEN_FDS="2", LISTEN_FDNAMES="http:smtp"),
                            stderr=subprocess.PIPE)


def first_line(stream, seconds):
    """The first line that `stream` gives within `seconds`, or what came by then."""
    deadline, heard = time.monotonic() + seconds, b""
    while b"\n" not in heard:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([stream], [], [], left)[0]:
            break
        piece = os.read(stream.fileno(), 4096)
        if not piece:
            break
        heard += piece
    return heard.split(b"\n")[0].decode(errors="replace")


def check(service, http_port, smtp_port):
    line = first_line(service.stderr, WAIT)
    if "handed over" not in line:
        return f"the service did not say within {WAIT} s that it took the sockets: {line!r}"
    try:
        web = http.client.HTTPConnection("127.0.0.1", http_port, timeout=WAIT)
        web.request("GET", "/")
        if "sid=" not in (web.getresponse().getheader("Set-Cookie") or ""):
            return "the home page set no cookie"
        with socket.create_connection(("127.0.0.1", smtp_port), timeout=WAIT) as mail:
            if not mail.recv(512).startswith(b"220"):
                return "SMTP did not greet"
    except OSError as error:
        return f"no answer: {error}"
    service.send_signal(signal.SIGTERM)
    return None if service.wait(WAIT) == 0 else "SIGTERM did not end the service cleanly"


def main():
    held = [socket.create_server(("127.0.0.1", 0)) for _ in range(2)]
    # Above 4, so that placing them at 3 and 4 in the child cannot overwrite one with the other.
    fds = tuple(fcntl.fcntl(s.fileno(), fcntl.F_DUPFD, 10) for s in held)
    for run in (1, 2):
        service = start(sys.argv[1], fds)
        try:
            problem = check(service, *(s.getsockname()[1] for s in held))
        finally:
            service.kill()
            service.stderr.close()
        if problem:
            sys.exit(f"FAIL: start {run}: {problem}")
    print("1 passed, 0 failed: both sockets answer after a stop and a second start")


main()
