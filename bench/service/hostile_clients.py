#!/usr/bin/env python3
"""Figures for tarvo-service under hostile clients, on loopback only.

    python3 bench/service/hostile_clients.py [build/bin/tarvo-service]

Starts the service with the demo seed (its installer replaced by a 64 MB file) on a
free port, over plain HTTP and then over TLS (a throw-away certificate made for the
run), and prints, attack by attack (TLS: the attacks on the front; the proxies speak
plain HTTP either way):
  - the time of a normal request (the version endpoint) and of a page fetched
    through a node's proxy while 8 clients send one byte every 3 s to the front
    and 128 connections sit idle on that proxy; over TLS, the time of a normal
    request while 8 clients stall in the middle of their handshake, and when the
    service cuts those off;
  - the service's peak resident memory while one client sends 42 MB of header lines;
  - how long a held-open CONNECT tunnel keeps carrying data after the anonymous
    connection is cancelled, and after a user's log-out;
  - unread downloads: a version request while 8 clients ask for the installer and
    never read, renewed every 9 s;
  - refused proxy clients: a page through the proxy while 130 clients without
    credentials send a byte a second, and how many of them are still held after 4 s;
  - limiter keys: the owner's log-in from another address after 10 failures;
  - proxied requests: /status/proxies through a proxy, and the owner's log-in
    after 10 failures through a proxy (over TLS inside a CONNECT tunnel);
  - anonymous connections: distinct tokens for 100 asks from one address, and fresh
    allowances in 30 cancel-and-ask rounds;
  - the waiting room: a version request with 16 addresses holding 64 idle
    connections each;
  - deployment: the packaged unit's command line with the demo password, and a
    data file that is a symbolic link;
  - all of these attacks at once: a normal log-in's time and the service's memory.
Then, over plain HTTP, a service behind a balancer on loopback (--forwarded-by 127.0.0.1) with a
--proxies-only process beside it on the same data file:
  - balancer lines: /status/proxies for a client whose own X-Forwarded-For line says 127.0.0.1, ahead
    of the balancer's; and how many of 14 wrong passwords are answered 429 when the client writes a
    new address in its own line each time;
  - the proxies' process: /status/proxies through it, and the owner's right password through it from
    another client after 10 failures through it from one;
  - shared caps: tunnels through one node held by 4 addresses sharing one anonymous token, by 5
    addresses of one /24 with a token each, and whether a client of another network still gets one;
    unread downloads from 5 addresses of one /24 and one from another network;
  - download readers that take 64 KiB and 128 KiB every 19 s: when the service lets them go;
  - how long the service takes to stop while its proxies hold tunnels whose clients closed.
Every loop is bounded; the services are stopped at the end.
"""
import base64, json, os, re, resource, shutil, socket, ssl, subprocess, sys, tempfile, threading, time, urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BINARY = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "bin", "tarvo-service")
DEMO = os.path.join(ROOT, "service", "seed", "demo.json")
INSTALLER = "tarvo-update.sh"
TLS = {}  # front port -> the context that verifies it, for the fronts that speak TLS


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def connect(port, source="127.0.0.1", timeout=10):
    s = socket.socket()
    s.settimeout(timeout)
    s.bind((source, 0))
    s.connect(("127.0.0.1", port))
    return s


def speak(port, source="127.0.0.1", timeout=10):
    """A connection ready for a request: over TLS when the front on `port` speaks it."""
    s = connect(port, source, timeout)
    return TLS[port].wrap_socket(s, server_hostname="127.0.0.1") if port in TLS else s


def read_all(s, request):
    """The answer to `request`: up to the end of the body its Content-Length announces (the service keeps
    HTTP/1.1 connections open for the next request), or until the service closes."""
    s.sendall(request)
    reply = b""
    whole = None
    while (whole is None or len(reply) < whole) and (chunk := s.recv(65536)):
        reply += chunk
        head, _, _ = reply.partition(b"\r\n\r\n")
        length = re.search(rb"\r\nContent-Length: (\d+)", head)
        if whole is None and length and b"\r\n\r\n" in reply:
            whole = len(head) + 4 + int(length.group(1))
    return reply


def exchange(port, request, source="127.0.0.1", timeout=10):
    """Everything the service answers to `request` (b"" when nothing came)."""
    try:
        with speak(port, source, timeout) as s:
            return read_all(s, request)
    except OSError:
        return b""


