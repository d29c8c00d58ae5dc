// The main() of every test program: each run gets a fresh home folder of its own, so no test
// reads or writes the user's settings (~/.config/sklad/registry.ini, Qt's QtProject.conf, font
// caches) and no test sees what an earlier one left there.
//
// HOME and the XDG folders point into a new folder made under $SKLAD_TEST_ROOT (the suite's
// own folder, set by CTest; see TestHome.cmake) or, run by hand, under the temporary folder.
// Qt reads these variables when it first needs a path, so its settings follow them; TMPDIR
// too, so every temporary file of a run is its own. The folder is removed when the program
// ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class TTestHome : public ::testing::Environment {
public:
    TTestHome()
    {
        const char* root = std::getenv("SKLAD_TEST_ROOT");
        std::error_code ec;
        fs::path base = root && *root ? fs::path(root) : fs::temp_directory_path(ec);
        fs::create_directories(base, ec);
        std::string pattern = (base / "home-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("test home");
            std::exit(2);
        }
        FHome = pattern;
        FOwner = ::getpid();
        const struct {
            const char* name;
            const char* sub;
        } vars[] = {
            {"HOME", ""},
            {"XDG_CONFIG_HOME", ".config"},
            {"XDG_DATA_HOME", ".local/share"},
            {"XDG_STATE_HOME", ".local/state"},
            {"XDG_CACHE_HOME", ".cache"},
            // Files a test writes "into the temporary folder" land in its own run's folder,
            // so suites run side by side (two checkouts on one machine) never share a name.
            {"TMPDIR", "tmp"},
            {"TEST_TMPDIR", "tmp"},
        };
        for (const auto& v : vars) {
            const fs::path dir = FHome / v.sub;
            fs::create_directories(dir, ec);
            ::setenv(v.name, dir.c_str(), 1);
        }
    }

    ~TTestHome() override
    {
        // A forked child (death tests) leaves the folder to the process that made it.
        if (::getpid() != FOwner)
            return;
        std::error_code ec;
        fs::remove_all(FHome, ec);
    }

private:
    fs::path FHome;
    pid_t FOwner = 0;
};

} // namespace

int main(int argc, char** argv)
{
    // Before anything else runs, and for gtest to free at the end.
    ::testing::AddGlobalTestEnvironment(new TTestHome);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
