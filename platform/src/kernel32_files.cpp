// KERNEL32 temporary files over POSIX: the temporary directory, unique file names created
// exclusively, and write-only file handles.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "qrx_host.h"
#include "qrx_win32.h"

namespace {

// Open file handles: a handle is the address of its slot, so a stray value is recognised.
struct FileSlot {
    int fd = -1;
};
constexpr int kMaxFiles = 16;
FileSlot g_files[kMaxFiles];

FileSlot* AsFile(HANDLE h) {
    for (FileSlot& slot : g_files)
        if (&slot == h && slot.fd >= 0) return &slot;
    return nullptr;
}

bool Fails(const char* call) {
    qrxhost::LogCall(call);
    HRESULT code;
    return qrxhost::TakeFault(call, &code);
}

// Opens a path without following a final symbolic link and only as a regular file (a FIFO
// or a device never blocks or receives the data); new files are private to the user.
int OpenRegular(const char* path, int flags) {
    int fd = open(path, flags | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace

// TMPDIR when set and not empty, else /tmp; always with a trailing slash. Returns the length
// copied without the terminator, or the size needed (with it) when the buffer is too small.
DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
    if (Fails("GetTempPathA")) return 0;
    const char* env = std::getenv("TMPDIR");
    std::string dir = env && *env ? env : "/tmp";
    if (dir.back() != '/') dir += '/';
    if (dir.size() + 1 > nBufferLength || !lpBuffer) return static_cast<DWORD>(dir.size() + 1);
    std::memcpy(lpBuffer, dir.c_str(), dir.size() + 1);
    return static_cast<DWORD>(dir.size());
}

// PATH PREFIX(3 chars) HEX(1-4 digits) ".tmp". With uUnique 0 a free number is searched and
// the file is created empty and exclusively (never over an existing file or link); with a
// nonzero uUnique only the name is formed. Returns the number used, 0 on failure.
UINT WINAPI GetTempFileNameA(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique,
                             LPSTR lpTempFileName) {
    if (Fails("GetTempFileNameA")) return 0;
    if (!lpPathName || !*lpPathName || !lpTempFileName) return 0;
    std::string base = lpPathName;
    if (base.back() != '/') base += '/';
    if (lpPrefixString) base.append(lpPrefixString, strnlen(lpPrefixString, 3));

    auto form = [&](UINT n, std::string& out) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", n & 0xFFFFu);
        out = base + hex + ".tmp";
        return out.size() < MAX_PATH;
    };
    std::string name;
    if (uUnique != 0) {
        if (!form(uUnique, name)) return 0;
        std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
        return uUnique & 0xFFFFu;
    }
    // Start from a number that differs between processes and runs, then count up; taken from
    // the system clock directly, whatever clock the host gives the program.
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    UINT start = static_cast<UINT>(getpid()) * 2654435761u ^ static_cast<UINT>(now.tv_nsec) ^
                 static_cast<UINT>(now.tv_sec);
    for (UINT i = 0; i < 0xFFFFu; ++i) {
        UINT n = (start + i) % 0xFFFFu + 1; // 1..0xFFFF
        if (!form(n, name)) return 0;
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            close(fd);
            std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
            return n;
        }
        if (errno != EEXIST) return 0;
    }
    return 0;
}

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD, HANDLE) {
    if (Fails("CreateFileA") || !lpFileName || !*lpFileName) return INVALID_HANDLE_VALUE;
    bool read = dwDesiredAccess & GENERIC_READ, write = dwDesiredAccess & GENERIC_WRITE;
    int flags = read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    switch (dwCreationDisposition) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    default:
        return INVALID_HANDLE_VALUE;
    }
    for (FileSlot& slot : g_files) {
        if (slot.fd >= 0) continue;
        slot.fd = OpenRegular(lpFileName, flags);
        return slot.fd >= 0 ? &slot : INVALID_HANDLE_VALUE;
    }
    return INVALID_HANDLE_VALUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED) {
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    if (Fails("WriteFile")) return FALSE;
    FileSlot* file = AsFile(hFile);
    if (!file || (!lpBuffer && nNumberOfBytesToWrite)) return FALSE;
    const char* p = static_cast<const char*>(lpBuffer);
    DWORD done = 0;
    while (done < nNumberOfBytesToWrite) {
        ssize_t n = write(file->fd, p + done, nNumberOfBytesToWrite - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<DWORD>(n);
    }
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
    return done == nNumberOfBytesToWrite;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (Fails("CloseHandle")) return FALSE;
    FileSlot* file = AsFile(hObject);
    if (!file) return FALSE;
    int rc = close(file->fd);
    file->fd = -1;
    return rc == 0;
}
