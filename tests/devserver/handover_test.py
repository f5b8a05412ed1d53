#!/usr/bin/env python3
"""The local service started twice on the same two listening sockets, held here as systemd holds
them: handed over by name (http, smtp), the service stopped with SIGTERM in between. Both ports
must answer after each start: stopping lets go of a socket that was handed over, nothing more.
usage: handover_test.py DEVSERVER"""
import fcntl
import http.client
import os
import signal
import socket
import subprocess
import sys

WAIT = 10  # seconds for any one step


def listener():
    held = socket.create_server(("127.0.0.1", 0))
    # Above 4, so that placing the sockets at 3 and 4 in the child cannot overwrite one with the other.
    return held, fcntl.fcntl(held.fileno(), fcntl.F_DUPFD, 10)


def start(devserver, http_fd, smtp_fd):
    # LISTEN_PID must be the service's own: bash's $$ is the process that exec keeps.
    script = f'LISTEN_PID=$$ exec "$0" 3<&{http_fd} 4<&{smtp_fd} {http_fd}<&- {smtp_fd}<&-'
    env = dict(os.environ, LISTEN_FDS="2", LISTEN_FDNAMES="http:smtp")
    service = subprocess.Popen(["bash", "-c", script, devserver], env=env,
                               pass_fds=(http_fd, smtp_fd), stderr=subprocess.PIPE, text=True)
    line = service.stderr.readline()
    if "listening:" not in line or "handed over" not in line:
        service.kill()
        sys.exit(f"FAIL: the service did not take the sockets: {line!r}")
    return service


def answers(http_port, smtp_port, run):
    web = http.client.HTTPConnection("127.0.0.1", http_port, timeout=WAIT)
    try:
        web.request("GET", "/")
        reply = web.getresponse()
        if reply.status != 200 or "sid=" not in (reply.getheader("Set-Cookie") or ""):
            sys.exit(f"FAIL: start {run}: the home page answered {reply.status}")
    except OSError as error:
        sys.exit(f"FAIL: start {run}: HTTP does not answer: {error}")
    try:
        with socket.create_connection(("127.0.0.1", smtp_port), timeout=WAIT) as mail:
            greeting = mail.recv(512)
    except OSError as error:
        sys.exit(f"FAIL: start {run}: SMTP does not answer: {error}")
    if not greeting.startswith(b"220"):
        sys.exit(f"FAIL: start {run}: SMTP greeted with {greeting!r}")


def main():
    devserver = sys.argv[1]
    (http_socket, http_fd), (smtp_socket, smtp_fd) = listener(), listener()
    ports = http_socket.getsockname()[1], smtp_socket.getsockname()[1]
    for run in (1, 2):
        service = start(devserver, http_fd, smtp_fd)
        try:
            answers(*ports, run)
            service.send_signal(signal.SIGTERM)
            status = service.wait(WAIT)
        finally:
            service.kill()
            service.stderr.close()
        if status != 0:
            sys.exit(f"FAIL: start {run}: SIGTERM ended the service with status {status}")
    print("1 passed, 0 failed: both sockets answer after a stop and a second start")


main()
