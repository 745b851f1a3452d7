#pragma once
// The small platform layer: everything the core needs from the operating
// system, with one implementation per system behind the same functions.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace lanyx::platform {

// The account's logon name ("" when the system cannot tell).
std::string GetLogonName();

// Milliseconds from an arbitrary start, wrapping like a 32-bit tick counter.
std::uint32_t tickCount();

// The running program file and its folder.
std::filesystem::path programFile();
std::filesystem::path programDir();

// Whether files can be created in the folder.
bool isDirWritable(const std::filesystem::path& dir);

// Per-user data folder for an installed program ($XDG_DATA_HOME/Lanyx,
// %APPDATA%\Lanyx).
std::filesystem::path userDataDir();

// Start with the desktop session: flag 1 registers `program`, 0 removes the
// registration, any other value does nothing. Errors are not reported.
void SetAutostart(int flag, const std::filesystem::path& program);
// Where the registration lives (the autostart entry file on Linux; the Run
// key value on Windows, as text).
std::string autostartLocation();

// The data folder readable by its user alone, and the files in it that an
// earlier build left readable by others closed to them (executables, as a
// portable copy's program folder holds, stay as they are, and so does that
// folder). Nothing on Windows, where the data folder is the user's own.
void closeToOthers(const std::filesystem::path& dataDir);

// One running copy per data folder. The lock dies with its process, so a
// crash never blocks the next start.
class InstanceLock {
public:
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    // Nothing when another copy holds the folder.
    static std::unique_ptr<InstanceLock> acquire(const std::filesystem::path& dir);
    // Who holds the folder, as that copy wrote itself into the lock: its
    // process number (0 when not known) and its program file's name.
    struct Holder {
        long pid = 0;
        std::string program;
    };
    static Holder holderOf(const std::filesystem::path& dir);

private:
    InstanceLock() = default;
    std::intptr_t handle_ = -1;
};

}  // namespace lanyx::platform