def through_tunnel(proxy, port, header, request, source):
    """`request` to the TLS front on `port` inside a CONNECT tunnel of `proxy`, as a browser with the VPN on
    sends it (b"" when nothing came)."""
    try:
        with connect(proxy, source) as raw:
            raw.sendall(b"CONNECT 127.0.0.1:%d HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n%s\r\n" % (port, port, header))
            answer = b""
            while b"\r\n\r\n" not in answer and (chunk := raw.recv(1)):
                answer += chunk
            if not answer.startswith(b"HTTP/1.1 200"):
                return answer
            with TLS[port].wrap_socket(raw, server_hostname="127.0.0.1") as s:
                return read_all(s, request)
    except OSError:
        return b""


def form_request(target, fields, extra=b""):
    body = urllib.parse.urlencode(fields).encode()
    return (b"POST %s HTTP/1.1\r\nHost: www.tarvo.test\r\nContent-Type: application/x-www-form-urlencoded\r\n"
            b"%sContent-Length: %d\r\n\r\n%s" % (target.encode(), extra, len(body), body))


def envelope(reply):
    try:
        return json.loads(reply.split(b"\r\n\r\n", 1)[1])
    except (IndexError, ValueError):
        return {"code": None, "data": {}}


def post(port, path, fields, source="127.0.0.1", timeout=10):
    return envelope(exchange(port, form_request("/" + path, fields), source, timeout))


def proxy_header(user, token):
    return b"Proxy-Authorization: Basic " + base64.b64encode(f"{user}:{token}".encode()) + b"\r\n"


def anonymous_header(port, source="127.0.0.1"):
    reply = post(port, "app/v1.0/no_login_connection_vpn_node", {"brand": "TarvoBrowser", "node_id": 1}, source)
    return proxy_header("nobody", (reply.get("data") or {}).get("proxy_token", ""))


def timed(action):
    start = time.monotonic()
    result = action()
    return time.monotonic() - start, result


def ms(seconds):
    return f"{seconds * 1000:.0f} ms"


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def closed_by_service(s):
    """True once the service has stopped sending on `s` (it may still be reading)."""
    try:
        while True:
            if s.recv(65536, socket.MSG_DONTWAIT) == b"":
                return True
    except BlockingIOError:
        return False
    except OSError:
        return True


def refuses(s):
    """True when sending on `s` fails: the service has closed it entirely and has answered an earlier
    byte with a reset (a service that only stopped sending and still reads does not)."""
    try:
        s.send(b"x", socket.MSG_DONTWAIT)
        return False
    except BlockingIOError:
        return False
    except OSError:
        return True


def count_let_go(sockets):
    """How many of `sockets` the service has let go of entirely."""
    let_go = {s for s in sockets if refuses(s)}
    time.sleep(0.2)
    for s in sockets:
        closed_by_service(s)  # reads what is left
    return sum(1 for s in sockets if s in let_go or refuses(s))


def close_all(sockets):
    for s in sockets:
        s.close()


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


class Attack:
    """A hostile load on its own thread until stop(); `renew` runs every `every` seconds. Sockets the
    service closed are kept (retired) until stop(), so their state can still be read."""

    def __init__(self, renew, every):
        self.sockets, self.retired = [], []
        self._renew, self._every, self._stop = renew, every, threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def _run(self):
        for _ in range(int(120 / self._every)):  # two minutes at most
            try:
                self._renew(self)
            except OSError:
                pass
            if self._stop.wait(self._every):
                return

    def prune(self, gone=None):
        """Retires the sockets the service is done with (`gone`, by default closed_by_service); returns how
        many are left."""
        for s in [s for s in self.sockets if (gone or closed_by_service)(s)]:
            self.sockets.remove(s)
            self.retired.append(s)
        return len(self.sockets)

    def start(self):
        self._thread.start()
        return self

    def stop(self):
        self._stop.set()
        self._thread.join()
        close_all(self.sockets + self.retired)
        self.sockets, self.retired = [], []


def unread_downloads(port):
    def renew(attack):
        close_all(attack.sockets)
        attack.sockets = []
        for _ in range(8):
            s = speak(port)
            s.sendall(b"GET /download/%s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n" % INSTALLER.encode())
            attack.sockets.append(s)
    return Attack(renew, 9)


