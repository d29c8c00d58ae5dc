#include "platform/rtl/testing/SharedFolder.h"

#include <algorithm>
#include <vector>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

bool RefuseNewFiles(const std::string& dir, bool refuse)
{
    if (::geteuid() != 0)
        return ::chmod(dir.c_str(), refuse ? 0555 : 0755) == 0;
    // Root may create files in any folder whatever its mode: only the immutable attribute stops it.
    const char* const args[] = {"chattr", refuse ? "+i" : "-i", dir.c_str(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "chattr", nullptr, nullptr, const_cast<char* const*>(args), environ) != 0)
        return false;
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
