#include "platform/gui/Services.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Peer.h"
#include "platform/rtl/SysUtils.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace {
TWidgetSet* gWidgetSet = nullptr;
THeadlessServices gHeadless;
TGuiServices* gServices = nullptr;
}  // namespace

TWidgetSet* WidgetSet() { return gWidgetSet; }
void SetWidgetSet(TWidgetSet* widgetSet) { gWidgetSet = widgetSet; }

TGuiServices& Services() { return gServices ? *gServices : gHeadless; }

TGuiServices* SetServices(TGuiServices* services)
{
    TGuiServices* previous = gServices;
    gServices = services;
    return previous;
}

TModalResult ModalResultOf(TMsgDlgBtn button)
{
    switch (button) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    case mbHelp: return mrNone;
    }
    return mrNone;
}

TModalResult DefaultAnswer(TMsgDlgButtons buttons)
{
    if (buttons.Contains(mbCancel))
        return mrCancel;
    if (buttons.Contains(mbNo))
        return mrNo;
    if (buttons.Contains(mbOK))
        return mrOk;
    for (int b = mbYes; b <= mbYesToAll; ++b)
        if (buttons.Contains(TMsgDlgBtn(b)))
            return ModalResultOf(TMsgDlgBtn(b));
    return mrCancel;
}

// ---------------------------------------------------------------- THeadlessServices

void THeadlessServices::WaitForInput(const TLoopInfo& loop, int)
{
    // Nobody can answer: a modal form is cancelled, the main loop ends.
    if (loop.ModalForm)
        loop.ModalForm->SetModalResult(mrCancel);
    else if (Application)
        Application->Terminate();
}

TModalResult THeadlessServices::ShowMessageBox(const TMessageRequest& request)
{
    std::fprintf(stderr, "%s: %s\n", AnsiToUtf8(request.Caption).c_str(), AnsiToUtf8(request.Text).c_str());
    return DefaultAnswer(request.Buttons);
}

bool THeadlessServices::ExecuteFileDialog(TFileDialogRequest&) { return false; }
bool THeadlessServices::ExecuteFontDialog(TFont&) { return false; }
bool THeadlessServices::ExecuteColorDialog(TColor&) { return false; }
bool THeadlessServices::InputQuery(const AnsiString&, const AnsiString&, AnsiString&) { return false; }

uint64_t THeadlessServices::TickCount()
{
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int THeadlessServices::ShellExecute(const AnsiString&, const AnsiString&, const AnsiString&, const AnsiString&, int)
{
    return 0;  // nothing to open it with
}

void THeadlessServices::ExitProcess(int code) { ExitProcessNow(code); }

void ExitProcessNow(int code)
{
    // C++ streams first (they may be unsynchronised), then every C stream.
    std::cout.flush();
    std::cerr.flush();
    std::clog.flush();
    std::fflush(nullptr);
    std::_Exit(code);
}

AnsiString THeadlessServices::ExeName()
{
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    return Utf8ToAnsi(std::string_view(buffer, size_t(n)));
}
