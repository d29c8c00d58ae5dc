// Streams: positions, short reads, seeks, files and temporary files.
#include "platform/classes/Streams.h"

#include "platform/classes/IniFiles.h"
#include "platform/classes/ObjectText.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/testing/SharedFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <functional>
#include <memory>
#include <sstream>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct StreamKind {
    const char* why;
    std::function<std::unique_ptr<TStream>()> make;
};

class StreamContract : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const auto& f : FFiles)
            DeleteFile(f);
    }
    std::vector<AnsiString> FFiles;
};

TEST_F(StreamContract, EveryStreamKeepsTheSameContract)
{
    const StreamKind kinds[] = {
        {"memory stream", [] { return std::make_unique<TMemoryStream>(); }},
        {"string stream", [] { return std::make_unique<TStringStream>(); }},
        {"file stream", [this] {
             FFiles.push_back(CreateTempFile("", "st"));
             return std::make_unique<TFileStream>(FFiles.back(), fmCreate);
         }},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.why);
        auto s = k.make();
        s->WriteBuffer("hello world", 11);
        EXPECT_EQ(s->Position(), 11);
        EXPECT_EQ(s->Size(), 11);
        EXPECT_EQ(s->Seek(-5, soEnd), 6);
        char buf[16] = {};
        EXPECT_EQ(s->Read(buf, 16), 5);  // short read returns the count
        EXPECT_STREQ(buf, "world");
        EXPECT_EQ(s->Seek(int64_t(2), soFromBeginning), 2);
        EXPECT_EQ(s->Seek(int64_t(1), soFromCurrent), 3);
        EXPECT_THROW(s->Seek(int64_t(0), uint16_t(7)), EStreamError);
        s->SetPosition(8);
        EXPECT_THROW(s->ReadBuffer(buf, 4), EReadError);  // only 3 left
        s->SetPosition(0);
        s->ReadBuffer(buf, 5);
        EXPECT_EQ(AnsiString(buf, 5), "hello");
        s->SetSize(4);
        EXPECT_EQ(s->Size(), 4);
        EXPECT_LE(s->Position(), 4);
    }
}

TEST(StreamsTest, CopyFromCopiesAllOrACount)
{
    TStringStream src("0123456789");
    src.SetPosition(7);
    TMemoryStream dst;
    EXPECT_EQ(dst.CopyFrom(src, 0), 10);  // 0: the whole source from its start
    EXPECT_EQ(dst.DataString(), "0123456789");
    src.SetPosition(2);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(src, 3), 3);
    EXPECT_EQ(part.DataString(), "234");
    src.SetPosition(8);
    EXPECT_THROW(part.CopyFrom(src, 5), EReadError);
}

TEST(StreamsTest, FileModes)
{
    const AnsiString name = CreateTempFile("", "fm");
    {
        TFileStream f(name, fmCreate | fmShareExclusive);
        f.WriteBuffer("abc", 3);
    }
    {
        TFileStream f(name, fmOpenRead | fmShareDenyNone);
        EXPECT_EQ(f.Size(), 3);
        EXPECT_EQ(f.Write("x", 1), 0);  // read-only handle
    }
    {
        TFileStream f(name, fmOpenReadWrite);
        f.Seek(int64_t(0), soEnd);
        f.WriteBuffer("d", 1);
    }
    TMemoryStream m;
    m.LoadFromFile(name);
    EXPECT_EQ(m.DataString(), "abcd");
    DeleteFile(name);
    EXPECT_THROW(TFileStream(name, fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(name + "/x", fmCreate), EFCreateError);  // below a missing file
    try {
        TFileStream f(name, fmOpenRead);
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot open file \"" + name + "\".", 0), 0u) << e.Message();
    }
}

TEST(StreamsTest, ANamedPipeOrAFolderIsRefusedAtOnceNotWaitedOn)
{
    // Nobody writes into or reads from the pipe: an open that waited would hang here.
    const std::string dir = std::filesystem::temp_directory_path() / ("sklad-fifo-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const AnsiString pipe = (dir + "/pipe").c_str();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    struct Row {
        const char* why;
        AnsiString name;
        uint16_t mode;
    };
    const Row rows[] = {
        {"pipe, read", pipe, fmOpenRead},
        {"pipe, write", pipe, fmOpenWrite},
        {"pipe, read and write", pipe, fmOpenReadWrite},
        {"pipe, create", pipe, fmCreate},
        {"folder, read", dir.c_str(), fmOpenRead},
        {"folder, create", dir.c_str(), fmCreate},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        try {
            TFileStream f(r.name, r.mode);
            ADD_FAILURE() << "opened";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message().rfind(AnsiString(r.mode == fmCreate ? "Cannot create file \"" : "Cannot open file \"") + r.name, 0), 0u)
                << e.Message();
        }
    }
    TMemoryStream m;
    EXPECT_THROW(m.LoadFromFile(pipe), EFOpenError);
    {
        TFileStream devnull("/dev/null", fmOpenReadWrite);  // a device still opens
        EXPECT_EQ(devnull.Write("x", 1), 1);
    }
    const AnsiString file = (dir + "/file").c_str();
    {
        TFileStream f(file, fmCreate);
        f.WriteBuffer("abc", 3);
    }
    m.LoadFromFile(file);
    EXPECT_EQ(m.DataString(), "abc");
    std::filesystem::remove_all(dir);
}

