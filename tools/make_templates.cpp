// make_templates - writes the warehouse program's 56 report templates.
//
//   make_templates <folder>     writes <folder>/rpReport1.xml .. rpReport56.xml
//
// The program carries these files built in (app/forms/templates); run this after changing
// TemplateBuilder.cpp and commit what it wrote.
#include "tools/TemplateBuilder.h"

#include "report/model/rpModel.h"
#include "report/model/rpReportClasses.h"
#include "script/GlobalUnit.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_templates <folder>\n");
        return 2;
    }
    ScriptEngineStartup();
    rpInitModel();
    rpInitReportClasses();
    int status = 0;
    try {
        TTemplateOwner owner;
        for (int n = 1; n <= 56; ++n) {
            const std::string path = std::string(argv[1]) + "/rpReport" + std::to_string(n) + ".xml";
            std::ofstream out(path, std::ios::binary);
            const AnsiString text = TemplateFileText(n, owner);
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            if (!out) {
                std::fprintf(stderr, "make_templates: cannot write %s\n", path.c_str());
                status = 1;
                break;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_templates: %s\n", AnsiToUtf8(e.what()).c_str());
        status = 1;
    }
    rpDoneReportClasses();
    ScriptEngineShutdown();
    return status;
}
