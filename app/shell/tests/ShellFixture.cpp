#include "app/shell/tests/ShellFixture.h"

#include "app/shell/Startup.h"
#include "app/shell/Unit1.h"
#include "platform/db/Sqlite.h"
#include "platform/rtl/Cp1251.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

TProductSeed Product(const AnsiString& name, const AnsiString& group, double quantity, double price)
{
    TProductSeed p;
    p.Name = name;
    p.Group = group;
    p.Quantity = quantity;
    p.Price = price;
    return p;
}

AnsiString MakeDemoWarehouse(const AnsiString& dir)
{
    const AnsiString path = dir + "demo.kvb";
    {
        std::ifstream from(PathToSystem(TWarehouseFixture::TemplatePath()), std::ios::binary);
        std::ofstream to(PathToSystem(path), std::ios::binary | std::ios::trunc);
        to << from.rdbuf();
    }
    std::ifstream in(SKLAD_DEMO_SQL, std::ios::binary);
    std::ostringstream sql;
    sql << in.rdbuf();
    sqlite::Database db;
    db.OpenWarehouse(path, false);
    db.Exec("BEGIN IMMEDIATE");
    db.Exec(Utf8ToAnsi(sql.str()));
    db.Exec("COMMIT");
    return path;
}

void ShellTest::SetUp()
{
    w = std::make_unique<TWarehouseFixture>();
    setenv("SKLAD_HOME", PathToSystem(w->Dir()).c_str(), 1);
    d = std::make_unique<TTestDriver>();
    StartLibraries();
    RegisterProgramClasses();
}

void ShellTest::TearDown()
{
    d.reset();  // destroys the application and its forms
    ForgetForms();
    StopLibraries();
    unsetenv("SKLAD_HOME");
    w.reset();
}

void ShellTest::Remember(const AnsiString& path)
{
    std::ofstream out(PathToSystem(w->Dir() + "sklad.ini"), std::ios::binary);
    out << "[LASTFILE]\r\nLastFile=" << AnsiToUtf8(path) << "\r\n";
}

AnsiString ShellTest::IniText() const
{
    std::ifstream in(PathToSystem(w->Dir() + "sklad.ini"), std::ios::binary);
    if (!in)
        return {};
    std::ostringstream s;
    s << in.rdbuf();
    return Utf8ToAnsi(s.str());
}

bool ShellTest::Start()
{
    return d->Run([] { CreateForms(); });
}

void ShellTest::StartOnWarehouse()
{
    w->SetPassword("1");
    Remember(w->Path());
    ASSERT_TRUE(Start());
    ShowMain();
}

void ShellTest::ShowMain()
{
    d->Run([] { Form1->Show(); });
}
