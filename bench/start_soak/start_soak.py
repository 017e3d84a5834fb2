#!/usr/bin/env python3
"""Start soak: starts the real tarvo-browser again and again and checks that every
start loads its first page in time.

    python3 bench/start_soak/start_soak.py [--starts N] [--busy M] [--limit SECONDS]
                                           [--service both|live|down] [--no-session-bus]
                                           [--out FOLDER] [--build BUILD]

Each start opens a loopback page whose onload handler fetches a beacon; the start
counts from the fork to that beacon. Starts take turns over four kinds: a fresh
profile or the profile the previous start of its kind left, each with a live
tarvo-service over TLS (the demo seed, as scripts/run starts it) or with nothing
listening where the service should be (--service keeps to one of the two). M
busy-looping processes load the CPU for the whole soak. With --no-session-bus the
browser starts as on a desktop without a session bus, where D-Bus starts one itself
(autolaunch). A start that misses the limit, whose orderly close (SIGTERM) does not
end the process within 20 seconds, or that leaves a process running after the
browser ended, gets every thread's backtrace of the browser and of the engine's
helper processes (gdb, with the build's debug symbols) and keeps its log beside it
in the output folder. The figures (counts per kind, misses, the start-time
distribution) are printed and written to FOLDER/summary.txt.

Run it from the source tree after a build (build/bin holds tarvo-browser,
tarvo-service and tarvo-cli); it starts its own Xvfb and D-Bus session. It is not
part of the test command: a thousand starts take about half an hour.
"""
import argparse
import http.server
import itertools
import os
import re
import shutil
import signal
import socket
import socketserver
import statistics
import subprocess
import sys
import tempfile
import threading
import time

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CLOSE_LIMIT = 20.0


