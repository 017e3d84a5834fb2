#include "outgoing_reply.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace tarvo::service {

OutgoingReply::OutgoingReply(TcpConnection connection, std::string text)
    : connection_(std::move(connection)), text_(std::move(text)), size_(text_.size()) {}

OutgoingReply::OutgoingReply(OutgoingReply&& other) noexcept
    : connection_(std::move(other.connection_)),
      text_(std::move(other.text_)),
      textSent_(other.textSent_),
      fileFd_(std::exchange(other.fileFd_, -1)),
      fileOffset_(other.fileOffset_),
      fileRemaining_(other.fileRemaining_),
      size_(other.size_),
      ended_(other.ended_),
      linger_(other.linger_),
      next_(std::move(other.next_)),
      slot_(std::move(other.slot_)) {}

OutgoingReply& OutgoingReply::operator=(OutgoingReply&& other) noexcept {
  if (this != &other) {
    if (fileFd_ >= 0) {
      ::close(fileFd_);
    }
    connection_ = std::move(other.connection_);
    text_ = std::move(other.text_);
    textSent_ = other.textSent_;
    fileFd_ = std::exchange(other.fileFd_, -1);
    fileOffset_ = other.fileOffset_;
    fileRemaining_ = other.fileRemaining_;
    size_ = other.size_;
    ended_ = other.ended_;
    linger_ = other.linger_;
    next_ = std::move(other.next_);
    slot_ = std::move(other.slot_);
  }
  return *this;
}

OutgoingReply::~OutgoingReply() {
  if (fileFd_ >= 0) {
    ::close(fileFd_);
  }
}

void OutgoingReply::AttachFile(int fd, uint64_t size) {
  if (fileFd_ >= 0) {
    ::close(fileFd_);
  }
  fileFd_ = fd;
  fileOffset_ = 0;
  fileRemaining_ = size;
  size_ = text_.size() + size;
}

OutgoingReply::Progress OutgoingReply::Send(std::span<char> scratch, uint64_t budget) {
  // Every byte goes through the connection, enciphered over TLS. A piece the
  // client did not take is offered again whole from the same place, as TLS wants.
  while (textSent_ < text_.size()) {
    const long sent = connection_.SendSome(std::string_view(text_).substr(textSent_));
    if (sent <= 0) {
      return sent < 0 ? Progress::kFailed : Progress::kBlocked;
    }
    textSent_ += static_cast<size_t>(sent);
  }
  while (fileRemaining_ > 0) {
    if (budget == 0) {
      return Progress::kBlocked;
    }
    // A whole scratch at a time, whatever is left of the budget, so a retry offers
    // no fewer bytes than the try before.
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(fileRemaining_, scratch.size()));
    // Read again from where the client stopped taking: nothing is kept between calls.
    const ssize_t read = ::pread(fileFd_, scratch.data(), wanted, static_cast<off_t>(fileOffset_));
    if (read <= 0) {
      if (read < 0 && errno == EINTR) {
        continue;
      }
      return Progress::kFailed;  // the file shrank or cannot be read: the client sees a short body
    }
    const long sent = connection_.SendSome(std::string_view(scratch.data(), static_cast<size_t>(read)));
    if (sent <= 0) {
      return sent < 0 ? Progress::kFailed : Progress::kBlocked;
    }
    fileOffset_ += static_cast<uint64_t>(sent);
    fileRemaining_ -= static_cast<uint64_t>(sent);
    budget -= std::min(budget, static_cast<uint64_t>(sent));
  }
  if (fileFd_ >= 0) {
    ::close(std::exchange(fileFd_, -1));
  }
  if (!ended_ && !next_) {
    if (!connection_.EndSending()) {
      return Progress::kBlocked;
    }
    ended_ = true;
  }
  return Progress::kSent;
}

void OutgoingReply::HandOnConnection() {
  const NextRequest next = std::exchange(next_, NextRequest());
  next(std::move(connection_));
}

}  // namespace tarvo::service
