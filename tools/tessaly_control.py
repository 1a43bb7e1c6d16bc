#!/usr/bin/env python3
"""Drives a running Tessaly through its control socket (Python 3 standard library only).

Tessaly opens the socket when started with --control or from "Preferences / Control Socket";
the message log and the status bar show its path.

As a program:
    tessaly_control.py [--socket PATH] COMMAND [NAME=VALUE ...]
        sends one request and prints the reply; a VALUE is read as JSON when it is JSON
        (40, ["/dev/pts/5","/dev/pts/6"], true) and as text otherwise. The exit status is 1
        when the reply is not ok.
    tessaly_control.py [--socket PATH] --events
        subscribes and prints every event line (data rows, readings) until interrupted.

As a module:
    from tessaly_control import Tessaly
    with Tessaly() as tessaly:
        tessaly.call("setpoint", ports=["/dev/pts/6"], percent=40)
"""
import collections
import json
import os
import pwd
import socket
import sys

SOCKET_NAME = "tessaly-control.sock"


def default_socket_path():
    """Where Tessaly opens its socket: the user's runtime folder, as Qt finds it."""
    runtime = os.environ.get("XDG_RUNTIME_DIR") or "/tmp/runtime-" + pwd.getpwuid(os.getuid()).pw_name
    return os.path.join(runtime, SOCKET_NAME)


class TessalyError(Exception):
    """A request the window refused; the text is what the operator would have been shown."""


class Tessaly:
    """One connection to the control socket. Requests are answered in order, one at a time."""

    def __init__(self, path=None, timeout=300):
        self._socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self._socket.settimeout(timeout)
        self._socket.connect(path or default_socket_path())
        self._lines = self._socket.makefile("rb")
        self._next_id = 1
        self.events = collections.deque()  # events that arrived while waiting for a reply

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        self._lines.close()
        self._socket.close()

    def _read(self):
        line = self._lines.readline()
        if not line:
            raise ConnectionError("Tessaly closed the control socket")
        return json.loads(line)

    def request(self, command, **args):
        """Sends a request and returns its reply, ok or not."""
        request_id = self._next_id
        self._next_id += 1
        line = json.dumps(dict(args, id=request_id, cmd=command)) + "\n"
        self._socket.sendall(line.encode())
        while True:
            reply = self._read()
            if "event" in reply:
                self.events.append(reply)
            elif reply.get("id") == request_id or reply.get("id") is None:
                return reply

    def call(self, command, **args):
        """Sends a request and returns its reply; raises TessalyError when it is refused."""
        reply = self.request(command, **args)
        if not reply.get("ok"):
            raise TessalyError(reply.get("error", ""))
        return reply

    def next_event(self):
        """The next event line (after call("subscribe")), waiting for it."""
        if self.events:
            return self.events.popleft()
        while True:
            line = self._read()
            if "event" in line:
                return line


def _value(text):
    try:
        return json.loads(text)
    except ValueError:
        return text


def main(argv):
    path = None
    if len(argv) >= 2 and argv[0] == "--socket":
        path, argv = argv[1], argv[2:]
    if not argv:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with Tessaly(path) as tessaly:
        if argv[0] == "--events":
            tessaly.call("subscribe")
            try:
                while True:
                    print(json.dumps(tessaly.next_event()), flush=True)
            except KeyboardInterrupt:
                return 0
        args = {}
        for pair in argv[1:]:
            name, _, text = pair.partition("=")
            args[name] = _value(text)
        reply = tessaly.request(argv[0], **args)
        print(json.dumps(reply, indent=2, ensure_ascii=False))
        return 0 if reply.get("ok") else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
