#include "platform/rtl/testing/SharedFolder.h"

#include <algorithm>
#include <vector>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

bool RefuseNewFiles(const std::string& dir, bool refuse)
{
    if (::geteuid() != 0)
        return ::chmod(dir.c_str(), refuse ? 0555 : 0755) == 0;
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = refuse ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

gid_t AnotherGroupOfMine()
{
    if (::geteuid() == 0)
        return ::getegid() == 65534 ? 0 : 65534;
    std::vector<gid_t> groups(static_cast<size_t>(std::max(0, ::getgroups(0, nullptr))));
    groups.resize(static_cast<size_t>(std::max(0, ::getgroups(static_cast<int>(groups.size()), groups.data()))));
    for (gid_t g : groups)
        if (g != ::getegid())
            return g;
    return static_cast<gid_t>(-1);
}
