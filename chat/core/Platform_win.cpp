#include "Platform.h"

#include <windows.h>

namespace fs = std::filesystem;

namespace lanyx::platform {

namespace {
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kRunKeyW = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Set value: strips one leading and one trailing "\" from the key path,
// creates or opens the key and stores a REG_SZ ("*" names the default value).
// Wide throughout: a program folder may hold letters outside the ANSI code page.
bool setRegValue(HKEY hive, std::wstring key, const std::wstring& name, const std::wstring& data) {
    if (!key.empty() && key.front() == L'\\') key.erase(0, 1);
    if (!key.empty() && key.back() == L'\\') key.pop_back();
    HKEY h = nullptr;
    DWORD disp = 0;
    if (RegCreateKeyExW(hive, key.c_str(), 0, nullptr, 0, 0xF003F, nullptr, &h, &disp) != ERROR_SUCCESS) return false;
    const wchar_t* valueName = name == L"*" ? nullptr : name.c_str();
    const bool ok = RegSetValueExW(h, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(h);
    return ok;
}

void deleteRegValue(HKEY hive, const std::wstring& key, const std::wstring& name) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(hive, key.c_str(), 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return;
    RegDeleteValueW(h, name.c_str());
    RegCloseKey(h);
}
}  // namespace

std::string GetLogonName() {
    char buf[400];
    DWORD len = sizeof buf;
    if (!GetUserNameA(buf, &len) || len == 0) return {};
    return std::string(buf, len - 1);  // the reported length counts the terminator
}

std::uint32_t tickCount() {
    return GetTickCount();
}

fs::path programFile() {
    wchar_t buf[32768];
    const DWORD n = GetModuleFileNameW(nullptr, buf, 32768);
    return n ? fs::path(std::wstring(buf, n)) : fs::path();
}

fs::path programDir() {
    return programFile().parent_path();
}

bool isDirWritable(const fs::path& dir) {
    const auto probe = dir / ".lanyx-write-test";
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

fs::path userDataDir() {
    wchar_t buf[32768];
    const DWORD n = GetEnvironmentVariableW(L"APPDATA", buf, 32768);
    return (n ? fs::path(std::wstring(buf, n)) : programDir()) / "Lanyx";
}

std::string autostartLocation() {
    return std::string("HKEY_CURRENT_USER\\") + kRunKey + "\\Lanyx";
}

void SetAutostart(int flag, const fs::path& program) {
    if (flag == 0) {
        deleteRegValue(HKEY_CURRENT_USER, kRunKeyW, L"Lanyx");
    } else if (flag == 1) {
        // Quoted: unquoted, a folder with a space ("C:\Program Files") makes
        // the system try "C:\Program" first, which anybody may have put there.
        const auto data = L"\"" + (program.parent_path() / program.stem()).wstring() + L"\"";
        setRegValue(HKEY_CURRENT_USER, kRunKeyW, L"Lanyx", data);
    }
}

void closeToOthers(const fs::path&) {
    // The data folder under %APPDATA% carries the user's own rights, and its files inherit them.
}

InstanceLock::~InstanceLock() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::unique_ptr<InstanceLock> InstanceLock::acquire(const fs::path& dir) {
    const auto file = dir / ".lanyx.lock";
    // No sharing: a second open fails while the first copy runs; the system
    // closes the handle when a process dies.
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_SHARING_VIOLATION) return nullptr;
        return std::unique_ptr<InstanceLock>(new InstanceLock());
    }
    std::unique_ptr<InstanceLock> lock(new InstanceLock());
    lock->handle_ = reinterpret_cast<std::intptr_t>(h);
    return lock;
}

InstanceLock::Holder InstanceLock::holderOf(const fs::path&) {
    // The lock file is open to its holder alone: nothing to read here.
    return {};
}

}  // namespace lanyx::platform
