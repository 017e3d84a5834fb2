// Figures for tarvo-service under many clients at once, on loopback only:
//
//   build/bin/service_load_bench [seconds per load, default 5] [stores]
//   tests/service/with_postgresql.sh build/bin/service_load_bench [seconds] [stores]
//
// Starts tarvo-service (beside this program) with the demo seed on a free port and
// prints requests per second and p50/p99 latency of
//   - 500 concurrent clients asking user_info, and 50 asking domain_list, over plain
//     HTTP and then over TLS (a second service with a certificate made for the run),
//     each client in three ways: a new connection per request (over TLS a full
//     handshake each time), a new connection per request resuming the last one's TLS
//     session, and one connection kept alive for request after request (as the
//     browser keeps its connection to the service);
//   - 50 clients asking user_info while 1,000 connections that send nothing are
//     held open, once from one address and once from 1,000 loopback addresses;
//     with how many of those idle connections the service still holds.
// Given a PostgreSQL server (TARVO_TEST_POSTGRESQL, as with_postgresql.sh sets it),
// it then compares the stores with 50 clients on user_info (reads) and on
// log_client_launch (writes): one process on SQLite, one on PostgreSQL, and two
// processes on one PostgreSQL database with the clients spread over both; on
// PostgreSQL also 50 clients each rewriting the favourites of an account of its
// own (writes that touch different rows). "stores" runs this comparison alone.
// Every load stops by itself; the service is stopped at the end.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <libpq-fe.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/test_credentials.h"

