#!/usr/bin/env python3
"""Figures of the control socket, against the simulated controller.

- the time from a "setpoint" request to the setpoint command on the simulator's line, and
  to the request's reply;
- the CPU of the idle window with the socket open and a client connected, against the same
  window without the socket.

Usage: bench/control_socket_figures.py [BUILD_DIR]   (default: build; TESSALY_BENCH_SECONDS
sets each idle-CPU run, 60 by default). The window runs on the offscreen platform in a
scratch data folder and a runtime folder of its own.
"""
import os
import queue
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from tessaly_control import Tessaly  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
IDLE_SECONDS = float(os.environ.get("TESSALY_BENCH_SECONDS", "60"))
RUNTIME = tempfile.mkdtemp(prefix="tessaly-runtime-")
SOCKET = os.path.join(RUNTIME, "tessaly-control.sock")
ENV = dict(os.environ, XDG_RUNTIME_DIR=RUNTIME, QT_QPA_PLATFORM="offscreen")


def simulator(name, *args):
    process = subprocess.Popen([os.path.join(BUILD, "tools", name), *args], stdout=subprocess.PIPE, text=True, bufsize=1)
    port = process.stdout.readline().strip()
    lines = queue.Queue()
    threading.Thread(target=lambda: [lines.put((time.monotonic(), line.strip())) for line in process.stdout], daemon=True).start()
    return process, port, lines


def window(*args):
    # A window ended by a signal leaves its socket file; the next one takes it over.
    if os.path.exists(SOCKET):
        os.remove(SOCKET)
    work = tempfile.mkdtemp(prefix="tessaly-work-")
    process = subprocess.Popen([os.path.join(BUILD, "tessaly"), "--data-dir", work, *args], cwd=work,
                               env=ENV, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return process


def wait_for(predicate, seconds=30):
    end = time.monotonic() + seconds
    while not predicate():
        if time.monotonic() > end:
            raise TimeoutError
        time.sleep(0.05)


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def idle_cpu(process):
    """CPU per minute of an idle process, after it has settled."""
    time.sleep(5)
    before = cpu_seconds(process.pid)
    time.sleep(IDLE_SECONDS)
    return (cpu_seconds(process.pid) - before) * 60 / IDLE_SECONDS


def latency():
    controller, port, lines = simulator("controller_simulator")
    app = window("--control", "--search-port", port)
    try:
        wait_for(lambda: os.path.exists(SOCKET))
        with Tessaly(SOCKET) as tessaly:
            tessaly.call("search")
            tessaly.call("configure", port=port, gas="N2")
            to_line, to_reply = [], []
            # The first request waits behind the controller's set-up after configure; not counted.
            for step in range(41):
                percent = 10 + step
                command = f"<- A{round(percent * 640)}"
                while not lines.empty():
                    lines.get()
                sent = time.monotonic()
                tessaly.call("setpoint", ports=[port], percent=percent)
                replied = time.monotonic() - sent
                while True:
                    seen, line = lines.get(timeout=10)
                    if line.removesuffix("\\r") == command:  # the simulator prints the line end as \r
                        break
                if step > 0:
                    to_reply.append(replied)
                    to_line.append(seen - sent)
                time.sleep(0.37)  # requests fall on every phase of the once-a-second tick
            tessaly.call("reset")
        return to_line, to_reply
    finally:
        app.terminate()
        app.wait()
        controller.terminate()


def main():
    to_line, to_reply = latency()
    ms = lambda values: f"median {statistics.median(values) * 1000:.0f} ms, min {min(values) * 1000:.0f}, max {max(values) * 1000:.0f}"
    print(f"setpoint request to the command on the simulator's line: {ms(to_line)} ({len(to_line)} requests)")
    print(f"setpoint request to its reply: {ms(to_reply)}")

    app = window("--control")
    wait_for(lambda: os.path.exists(SOCKET))
    with Tessaly(SOCKET):
        with_socket = idle_cpu(app)
    app.terminate()
    app.wait()
    app = window()
    without = idle_cpu(app)
    app.terminate()
    app.wait()
    print(f"idle window, CPU per minute: {with_socket * 1000:.0f} ms with the socket open and a client connected, "
          f"{without * 1000:.0f} ms without the socket")


if __name__ == "__main__":
    main()
