#include "app/instance_handover.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include "platform/debug_output.h"

namespace tarvo {

namespace {
constexpr const char* kLockFileName = "instance.lock";
constexpr qint64 kMaxRequestBytes = 1 << 20;
// A peer that connects and says nothing is dropped after this long.
constexpr int kIdlePeerMs = 5000;
constexpr int kRetryPauseMs = 100;
constexpr char kAcknowledgement[] = "ok\n";
}  // namespace

InstanceHandover::InstanceHandover(std::string dataRoot) : dataRoot_(std::move(dataRoot)) {}

InstanceHandover::~InstanceHandover() {
  server_.reset();
  if (lockFd_ >= 0) {
    close(lockFd_);
  }
}

QString InstanceHandover::ServerName(const std::string& dataRoot) {
  const QByteArray digest =
      QCryptographicHash::hash(QByteArray::fromStdString(dataRoot), QCryptographicHash::Sha1).toHex().left(16);
  return QStringLiteral("tarvo-browser-%1-%2").arg(getuid()).arg(QString::fromLatin1(digest));
}

InstanceHandover::Role InstanceHandover::Claim(const std::vector<WString>& urls, int patienceMs, bool newWindow) {
  const QString name = ServerName(dataRoot_);
  QElapsedTimer waited;
  waited.start();
  while (true) {
    if (TryLock()) {
      Listen();
      return Role::kPrimary;
    }
    if (lockFd_ < 0) {
      // No lock file at all: nothing can be shared safely, and nothing else runs on
      // this root either (it would have created the file).
      return Role::kPrimary;
    }
    const int left = patienceMs - static_cast<int>(waited.elapsed());
    if (left <= 0) {
      return Role::kNoAnswer;
    }
    if (SendUrls(name, urls, left, newWindow)) {
      return Role::kHandedOver;
    }
    QThread::msleep(kRetryPauseMs);
  }
}

bool InstanceHandover::TryLock() {
  if (lockFd_ < 0) {
    lockFd_ = open((dataRoot_ + kLockFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) {
      DebugOutput("instance lock unavailable: " + dataRoot_ + kLockFileName);
      return false;
    }
  }
  return flock(lockFd_, LOCK_EX | LOCK_NB) == 0;
}

bool InstanceHandover::Listen() {
  const QString name = ServerName(dataRoot_);
  // Holding the lock proves that no live process serves this name: a socket file
  // left by a crashed process is removed.
  QLocalServer::removeServer(name);
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name)) {
    DebugOutput("instance server: " + server_->errorString().toStdString());
    server_.reset();
    return false;
  }
  QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] { OnNewConnection(); });
  return true;
}

void InstanceHandover::StopServing() { server_.reset(); }

void InstanceHandover::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { OnReadable(socket); });
    QTimer::singleShot(kIdlePeerMs, socket, [socket] { socket->abort(); });
    if (socket->bytesAvailable() > 0) {
      OnReadable(socket);
    }
  }
}

void InstanceHandover::OnReadable(QLocalSocket* socket) {
  if (!socket->canReadLine()) {
    if (socket->bytesAvailable() > kMaxRequestBytes) {
      DebugOutput("instance hand-over: request too long");
      socket->abort();
    }
    return;
  }
  const QByteArray line = socket->readLine(kMaxRequestBytes).trimmed();
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(line, &error);
  const QJsonValue list = document.object().value(QStringLiteral("urls"));
  if (error.error != QJsonParseError::NoError || !document.isObject() || !list.isArray()) {
    DebugOutput("instance hand-over: unreadable request");
    socket->abort();
    return;
  }
  Request request;
  for (const QJsonValue& url : list.toArray()) {
    if (url.isString()) {
      request.urls.push_back(url.toString().toStdU16String());
    }
  }
  request.newWindow = document.object().value(QStringLiteral("window")).toBool(false);
  socket->write(kAcknowledgement);
  socket->flush();
  socket->disconnectFromServer();
  Deliver(std::move(request));
}

void InstanceHandover::Deliver(Request request) {
  if (receiver_) {
    receiver_(std::move(request.urls), request.newWindow);
  } else {
    pending_.push_back(std::move(request));
  }
}

void InstanceHandover::SetReceiver(Receiver receiver) {
  receiver_ = std::move(receiver);
  auto pending = std::move(pending_);
  pending_.clear();
  for (Request& request : pending) {
    Deliver(std::move(request));
  }
}

bool InstanceHandover::SendUrls(const QString& name, const std::vector<WString>& urls, int timeoutMs,
                                bool newWindow) {
  QElapsedTimer clock;
  clock.start();
  const auto left = [&] { return std::max(1, timeoutMs - static_cast<int>(clock.elapsed())); };
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(left())) {
    return false;
  }
  QJsonArray list;
  for (const WString& url : urls) {
    list.append(QString::fromStdU16String(url));
  }
  QJsonObject message{{QStringLiteral("urls"), list}};
  if (newWindow) {
    message.insert(QStringLiteral("window"), true);
  }
  QByteArray request = QJsonDocument(message).toJson(QJsonDocument::Compact);
  request.append('\n');
  socket.write(request);
  if (!socket.waitForBytesWritten(left())) {
    return false;
  }
  while (!socket.canReadLine()) {
    if (clock.elapsed() >= timeoutMs || !socket.waitForReadyRead(left())) {
      return false;
    }
  }
  return socket.readLine().trimmed() == "ok";
}

}  // namespace tarvo
