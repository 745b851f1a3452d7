#pragma once
// A simulated network segment for end-to-end tests: a bridge in a switch
// namespace and one namespace per host, each joined to the bridge by a veth
// pair. Nothing leaves it: the machine's real network never sees a datagram.
// Where namespaces cannot be made, copies run on loopback and broadcast to
// 127.255.255.255 instead.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace lanyx::e2e {

class SimulatedSegment {
public:
    explicit SimulatedSegment(int hosts);
    ~SimulatedSegment();
    SimulatedSegment(const SimulatedSegment&) = delete;
    SimulatedSegment& operator=(const SimulatedSegment&) = delete;

    bool namespaces() const { return namespaces_; }
    bool usable() const { return namespaces_ || loopback_; }
    std::string whyNot() const { return why_; }
    // The command prefix that runs a program on host i (0-based).
    std::vector<std::string> on(int host) const;
    // Options that point lanyx-cli at this segment's broadcast address.
    std::vector<std::string> broadcastOptions() const;

private:
    bool run(const std::string& command);
    std::string prefix_;
    int hosts_;
    bool namespaces_ = false;
    bool loopback_ = false;
    std::string why_;
};

// A child process with its standard output and error in files.
class Process {
public:
    // Standard input from `inFile` (a FIFO the test writes to), else /dev/null.
    Process(const std::vector<std::string>& argv, const std::string& outFile, const std::string& errFile,
            const std::string& inFile = {});
    ~Process();
    void signal(int sig);
    // Exit status, or -1 when it did not end within the time.
    int wait(int timeoutMs);
    bool running();
    int pid() const { return pid_; }

private:
    int pid_ = -1;
    int status_ = -1;
};

// Bytes that differ from one offset and one seed to the next.
inline std::string pattern(std::size_t size, unsigned seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7919 + seed) >> 5);
    return s;
}

// A file with these bytes, its folders made.
inline void writeFile(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

// How often `what` occurs in `text`, not overlapping.
inline std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + what.size())) ++n;
    return n;
}

// Polls a file until it holds the text (or the time runs out).
bool waitForText(const std::string& file, const std::string& text, int timeoutMs);
std::string readFile(const std::string& file);

// A test on a fresh segment of three hosts, with a scratch folder for the
// copies' data folders and output; every process ends with the test.
class SegmentTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a program on a host; its output goes to <tag>.out and <tag>.err.
    Process& run(int host, const std::string& tag, std::vector<std::string> argv, const std::string& inFile = {});
    // lanyx-cli on a host under name, with the data folder <name>; a probe of
    // 10000 ms is the program's own default.
    Process& cli(int host, const std::string& name, std::vector<std::string> args, std::uint32_t probeMs = 1500);
    // lanyx-cli listening under name, taking commands written with tell().
    Process& listener(int host, const std::string& name, std::vector<std::string> args = {});
    void tell(const std::string& name, const std::string& commandLine);
    std::string out(const std::string& tag) const { return (root_ / (tag + ".out")).string(); }
    std::string err(const std::string& tag) const { return readFile((root_ / (tag + ".err")).string()); }

#ifdef LANYX_RAWPEER
    // Waits until the copy writing `file` has handled all that host `h` sent
    // before: one more datagram from there, under a name of its own, shows in
    // that output as `shows` and the name (one host's datagrams keep their
    // order on the segment, and a copy takes them in order).
    bool drained(int h, const std::string& file, const std::string& shows = "join\t") {
        const std::string name = "zsync" + std::to_string(++syncs_);
        std::vector<std::string> argv{LANYX_RAWPEER, "send"};
        for (auto& o : segment_->broadcastOptions()) argv.push_back(o);
        argv.push_back(name + "|M/");
        if (run(h, name, argv).wait(5000) != 0) return false;
        return waitForText(file, shows + name, 10000);
    }
#endif

    std::unique_ptr<SimulatedSegment> segment_;
    std::filesystem::path root_;
    std::vector<std::unique_ptr<Process>> procs_;
    int syncs_ = 0;
};

}  // namespace lanyx::e2e

// Inside a SegmentTest: waits for `text` in the output file `file`; fails
// the test when it does not come, or skips it where no segment could be made.
#define REQUIRE_SEEN(file, text)                                                                      \
    do {                                                                                              \
        if (!::lanyx::e2e::waitForText(file, text, 15000)) {                                          \
            if (!segment_->namespaces())                                                              \
                GTEST_SKIP() << "no network namespaces and no loopback broadcast: cannot run copies"; \
            FAIL() << "not seen: " << text << "\n" << ::lanyx::e2e::readFile(file);                   \
        }                                                                                             \
    } while (0)
