#include "app/shell/tests/ShellFixture.h"

#include "app/shell/Startup.h"
#include "app/shell/Unit1.h"
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
