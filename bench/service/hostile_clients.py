#!/usr/bin/env python3
"""Figures for tarvo-service under hostile clients, on loopback only.

    python3 bench/service/hostile_clients.py [build/bin/tarvo-service]

Starts the service with the demo seed on a free port and prints:
  - the time of a normal request (the version endpoint) and of a page fetched
    through a node's proxy while 8 clients send one byte every 3 s to the front
    and 128 connections sit idle on that proxy;
  - the service's peak resident memory while one client sends 42 MB of header lines;
  - how long a held-open CONNECT tunnel keeps carrying data after the anonymous
    connection is cancelled, and after a user's log-out.
Every loop is bounded; the service is stopped at the end.
"""
import base64, json, os, socket, subprocess, sys, tempfile, threading, time, urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BINARY = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "bin", "tarvo-service")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def post(port, path, fields):
    body = urllib.parse.urlencode(fields).encode()
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        s.sendall(b"POST /%s HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                  b"Content-Length: %d\r\n\r\n%s" % (path.encode(), len(body), body))
        reply = b""
        while chunk := s.recv(65536):
            reply += chunk
    return json.loads(reply.split(b"\r\n\r\n", 1)[1])


def proxy_header(user, token):
    return b"Proxy-Authorization: Basic " + base64.b64encode(f"{user}:{token}".encode()) + b"\r\n"


def timed(action):
    start = time.monotonic()
    result = action()
    return time.monotonic() - start, result


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def tunnel_stop_time(proxy_port, header, end):
    """Seconds from `end()` until the proxy closes a silent tunnel (None: not within 5 s)."""
    s = socket.create_connection(("127.0.0.1", proxy_port), timeout=5)
    s.sendall(b"CONNECT www.tarvo.test:80 HTTP/1.1\r\n" + header + b"\r\n")
    if not s.recv(4096).startswith(b"HTTP/1.1 200"):
        return None
    end()
    start = time.monotonic()
    s.settimeout(0.05)
    # The front keeps a silent connection for 10 s, so an end before that is the proxy's.
    while time.monotonic() - start < 5:
        try:
            if s.recv(65536) == b"":
                return time.monotonic() - start
        except socket.timeout:
            pass
        except OSError:
            return time.monotonic() - start
    return None


def main():
    port = free_port()
    data = tempfile.mkdtemp(prefix="tarvo-bench-")
    service = subprocess.Popen([BINARY, "--port", str(port), "--data", data + "/service.db", "--quiet",
                                "--seed", os.path.join(ROOT, "service/seed/demo.json"), "--proxy-ports", "auto"],
                               stdout=subprocess.PIPE, text=True)
    proxies = []
    for line in service.stdout:
        if "proxy on port" in line:
            proxies.append(int(line.split()[-1]))
        if len(proxies) == 3:
            break
    try:
        anonymous = post(port, "app/v1.0/no_login_connection_vpn_node", {"brand": "TarvoBrowser", "node_id": 1})
        header = proxy_header("nobody", anonymous["data"]["proxy_token"])

        stop = threading.Event()
        slow = [socket.create_connection(("127.0.0.1", port)) for _ in range(8)]
        idle = [socket.create_connection(("127.0.0.1", proxies[0])) for _ in range(128)]

        def trickle():
            for _ in range(20):  # one byte every 3 s, a minute at most
                for s in slow:
                    try:
                        s.send(b"P")
                    except OSError:
                        pass
                if stop.wait(3):
                    return
        threading.Thread(target=trickle, daemon=True).start()
        time.sleep(1)
        seconds, reply = timed(lambda: post(port, "app/v1.0/version", {"brand": "TarvoBrowser"}))
        print(f"normal request with 8 slow clients and 128 idle proxy connections: {seconds * 1000:.1f} ms "
              f"(code {reply['code']})")

        def proxied():
            with socket.create_connection(("127.0.0.1", proxies[0]), timeout=10) as s:
                s.sendall(b"GET http://www.tarvo.test/ HTTP/1.1\r\nHost: www.tarvo.test\r\n" + header + b"\r\n")
                return s.recv(64)
        seconds, reply = timed(proxied)
        status = reply.split(b"\r\n")[0].decode()
        print(f"proxied page with the same load: {seconds * 1000:.1f} ms ({status})")
        stop.set()
        for s in slow + idle:
            s.close()

        before = rss_kib(service.pid)
        peak = before
        flood = socket.create_connection(("127.0.0.1", port))
        flood.sendall(b"GET / HTTP/1.1\r\n")
        line = b"X-Flood: " + b"a" * 1000 + b"\r\n"
        sent = 0
        try:
            while sent < 42 * 1024 * 1024:
                flood.sendall(line * 64)
                sent += len(line) * 64
                peak = max(peak, rss_kib(service.pid))
        except OSError:
            pass
        flood.close()
        print(f"header flood: {sent / 1048576:.1f} MB accepted of 42 MB, resident memory {before / 1024:.1f} MB "
              f"before, {peak / 1024:.1f} MB at peak")

        anonymous = post(port, "app/v1.0/no_login_connection_vpn_node", {"brand": "TarvoBrowser", "node_id": 1})
        token = anonymous["data"]["proxy_token"]
        after = tunnel_stop_time(proxies[0], proxy_header("nobody", token), lambda: post(
            port, "app/v1.0/no_login_cancel_connection", {"brand": "TarvoBrowser", "proxy_token": token}))
        print(f"tunnel after cancel: stopped within {after * 1000:.0f} ms" if after else "tunnel after cancel: still open")

        login = post(port, "app/v1.0/login", {"username": "demo@tarvo.test", "password": "demo1234"})["data"]
        session = {"id": login["id"], "token": login["token"]}
        vpn = post(port, "app/v1.0/connection_vpn_node", dict(session, node_id=1))["data"]["proxy_token"]
        after = tunnel_stop_time(proxies[0], proxy_header(login["id"], vpn),
                                 lambda: post(port, "app/v1.0/logout", session))
        print(f"tunnel after log-out: stopped within {after * 1000:.0f} ms" if after else "tunnel after log-out: still open")
    finally:
        service.terminate()
        service.wait(timeout=10)


if __name__ == "__main__":
    main()