class BeaconServer:
    """Serves /page/N (whose onload fetches /beacon/N) and records beacon arrivals."""

    def __init__(self):
        self.arrived = {}
        self.lock = threading.Lock()
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                match = re.fullmatch(r"/(page|beacon)/(\d+)", self.path)
                if match and match.group(1) == "beacon":
                    with owner.lock:
                        owner.arrived.setdefault(int(match.group(2)), time.monotonic())
                body = (b"<!doctype html><title>Soak</title><body onload=\"fetch('/beacon/%s')\">start %s</body>"
                        % ((match.group(2).encode(),) * 2) if match else b"")
                self.send_response(200 if match else 404)
                self.send_header("Content-Type", "text/html")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

        class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
            daemon_threads = True

        self.server = Server(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def url(self, number):
        return "http://127.0.0.1:%d/page/%d" % (self.server.server_address[1], number)

    def arrival(self, number):
        with self.lock:
            return self.arrived.get(number)


def free_display():
    # A server in another root shows only by its abstract socket.
    try:
        with open("/proc/net/unix") as sockets:
            abstract = set(re.findall(r"@/tmp/\.X11-unix/X(\d+)$", sockets.read(), re.MULTILINE))
    except OSError:
        abstract = set()
    for number in range(150, 250):
        if (not os.path.exists("/tmp/.X%d-lock" % number) and not os.path.exists("/tmp/.X11-unix/X%d" % number)
                and str(number) not in abstract):
            return number
    sys.exit("start_soak: no free X display number")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class LiveService:
    """tarvo-service over TLS with the demo seed, its own certificate and signing key."""

    def __init__(self, bin_folder, work):
        tls = os.path.join(work, "tls")
        subprocess.run([os.path.join(SOURCE, "scripts", "make-demo-tls"), tls], check=True)
        key = os.path.join(work, "signing.key")
        subprocess.run([os.path.join(bin_folder, "tarvo-cli"), "keygen", key], check=True, stdout=subprocess.DEVNULL)
        port = free_port()
        self.log_path = os.path.join(work, "service.log")
        self.process = subprocess.Popen(
            [os.path.join(bin_folder, "tarvo-service"), "--port", str(port), "--data", os.path.join(work, "service.db"),
             "--seed", os.path.join(SOURCE, "service", "seed", "demo.json"),
             "--tls-cert", os.path.join(tls, "service.pem"), "--tls-key", os.path.join(tls, "service.key"),
             "--signing-key", key],
            stdout=open(self.log_path, "w"), stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 20
        while "listening" not in open(self.log_path).read():
            if self.process.poll() is not None or time.monotonic() > deadline:
                sys.exit("start_soak: tarvo-service did not start:\n" + open(self.log_path).read())
            time.sleep(0.1)
        with open(key + ".pub") as public_key:
            self.environment = {"TARVO_API_URL": "https://127.0.0.1:%d/" % port,
                                "TARVO_API_CA": os.path.join(tls, "ca.pem"),
                                "TARVO_API_KEYS": public_key.read().strip()}

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=20)


def backtrace(session, path):
    """Every thread's stack of every live process of the start's session (the browser
    and the engine's helper processes it forked), through gdb."""
    listing = subprocess.run(["ps", "-o", "pid=,args=", "-s", str(session)], capture_output=True, text=True).stdout
    with open(path, "w") as out:
        for line in listing.splitlines():
            pid, _, command = line.strip().partition(" ")
            out.write("==== process %s: %s\n" % (pid, command[:300]))
            out.flush()
            subprocess.run(["gdb", "-p", pid, "-batch", "-nx", "-ex", "set pagination off",
                            "-ex", "thread apply all bt"], stdout=out, stderr=subprocess.STDOUT, timeout=120)


def last_mark(log_text):
    marks = re.findall(r"startup: (.+?) at \d+ ms", log_text)
    return marks[-1] if marks else "(no mark)"


def run_start(number, kind, args, server, service, work, out):
    fresh, live = kind
    profile = os.path.join(work, "profiles", "%s-%s" % ("fresh" if fresh else "reused", "live" if live else "down"))
    if fresh:
        shutil.rmtree(profile, ignore_errors=True)
    for sub in ("data", "config", "cache"):
        os.makedirs(os.path.join(profile, sub), exist_ok=True)
    environment = dict(os.environ, TARVO_DEBUG="1", XDG_DATA_HOME=os.path.join(profile, "data"),
                       XDG_CONFIG_HOME=os.path.join(profile, "config"), XDG_CACHE_HOME=os.path.join(profile, "cache"))
    environment.update(service.environment if live else {"TARVO_API_URL": "https://127.0.0.1:9/"})
    if args.no_session_bus:
        # As on a desktop without a session bus: D-Bus starts one itself (autolaunch).
        environment.pop("DBUS_SESSION_BUS_ADDRESS", None)
    log_path = os.path.join(work, "browser.log")
    started = time.monotonic()
    with open(log_path, "w") as log:
        browser = subprocess.Popen([os.path.join(args.bin, "tarvo-browser"), "-noupdate", server.url(number)],
                                   env=environment, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
    result = {"kind": kind, "ms": None, "problem": None}
    while time.monotonic() - started < args.limit and browser.poll() is None:
        arrival = server.arrival(number)
        if arrival is not None:
            result["ms"] = (arrival - started) * 1000.0
            break
        time.sleep(0.01)
    if result["ms"] is None:
        result["problem"] = "no page" if browser.poll() is None else "ended (%s) without its page" % browser.returncode
    elif browser.poll() is None:
        # Let the start's own work (the service round, the session file) run a little
        # before the orderly close, as a user's would.
        time.sleep(0.5)
    if result["problem"] == "no page":
        backtrace(browser.pid, os.path.join(out, "start-%04d.backtrace" % number))
    if browser.poll() is None:
        browser.send_signal(signal.SIGTERM)
        try:
            browser.wait(timeout=CLOSE_LIMIT)
        except subprocess.TimeoutExpired:
            result["problem"] = result["problem"] or "close hung"
            backtrace(browser.pid, os.path.join(out, "start-%04d.backtrace" % number))
    if browser.poll() is None:
        os.killpg(browser.pid, signal.SIGKILL)
        browser.wait()
    # A process of the start still running once the browser has ended (a child it
    # forked) would keep the profile claimed and spoil the next start of its kind.
    listing = subprocess.run(["ps", "-o", "stat=,pid=,args=", "-s", str(browser.pid)], capture_output=True, text=True)
    left = [line.split(None, 1)[1][:120] for line in listing.stdout.splitlines() if not line.startswith("Z")]
    if left:
        if not result["problem"]:
            result["problem"] = "left running: " + " | ".join(left)
            backtrace(browser.pid, os.path.join(out, "start-%04d.backtrace" % number))
        try:
            os.killpg(browser.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    if result["problem"]:
        text = open(log_path, errors="replace").read()
        result["problem"] += " (last mark: %s)" % last_mark(text)
        shutil.copy(log_path, os.path.join(out, "start-%04d.log" % number))
    return result


def distribution(values):
    if not values:
        return "none"
    ordered = sorted(values)
    pick = lambda share: ordered[min(len(ordered) - 1, int(share * len(ordered)))]
    return "n=%d min %.0f p50 %.0f p90 %.0f p99 %.0f max %.0f ms" % (
        len(ordered), ordered[0], statistics.median(ordered), pick(0.9), pick(0.99), ordered[-1])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--starts", type=int, default=1000)
    parser.add_argument("--busy", type=int, default=2, help="busy-looping processes beside the starts")
    parser.add_argument("--limit", type=float, default=30.0, help="seconds a start may take to load its page")
    parser.add_argument("--out", default=None, help="where logs and backtraces of failed starts go")
    parser.add_argument("--build", default=os.path.join(SOURCE, "build"))
    parser.add_argument("--no-session-bus", action="store_true",
                        help="start the browser without a session bus, which D-Bus then starts itself")
    parser.add_argument("--service", choices=("both", "live", "down"), default="both",
                        help="starts with a live service, with nothing listening, or taking turns")
    args = parser.parse_args()
    args.bin = os.path.join(os.path.abspath(args.build), "bin")
    if "START_SOAK_INSIDE" not in os.environ:
        # A D-Bus session of its own for the Secret Service and accessibility.
        os.environ["START_SOAK_INSIDE"] = "1"
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv)
    work = tempfile.mkdtemp(prefix="tarvo-start-soak.")
    out = args.out or os.path.join(work, "failures")
    os.makedirs(out, exist_ok=True)
    display = free_display()
    xvfb = subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1600x1000x24", "-nolisten", "tcp", "-noreset"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while not os.path.exists("/tmp/.X11-unix/X%d" % display):
        time.sleep(0.05)
    os.environ["DISPLAY"] = ":%d" % display
    os.environ.setdefault("QTWEBENGINE_DISABLE_SANDBOX", "1")
    os.environ.setdefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking")
    busy = [subprocess.Popen([sys.executable, "-c", "while True: pass"]) for _ in range(args.busy)]
    server = BeaconServer()
    service = LiveService(args.bin, work)
    services = {"both": (True, False), "live": (True,), "down": (False,)}[args.service]
    kinds = list(itertools.product((True, False), services))  # (fresh profile, live service)
    results = []
    try:
        for number in range(args.starts):
            result = run_start(number, kinds[number % len(kinds)], args, server, service, work, out)
            results.append(result)
            if result["problem"]:
                print("start %d (%s): %s" % (number, describe(result["kind"]), result["problem"]), flush=True)
            elif number % 50 == 49:
                print("%d starts, %d failed" % (number + 1, sum(1 for r in results if r["problem"])), flush=True)
    finally:
        for process in busy:
            process.kill()
        service.stop()
        xvfb.terminate()
    lines = ["%d starts at %d busy processes, limit %.0f s" % (len(results), args.busy, args.limit)]
    for kind in kinds:
        of_kind = [r for r in results if r["kind"] == kind]
        failed = [r for r in of_kind if r["problem"]]
        lines.append("%-20s %4d starts, %d failed; %s" % (describe(kind), len(of_kind), len(failed),
                                                         distribution([r["ms"] for r in of_kind if r["ms"] is not None])))
    lines.append("all                  %s" % distribution([r["ms"] for r in results if r["ms"] is not None]))
    lines.append("failures and backtraces: %s" % out)
    summary = "\n".join(lines)
    print(summary)
    with open(os.path.join(out, "summary.txt"), "w") as file:
        file.write(summary + "\n")
    return 1 if any(r["problem"] for r in results) else 0


def describe(kind):
    fresh, live = kind
    return "%s profile, service %s" % ("fresh" if fresh else "reused", "live" if live else "down")


if __name__ == "__main__":
    sys.exit(main())
