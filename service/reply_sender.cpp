#include "reply_sender.h"

#include <algorithm>
#include <cerrno>

namespace tarvo::service {

namespace {

// What one turn gives a single client, so a fast one does not keep the others waiting.
constexpr uint64_t kTurnBudget = 1024 * 1024;
constexpr int kLingerReadsPerTurn = 4;
// A client counts as reading when it takes this much (or the rest) within `stall`;
// one that takes a byte now and then is not.
constexpr uint64_t kProgressStep = 64 * 1024;

}  // namespace

ReplySender::ReplySender(Limits limits)
    : limits_(limits), slots_(ClientSlots::Caps{limits.perClient, limits.perPrefix}) {}

ReplySender::~ReplySender() { Stop(); }

void ReplySender::Start() {
  loop_.Start([this](std::span<const epoll_event> ready, bool woken) {
    if (woken) {
      TakeIncoming();
    }
    for (const epoll_event& event : ready) {
      if (sending_.count(event.data.fd) != 0) {
        Pump(event.data.fd);
      }
    }
    DropOverdue();
  });
}

void ReplySender::Stop() {
  loop_.Stop();
  sending_.clear();
  {
    std::lock_guard lock(incomingMutex_);
    incoming_.clear();
  }
  pending_ = 0;
}

std::optional<ClientSlots::Slot> ReplySender::Reserve(const std::string& address) { return slots_.Take(address); }

void ReplySender::Send(OutgoingReply reply, const std::string& address) {
  std::array<char, 64 * 1024> scratch;
  const OutgoingReply::Progress progress = reply.Send(scratch, kCallerBudget);
  if (progress == OutgoingReply::Progress::kFailed) {
    return;
  }
  if (progress == OutgoingReply::Progress::kSent && !reply.lingers()) {
    if (reply.keepsOpen()) {
      reply.HandOnConnection();
    }
    return;
  }
  if (!reply.holdsSlot()) {
    auto slot = slots_.Take(address);
    if (!slot) {
      return;  // the client leaves enough of its answers unread already
    }
    reply.Hold(std::move(*slot));
  }
  if (!loop_.running() || pending_ >= limits_.total) {
    return;
  }
  ++pending_;
  {
    std::lock_guard lock(incomingMutex_);
    incoming_.push_back(std::move(reply));
  }
  loop_.Wake();
}

void ReplySender::TakeIncoming() {
  std::vector<OutgoingReply> taken;
  {
    std::lock_guard lock(incomingMutex_);
    taken.swap(incoming_);
  }
  const auto now = Clock::now();
  for (OutgoingReply& reply : taken) {
    const int fd = reply.connection().fd();
    const auto allowance = std::chrono::seconds(reply.size() / std::max<uint64_t>(limits_.slowestRate, 1));
    if (!loop_.Watch(fd, EPOLLOUT)) {
      --pending_;
      continue;
    }
    const uint64_t remaining = reply.remaining();
    sending_.emplace(fd, Sending{std::move(reply), now, now + limits_.deadline + allowance, now, remaining});
    Pump(fd);
  }
}

void ReplySender::Pump(int fd) {
  Sending& sending = sending_.at(fd);
  const auto now = Clock::now();
  if (!sending.lingering) {
    const OutgoingReply::Progress progress = sending.reply.Send(scratch_, kTurnBudget);
    const uint64_t remaining = sending.reply.remaining();
    if (sending.remainingAtMark - remaining >= std::min(kProgressStep, sending.remainingAtMark)) {
      sending.progressed = now;
      sending.remainingAtMark = remaining;
    }
    if (progress != OutgoingReply::Progress::kSent) {
      if (progress == OutgoingReply::Progress::kFailed) {
        Finish(fd);
      }
      return;
    }
    if (!sending.reply.lingers()) {
      Finish(fd, true);
      return;
    }
    sending.lingering = true;
    sending.deadline = std::min(sending.deadline, now + limits_.linger);
    loop_.Change(fd, EPOLLIN);
  }
  for (int turn = 0; turn < kLingerReadsPerTurn; ++turn) {
    const long received = sending.reply.connection().Discard(scratch_.data(), scratch_.size());
    if (received > 0) {
      continue;
    }
    if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      return;
    }
    Finish(fd);  // the client has read the answer and closed
    return;
  }
}

void ReplySender::Finish(int fd, bool sent) {
  loop_.Forget(fd);
  // Closes the connection (unless it serves again) and the file, gives the client's place back.
  auto finished = sending_.extract(fd);
  --pending_;
  if (sent && finished.mapped().reply.keepsOpen()) {
    finished.mapped().reply.HandOnConnection();
  }
}

bool ReplySender::BelowFloor(const Sending& sending, Clock::time_point now) const {
  const auto age = now - sending.started;
  if (age < limits_.deadline) {
    return false;
  }
  // What the client took: the system's buffers on the way hold megabytes that a
  // reader which barely reads never takes.
  const uint64_t written = sending.reply.size() - sending.reply.remaining();
  const uint64_t taken = written - std::min(written, sending.reply.connection().Untaken());
  const auto ms = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(age).count());
  return taken < limits_.slowestRate * ms / 1000;
}

void ReplySender::DropOverdue() {
  const auto now = Clock::now();
  std::vector<int> overdue;
  for (const auto& [fd, sending] : sending_) {
    if (now >= sending.deadline || (!sending.lingering && now - sending.progressed >= limits_.stall) ||
        (!sending.lingering && BelowFloor(sending, now))) {
      overdue.push_back(fd);
    }
  }
  for (const int fd : overdue) {
    Finish(fd);
  }
}

}  // namespace tarvo::service
