#include "http_front.h"

#include <httplib.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>

#include "api_codes.h"
#include "api_reply.h"
#include "api_router.h"
#include "form_fields.h"
#include "json_text.h"
#include "release_endpoints.h"
#include "served_files.h"
#include "service_error.h"

namespace tarvo::service {

namespace {

constexpr const char* kJsonType = "application/json; charset=utf-8";
constexpr const char* kHtmlType = "text/html; charset=utf-8";
constexpr std::string_view kApiPrefix = "/app/";
constexpr std::string_view kResetPasswordPath = "/personal-center/respwd.jsp";

// The account centre's password-reset page. Accounts are reset by whoever runs this
// service (re-seed the user with a new password); the page says so.
constexpr std::string_view kResetPasswordPage = R"HTML(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Reset password</title></head>
<body>
<h1>Reset password</h1>
<p>This service resets passwords through its operator: ask for your account to be
seeded again with a new password, then log in with it.</p>
<form onsubmit="return false"><label>Account <input name="username"></label>
<button disabled>Send reset mail</button></form>
</body></html>
)HTML";

bool IsApiPath(const std::string& path) { return path.compare(0, kApiPrefix.size(), kApiPrefix) == 0; }

void SetEnvelope(httplib::Response& response, int status, const ApiReply& reply) {
  response.status = status;
  response.set_content(reply.ToJson(), kJsonType);
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

const char* StatusText(int status) {
  switch (status) {
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Payload Too Large";
    case 414: return "URI Too Long";
    case 415: return "Unsupported Media Type";
    default: return status >= 500 ? "Server Error" : "Error";
  }
}

// The envelope code at the start of a reply body ({"code":NNN,...}), or 0.
int EnvelopeCode(const std::string& body) {
  constexpr std::string_view kPrefix = "{\"code\":";
  if (body.compare(0, kPrefix.size(), kPrefix) != 0) {
    return 0;
  }
  return std::atoi(body.c_str() + kPrefix.size());
}

}  // namespace

HttpFront::HttpFront(HttpFrontOptions options, std::ostream* log) : options_(std::move(options)), log_(log) {}

HttpFront::~HttpFront() { Stop(); }

std::unique_ptr<httplib::Server> HttpFront::MakeServer() const {
  auto server = std::make_unique<httplib::Server>();
  const int threads = options_.threads;
  server->new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
  server->set_payload_max_length(options_.maxBodyBytes);
  server->set_tcp_nodelay(true);
  return server;
}

int HttpFront::Bind(const std::vector<std::string>& mirrorAddresses) {
  auto main = MakeServer();
  if (options_.port == 0) {
    port_ = main->bind_to_any_port(options_.listenAddress);
  } else {
    port_ = main->bind_to_port(options_.listenAddress, options_.port) ? options_.port : -1;
  }
  if (port_ <= 0) {
    throw ServiceError("cannot listen on " + options_.listenAddress + ":" + std::to_string(options_.port) +
                       " (address in use or not available)");
  }
  servers_.push_back(std::move(main));
  const bool listensEverywhere = options_.listenAddress == "0.0.0.0";
  for (const std::string& address : mirrorAddresses) {
    if (listensEverywhere || address == options_.listenAddress) {
      continue;
    }
    auto mirror = MakeServer();
    if (!mirror->bind_to_port(address, port_)) {
      std::cerr << "tarvo-service: cannot listen on mirror address " << address << ":" << port_
                << "; that mirror is not served" << std::endl;
      continue;
    }
    servers_.push_back(std::move(mirror));
  }
  return port_;
}

void HttpFront::Serve(const ApiRouter& router, const ServedFiles& files, std::function<std::string()> proxyStatus) {
  for (const auto& server : servers_) {
    Install(*server, router, files, proxyStatus);
    listeners_.emplace_back([raw = server.get()] { raw->listen_after_bind(); });
  }
  // A stop request before a listener runs would be ignored and leave it accepting
  // forever, so Serve returns only once every listener is running.
  for (const auto& server : servers_) {
    for (int waited = 0; !server->is_running() && waited < 5000; ++waited) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
}

void HttpFront::Stop() {
  for (const auto& server : servers_) {
    server->stop();
  }
  for (std::thread& listener : listeners_) {
    listener.join();
  }
  listeners_.clear();
}

void HttpFront::Install(httplib::Server& server, const ApiRouter& router, const ServedFiles& files,
                        const std::function<std::string()>& proxyStatus) {
  const size_t maxBody = options_.maxBodyBytes;

  server.set_pre_routing_handler([&router](const httplib::Request& request, httplib::Response& response) {
    if (!IsApiPath(request.path) || request.method == "POST") {
      return httplib::Server::HandlerResponse::Unhandled;
    }
    const std::string path = request.path.substr(1);
    if (router.Knows(path)) {
      response.set_header("Allow", "POST");
      SetEnvelope(response, 405, ApiReply::Failure(kCodeMethodNotAllowed, "use POST"));
    } else {
      SetEnvelope(response, 404, ApiReply::Failure(kCodeNotFound, "unknown path"));
    }
    return httplib::Server::HandlerResponse::Handled;
  });

  server.Post("/app/.*", [&router, maxBody](const httplib::Request& request, httplib::Response& response,
                                            const httplib::ContentReader& reader) {
    if (request.is_multipart_form_data()) {
      SetEnvelope(response, 415, ApiReply::Failure(kCodeBadRequest, "send an application/x-www-form-urlencoded body"));
      response.set_header("Connection", "close");
      return;
    }
    std::string body;
    const bool complete = reader([&body, maxBody](const char* data, size_t length) {
      if (body.size() + length > maxBody) {
        return false;
      }
      body.append(data, length);
      return true;
    });
    if (!complete) {
      SetEnvelope(response, 413, ApiReply::Failure(kCodeTooLarge, "request body too large or incomplete"));
      response.set_header("Connection", "close");
      return;
    }
    const std::string path = request.path.substr(1);
    const RequestContext context{request.remote_addr, request.get_header_value("Host")};
    const ApiReply reply = router.Dispatch(path, FormFields::Parse(body), context);
    SetEnvelope(response, router.Knows(path) ? 200 : 404, reply);
  });

  server.Get(std::string(kResetPasswordPath), [](const httplib::Request&, httplib::Response& response) {
    response.set_content(std::string(kResetPasswordPage), kHtmlType);
  });

  server.Get("/status/proxies", [proxyStatus](const httplib::Request&, httplib::Response& response) {
    response.set_content(proxyStatus(), kJsonType);
  });

  server.Get(std::string(ReleaseEndpoints::kDownloadPath) + "(.+)",
             [&files](const httplib::Request& request, httplib::Response& response) {
               const auto path = files.FindInstaller(request.matches[1].str());
               const auto content = path ? ReadFile(*path) : std::nullopt;
               if (!content) {
                 response.status = 404;
                 return;
               }
               response.set_content(*content, "application/octet-stream");
             });

  server.Get(".*", [&files](const httplib::Request& request, httplib::Response& response) {
    const auto path = files.FindPage(request.get_header_value("Host"), request.path);
    const auto content = path ? ReadFile(*path) : std::nullopt;
    if (!content) {
      response.status = 404;
      return;
    }
    response.set_content(*content, ServedFiles::ContentType(*path));
  });

  server.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request& request,
                                                                   httplib::Response& response) {
    if (!response.body.empty()) {
      return httplib::Server::HandlerResponse::Unhandled;
    }
    if (IsApiPath(request.path)) {
      const int code = response.status == 413 ? kCodeTooLarge : response.status;
      SetEnvelope(response, response.status, ApiReply::Failure(code, StatusText(response.status)));
    } else {
      response.set_content(std::to_string(response.status) + " " + StatusText(response.status) +
                               "\n",
                           "text/plain; charset=utf-8");
    }
    return httplib::Server::HandlerResponse::Handled;
  }));

  server.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
    SetEnvelope(response, 500, ApiReply::Failure(kCodeServerError, "internal error"));
  });

  server.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
    Log(request, response);
  });
}

void HttpFront::Log(const httplib::Request& request, const httplib::Response& response) {
  if (log_ == nullptr) {
    return;
  }
  std::ostringstream line;
  line << request.remote_addr << " " << request.method << " " << request.path << " " << response.status;
  if (const int code = EnvelopeCode(response.body); code != 0) {
    line << " code=" << code;
  }
  line << " bytes=" << response.body.size() << "\n";
  std::lock_guard lock(logMutex_);
  *log_ << line.str() << std::flush;
}

}  // namespace tarvo::service
