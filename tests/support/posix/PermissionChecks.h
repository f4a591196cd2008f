#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace veskard::test {

// Root passes every permission check. While one of these lives, the calling
// thread does not (it lacks the capabilities that override them), so that a
// file or folder it may not write is refused to it as to any other user.
// Capabilities belong to a thread: other threads keep theirs.
class PermissionChecksApplied {
public:
    PermissionChecksApplied() {
        ::syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH);
        ::syscall(SYS_capset, &header_, lowered);
    }
    ~PermissionChecksApplied() { ::syscall(SYS_capset, &header_, saved_); }
    PermissionChecksApplied(const PermissionChecksApplied&) = delete;
    PermissionChecksApplied& operator=(const PermissionChecksApplied&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

} // namespace veskard::test
