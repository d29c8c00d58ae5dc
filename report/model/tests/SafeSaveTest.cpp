// Saving a report, its styles, style sheets, variables and XML documents replaces the file
// whole or not at all: a disk that fills up, an error while streaming or a name that cannot
// be replaced leaves the old file as it was and no half-written file beside it.
#include "report/model/tests/ReportFixture.h"

#include "report/model/rpVariables.h"
#include "report/model/rpXML.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdlib.h>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

// Writes past `Limit` bytes of any file fail as on a full disk, until it goes out of scope.
class TDiskFull {
public:
    explicit TDiskFull(rlim_t Limit)
    {
        FSignal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &FOld);
        rlimit r = FOld;
        r.rlim_cur = Limit;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~TDiskFull()
    {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FSignal);
    }

private:
    rlimit FOld{};
    void (*FSignal)(int);
};

std::string Bytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Listing(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

AnsiString Text(TMemoryStream& ms)
{
    return AnsiString(static_cast<const char*>(ms.Memory()), static_cast<size_t>(ms.GetSize()));
}

// Writes half of what it is given, then fails.
class TFailingCompressor : public TrpCustomCompressor {
    SKLAD_CLASS_NOPUBLISH(TFailingCompressor, TrpCustomCompressor)
public:
    using TrpCustomCompressor::TrpCustomCompressor;
    bool Decompress(TStream&) override { return false; }
    void Compress(TStream& Dest) override
    {
        AnsiString data(static_cast<size_t>(Stream->GetSize() / 2), '\0');
        Stream->SetPosition(0);
        Stream->ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
        Dest.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
        throw EWriteError("compression failed");
    }
};
SKLAD_DEFINE_CLASS(TFailingCompressor)

class SafeSave : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        char pattern[] = "/tmp/sklad_save_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        Dir = pattern;
    }
    void TearDown() override
    {
        fs::remove_all(Dir);
        ReportTest::TearDown();
    }
    fs::path Dir;
};

// One kind of file: its first version saved, then grown to a second version; the second
// version's bytes as its stream gives them; the save of the file.
struct TSaver {
    const char* What;
    std::function<void()> Grow;
    std::function<AnsiString()> Bytes;
    std::function<void(const AnsiString&)> Save;
};

