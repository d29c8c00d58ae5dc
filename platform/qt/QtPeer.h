// QtPeer.h - the common part of every widget peer (internal to platform/qt).
//
// A peer owns one top widget and mirrors its control: Changed(flags) re-reads the
// model through its getters and sets the widget, with the widget's signals blocked
// so that mirroring never reports back as user input. User input goes the other way
// only as User* calls on the model (see platform/gui/Peer.h).
//
// Connections made by a peer use Context() as their receiver, so they die with the
// peer; the widget itself is hidden and deleted later, because the model may destroy
// a control from inside a handler that the widget's own event is still running.
#pragma once

#include "platform/gui/Controls.h"
#include "platform/gui/Peer.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

class QFont;
class QColor;
class QCursor;
class QEvent;
class QKeyEvent;

class TQtControlPeer : public TPeer {
public:
    TQtControlPeer(TControl& control, QWidget* widget);
    ~TQtControlPeer() override;

    void Changed(TControlChanges what) override;

    TControl& Control() const { return FControl; }
    // The widget that shows the control.
    QWidget* Widget() const { return FWidget; }
    // Where the control's children go (their Left/Top are measured from its origin).
    virtual QWidget* Container() const { return FWidget; }
    // The widget whose top-left is the control's (0, 0) for mouse positions.
    virtual QWidget* OriginWidget() const { return FWidget; }

protected:
    // The aspects that differ per control; the base handles bounds, visibility,
    // enabling, font, colour, hint, cursor, focus and z-order.
    virtual void Update(TControlChanges what) = 0;
    virtual void ApplyBounds();
    virtual void ApplyColor();
    // Grabs the mouse while the control holds the capture, lets go when it lost it.
    void ApplyCapture();
    // Catches mouse, wheel, key, focus and context-menu input on `widget` for the model.
    //
    // The wheel goes to the model once, from the control under the mouse (UserMouseWheel,
    // which passes it up to the form). Only when no handler took it does the widget get
    // the turn to scroll by itself, and the turn never travels on to the parent widgets,
    // whose controls have heard it already through the model.
    //
    // Keys go to the model before the widget sees them: UserFilterKeyDown, then for a
    // character UserFilterKeyPress. A key the model takes (a handler zeroed it, a
    // short-cut, the default or cancel button, Tab) never reaches the widget; a
    // character a handler changed reaches it as the changed character. So a line edit
    // inserts only what the window's OnKeyPress let through, and reports the new text
    // whole (UserTyped) as ever.
    void WatchInput(QWidget* widget);
    // Whether a character that passed the model goes on to the widget (not for views
    // whose own typing search would move a row the model owns).
    virtual bool WidgetTakesCharacters() const { return true; }
    // Whether a double click goes to the model as UserDoubleClicked (not for grids,
    // which report the cell).
    virtual bool ForwardsDoubleClicks() const { return true; }
    // Whether the left button pressed and released on the control is its click, as the
    // platform makes it for controls without a click of their own (labels, panels, group
    // boxes, paint boxes, images). Buttons, check boxes and the like report their widget's.
    virtual bool ClicksOnRelease() const { return false; }
    // Whether `widget` is a part of the window outside its client area (a window's own
    // scroll bars). Mouse buttons and moves there are the widget's business, not the
    // control's; a wheel turn there goes to the control, and the widget does not scroll
    // by itself (on the platform the window decides what the wheel does).
    virtual bool IsNonClientPart(QWidget* /*widget*/) const { return false; }
    QObject* Context() const { return FContext.get(); }
    bool Applying() const { return FApplying > 0; }

    // While alive: the peer is setting the widget, whose signals are blocked.
    class TApplyScope {
    public:
        explicit TApplyScope(TQtControlPeer& peer);
        ~TApplyScope();
    private:
        TQtControlPeer& FPeer;
        bool FBlocked;
    };

private:
    friend class TQtInputFilter;
    bool FilterInput(QWidget* widget, QEvent* event);
    // Gives the widget a key press with another character in place of the typed one.
    void SendChangedCharacter(QWidget* widget, const QKeyEvent& original, char character);

    TControl& FControl;
    QPointer<QWidget> FWidget;
    std::unique_ptr<QObject> FContext;
    std::unique_ptr<QObject> FFilter;
    int FApplying = 0;
    bool FSending = false;  // SendChangedCharacter's event passes the filter untouched
    bool FPressedLeft = false;  // the left button went down on this control (a click may follow)
};

// The peer of a control, or nullptr when it has none (or is not a Qt peer).
TQtControlPeer* QtPeerOf(const TControl* control);
// The widget a control's children are put on, or nullptr.
QWidget* ContainerOf(const TWinControl* control);

QFont ToQFont(const TFont& font);
QColor ToQColor(TColor color);
Qt::CursorShape ToQtCursor(TCursor cursor);
// The cursor a control shows: a program cursor's picture from the screen's slots, else the shape.
QCursor ToQCursor(TCursor cursor);
// The key of a QKeyEvent as the platform's virtual-key number (0 when none).
Word ToVirtualKey(int qtKey);
int ToQtKey(Word virtualKey);
// A caption with '&' accelerators as plain text ("&&" keeps one '&').
QString StripAccelerators(const QString& caption);
