#include "Segment.h"
#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lanyx::e2e {

bool SimulatedSegment::run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

SimulatedSegment::SimulatedSegment(int hosts) : hosts_(hosts) {
    prefix_ = "lx" + std::to_string(getpid() % 100000);
    const std::string sw = prefix_ + "s";
    // LANYX_E2E_LOOPBACK=1 tries the loopback fallback on a machine that has namespaces.
    const char* force = std::getenv("LANYX_E2E_LOOPBACK");
    bool ok = !(force && *force == '1') && geteuid() == 0 && run("ip netns add " + sw) &&
              run("ip -n " + sw + " link add br0 type bridge") && run("ip -n " + sw + " link set br0 up");
    for (int i = 0; ok && i < hosts; ++i) {
        const std::string ns = prefix_ + "h" + std::to_string(i);
        const std::string veth = prefix_ + "v" + std::to_string(i);
        const std::string addr = "10.77." + std::to_string(getpid() % 200) + "." + std::to_string(i + 1) + "/24";
        ok = run("ip netns add " + ns) &&
             run("ip link add name " + veth + " netns " + sw + " type veth peer name eth0 netns " + ns) &&
             run("ip -n " + sw + " link set " + veth + " master br0 up") &&
             run("ip -n " + ns + " addr add " + addr + " dev eth0") && run("ip -n " + ns + " link set eth0 up") &&
             run("ip -n " + ns + " link set lo up") && run("ip -n " + ns + " route add default dev eth0");
    }
    if (ok) {
        namespaces_ = true;
        return;
    }
    why_ = geteuid() != 0 ? "not root" : (force && *force == '1') ? "LANYX_E2E_LOOPBACK=1" : "ip netns failed";
    for (int i = 0; i < hosts; ++i) run("ip netns del " + prefix_ + "h" + std::to_string(i));
    run("ip netns del " + sw);
    // Loopback: every local listener on the port hears 127.255.255.255.
    loopback_ = true;
}

SimulatedSegment::~SimulatedSegment() {
    if (!namespaces_) return;
    for (int i = 0; i < hosts_; ++i) run("ip netns del " + prefix_ + "h" + std::to_string(i));
    run("ip netns del " + prefix_ + "s");
}

std::vector<std::string> SimulatedSegment::on(int host) const {
    if (!namespaces_) return {};
    return {"ip", "netns", "exec", prefix_ + "h" + std::to_string(host)};
}

std::vector<std::string> SimulatedSegment::broadcastOptions() const {
    if (namespaces_) return {};  // the real default, inside the simulated segment
    return {"--broadcast", "127.255.255.255"};
}

Process::Process(const std::vector<std::string>& argv, const std::string& outFile, const std::string& errFile,
                 const std::string& inFile) {
    pid_ = fork();
    if (pid_ == 0) {
        // Read and write: opening a FIFO does not wait for its writer then.
        const int in = open(inFile.empty() ? "/dev/null" : inFile.c_str(), O_RDWR);
        dup2(in, 0);
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
}

Process::~Process() {
    if (running()) {
        kill(pid_, SIGKILL);
        wait(5000);
    }
}

void Process::signal(int sig) {
    if (pid_ > 0) kill(pid_, sig);
}

bool Process::running() {
    if (pid_ <= 0 || status_ != -1) return false;
    int st = 0;
    const int r = waitpid(pid_, &st, WNOHANG);
    if (r == pid_) {
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        return false;
    }
    return r == 0;
}

int Process::wait(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (running()) {
        if (std::chrono::steady_clock::now() > end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

std::string readFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool waitForText(const std::string& file, const std::string& text, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (readFile(file).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void SegmentTest::SetUp() {
    segment_ = std::make_unique<SimulatedSegment>(3);
    if (!segment_->namespaces())
        std::cerr << "note: network namespaces unavailable (" << segment_->whyNot()
                  << "); running on loopback with broadcast 127.255.255.255\n";
    char tmpl[] = "/tmp/lanyx-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
}

void SegmentTest::TearDown() {
    procs_.clear();
    segment_.reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

Process& SegmentTest::run(int host, const std::string& tag, std::vector<std::string> argv, const std::string& inFile) {
#ifdef LANYX_CLI_AIDED
    // The shipped lanyx-cli refuses the options that lose data on purpose:
    // a copy given one is the tests' build of the same program.
    const bool aided = std::any_of(argv.begin(), argv.end(), [](const std::string& a) {
        return a == "--drop-first-private" || a.starts_with("--test-");
    });
    if (aided) std::replace(argv.begin(), argv.end(), std::string(LANYX_CLI), std::string(LANYX_CLI_AIDED));
#endif
    auto full = segment_->on(host);
    full.insert(full.end(), argv.begin(), argv.end());
    procs_.push_back(std::make_unique<Process>(full, out(tag), (root_ / (tag + ".err")).string(), inFile));
    return *procs_.back();
}

Process& SegmentTest::listener(int host, const std::string& name, std::vector<std::string> args) {
    std::filesystem::create_directories(root_ / name);
    const auto fifo = (root_ / (name + ".in")).string();
    mkfifo(fifo.c_str(), 0600);
    std::vector<std::string> argv{LANYX_CLI, "--dir", (root_ / name).string(), "--name", name, "--probe-ms", "1500"};
    for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
    argv.push_back("listen");
    argv.insert(argv.end(), args.begin(), args.end());
    return run(host, name, argv, fifo);
}

void SegmentTest::tell(const std::string& name, const std::string& commandLine) {
    const auto fifo = (root_ / (name + ".in")).string();
    const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0) << "no listener reads " << fifo;
    const std::string line = commandLine + "\n";
    ASSERT_EQ(write(fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    close(fd);
}

Process& SegmentTest::cli(int host, const std::string& name, std::vector<std::string> args, std::uint32_t probeMs) {
    std::filesystem::create_directories(root_ / name);
    std::vector<std::string> argv{LANYX_CLI, "--dir", (root_ / name).string(), "--name", name};
    if (probeMs != 10000) argv.insert(argv.end(), {"--probe-ms", std::to_string(probeMs)});
    for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
    argv.insert(argv.end(), args.begin(), args.end());
    return run(host, name, argv);
}

}  // namespace lanyx::e2e
