#include "platform/qt/QtWidgetSet.h"

#include "platform/qt/QtBackend.h"
#include "platform/qt/QtGraphics.h"
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtServices.h"

#include "platform/gui/Controls.h"

#include "platform/qt/QtGraphics.h"

#include <QLibraryInfo>
#include <QTranslator>
#include <QApplication>
#include <QLocale>
#include <QPainter>
#include <QPointer>

#include <cstdlib>

namespace {
// The peer that fits the control, before it shows anything.
std::unique_ptr<TPeer> NewPeer(TControl& control)
{
    // Most specific families first; a form is a windowed control too.
    using Factory = std::unique_ptr<TPeer> (*)(TControl&);
    constexpr Factory kFactories[] = {CreateFormPeer, CreateGridPeer, CreateComPeer, CreateStdPeer, CreateExtPeer};
    std::unique_ptr<TPeer> peer;
    for (Factory factory : kFactories)
        if ((peer = factory(control)))
            break;
    if (!peer)
        peer = CreateGenericPeer(control);
    return peer;
}
}  // namespace

std::unique_ptr<TPeer> TQtWidgetSet::CreatePeer(TControl& control)
{
    std::unique_ptr<TPeer> peer = NewPeer(control);
    // A new peer starts by showing everything the model holds.
    peer->Changed(TControlChanges(TControlChange::All));
    return peer;
}

bool TQtWidgetSet::RenderControl(TControl& control, TPixelBuffer& pixels)
{
    if (pixels.Width <= 0 || pixels.Height <= 0)
        return false;
    // The painting lands straight in the pixels; what the widget leaves alone stays.
    QImage image(reinterpret_cast<uchar*>(pixels.Pixels.data()), pixels.Width, pixels.Height, pixels.Width * 4,
                 QImage::Format_RGB32);
    auto render = [&](QWidget* widget) {
        QPainter painter(&image);
        widget->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    };
    if (TQtControlPeer* shown = QtPeerOf(&control)) {
        render(shown->Widget());
        return true;
    }
    // A control on no shown window gets a widget of its own for the painting: off screen,
    // on no parent, dropped right afterwards.
    std::unique_ptr<TPeer> peer = NewPeer(control);
    auto* qtPeer = dynamic_cast<TQtControlPeer*>(peer.get());
    if (!qtPeer || !qtPeer->Widget())
        return false;
    QPointer<QWidget> widget = qtPeer->Widget();
    widget->setParent(nullptr);
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    peer->Changed(TControlChanges(TControlChange::All));
    widget->move(0, 0);
    widget->ensurePolished();
    render(widget);
    peer.reset();
    if (widget)  // the peer leaves its widget to the event loop; this one goes now
        QCoreApplication::sendPostedEvents(widget, QEvent::DeferredDelete);
    return true;
}

std::unique_ptr<TPeer> TQtWidgetSet::CreateMenuPeer(TMenu& menu)
{
    auto peer = CreateQtMenuPeer(menu);
    peer->Changed(TControlChanges(TControlChange::All));
    return peer;
}

TQtBackend::TQtBackend(int& argc, char** argv)
{
    FApp = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!FApp) {
        FOwnedApp = std::make_unique<QApplication>(argc, argv);
        FApp = FOwnedApp.get();
    }
    // Calendars, date fields and Qt's own dialog texts speak the program's language.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    auto translator = std::make_unique<QTranslator>();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator->load(QLocale(QLocale::Russian, QLocale::Russia), "qtbase", "_", folder) ||
        translator->load(QLocale(QLocale::Russian, QLocale::Russia), "qt", "_", folder)) {
        QCoreApplication::installTranslator(translator.get());
        FTranslator = std::move(translator);
    }
    // The model decides when the program ends (the main form closing), not Qt.
    FApp->setQuitOnLastWindowClosed(false);
    FServices = std::make_unique<TQtServices>();
    FWidgetSet = std::make_unique<TQtWidgetSet>();
    FPreviousServices = SetServices(FServices.get());
    SetWidgetSet(FWidgetSet.get());
    // Text is measured, bitmaps painted and printers listed through Qt from here on.
    InstallQtGraphics();
}

TQtBackend::~TQtBackend()
{
    UninstallQtGraphics();
    SetWidgetSet(nullptr);
    SetServices(FPreviousServices);
    if (FTranslator)
        QCoreApplication::removeTranslator(FTranslator.get());
}

bool TQtBackend::DisplayPresent()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

std::unique_ptr<TQtBackend> InstallQtBackendIfDisplay(int& argc, char** argv)
{
    if (!TQtBackend::DisplayPresent())
        return nullptr;
    return std::make_unique<TQtBackend>(argc, argv);
}
