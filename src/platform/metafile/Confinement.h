#pragma once

// Confines a helper that parses untrusted input with C libraries: a user
// namespace of its own with no network and a file system of the system's
// read-only folders alone (libraries, fonts, configuration), none of the
// user's files. What it was handed is already open (its standard input and
// output). Where the system allows no user namespaces, the calls it may
// make are narrowed all the same.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <linux/audit.h>
#include <linux/capability.h>
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
    // The new root takes the old one's place, and the old one is let go of
    // whole: unlike a chroot, nothing of it is left to climb back to.
    if (::chdir(root) != 0 || ::syscall(SYS_pivot_root, ".", ".") != 0 ||
        ::umount2(".", MNT_DETACH) != 0 || ::chdir("/") != 0)
        return false;
    return ::mount(nullptr, "/", nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) ==
           0;
}

// Every capability the new namespace gave is given up, for good.
inline void dropCapabilities()
{
    for (int capability = 0; capability <= 63; ++capability)
        ::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
    ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[2] = {};
    ::syscall(SYS_capset, &header, none);
}

// Only the calls a parser and a painter need; any other is refused with
// EPERM (sockets, io_uring, ptrace, mount, namespaces, chroot, programs,
// signals to others). Threads may be made, processes and namespaces not.
inline bool allowOnlyWhatHelpersNeed()
{
    constexpr unsigned allowed[] = {
        __NR_read,
        __NR_write,
        __NR_readv,
        __NR_writev,
        __NR_pread64,
        __NR_pwrite64,
        __NR_open,
        __NR_openat,
        __NR_close,
        __NR_lseek,
        __NR_stat,
        __NR_fstat,
        __NR_lstat,
        __NR_newfstatat,
        __NR_statx,
        __NR_fstatfs,
        __NR_statfs,
        __NR_access,
        __NR_faccessat,
        __NR_faccessat2,
        __NR_readlink,
        __NR_readlinkat,
        __NR_getdents64,
        __NR_getcwd,
        __NR_fcntl,
        __NR_dup,
        __NR_dup2,
        __NR_dup3,
        __NR_pipe,
        __NR_pipe2,
        __NR_ioctl,
        __NR_flock,
        __NR_fsync,
        __NR_fdatasync,
        __NR_ftruncate,
        __NR_memfd_create,
        __NR_mmap,
        __NR_munmap,
        __NR_mprotect,
        __NR_mremap,
        __NR_madvise,
        __NR_brk,
        __NR_msync,
        __NR_mincore,
        __NR_rt_sigaction,
        __NR_rt_sigprocmask,
        __NR_rt_sigreturn,
        __NR_sigaltstack,
        __NR_futex,
        __NR_set_robust_list,
        __NR_get_robust_list,
        __NR_rseq,
        __NR_set_tid_address,
        __NR_exit,
        __NR_exit_group,
        __NR_getpid,
        __NR_gettid,
        __NR_getppid,
        __NR_getuid,
        __NR_geteuid,
        __NR_getgid,
        __NR_getegid,
        __NR_getresuid,
        __NR_getresgid,
        __NR_getgroups,
        __NR_tgkill,
        __NR_tkill,
        __NR_clock_gettime,
        __NR_clock_getres,
        __NR_clock_nanosleep,
        __NR_nanosleep,
        __NR_gettimeofday,
        __NR_time,
        __NR_sched_yield,
        __NR_sched_getaffinity,
        __NR_sched_getparam,
        __NR_sched_getscheduler,
        __NR_getpriority,
        __NR_getrlimit,
        __NR_prlimit64,
        __NR_getrusage,
        __NR_sysinfo,
        __NR_uname,
        __NR_getrandom,
        __NR_poll,
        __NR_ppoll,
        __NR_select,
        __NR_pselect6,
        __NR_epoll_create1,
        __NR_epoll_ctl,
        __NR_epoll_wait,
        __NR_epoll_pwait,
        __NR_eventfd2,
        __NR_arch_prctl,
        __NR_prctl,
        __NR_membarrier,
        __NR_umask,
        __NR_times,
        __NR_restart_syscall,
    };
    constexpr unsigned long namespaces = CLONE_NEWNS | CLONE_NEWUSER | CLONE_NEWPID | CLONE_NEWNET |
                                         CLONE_NEWIPC | CLONE_NEWUTS | CLONE_NEWCGROUP;
    constexpr size_t count = sizeof allowed / sizeof allowed[0];
    // The checks of the architecture and of clone, a test and a return for
    // each call allowed, and the refusal at the end.
    constexpr size_t size = 12 + 2 * count + 1;
    sock_filter filter[size];
    size_t n = 0;
    const auto put = [&](sock_filter instruction) {
        if (n < size)
            filter[n] = instruction;
        ++n;
    };
    const sock_filter refuse =
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (EPERM & SECCOMP_RET_DATA));
    put(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)));
    put(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0));
    put(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS));
    put(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
    // clone3 passes its flags where a filter cannot see them: the C library
    // falls back to clone, whose flags are looked at.
    put(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_clone3, 0, 1));
    put(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (ENOSYS & SECCOMP_RET_DATA)));
    put(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_clone, 0, 5));
    put(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])));
    put(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, namespaces, 2, 0));
    put(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, CLONE_THREAD, 0, 1));
    put(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    put(refuse);
    for (size_t i = 0; i < count; ++i) {
        put(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, allowed[i], 0, 1));
        put(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    }
    put(refuse);
    if (n != size)
        return false;
    sock_fprog program = {static_cast<unsigned short>(n), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

} // namespace detail

// True when the file system was narrowed too; the calls are narrowed
// either way. A build with sanitizers keeps the whole file system: their reports
// need /proc.
inline bool confine(bool narrow = IMAGROVE_HELPER_NARROW != 0)
{
    const bool narrowed = narrow && detail::enterSystemView();
    detail::dropCapabilities();
    detail::allowOnlyWhatHelpersNeed();
    return narrowed;
}

} // namespace metafile
