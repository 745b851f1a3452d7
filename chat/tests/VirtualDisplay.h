#pragma once
// A virtual X display (Xvfb) for one test program. Xvfb picks a free
// display number itself and says which once it accepts connections
// (-displayfd), so that tests running at the same time never share a
// display or mistake another server's leftover socket for their own.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace lanyx::test {

class VirtualDisplay {
public:
    explicit VirtualDisplay(int timeoutMs = 10000) {
        if (access("/usr/bin/Xvfb", X_OK) != 0) {
            why_ = "Xvfb missing";
            return;
        }
        int fds[2];
        if (pipe(fds) != 0) {
            why_ = "no pipe for Xvfb";
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0) {
                dup2(null, 1);
                dup2(null, 2);
            }
            execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        if (pid_ < 0) {
            close(fds[0]);
            why_ = "Xvfb could not be started";
            return;
        }
        std::string number;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (number.find('\n') == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end -
                                                                                    std::chrono::steady_clock::now());
            pollfd p{fds[0], POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
            char buf[16];
            const auto n = read(fds[0], buf, sizeof buf);
            if (n <= 0) break;
            number.append(buf, static_cast<std::size_t>(n));
        }
        close(fds[0]);
        if (number.find('\n') == std::string::npos) {
            why_ = "Xvfb did not start";
            stop();
            return;
        }
        name_ = ":" + number.substr(0, number.find('\n'));
    }
    ~VirtualDisplay() { stop(); }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ok() const { return !name_.empty(); }
    // ":N", for DISPLAY.
    const std::string& name() const { return name_; }
    // Why there is no display, when there is none.
    const std::string& why() const { return why_; }

private:
    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    pid_t pid_ = -1;
    std::string name_;
    std::string why_;
};

}  // namespace lanyx::test
