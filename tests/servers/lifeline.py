"""Start-up and lifetime of the test servers.

A test server writes "<service port> <lifeline port>" into <control>/ports
once it listens.  The test then connects to the lifeline port and keeps
that connection open for as long as it needs the server.  When the
connection closes (the test ended, failed or crashed: the system closes its
sockets) the server writes <control>/stopped and exits at once, so it never
outlives its test.  A server that nobody connects to within a minute exits
as well.
"""
import argparse
import logging
import os
import socket
import sys
import threading

ACCEPT_TIMEOUT = 60


def arguments(description):
    p = argparse.ArgumentParser(description=description)
    p.add_argument("--root", required=True, help="folder served")
    p.add_argument("--control", required=True, help="folder for ports, logs and stop marker")
    return p


def setup_logging(control):
    # The server runs detached from the test's console: its output goes to
    # a log the test shows when something goes wrong.
    log = open(os.path.join(control, "server.log"), "a", buffering=1)
    sys.stdout = sys.stderr = log
    logging.basicConfig(stream=log, level=logging.INFO,
                        format="%(asctime)s %(levelname)s %(message)s")


def _stop(control):
    try:
        with open(os.path.join(control, "stopped"), "w") as f:
            f.write("stopped\n")
    finally:
        os._exit(0)


def _watch(listener, control):
    listener.settimeout(ACCEPT_TIMEOUT)
    try:
        conn, _ = listener.accept()
    except OSError:
        logging.error("no lifeline connection within %d s", ACCEPT_TIMEOUT)
        _stop(control)
    listener.close()
    conn.settimeout(None)
    try:
        while conn.recv(256):
            pass
    except OSError:
        pass
    logging.info("lifeline closed: stopping")
    _stop(control)


def announce(control, service_port):
    """Publishes the ports and starts watching the lifeline."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    lifeline_port = listener.getsockname()[1]
    threading.Thread(target=_watch, args=(listener, control), daemon=True).start()
    tmp = os.path.join(control, "ports.tmp")
    with open(tmp, "w") as f:
        f.write("%d %d\n" % (service_port, lifeline_port))
    os.replace(tmp, os.path.join(control, "ports"))
    logging.info("listening on %d, lifeline %d", service_port, lifeline_port)
