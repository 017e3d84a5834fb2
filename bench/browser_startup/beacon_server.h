#pragma once
// The benchmark's loopback web server: "/page?tab=N" answers a page whose onload
// handler fetches "/beacon"; the server counts the beacons, so "first page loaded"
// means the same thing for every browser measured.
//
// Threads: the server's threads count under mutex_; the harness thread waits on
// arrived_.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

class BeaconServer {
 public:
  BeaconServer();
  ~BeaconServer();
  BeaconServer(const BeaconServer&) = delete;
  BeaconServer& operator=(const BeaconServer&) = delete;

  // The page address for tab `tab`.
  std::string PageUrl(int tab) const;
  // Forgets the beacons counted so far (before starting a program).
  void Reset();
  // Waits until `count` beacons arrived since Reset; false after `limit`.
  bool WaitForBeacons(int count, std::chrono::milliseconds limit);

 private:
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex mutex_;
  std::condition_variable arrived_;
  int beacons_ = 0;
};
