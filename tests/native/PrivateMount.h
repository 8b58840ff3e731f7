// A tmpfs of the test's own, in a child process with a mount namespace of its own, so that a
// test can make a disk that is really full or really read-only, also as root (who ignores file
// modes). Nothing of it is seen outside the child, and it vanishes with it.
#pragma once

#include <functional>
#include <string>

namespace hourmark::native {

class Tmpfs {
public:
    explicit Tmpfs(std::string dir) : dir_(std::move(dir)) {}
    const std::string& dir() const { return dir_; }
    // False (with errno set) when the kernel refuses.
    bool RemountReadOnly();

private:
    std::string dir_;
};

struct MountOutcome {
    bool ran = false;     // false: no mount was possible here, and why says why
    bool passed = false;  // the body ran and recorded no test failure
    std::string why;
};

// Forks; the child gets its own mount namespace (through a user namespace when it is not root),
// mounts a tmpfs with the given options ("size=64k") and runs body in it, whose test failures
// make the outcome fail. The child's output is the test's own.
MountOutcome WithPrivateTmpfs(const std::string& options, const std::function<void(Tmpfs&)>& body);

}  // namespace hourmark::native
