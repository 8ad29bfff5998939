#pragma once

// Confines a helper that parses untrusted input with C libraries: a user
// namespace of its own with no network and a file system of the system's
// read-only folders alone (libraries, fonts, configuration), none of the
// user's files. What it was handed is already open (its standard input and
// output). Where the system allows no user namespaces, sockets are refused
// all the same.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <stddef.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace metafile {

namespace detail {

inline bool writeText(const char *path, const char *text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const size_t length = std::strlen(text);
    const bool written = ::write(fd, text, length) == ssize_t(length);
    ::close(fd);
    return written;
}

// A view of the system: the read-only folders below, and nothing else.
inline bool enterSystemView()
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    const pid_t parent = ::getppid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS | CLONE_NEWNET | CLONE_NEWIPC) != 0)
        return false;
    // New credentials clear the signal asked for on the parent's end.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(127);
    char map[64];
    std::snprintf(map, sizeof map, "%u %u 1\n", unsigned(uid), unsigned(uid));
    if (!writeText("/proc/self/uid_map", map))
        return false;
    writeText("/proc/self/setgroups", "deny");
    std::snprintf(map, sizeof map, "%u %u 1\n", unsigned(gid), unsigned(gid));
    if (!writeText("/proc/self/gid_map", map))
        return false;
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    // The new root: an empty, small file system in a place every system has.
    const char *root = "/tmp";
    if (::mount("helper", root, "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") != 0)
        return false;
    for (const char *folder :
         {"/usr", "/etc", "/lib", "/lib64", "/lib32", "/bin", "/sbin", "/var/cache/fontconfig"}) {
        struct stat info = {};
        if (::lstat(folder, &info) != 0)
            continue;
        char target[64];
        std::snprintf(target, sizeof target, "%s%s", root, folder);
        if (S_ISLNK(info.st_mode)) {
            // A merged /usr: the same link in the new root.
            char link[256] = {};
            const ssize_t length = ::readlink(folder, link, sizeof link - 1);
            if (length <= 0 || ::symlink(link, target) != 0)
                return false;
            continue;
        }
        if (!S_ISDIR(info.st_mode))
            continue;
        if (std::strchr(folder + 1, '/')) {
            // Its parents first, as plain folders of the new root.
            char parentFolder[64];
            std::snprintf(parentFolder, sizeof parentFolder, "%s", target);
            for (char *slash = std::strchr(parentFolder + std::strlen(root) + 1, '/'); slash;
                 slash = std::strchr(slash + 1, '/')) {
                *slash = '\0';
                ::mkdir(parentFolder, 0755);
                *slash = '/';
            }
        }
        if (::mkdir(target, 0755) != 0 ||
            ::mount(folder, target, nullptr, MS_BIND | MS_REC, nullptr) != 0 ||
            ::mount(nullptr, target, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY | MS_NOSUID,
                    nullptr) != 0)
            return false;
    }
    return ::chdir(root) == 0 && ::chroot(".") == 0 && ::chdir("/") == 0;
}

// No socket of any kind, and no way to widen the rights again.
inline bool refuseSockets()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_socket, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (EACCES & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program = {static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

} // namespace detail

// True when the file system was narrowed too; sockets are refused either
// way. A build with sanitizers keeps the whole file system: their reports
// need /proc.
inline bool confine(bool narrow = IMAGROVE_HELPER_NARROW != 0)
{
    const bool narrowed = narrow && detail::enterSystemView();
    detail::refuseSockets();
    return narrowed;
}

} // namespace metafile