TEST_F(SafeSave, AFailedSaveLeavesTheOldFileWholeAndNothingBeside)
{
    TrpReport* report = MakeReport();
    TrpReportPage* page = AddPage(report);
    TrpStyles styles;
    styles.Add()->SetName("Plain");
    TrpStyleSheet sheet;
    sheet.Add()->Name = "Sheet1";
    TrpVariables variables;
    auto variable = [&](const AnsiString& name, int value) {
        TrpVariable* v = variables.Add();
        v->SetName(name);
        v->SetValue(value);
    };
    variable("First", 1);
    TrpXMLDocument xml;
    xml.Root()->Name = "root";
    xml.Root()->Add()->Name = "first";
    const std::vector<TSaver> savers = {
        {"report",
         [&] {
             for (int i = 0; i < 40; ++i)
                 Add<TrpMemoView>(page, "Grown" + IntToStr(i))->SetText("Text " + IntToStr(i));
         },
         [&] {
             TMemoryStream m;
             report->SaveToStream(m, true, false);
             return Text(m);
         },
         [&](const AnsiString& f) { report->SaveToFile(f); }},
        {"styles",
         [&] {
             for (int i = 0; i < 40; ++i)
                 styles.Add()->SetName("Style" + IntToStr(i));
         },
         [&] {
             TMemoryStream m;
             styles.SaveToStream(m);
             return Text(m);
         },
         [&](const AnsiString& f) { styles.SaveToFile(f); }},
        {"style sheet",
         [&] {
             for (int i = 0; i < 40; ++i)
                 sheet.Add()->Name = "Sheet" + IntToStr(i + 2);
         },
         [&] {
             TMemoryStream m;
             sheet.SaveToStream(m);
             return Text(m);
         },
         [&](const AnsiString& f) { sheet.SaveToFile(f); }},
        {"variables",
         [&] {
             for (int i = 0; i < 40; ++i)
                 variable("V" + IntToStr(i), i);
         },
         [&] {
             TMemoryStream m;
             variables.SaveToStream(m);
             return Text(m);
         },
         [&](const AnsiString& f) { variables.SaveToFile(f); }},
        {"XML document",
         [&] {
             for (int i = 0; i < 40; ++i)
                 xml.Root()->Add()->Name = "item" + IntToStr(i);
         },
         [&] {
             TMemoryStream m;
             xml.SaveToStream(m);
             return Text(m);
         },
         [&](const AnsiString& f) { xml.SaveToFile(f); }},
    };
    enum TFault { fkNone, fkDiskFullAt, fkFolder, fkNoFolder };
    struct TFailure {
        const char* What;
        TFault Fault;
        double At;  // share of the new file written when the disk fills up
    };
    const TFailure failures[] = {
        {"the disk is full from the first byte", fkDiskFullAt, 0},
        {"the disk fills up after a few bytes", fkDiskFullAt, 0.01},
        {"the disk fills up halfway", fkDiskFullAt, 0.5},
        {"the disk fills up one byte short", fkDiskFullAt, 1},
        {"the name is a folder", fkFolder, 0},
        {"the folder is missing", fkNoFolder, 0},
        {"nothing fails", fkNone, 0},
    };
    for (const TSaver& s : savers) {
        fs::remove_all(Dir);
        fs::create_directory(Dir);
        const fs::path file = Dir / "file.xml";
        s.Save(file.string());
        const std::string old = Bytes(file);
        ASSERT_FALSE(old.empty()) << s.What;
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        fs::create_directory(Dir / "folder");
        std::ofstream(Dir / "folder" / "inside") << "kept";
        s.Grow();
        const AnsiString fresh = s.Bytes();
        ASSERT_GT(fresh.size(), old.size()) << s.What;
        for (const TFailure& f : failures) {
            SCOPED_TRACE(std::string(s.What) + ": " + f.What);
            const fs::path target = f.Fault == fkFolder     ? Dir / "folder"
                                    : f.Fault == fkNoFolder ? Dir / "missing" / "file.xml"
                                                            : file;
            bool raised = false;
            try {
                if (f.Fault == fkDiskFullAt) {
                    TDiskFull full(static_cast<rlim_t>((fresh.size() - 1) * f.At));
                    s.Save(target.string());
                } else {
                    s.Save(target.string());
                }
            } catch (const Exception&) {
                raised = true;
            }
            EXPECT_EQ(raised, f.Fault != fkNone);
            EXPECT_EQ(Listing(Dir), (std::vector<std::string>{"file.xml", "folder"})) << "no file left beside";
            EXPECT_EQ(Listing(Dir / "folder"), std::vector<std::string>{"inside"});
            if (f.Fault == fkNone) {
                EXPECT_EQ(Bytes(file), fresh);
                EXPECT_EQ(fs::status(file).permissions(),
                          fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
            } else {
                EXPECT_EQ(Bytes(file), old) << "the old file is whole";
            }
        }
    }
}

TEST_F(SafeSave, AReportWhoseStreamingFailsKeepsTheOldFile)
{
    TrpReport* report = MakeReport();
    Add<TrpMemoView>(AddPage(report), "Memo1");
    const fs::path file = Dir / "report.xml";
    report->SaveToFile(file.string());
    const std::string old = Bytes(file);
    TFailingCompressor failing(nullptr);
    report->GetReportOptions()->Compressed = true;
    EXPECT_THROW(report->SaveToFile(file.string()), EWriteError);
    EXPECT_EQ(Bytes(file), old);
    EXPECT_EQ(Listing(Dir), std::vector<std::string>{"report.xml"});
}

}  // namespace
