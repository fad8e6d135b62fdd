// Starting and stopping ser2net for the tests and benches of the network port.
#include "tests/support/Ser2net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>
#include <vector>

namespace zorvik::testing {

namespace {

constexpr int kStartTimeoutMs = 10'000;  // longest wait for the server to listen, loaded machine
constexpr int kStartPollMs = 20;

// Whether something accepts connections on the loopback port. Connecting also makes ser2net open
// its device for a moment, which a device behind it takes as the host opening the port.
bool Listening(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool up = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return up;
}

}  // namespace

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return 0;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = 0;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

std::string Ser2net::Program() {
    for (const char* path : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"}) {
        if (::access(path, X_OK) == 0) {
            return path;
        }
    }
    return "";
}

Ser2net::Ser2net(const std::string& device, Protocol protocol) {
    const std::string program = Program();
    if (program.empty()) {
        why_ = "ser2net is not installed";
        return;
    }
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zorvik-ser2net-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        why_ = "no temporary folder";
        return;
    }
    root_ = pattern;
    const int port = FreeLoopbackPort();
    if (port == 0) {
        why_ = "no free loopback port";
        return;
    }
    const bool rfc2217 = protocol == Protocol::Rfc2217;
    // ser2net 4 reads YAML: one connection from a loopback port to the device.
    {
        std::ofstream config(root_ + "/ser2net.yaml");
        config << "connection: &zorvik\n"
               << "  accepter: " << (rfc2217 ? "telnet(rfc2217),tcp," : "tcp,") << "127.0.0.1,"
               << port << "\n"
               << "  connector: serialdev," << device << ",57600n81,local\n"
               << "  options:\n"
               << "    kickolduser: true\n";
    }
    std::vector<std::string> args = {
        program, "-n", "-u", "-c", root_ + "/ser2net.yaml", "-P", root_ + "/ser2net.pid"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const std::string logPath = root_ + "/ser2net.log";
    pid_ = ::fork();
    if (pid_ == 0) {
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(log, STDOUT_FILENO);
        ::dup2(log, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid_ < 0) {
        why_ = "cannot start ser2net";
        return;
    }
    for (int waited = 0; waited < kStartTimeoutMs; waited += kStartPollMs) {
        if (Listening(port)) {
            address_ = std::string(rfc2217 ? "rfc2217://" : "socket://") +
                       "127.0.0.1:" + std::to_string(port);
            return;
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            why_ = "ser2net ended at once";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kStartPollMs));
    }
    why_ = "ser2net does not listen";
}

Ser2net::~Ser2net() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        (void)::waitpid(pid_, &status, 0);
    }
    if (!root_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
}

std::string Ser2net::Log() const {
    std::ifstream in(root_ + "/ser2net.log");
    std::stringstream text;
    text << in.rdbuf();
    return why_ + (why_.empty() ? "" : ": ") + text.str();
}

}  // namespace zorvik::testing