TEST(StreamsTest, TempFilesAreNewAndCarryThePrefix)
{
    const AnsiString dir = GetTempDir();
    const AnsiString a = CreateTempFile(dir, "fr");
    const AnsiString b = CreateTempFile("", "fr");
    EXPECT_NE(a, b);
    EXPECT_TRUE(FileExists(a));
    EXPECT_EQ(ExtractFileName(a).rfind("fr", 0), 0u);
    EXPECT_EQ(FileSize(a), 0);
    EXPECT_THROW(CreateTempFile(a, "fr"), EFCreateError);  // a file is no directory
    DeleteFile(a);
    DeleteFile(b);
}

TEST(StreamsTest, MemoryStreamSeekPastEndThenWriteFillsWithZeros)
{
    TMemoryStream m;
    m.Seek(int64_t(4), soBeginning);
    m.WriteBuffer("x", 1);
    ASSERT_EQ(m.Size(), 5);
    EXPECT_EQ(m.DataString(), AnsiString("\0\0\0\0x", 5));
    EXPECT_EQ(m.Seek(int64_t(-10), soCurrent), 0);  // clamped at the start
}


// Saving whole through the names a user meets: links, long names, files marked read-only.
TEST(StreamsTest, SaveFileWholeFollowsLinksAndKeepsReadOnlyFiles)
{
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/sklad_whole_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    auto bytes = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    };
    auto save = [](const fs::path& p, const std::string& text) {
        SaveFileWhole(AnsiString(p.string()), [&](TStream& s) { s.WriteBuffer(text.data(), int64_t(text.size())); });
    };
    struct Case {
        const char* why;
        std::function<fs::path()> make;  // lays out the files; gives the name saved to
        fs::path written;                // the file that must hold the new text
        std::vector<fs::path> links;     // names that must still be links
    };
    const std::string longName = std::string(250, 'a') + ".frf";
    const Case cases[] = {
        {"a plain file", [&] { save(dir / "plain.frf", "old"); return dir / "plain.frf"; }, dir / "plain.frf", {}},
        {"a link beside its file",
         [&] {
             save(dir / "real.frf", "old");
             fs::create_symlink("real.frf", dir / "link.frf");
             return dir / "link.frf";
         },
         dir / "real.frf", {dir / "link.frf"}},
        {"a link to a file in another folder",
         [&] {
             fs::create_directory(dir / "store");
             save(dir / "store" / "r.frf", "old");
             fs::create_symlink(dir / "store" / "r.frf", dir / "abs.frf");
             return dir / "abs.frf";
         },
         dir / "store" / "r.frf", {dir / "abs.frf"}},
        {"a link to a link",
         [&] {
             save(dir / "end.frf", "old");
             fs::create_symlink("end.frf", dir / "mid.frf");
             fs::create_symlink("mid.frf", dir / "first.frf");
             return dir / "first.frf";
         },
         dir / "end.frf", {dir / "first.frf", dir / "mid.frf"}},
        {"a link to a file not yet made",
         [&] {
             fs::create_symlink("later.frf", dir / "dangling.frf");
             return dir / "dangling.frf";
         },
         dir / "later.frf", {dir / "dangling.frf"}},
        {"a name as long as the system allows",
         [&] { return dir / longName; }, dir / longName, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const fs::path name = c.make();
        ASSERT_NO_THROW(save(name, "new"));
        EXPECT_EQ(bytes(c.written), "new");
        for (const fs::path& l : c.links)
            EXPECT_TRUE(fs::is_symlink(l)) << l;
    }
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();

    // A file the user has made read-only is refused, not replaced behind his back.
    fs::permissions(dir, fs::perms::all);
    save(dir / "locked.frf", "old");
    fs::permissions(dir / "locked.frf", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The system's administrator may write anything: the user here is an ordinary one.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        try {
            save(dir / "locked.frf", "new");
        } catch (const EFCreateError&) {
            _exit(0);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the read-only file was replaced";
    EXPECT_EQ(bytes(dir / "locked.frf"), "old");
    fs::remove_all(dir);
}

}  // namespace

