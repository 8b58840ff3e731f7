#include "PrivateMount.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace hourmark::native {

namespace {

constexpr int kCannotMount = 77;

bool WriteProcFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && ok;
}

// A mount namespace for this process alone; as another user than root, inside a user namespace
// where this user is root.
std::string EnterOwnMountNamespace() {
    if (::unshare(CLONE_NEWNS) == 0) {
        return {};
    }
    const std::string direct = std::strerror(errno);
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (uid == 0 || ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        return "unshare(CLONE_NEWNS): " + direct;
    }
    if (!WriteProcFile("/proc/self/setgroups", "deny") ||
        !WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
        return std::string("mapping the user namespace: ") + std::strerror(errno);
    }
    return {};
}

[[noreturn]] void CannotMount(int reportFd, const std::string& why) {
    (void)!::write(reportFd, why.data(), why.size());
    std::fflush(stdout);
    ::_exit(kCannotMount);
}

}  // namespace

bool Tmpfs::RemountReadOnly() {
    return ::mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV,
                   nullptr) == 0;
}

MountOutcome WithPrivateTmpfs(const std::string& options, const std::function<void(Tmpfs&)>& body) {
    MountOutcome out;
    char pattern[] = "/tmp/hourmark-mount-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        out.why = std::string("mkdtemp: ") + std::strerror(errno);
        return out;
    }
    const std::string dir = pattern;
    int report[2];
    if (::pipe(report) != 0) {
        out.why = std::string("pipe: ") + std::strerror(errno);
        return out;
    }
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        const std::string why = EnterOwnMountNamespace();
        if (!why.empty()) {
            CannotMount(report[1], why);
        }
        // Nothing mounted here may reach the namespace the child came from.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            CannotMount(report[1], std::string("making / private: ") + std::strerror(errno));
        }
        if (::mount("tmpfs", dir.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                    (options + ",mode=0755").c_str()) != 0) {
            CannotMount(report[1], std::string("mounting a tmpfs: ") + std::strerror(errno));
        }
        Tmpfs fs(dir);
        body(fs);
        std::fflush(stdout);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    ::close(report[1]);
    if (child < 0) {
        out.why = std::string("fork: ") + std::strerror(errno);
        ::close(report[0]);
        return out;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    char buf[512];
    const ssize_t n = ::read(report[0], buf, sizeof buf);
    ::close(report[0]);
    std::filesystem::remove(dir);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotMount) {
        out.why = n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : "no reason given";
        return out;
    }
    out.ran = true;
    out.passed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (WIFSIGNALED(status)) {
        out.why = "the child was killed by signal " + std::to_string(WTERMSIG(status));
    } else if (!out.passed) {
        out.why = "the run under the mount recorded failures (above)";
    }
    return out;
}

}  // namespace hourmark::native
