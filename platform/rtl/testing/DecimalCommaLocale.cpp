#include "platform/rtl/testing/DecimalCommaLocale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

constexpr const char* kMadeName = "xx_XX.UTF-8";

// The folder of the locale made with localedef; empty when it could not be made.
class TMadeLocale {
public:
    TMadeLocale()
    {
        FDir = std::filesystem::temp_directory_path() / ("sklad-comma-locale-" + std::to_string(::getpid()));
        std::error_code ec;
        std::filesystem::create_directories(FDir, ec);
        const std::filesystem::path source = FDir / "comma.src";
        std::ofstream(source) << "LC_CTYPE\ncopy \"POSIX\"\nEND LC_CTYPE\n"
                                 "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \"\"\ngrouping -1\nEND LC_NUMERIC\n";
        const std::string made = (FDir / kMadeName).string();
        const std::string command = "localedef -c -i '" + source.string() + "' -f UTF-8 '" + made + "' >/dev/null 2>&1";
        [[maybe_unused]] const int status = std::system(command.c_str());  // warns of the categories it copies
        FMade = std::filesystem::exists(made + "/LC_NUMERIC");
    }
    ~TMadeLocale()
    {
        std::error_code ec;
        std::filesystem::remove_all(FDir, ec);
    }
    const std::filesystem::path* Dir() const { return FMade ? &FDir : nullptr; }

private:
    std::filesystem::path FDir;
    bool FMade = false;
};

}  // namespace

TDecimalCommaLocale::TDecimalCommaLocale()
{
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    FOldNumeric = numeric ? numeric : "C";
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8"})
        if (Use(name))
            return;
    static const TMadeLocale made;
    if (!made.Dir())
        return;
    const char* old = std::getenv("LOCPATH");
    FOldPath = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("LOCPATH", made.Dir()->c_str(), 1);
    FPathSet = true;
    Use(kMadeName);
}

TDecimalCommaLocale::~TDecimalCommaLocale()
{
    std::setlocale(LC_NUMERIC, FOldNumeric.c_str());
    if (FPathSet && FOldPath)
        ::setenv("LOCPATH", FOldPath->c_str(), 1);
    else if (FPathSet)
        ::unsetenv("LOCPATH");
}

bool TDecimalCommaLocale::Use(const char* name)
{
    FOn = std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point == std::string(",");
    if (!FOn)
        std::setlocale(LC_NUMERIC, FOldNumeric.c_str());
    return FOn;
}
