#include "Platform.h"

#include "RecordFile.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace lanyx::platform {

std::string GetLogonName() {
    // The password database, not $USER, which services and sudo leave empty
    // or wrong.
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* result = nullptr;
    if (getpwuid_r(geteuid(), &pw, buf.data(), buf.size(), &result) == 0 && result && result->pw_name)
        return result->pw_name;
    return {};
}

std::uint32_t tickCount() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

fs::path programFile() {
    std::error_code ec;
    auto p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : p;
}

fs::path programDir() {
    return programFile().parent_path();
}

bool isDirWritable(const fs::path& dir) {
    return !dir.empty() && access(dir.c_str(), W_OK | X_OK) == 0;
}

static fs::path envPath(const char* name) {
    const char* v = std::getenv(name);
    return (v && *v == '/') ? fs::path(v) : fs::path();
}

static fs::path homeDir() {
    if (auto h = envPath("HOME"); !h.empty()) return h;
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* result = nullptr;
    if (getpwuid_r(geteuid(), &pw, buf.data(), buf.size(), &result) == 0 && result && result->pw_dir)
        return result->pw_dir;
    return "/tmp";
}

fs::path userDataDir() {
    auto base = envPath("XDG_DATA_HOME");
    if (base.empty()) base = homeDir() / ".local" / "share";
    return base / "Lanyx";
}

static fs::path autostartFile() {
    auto base = envPath("XDG_CONFIG_HOME");
    if (base.empty()) base = homeDir() / ".config";
    return base / "autostart" / "Lanyx.desktop";
}

std::string autostartLocation() {
    return autostartFile().string();
}

void SetAutostart(int flag, const fs::path& program) {
    std::error_code ec;
    const auto file = autostartFile();
    if (flag == 0) {
        fs::remove(file, ec);
        return;
    }
    if (flag != 1) return;
    fs::create_directories(file.parent_path(), ec);
    std::string exec = program.string();
    // Desktop entry quoting: the path goes in double quotes with \ " ` $ escaped.
    std::string quoted = "\"";
    for (char c : exec) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += "\\\\";
        quoted += c;
    }
    quoted += '"';
    const std::string entry = "[Desktop Entry]\nType=Application\nName=Lanyx\nComment=LAN chat and alerts\nExec=" +
                              quoted + "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
    try {
        writeTextFileAtomic(file, entry);
    } catch (const std::exception&) {
        // A failing registration leaves none; nothing is reported.
    }
}

void closeToOthers(const fs::path& dataDir) {
    struct stat st {};
    const uid_t me = geteuid();
    if (::lstat(dataDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != me) return;
    std::error_code ec;
    if ((st.st_mode & 077) != 0 && !fs::equivalent(dataDir, programDir(), ec)) ::chmod(dataDir.c_str(), 0700);
    for (const auto& entry : fs::directory_iterator(dataDir, ec)) {
        // Never through a link; a file of another account is not ours to change.
        if (::lstat(entry.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != me) continue;
        if ((st.st_mode & 077) != 0 && (st.st_mode & 0111) == 0) ::chmod(entry.path().c_str(), st.st_mode & 0700);
    }
}

InstanceLock::~InstanceLock() {
    if (handle_ >= 0) close(static_cast<int>(handle_));
}

std::unique_ptr<InstanceLock> InstanceLock::acquire(const fs::path& dir) {
    const auto file = dir / ".lanyx.lock";
    const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return std::unique_ptr<InstanceLock>(new InstanceLock());  // cannot tell: let it run
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return nullptr;
    }
    std::unique_ptr<InstanceLock> lock(new InstanceLock());
    lock->handle_ = fd;
    // Who holds it, for a second copy to name: the lock is the flock, not
    // what the file says, so a failed write changes nothing.
    const std::string who = std::to_string(getpid()) + "\t" + programFile().filename().string() + "\n";
    if (ftruncate(fd, 0) == 0) (void)!pwrite(fd, who.data(), who.size(), 0);
    return lock;
}

InstanceLock::Holder InstanceLock::holderOf(const fs::path& dir) {
    Holder h;
    const int fd = open((dir / ".lanyx.lock").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return h;
    char buf[512];
    const ssize_t n = pread(fd, buf, sizeof buf, 0);
    close(fd);
    if (n <= 0) return h;
    const std::string text(buf, static_cast<std::size_t>(n));
    const auto tab = text.find('\t');
    const auto end = text.find('\n');
    if (tab == std::string::npos || end == std::string::npos || tab > end) return h;
    char* stop = nullptr;
    const long pid = std::strtol(text.c_str(), &stop, 10);
    if (stop != text.c_str() + tab || pid <= 0) return h;
    h.pid = pid;
    h.program = text.substr(tab + 1, end - tab - 1);
    return h;
}

}  // namespace lanyx::platform