namespace {

using Clock = std::chrono::steady_clock;

// A loopback TCP connection, closed when it goes out of scope.
class Socket {
 public:
  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  Socket(Socket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Socket& operator=(Socket&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Socket() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  int fd() const { return fd_; }

  // Connects to 127.0.0.1:port, from `source` when given (127.x.y.z).
  static Socket Connect(int port, const char* source = nullptr) {
    Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    if (source != nullptr) {
      inet_pton(AF_INET, source, &address.sin_addr);
      if (::bind(socket.fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        return Socket();
      }
    }
    address.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (socket.fd_ < 0 || ::connect(socket.fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
      return Socket();
    }
    return socket;
  }

  // Still open on the service's side: nothing to read and no end of stream.
  bool HeldByPeer() const {
    char byte = 0;
    const ssize_t got = ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }

 private:
  int fd_ = -1;
};

// How a client reaches the service, request after request.
enum class Reuse {
  kNone,        // a new connection per request, over TLS a full handshake each time
  kSession,     // a new connection per request, over TLS resuming the last session
  kConnection,  // one connection kept alive while the service keeps it
};

// One client of a load: sends POSTs and reads their whole answers, over TLS when
// given a context (the certificate verified).
class LoadClient {
 public:
  LoadClient(int port, SSL_CTX* tls, Reuse reuse) : port_(port), tls_(tls), reuse_(reuse) {}
  ~LoadClient() { SSL_SESSION_free(session_); }
  LoadClient(const LoadClient&) = delete;
  LoadClient& operator=(const LoadClient&) = delete;

  // The whole answer ("" when the exchange failed).
  std::string Post(const std::string& path, const std::string& body) {
    const bool keep = reuse_ == Reuse::kConnection;
    const std::string request = "POST /" + path +
                                " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n" +
                                (keep ? "" : "Connection: close\r\n") +
                                "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    // A kept connection the service closed meanwhile (idle, or its request limit)
    // is opened again once, as a browser's client does.
    for (int attempt = 0; attempt < 2; ++attempt) {
      const bool fresh = socket_.fd() < 0;
      if (fresh && !Open()) {
        return std::string();
      }
      std::string reply;
      if (Write(request) && ReadAnswer(reply)) {
        if (!keep || reply.find("\r\nConnection: close\r\n") != std::string::npos) {
          Close();
        }
        return reply;
      }
      Close();
      if (fresh) {
        break;
      }
    }
    return std::string();
  }

  // TLS handshakes made, and how many of them resumed a session.
  size_t handshakes() const { return handshakes_; }
  size_t resumed() const { return resumed_; }

 private:
  bool Open() {
    socket_ = Socket::Connect(port_);
    if (socket_.fd() < 0) {
      return false;
    }
    timeval timeout{30, 0};
    setsockopt(socket_.fd(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    if (tls_ == nullptr) {
      return true;
    }
    ssl_.reset(SSL_new(tls_));
    if (!ssl_ || SSL_set_fd(ssl_.get(), socket_.fd()) != 1 || SSL_set1_host(ssl_.get(), "127.0.0.1") != 1 ||
        (reuse_ != Reuse::kNone && session_ != nullptr && SSL_set_session(ssl_.get(), session_) != 1)) {
      return false;
    }
    if (SSL_connect(ssl_.get()) != 1) {
      return false;
    }
    ++handshakes_;
    resumed_ += SSL_session_reused(ssl_.get()) == 1 ? 1 : 0;
    return true;
  }

  void Close() {
    if (ssl_ && reuse_ != Reuse::kNone) {
      // TLS 1.3 sends its tickets after the handshake: the session is resumable
      // once an answer has come.
      if (SSL_SESSION* session = SSL_get1_session(ssl_.get()); session != nullptr) {
        SSL_SESSION_free(session_);
        session_ = session;
      }
      // OpenSSL marks the session of a connection freed without its close_notify
      // as not to be resumed (kept, it was never resumed at all): sent, as
      // browsers' clients send it.
      SSL_shutdown(ssl_.get());
    }
    ssl_.reset();
    socket_ = Socket();
  }

  bool Write(const std::string& data) {
    if (ssl_) {
      return SSL_write(ssl_.get(), data.data(), static_cast<int>(data.size())) == static_cast<int>(data.size());
    }
    return ::send(socket_.fd(), data.data(), data.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(data.size());
  }

  long Read(char* buffer, size_t capacity) {
    if (ssl_) {
      return SSL_read(ssl_.get(), buffer, static_cast<int>(capacity));
    }
    return ::recv(socket_.fd(), buffer, capacity, 0);
  }

  // The head and its Content-Length body.
  bool ReadAnswer(std::string& reply) {
    char chunk[16384];
    size_t whole = std::string::npos;
    while (whole == std::string::npos || reply.size() < whole) {
      const long got = Read(chunk, sizeof(chunk));
      if (got <= 0) {
        return false;
      }
      reply.append(chunk, static_cast<size_t>(got));
      const size_t end = reply.find("\r\n\r\n");
      const size_t length = reply.find("\r\nContent-Length: ");
      if (whole == std::string::npos && end != std::string::npos && length != std::string::npos && length < end) {
        whole = end + 4 + std::strtoul(reply.c_str() + length + 18, nullptr, 10);
      }
    }
    return true;
  }

  const int port_;
  SSL_CTX* const tls_;
  const Reuse reuse_;
  Socket socket_;
  std::unique_ptr<SSL, decltype(&SSL_free)> ssl_{nullptr, &SSL_free};
  SSL_SESSION* session_ = nullptr;  // owned
  size_t handshakes_ = 0;
  size_t resumed_ = 0;
};

// One POST on a connection of its own and its whole answer ("" when the exchange
// failed); over TLS when `tls` is given.
std::string Post(int port, const std::string& path, const std::string& body, SSL_CTX* tls = nullptr) {
  return LoadClient(port, tls, Reuse::kNone).Post(path, body);
}

bool Succeeded(const std::string& reply) {
  const size_t body = reply.find("\r\n\r\n");
  return reply.rfind("HTTP/1.1 200", 0) == 0 && body != std::string::npos &&
         reply.compare(body + 4, 11, "{\"code\":200") == 0;
}

// The string value of "key" in a flat JSON reply.
std::string JsonField(const std::string& text, const std::string& key) {
  const std::string marker = "\"" + key + "\":";
  size_t at = text.find(marker);
  if (at == std::string::npos) {
    return std::string();
  }
  at += marker.size();
  if (text[at] == '"') {
    return text.substr(at + 1, text.find('"', at + 1) - at - 1);
  }
  return text.substr(at, text.find_first_of(",}", at) - at);
}

struct LoadFigures {
  size_t answered = 0;
  size_t failed = 0;
  double seconds = 0;
  double p50Ms = 0;
  double p99Ms = 0;
  size_t handshakes = 0;  // over TLS
  size_t resumed = 0;
  std::string failures;  // "; N status ..." for each kind of failure
};

// `clients` threads each asking `path` again and again for `seconds`, client i of
// the process on ports[i % ports.size()] with bodies[i % bodies.size()]; over TLS
// when `tls` is given.
LoadFigures RunLoad(const std::vector<int>& ports, int clients, const std::string& path,
                    const std::vector<std::string>& bodies, double seconds, SSL_CTX* tls = nullptr,
                    Reuse reuse = Reuse::kNone) {
  std::mutex mutex;
  std::vector<double> latencies;
  std::atomic<size_t> failed{0};
  std::atomic<size_t> handshakes{0};
  std::atomic<size_t> resumed{0};
  std::map<std::string, size_t> failures;  // by status line
  std::atomic<bool> go{false};
  Clock::time_point end;
  std::vector<std::thread> threads;
  for (int i = 0; i < clients; ++i) {
    threads.emplace_back([&, port = ports[static_cast<size_t>(i) % ports.size()],
                          &body = bodies[static_cast<size_t>(i) % bodies.size()]] {
      while (!go) {
        std::this_thread::yield();
      }
      std::vector<double> mine;
      LoadClient client(port, tls, reuse);
      while (Clock::now() < end) {
        const auto start = Clock::now();
        const std::string reply = client.Post(path, body);
        if (Succeeded(reply)) {
          mine.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        } else {
          ++failed;
          std::lock_guard lock(mutex);
          ++failures[reply.empty() ? std::string("no answer") : reply.substr(0, reply.find('\r'))];
        }
      }
      handshakes += client.handshakes();
      resumed += client.resumed();
      std::lock_guard lock(mutex);
      latencies.insert(latencies.end(), mine.begin(), mine.end());
    });
  }
  const auto start = Clock::now();
  end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  go = true;
  for (std::thread& thread : threads) {
    thread.join();
  }
  LoadFigures figures;
  figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  figures.answered = latencies.size();
  figures.failed = failed;
  figures.handshakes = handshakes;
  figures.resumed = resumed;
  if (!latencies.empty()) {
    std::sort(latencies.begin(), latencies.end());
    figures.p50Ms = latencies[latencies.size() / 2];
    figures.p99Ms = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
  }
  for (const auto& [status, count] : failures) {
    figures.failures += "; " + std::to_string(count) + " " + status;
  }
  return figures;
}

void Print(const std::string& what, const LoadFigures& figures) {
  std::printf("%-72s %6.0f req/s  p50 %7.2f ms  p99 %8.2f ms  (%zu answered, %zu failed%s)\n", what.c_str(),
              static_cast<double>(figures.answered) / figures.seconds, figures.p50Ms, figures.p99Ms, figures.answered,
              figures.failed, figures.failures.c_str());
  if (figures.handshakes > 0) {
    std::printf("  TLS handshakes %zu, resumed %zu\n", figures.handshakes, figures.resumed);
  }
  std::fflush(stdout);
}

// tarvo-service as a child process on a free port; stopped with SIGTERM.
class ServiceProcess {
 public:
  // `options`: the store ("--data FILE" or "--database URL") and the transport
  // ("--plain-http" or the TLS flags); the seed is applied with `seed`.
  ServiceProcess(const std::string& program, const std::vector<std::string>& options, bool seed) {
    std::vector<std::string> arguments{program, "--port", "0", "--password-iterations", "1000", "--quiet"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    if (seed) {
      arguments.insert(arguments.end(), {"--seed", TARVO_DEMO_SEED});
    }
    int output[2];
    if (pipe(output) != 0) {
      return;
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(output[1], STDOUT_FILENO);
      close(output[0]);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(output[1]);
    std::string text;
    char chunk[256];
    ssize_t got = 0;
    while (text.find("/\n") == std::string::npos && (got = read(output[0], chunk, sizeof(chunk))) > 0) {
      text.append(chunk, static_cast<size_t>(got));
    }
    close(output[0]);
    const size_t colon = text.rfind(':');
    port_ = colon == std::string::npos ? 0 : std::atoi(text.c_str() + colon + 1);
  }
  ~ServiceProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  int port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

// Opens `count` connections that send nothing, from one address or spread over
// 127.0.1.0/24, 127.0.2.0/24 ...
std::vector<Socket> OpenIdle(int port, int count, bool spread) {
  std::vector<Socket> idle;
  for (int i = 0; i < count; ++i) {
    const std::string source =
        "127.0." + std::to_string(1 + i / 250) + "." + std::to_string(1 + i % 250);
    Socket socket = Socket::Connect(port, spread ? source.c_str() : nullptr);
    if (socket.fd() >= 0) {
      idle.push_back(std::move(socket));
    }
  }
  return idle;
}

size_t Held(const std::vector<Socket>& idle) {
  return static_cast<size_t>(std::count_if(idle.begin(), idle.end(), [](const Socket& s) { return s.HeldByPeer(); }));
}

// The user_info form of the demo user, logged in on `port` ("" when that fails).
std::string UserInfoForm(int port, SSL_CTX* tls = nullptr) {
  const std::string login = Post(port, "app/v1.0/login", "username=demo%40tarvo.test&password=demo1234", tls);
  if (port == 0 || !Succeeded(login)) {
    return std::string();
  }
  return "id=" + JsonField(login, "id") + "&token=" + JsonField(login, "token") + "&language=usa";
}

// Runs one statement on `database` of the server (its maintenance database unless
// told); false when it fails.
bool Administer(const std::string& server, const std::string& sql, const std::string& database = "postgres") {
  PGconn* connection = PQconnectdb((server + database).c_str());
  PGresult* result = PQexec(connection, sql.c_str());
  const bool done = PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
  if (!done) {
    std::fprintf(stderr, "service_load_bench: %s: %s", sql.c_str(), PQerrorMessage(connection));
  }
  PQclear(result);
  PQfinish(connection);
  return done;
}

constexpr int kWritingAccounts = 50;

// Copies of the demo account, load1@tarvo.test ... (same password), made once in
// `database`, so each client of a write load edits an account of its own.
bool MakeAccounts(const std::string& server, const std::string& database) {
  return Administer(server,
                    "INSERT INTO users(username, brand, password, name, sex, status, profile_photo, user_group,"
                    " select_permission, vpn_allowed, vpn_seconds, favorites, next_favorite_id, created_at)"
                    " SELECT 'load' || g || '@tarvo.test', brand, password, name, sex, status, profile_photo,"
                    " user_group, select_permission, vpn_allowed, vpn_seconds, favorites, next_favorite_id, created_at"
                    " FROM users, generate_series(1, " +
                        std::to_string(kWritingAccounts) +
                        ") AS g WHERE username='demo@tarvo.test' ON CONFLICT DO NOTHING",
                    database);
}

// For each copied account, logged in on `port`, a favourites edit that rewrites its
// document (deleting an id it does not have); empty when a log-in fails.
std::vector<std::string> AccountEdits(int port) {
  std::vector<std::string> edits;
  for (int i = 1; i <= kWritingAccounts; ++i) {
    const std::string login = Post(port, "app/v1.0/login",
                                   "username=load" + std::to_string(i) + "%40tarvo.test&password=demo1234");
    if (!Succeeded(login)) {
      return {};
    }
    edits.push_back("token=" + JsonField(login, "token") + "&data=%5B999999999%5D");
  }
  return edits;
}

// The same reads and writes against each store, processes started afresh for each.
int CompareStores(const std::filesystem::path& program, const std::filesystem::path& data, const std::string& server,
                  double seconds) {
  const std::string database = "tarvo_load_" + std::to_string(getpid());
  if (!Administer(server, "CREATE DATABASE " + database)) {
    return 1;
  }
  const std::string launch = "brand=TarvoBrowser&platform=PC&clientversion=5.5.8.1";
  const struct {
    const char* name;
    std::vector<std::string> store;
    int processes;
  } setups[] = {
      {"one process, SQLite", {"--data", (data / "compare.db").string(), "--plain-http"}, 1},
      {"one process, PostgreSQL", {"--database", server + database, "--plain-http"}, 1},
      {"two processes, one PostgreSQL", {"--database", server + database, "--plain-http"}, 2},
  };
  int status = 0;
  for (const auto& setup : setups) {
    std::vector<std::unique_ptr<ServiceProcess>> processes;
    std::vector<int> ports;
    for (int i = 0; i < setup.processes; ++i) {
      processes.push_back(std::make_unique<ServiceProcess>(program.string(), setup.store, i == 0));
      ports.push_back(processes.back()->port());
    }
    const std::string userInfo = UserInfoForm(ports.front());
    if (userInfo.empty() || std::count(ports.begin(), ports.end(), 0) > 0) {
      std::fprintf(stderr, "service_load_bench: %s did not start\n", setup.name);
      status = 1;
      continue;
    }
    Print(std::string(setup.name) + ": user_info, 50 clients",
          RunLoad(ports, 50, "app/v1.0/user_info", {userInfo}, seconds));
    Print(std::string(setup.name) + ": log_client_launch, 50 clients",
          RunLoad(ports, 50, "app/v1.0/log_client_launch", {launch}, seconds));
    if (setup.store.front() != "--database") {
      continue;
    }
    const std::vector<std::string> edits =
        MakeAccounts(server, database) ? AccountEdits(ports.front()) : std::vector<std::string>();
    if (edits.empty()) {
      std::fprintf(stderr, "service_load_bench: %s: the accounts to write were not made\n", setup.name);
      status = 1;
      continue;
    }
    Print(std::string(setup.name) + ": del_user_fav, 50 clients, 50 accounts",
          RunLoad(ports, 50, "app/v1.0/del_user_fav", edits, seconds));
  }
  Administer(server, "DROP DATABASE IF EXISTS " + database + " WITH (FORCE)");
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
  const bool storesAlone = argc > 2 && std::strcmp(argv[2], "stores") == 0;
  const std::filesystem::path here = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  const std::filesystem::path data = std::filesystem::temp_directory_path() / ("tarvo-load-" + std::to_string(getpid()));
  std::filesystem::create_directories(data);
  int status = 0;
  if (!storesAlone) {
    const tarvo::test::TestCredentials trust(data / "trust");
    const std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> tls(SSL_CTX_new(TLS_client_method()), &SSL_CTX_free);
    SSL_CTX_load_verify_file(tls.get(), trust.caFile().c_str());
    SSL_CTX_set_verify(tls.get(), SSL_VERIFY_PEER, nullptr);
    const std::string program = (here / "tarvo-service").string();
    const ServiceProcess service(program, {"--data", (data / "service.db").string(), "--plain-http"}, true);
    const ServiceProcess secure(program,
                                {"--data", (data / "secure.db").string(), "--tls-cert", trust.certificateFile(),
                                 "--tls-key", trust.certificateKeyFile()},
                                true);
    const int port = service.port();
    const std::string userInfo = UserInfoForm(port);
    if (userInfo.empty()) {
      std::fprintf(stderr, "service_load_bench: the service did not start or the demo log-in failed\n");
      status = 1;
    } else {
      const std::string domainList = "latest_time=0&platform=3&client_version=0&brand=TarvoBrowser";
      const std::string secureUserInfo = UserInfoForm(secure.port(), tls.get());
      const struct {
        Reuse reuse;
        const char* what;
      } ways[] = {{Reuse::kNone, "new connections"},
                  {Reuse::kSession, "new connections, resumed"},
                  {Reuse::kConnection, "keep-alive"}};
      for (const auto& way : ways) {
        for (const bool overTls : {false, true}) {
          if (way.reuse == Reuse::kSession && !overTls) {
            continue;  // nothing to resume without TLS
          }
          const int target = overTls ? secure.port() : port;
          SSL_CTX* client = overTls ? tls.get() : nullptr;
          const std::string& info = overTls ? secureUserInfo : userInfo;
          const std::string over = std::string(overTls ? ", TLS, " : ", plain HTTP, ") + way.what;
          Print("user_info, 500 concurrent clients" + over,
                RunLoad({target}, 500, "app/v1.0/user_info", {info}, seconds, client, way.reuse));
          Print("domain_list, 50 concurrent clients" + over,
                RunLoad({target}, 50, "app/v1.0/domain_list", {domainList}, seconds, client, way.reuse));
          Print("user_info, 50 clients, no idle connections" + over,
                RunLoad({target}, 50, "app/v1.0/user_info", {info}, seconds, client, way.reuse));
        }
      }
      for (const bool spread : {false, true}) {
        std::vector<Socket> idle = OpenIdle(port, 1000, spread);
        const std::string what = std::string("user_info, 50 clients, 1,000 idle connections from ") +
                                 (spread ? "1,000 addresses" : "one address");
        const LoadFigures figures = RunLoad({port}, 50, "app/v1.0/user_info", {userInfo}, seconds);
        const size_t held = Held(idle);
        Print(what, figures);
        std::printf("  idle connections opened %zu, still held by the service after %.0f s: %zu\n", idle.size(),
                    seconds, held);
        // The service lets go of them once its request deadline has passed.
        std::this_thread::sleep_for(std::chrono::seconds(11) - std::chrono::duration<double>(seconds));
        std::printf("  held after the 10 s request deadline: %zu\n", Held(idle));
        std::fflush(stdout);
      }
    }
  }
  const char* server = std::getenv("TARVO_TEST_POSTGRESQL");
  if (status == 0 && server != nullptr && server[0] != '\0') {
    status = CompareStores(here / "tarvo-service", data, server, seconds);
  }
  std::filesystem::remove_all(data);
  return status;
}