namespace {

// A save never writes over the only copy: in a folder that refuses new files (where the new
// file cannot be made beside the old one) the old file stays as it was and the user is told
// why, instead of the file being written in place, where a crash or a full disk half-way
// loses both.
TEST(StreamsTest, SaveFileWholeRefusesToWriteOverTheOnlyCopy)
{
    char pattern[] = "/tmp/sklad_shared_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string dir = pattern, file = dir + "/report.frf";
    std::ofstream(file) << "old";
    ::chmod(file.c_str(), 0666);
    if (!RefuseNewFiles(dir, true)) {
        std::filesystem::remove_all(dir);
        GTEST_SKIP() << "this file system lets no folder refuse new files to this user";
    }
    std::string message;
    try {
        SaveFileWhole(AnsiString(file), [](TStream& s) { s.WriteBuffer("new", 3); });
    } catch (const EFCreateError& e) {
        message = e.Message();
    }
    RefuseNewFiles(dir, false);
    EXPECT_NE(message.find("does not allow new files"), std::string::npos) << message;
    std::ifstream in(file);
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "nothing left beside it";
    std::filesystem::remove_all(dir);
}

// The file that replaces another keeps its mode and group, so the others of a shared folder
// can still read it (and, as root, its owner).
TEST(StreamsTest, SaveFileWholeKeepsTheModeAndGroupOfTheFileItReplaces)
{
    char pattern[] = "/tmp/sklad_shared_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string dir = pattern, file = dir + "/report.frf";
    std::ofstream(file) << "old";
    const gid_t group = AnotherGroupOfMine();
    struct TCase {
        const char* why;
        mode_t mode;
        bool otherGroup;
    };
    const TCase cases[] = {
        {"read by the group only", 0640, false},
        {"read by all", 0644, false},
        {"another group's file", 0660, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        if (c.otherGroup && group == gid_t(-1)) {
            std::cout << "skipped: the user belongs to one group only\n";
            continue;
        }
        ::chmod(file.c_str(), c.mode);
        if (c.otherGroup)
            ASSERT_EQ(::chown(file.c_str(), ::geteuid() == 0 ? 65534 : uid_t(-1), group), 0);
        struct stat before {};
        ::stat(file.c_str(), &before);
        SaveFileWhole(AnsiString(file), [](TStream& s) { s.WriteBuffer("new", 3); });
        struct stat after {};
        ASSERT_EQ(::stat(file.c_str(), &after), 0);
        EXPECT_NE(after.st_ino, before.st_ino) << "replaced, not written in place";
        EXPECT_EQ(after.st_mode & 07777, c.mode);
        EXPECT_EQ(after.st_gid, before.st_gid);
        if (::geteuid() == 0)
            EXPECT_EQ(after.st_uid, before.st_uid);
    }
    std::filesystem::remove_all(dir);
}

}  // namespace

// Every route that saves a user's file replaces it whole or not at all: a disk that fills
// up or a name that cannot be replaced leaves the old file as it was and nothing beside it.
TEST(StreamsTest, EverySaveReplacesTheFileWholeOrNotAtAll)
{
    char pattern[] = "/tmp/sklad_whole_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    };
    auto listing = [&] {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const AnsiString big(100000, 'x'); // much more than the full disk below lets through
    struct Route {
        const char* why;
        std::function<void(const AnsiString& file)> save;
    };
    const Route routes[] = {
        {"a string list", [&](const AnsiString& f) {
             TStringList l;
             l.Add(big);
             l.SaveToFile(f);
         }},
        {"a memory stream", [&](const AnsiString& f) {
             TMemoryStream m;
             m.WriteBuffer(big.data(), static_cast<int64_t>(big.size()));
             m.SaveToFile(f);
         }},
        {"a component's layout", [&](const AnsiString& f) {
             TComponent root(nullptr);
             root.SetName("Root");
             root.SetTag(1);
             for (int i = 0; i < 2000; ++i)
                 (new TComponent(&root))->SetName("Part" + IntToStr(i));
             SaveLayout(f, &root);
         }},
        {"an ini file", [&](const AnsiString& f) {
             TIniFile ini(f);
             ini.WriteString("Section", "Key", big);
         }},
    };
    enum Fault { DiskFull, NameIsAFolder, None };
    for (const Route& r : routes) {
        for (Fault fault : {DiskFull, NameIsAFolder, None}) {
            SCOPED_TRACE(std::string(r.why) + (fault == DiskFull ? ", disk full" : fault == NameIsAFolder ? ", a folder" : ""));
            std::filesystem::remove_all(dir);
            std::filesystem::create_directory(dir);
            const std::string file = dir + "/saved.txt";
            if (fault == NameIsAFolder)
                std::filesystem::create_directory(file);
            else
                std::ofstream(file, std::ios::binary) << "[Old]\nold=1\n";
            const std::vector<std::string> before = listing();
            if (fault == DiskFull) {
                const auto old = std::signal(SIGXFSZ, SIG_IGN);
                rlimit saved{}, limited{};
                ::getrlimit(RLIMIT_FSIZE, &saved);
                limited = saved;
                limited.rlim_cur = 50000;
                ::setrlimit(RLIMIT_FSIZE, &limited);
                EXPECT_THROW(r.save(file), Exception);
                ::setrlimit(RLIMIT_FSIZE, &saved);
                std::signal(SIGXFSZ, old);
            } else if (fault == NameIsAFolder) {
                EXPECT_THROW(r.save(file), Exception);
            } else {
                r.save(file);
            }
            EXPECT_EQ(listing(), before) << "nothing left beside it";
            if (fault == DiskFull) {
                EXPECT_EQ(read(file), "[Old]\nold=1\n");
            } else if (fault == NameIsAFolder) {
                EXPECT_TRUE(std::filesystem::is_directory(file));
            } else {
                EXPECT_GT(read(file).size(), 50000u);
            }
        }
    }
    std::filesystem::remove_all(dir);
}
