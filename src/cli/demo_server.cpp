// corvane-demo-server ADDRESS PORT FOLDER: serves the files of FOLDER over
// HTTP on a loopback address, standing in for the provider's test address in
// the demo. Runs until it is terminated.

#include <httplib.h>

#include <csignal>
#include <iostream>
#include <string>

namespace {
httplib::Server* running = nullptr;
void stop(int) {
  if (running) running->stop();
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: corvane-demo-server ADDRESS PORT FOLDER\n";
    return 2;
  }
  std::string address = argv[1];
  if (address != "127.0.0.1" && address != "::1" && address != "localhost") {
    std::cerr << "corvane-demo-server: serves on loopback addresses only\n";
    return 2;
  }
  httplib::Server server;
  if (!server.set_mount_point("/", argv[3])) {
    std::cerr << "corvane-demo-server: no folder " << argv[3] << "\n";
    return 1;
  }
  running = &server;
  std::signal(SIGTERM, stop);
  std::signal(SIGINT, stop);
  if (!server.listen(address, std::stoi(argv[2]))) {
    std::cerr << "corvane-demo-server: cannot listen on " << address << ":" << argv[2] << "\n";
    return 1;
  }
  return 0;
}