def lingering_proxy_clients(proxy):
    def renew(attack):
        for _ in range(130 - attack.prune(refuses)):
            s = connect(proxy)
            s.sendall(b"GET http://www.tarvo.test/ HTTP/1.1\r\nHost: www.tarvo.test\r\n\r\n")
            attack.sockets.append(s)
        for s in attack.sockets:
            try:
                s.send(b"x")
            except OSError:
                pass
    return Attack(renew, 1)


def waiting_room_filler(port):
    def renew(attack):
        attack.prune()
        for address in range(1, 17):
            held = sum(1 for s in attack.sockets if s.getsockname()[0] == f"127.0.9.{address}")
            for _ in range(64 - held):
                attack.sockets.append(connect(port, f"127.0.9.{address}"))
    return Attack(renew, 2)


def guessers(port):
    """5 addresses guessing the demo password at once, each once a second."""
    def guess(address):
        post(port, "app/v1.0/login", {"username": "demo@tarvo.test", "password": "guess"}, f"127.0.2.{address}")

    def renew(attack):
        threads = [threading.Thread(target=guess, args=(address,)) for address in range(1, 6)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
    return Attack(renew, 1)


def anonymous_askers(port):
    def renew(attack):
        for _ in range(20):
            post(port, "app/v1.0/no_login_connection_vpn_node", {"brand": "TarvoBrowser", "node_id": 1}, "127.0.3.1")
    return Attack(renew, 1)


def login_time(port, source="127.0.0.1"):
    seconds, reply = timed(lambda: post(port, "app/v1.0/login", {"username": "demo@tarvo.test",
                                                                 "password": "demo1234"}, source, timeout=30))
    return f"{ms(seconds)} (code {reply['code']})"


def first_round(port, proxies):
    """The figures of the first round of hostile clients."""
    header = anonymous_header(port)
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
    close_all(slow + idle)


def stalled_handshakes(port):
    """Over TLS, the first round's slow clients: each sends the first bytes of a ClientHello and nothing more."""
    stalled = [connect(port) for _ in range(8)]
    start = time.monotonic()
    for s in stalled:
        s.sendall(b"\x16\x03\x01\x02\x00\x01")
    seconds, reply = timed(lambda: post(port, "app/v1.0/version", {"brand": "TarvoBrowser"}))
    print(f"normal request with 8 clients stalled in their TLS handshake: {seconds * 1000:.1f} ms "
          f"(code {reply['code']})")
    closed = []
    for s in stalled:
        s.settimeout(15)
        try:
            s.recv(1)
        except OSError:
            pass
        closed.append(time.monotonic() - start)
    print(f"stalled handshakes cut off after {min(closed):.1f} to {max(closed):.1f} s")
    close_all(stalled)


def header_flood(port, pid):
    before = rss_kib(pid)
    peak = before
    flood = speak(port)
    flood.sendall(b"GET / HTTP/1.1\r\n")
    line = b"X-Flood: " + b"a" * 1000 + b"\r\n"
    sent = 0
    try:
        while sent < 42 * 1024 * 1024:
            flood.sendall(line * 64)
            sent += len(line) * 64
            peak = max(peak, rss_kib(pid))
    except OSError:
        pass
    flood.close()
    print(f"header flood: {sent / 1048576:.1f} MB accepted of 42 MB, resident memory {before / 1024:.1f} MB "
          f"before, {peak / 1024:.1f} MB at peak")


def tunnels_after_the_end(port, proxies):
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


def second_round(port, proxies):
    """One attack of the second round at a time; over TLS the same but the proxies' own (2)."""
    attack = unread_downloads(port).start()
    time.sleep(1)
    seconds, reply = timed(lambda: post(port, "app/v1.0/version", {"brand": "TarvoBrowser"}, timeout=60))
    print(f"1 unread downloads: version request with 8 clients not reading the 64 MB installer: {ms(seconds)} "
          f"(code {reply['code']})")
    attack.stop()

    if port not in TLS:
        attack = lingering_proxy_clients(proxies[0]).start()
        time.sleep(1)
        header = anonymous_header(port)
        seconds, reply = timed(lambda: exchange(proxies[0], b"GET http://www.tarvo.test/ HTTP/1.1\r\n"
                                                b"Host: www.tarvo.test\r\n" + header + b"\r\n"))
        status = reply.split(b"\r\n")[0].decode() or "no answer"
        print(f"2 refused proxy clients: page through the proxy with 130 clients without credentials sending a "
              f"byte a second: {ms(seconds)} ({status})")
        watched = list(attack.sockets)
        time.sleep(4)
        print(f"  refused clients still held 4 s later: {len(watched) - count_let_go(watched)} of {len(watched)}")
        attack.stop()

    for _ in range(10):
        post(port, "app/v1.0/login", {"username": "basic@tarvo.test", "password": "guess"}, "127.0.0.2")
    reply = post(port, "app/v1.0/login", {"username": "basic@tarvo.test", "password": "basic1234"}, "127.0.0.3")
    print(f"3 limiter keys: right password from another address after 10 failures: code {reply['code']}")

    header = anonymous_header(port, "127.0.0.4")
    if port in TLS:
        # The front's TLS address is reached through a tunnel, as a browser with the VPN on reaches it.
        def proxied(request):
            return through_tunnel(proxies[0], port, header, request, "127.0.0.4")
        status_request = b"GET /status/proxies HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"
        login_target = "/app/v1.0/login"
    else:
        def proxied(request):
            return exchange(proxies[0], request, "127.0.0.4")
        status_request = (b"GET http://www.tarvo.test/status/proxies HTTP/1.1\r\nHost: www.tarvo.test\r\n" + header +
                          b"\r\n")
        login_target = "http://www.tarvo.test/app/v1.0/login"
    status = proxied(status_request).split(b"\r\n")[0].decode()
    for _ in range(10):
        proxied(form_request(login_target, {"username": "novpn@tarvo.test", "password": "guess"},
                             b"" if port in TLS else header))
    reply = post(port, "app/v1.0/login", {"username": "novpn@tarvo.test", "password": "novpn1234"})
    print(f"4 proxied requests: /status/proxies through a proxy: {status or 'no answer'}; the owner's log-in on "
          f"this machine after 10 failures through a proxy: code {reply['code']}")

    tokens, answered = set(), 0
    for _ in range(100):
        reply = post(port, "app/v1.0/no_login_connection_vpn_node", {"brand": "TarvoBrowser", "node_id": 1},
                     "127.0.0.5")
        answered += reply["code"] == 200
        tokens.add((reply.get("data") or {}).get("proxy_token"))
    fresh, token = 0, None
    for _ in range(30):
        if token:
            post(port, "app/v1.0/no_login_cancel_connection", {"brand": "TarvoBrowser", "proxy_token": token},
                 "127.0.0.6")
        reply = post(port, "app/v1.0/no_login_connection_vpn_node", {"brand": "TarvoBrowser", "node_id": 1},
                     "127.0.0.6")
        token = (reply.get("data") or {}).get("proxy_token")
        fresh += reply["code"] == 200
    print(f"5 anonymous connections: 100 asks from one address answered {answered} times with {len(tokens)} "
          f"distinct tokens; fresh allowances in 30 cancel-and-ask rounds: {fresh}")

    attack = waiting_room_filler(port).start()
    time.sleep(1)
    seconds, reply = timed(lambda: post(port, "app/v1.0/version", {"brand": "TarvoBrowser"}))
    print(f"6 waiting room: version request with 16 addresses holding 64 idle connections each: {ms(seconds)} "
          f"(code {reply['code']})")
    attack.stop()


def deployment(data, tls):
    """The packaged unit's command line (its credentials from `tls` and a signing key made now), and a data file
    that is a link."""
    with open(os.path.join(ROOT, "packaging", "tarvo-service.service")) as unit:
        line = next(line for line in unit.read().replace("\\\n", " ").splitlines() if line.startswith("ExecStart=/"))
    signing_key = os.path.join(data, "signing.key")
    subprocess.run([os.path.join(os.path.dirname(BINARY), "tarvo-cli"), "keygen", signing_key], check=True,
                   stdout=subprocess.DEVNULL)
    credentials = {"tls-cert": os.path.join(tls, "service.pem"), "tls-key": os.path.join(tls, "service.key"),
                   "signing-key": signing_key}
    arguments = [word.replace("/var/lib/tarvo-service", data).replace("/usr/share/tarvo-service",
                                                                         os.path.join(ROOT, "service"))
                 for word in line.split()[1:]]
    arguments = [credentials.get(word.replace("${CREDENTIALS_DIRECTORY}/", ""), word) for word in arguments]
    port = free_port()
    TLS[port] = ssl.create_default_context(cafile=os.path.join(tls, "ca.pem"))
    service = subprocess.Popen([BINARY] + arguments + ["--port", str(port), "--quiet"], stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True)
    service.stdout.readline()
    reply = post(port, "app/v1.0/login", {"username": "demo@tarvo.test", "password": "demo1234"}, timeout=30)
    service.terminate()
    service.wait(timeout=10)
    print(f"7 deployment: the packaged unit's command line, demo@tarvo.test / demo1234: code {reply['code']}")
    target = os.path.join(data, "elsewhere")
    open(target, "w").close()
    os.symlink(target, os.path.join(data, "linked.db"))
    linked = subprocess.Popen([BINARY, "--plain-http", "--port", "0", "--data", os.path.join(data, "linked.db")],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    try:
        outcome = f"exit {linked.wait(timeout=5)}"
    except subprocess.TimeoutExpired:
        linked.terminate()
        linked.wait(timeout=10)
        outcome = "started on it"
    message = linked.stdout.readline().strip() or "no message"
    print(f"  --data naming a symbolic link: {outcome}, {os.path.getsize(target)} bytes written where it points "
          f"({message[:110]})")


def start_service(data, name, transport):
    """tarvo-service on a free port with the seed in `data`; returns it, its port and its proxies' ports."""
    port = free_port()
    service = subprocess.Popen([BINARY, "--port", str(port), "--data", os.path.join(data, name + ".db"), "--quiet",
                                "--seed", os.path.join(data, "seed", "demo.json"), "--proxy-ports", "auto"] + transport,
                               stdout=subprocess.PIPE, text=True)
    proxies = []
    for line in service.stdout:
        if "proxy on port" in line:
            proxies.append(int(line.split()[-1]))
        if len(proxies) == 3:
            break
    return service, port, proxies


def all_at_once(port, proxies, pid):
    alone = ", ".join(login_time(port, "127.0.0.1") for _ in range(3))
    print(f"normal log-ins with no attack (the password hash's own time, for comparison): {alone}")
    attacks = [unread_downloads(port), lingering_proxy_clients(proxies[0]), waiting_room_filler(port),
               guessers(port), anonymous_askers(port)]
    for attack in attacks:
        attack.start()
    peak = 0
    figures = []
    for _ in range(5):
        time.sleep(2)
        peak = max(peak, rss_kib(pid))
        figures.append(login_time(port, "127.0.0.1"))
        peak = max(peak, rss_kib(pid))
    for attack in attacks:
        attack.stop()
    print(f"all attacks at once: normal log-ins {', '.join(figures)}; resident memory at peak {peak / 1024:.1f} MB")


def supports(flag):
    """Whether the service under test knows `flag` (the figures are also taken of older builds)."""
    return flag in subprocess.run([BINARY, "--help"], stdout=subprocess.PIPE, text=True).stdout


def status_line(reply):
    return reply.split(b"\r\n")[0].decode() or "no answer"


def tunnel(proxy, destination, header, source):
    """A CONNECT tunnel held open, or None when the proxy refuses it."""
    try:
        s = connect(proxy, source)
        s.sendall(b"CONNECT %s HTTP/1.1\r\n%s\r\n" % (destination.encode(), header))
        answer = b""
        while b"\r\n\r\n" not in answer and (chunk := s.recv(1)):
            answer += chunk
        if answer.startswith(b"HTTP/1.1 200"):
            return s
        s.close()
    except OSError:
        pass
    return None


def service_closed(port, client):
    """Whether the service has closed its end of its connection to `client` (a (host, port) pair), even while
    its system still sends what was queued (the socket then waits in FIN-WAIT-1 or later)."""
    shown = subprocess.run(["ss", "-tnH", "state", "fin-wait-1", "state", "fin-wait-2", "state", "closing",
                            "state", "last-ack", "state", "time-wait", "src", f"127.0.0.1:{port}",
                            "dst", f"{client[0]}:{client[1]}"], stdout=subprocess.PIPE, text=True)
    return bool(shown.stdout.strip())


def slow_reader(port, source, step, report):
    """Reads `step` bytes of the installer every 19 s; reports after how long the service let it go, having closed
    its end (two minutes at most)."""
    s = connect(port, source)
    s.sendall(b"GET /download/%s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n" % INSTALLER.encode())
    start = time.monotonic()
    s.settimeout(1)
    while time.monotonic() - start < 120:
        taken = 0
        try:
            while taken < step:
                chunk = s.recv(step - taken)
                if not chunk:
                    break
                taken += len(chunk)
        except OSError:
            pass
        for _ in range(19):
            if service_closed(port, s.getsockname()):
                report.append(time.monotonic() - start)
                s.close()
                return
            time.sleep(1)
    report.append(None)
    s.close()


def third_round(data, main_port):
    """A service behind a balancer on loopback, with a proxies-only process on its data file."""
    reports = {64: [], 128: []}
    slow_readers = [threading.Thread(target=slow_reader, daemon=True,
                                     args=(main_port, f"127.0.6.{kib // 64}", kib * 1024, report))
                    for kib, report in reports.items()]
    for reader in slow_readers:
        reader.start()
    idle = socket.socket()
    idle.bind(("127.0.0.1", 0))
    idle.listen(4096)  # a destination that never answers: tunnels to it stay open
    destination = "127.0.0.1:%d" % idle.getsockname()[1]
    relays = ["--proxy-protocol-from", "127.0.0.1"] if supports("--proxy-protocol-from") else []
    service, port, proxies = start_service(data, "balanced", ["--plain-http", "--forwarded-by", "127.0.0.1",
                                                          "--proxy-allow", destination] + relays)
    side = subprocess.Popen([BINARY, "--proxies-only", "--proxy-ports", "auto", "--data",
                             os.path.join(data, "balanced.db"), "--port", str(port), "--quiet"],
                            stdout=subprocess.PIPE, text=True)
    side_proxies = [int(line.split()[-1]) for _, line in zip(range(3), side.stdout)]
    try:
        balanced = b"X-Forwarded-For: 127.0.0.1\r\nX-Forwarded-For: 203.0.113.7\r\n"
        status = status_line(exchange(port, b"GET /status/proxies HTTP/1.1\r\n%s\r\n" % balanced))
        slowed = 0
        for attempt in range(14):
            lines = b"X-Forwarded-For: 198.51.100.%d\r\nX-Forwarded-For: 203.0.113.8\r\n" % (attempt + 1)
            reply = envelope(exchange(port, form_request("/app/v1.0/login", {"username": "basic@tarvo.test",
                                                                             "password": "guess"}, lines)))
            slowed += reply["code"] == 429
        print(f"8 balancer lines: /status/proxies with the client's own 127.0.0.1 line first: {status}; wrong "
              f"passwords answered 429 with a new address in the client's own line each time: {slowed} of 14")

        headers = {address: anonymous_header(port, f"127.0.7.{address}") for address in (1, 2)}
        def through(address, request):
            return exchange(side_proxies[0], request, f"127.0.7.{address}")
        status = status_line(through(1, b"GET http://www.tarvo.test/status/proxies HTTP/1.1\r\n"
                                        b"Host: www.tarvo.test\r\n" + headers[1] + b"\r\n"))
        target = "http://www.tarvo.test/app/v1.0/login"
        for _ in range(10):
            through(1, form_request(target, {"username": "novpn@tarvo.test", "password": "guess"}, headers[1]))
        reply = envelope(through(2, form_request(target, {"username": "novpn@tarvo.test", "password": "novpn1234"},
                                                 headers[2])))
        print(f"9 the proxies' own process: /status/proxies through it: {status}; the owner's log-in through it "
              f"from another client after 10 failures through it: code {reply['code']}")

        held = []
        shared = anonymous_header(port, "127.0.8.1")
        for address in range(1, 5):
            held += [t for t in (tunnel(proxies[0], destination, shared, f"127.0.8.{address}") for _ in range(32)) if t]
        shared_count = len(held)
        for address in range(1, 6):
            own = anonymous_header(port, f"127.0.10.{address}")
            held += [t for t in (tunnel(proxies[0], destination, own, f"127.0.10.{address}") for _ in range(32)) if t]
        network_count = len(held) - shared_count
        other = tunnel(proxies[0], destination, anonymous_header(port, "127.0.11.1"), "127.0.11.1")
        print(f"10 shared caps: tunnels held by 4 addresses sharing one token: {shared_count}; by 5 addresses of one "
              f"/24 with a token each: {network_count}; a client of another network: "
              f"{'tunnel open' if other else 'refused'}")
        close_all(held + ([other] if other else []))

        readers = []
        for address in range(1, 6):
            for _ in range(8):
                s = connect(port, f"127.0.12.{address}")
                s.sendall(b"GET /download/%s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n" % INSTALLER.encode())
                readers.append(s)
        served = 0
        for s in readers:
            s.settimeout(5)
            try:
                served += s.recv(12) == b"HTTP/1.1 200"
            except OSError:
                pass
        exchange_status = b""
        try:
            with connect(port, "127.0.13.1") as s:
                s.sendall(b"GET /download/%s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n" % INSTALLER.encode())
                exchange_status = s.recv(12)
        except OSError:
            pass
        print(f"11 unread downloads from 5 addresses of one /24: {served} of 40 under way; one from another "
              f"network: {status_line(exchange_status) if exchange_status else 'no answer'}")
        close_all(readers)
    finally:
        # The tunnels' clients have closed; their destination never answers.
        start = time.monotonic()
        side.terminate()
        service.terminate()
        try:
            side.wait(timeout=90)
            service.wait(timeout=90)
            stopped = f"{time.monotonic() - start:.1f} s"
        except subprocess.TimeoutExpired:
            side.kill()
            service.kill()
            stopped = "more than 90 s (killed)"
        idle.close()
    print(f"13 stopping the service while its proxies held tunnels their clients had closed: {stopped}")
    for reader in slow_readers:
        reader.join()
    figures = []
    for kib, report in reports.items():
        kept = report[0] if report else None
        figures.append(f"{kib} KiB every 19 s " +
                       (f"let go after {kept:.0f} s" if kept is not None else "still held after 120 s"))
    print(f"12 slow download readers: {'; '.join(figures)}")


def main():
    limit = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (limit[1], limit[1]))
    data = tempfile.mkdtemp(prefix="tarvo-bench-")
    # The demo seed beside its own files, with a 64 MB installer in place of the small one.
    seed = os.path.join(data, "seed")
    os.makedirs(os.path.join(seed, "installer"))
    for folder in ("pages", "icons"):
        os.symlink(os.path.join(ROOT, "service", "seed", folder), os.path.join(seed, folder))
    with open(os.path.join(seed, "installer", INSTALLER), "wb") as installer:
        installer.truncate(64 * 1024 * 1024)
    with open(DEMO) as demo, open(os.path.join(seed, "demo.json"), "w") as copy:
        copy.write(demo.read())
    tls = os.path.join(data, "tls")
    subprocess.run([os.path.join(ROOT, "scripts", "make-demo-tls"), tls], check=True)
    try:
        for secure in (False, True):
            transport = (["--tls-cert", os.path.join(tls, "service.pem"), "--tls-key", os.path.join(tls, "service.key")]
                         if secure else ["--plain-http"])
            service, port, proxies = start_service(data, "tls" if secure else "plain", transport)
            if secure:
                TLS[port] = ssl.create_default_context(cafile=os.path.join(tls, "ca.pem"))
            print(f"--- over {'TLS' if secure else 'plain HTTP'}")
            try:
                post(port, "app/v1.0/version", {"brand": "TarvoBrowser"}, timeout=60)  # the installer's digest, once
                if secure:
                    stalled_handshakes(port)
                else:
                    first_round(port, proxies)
                header_flood(port, service.pid)
                if not secure:
                    tunnels_after_the_end(port, proxies)
                second_round(port, proxies)
                all_at_once(port, proxies, service.pid)
                if not secure:
                    third_round(data, port)
            finally:
                service.terminate()
                service.wait(timeout=10)
        os.makedirs(os.path.join(data, "unit"))
        deployment(os.path.join(data, "unit"), tls)
    finally:
        shutil.rmtree(data, ignore_errors=True)


if __name__ == "__main__":
    main()
