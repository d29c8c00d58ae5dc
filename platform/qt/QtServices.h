// QtServices.h - the desktop answers to what windows ask of the world.
//
// The model runs its own loops (main loop, one per ShowModal, nested); when it has
// nothing to do it calls WaitForInput, and here Qt's event loop takes over until
// input or a timer arrives. Input reaches the models through the peers' User* calls,
// so a modal loop nests naturally: a button's click handler calls ShowModal, whose
// loop waits in a fresh QEventLoop inside the click's dispatch.
//
// Message boxes, file, font, colour and print dialogs and input prompts are Qt dialogs run
// modally over every window, each in Qt's own nested loop. While one is open the
// program's timers keep ticking and posted calls run (TApplication::DispatchPending),
// as they did under the platform's message boxes. Texts cross the edge through QtText.
#pragma once

#include "platform/gui/Services.h"

#include <QElapsedTimer>
#include <QStringList>

class TQtServices : public TGuiServices {
public:
    TQtServices();

    void WaitForInput(const TLoopInfo& loop, int maxWaitMs) override;
    void ProcessNativeEvents() override;

    TModalResult ShowMessageBox(const TMessageRequest& request) override;
    bool ExecuteFileDialog(TFileDialogRequest& request) override;
    bool ExecuteFontDialog(TFont& font) override;
    bool ExecuteColorDialog(TColor& color) override;
    bool ExecutePrintDialog(TPrintDialogRequest& request) override;
    bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value) override;

    uint64_t TickCount() override;
    int ShellExecute(const AnsiString& verb, const AnsiString& file, const AnsiString& parameters,
                     const AnsiString& directory, int showCmd) override;
    [[noreturn]] void ExitProcess(int code) override;
    AnsiString ExeName() override;
    TRect ScreenRect() override;
    std::vector<TMonitorArea> MonitorAreas() override;

private:
    QElapsedTimer FClock;
};

// The platform's filter text ("Текст (*.txt)|*.txt|Все (*.*)|*.*") as Qt's name filters.
QStringList ToQtNameFilters(const AnsiString& filter);
