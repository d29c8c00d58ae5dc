// Peers of the standard controls: label, edit, memo, combo box, list box, button,
// check box, radio button, group box, and the speed button.
#include "platform/qt/QtPeer.h"
#include "platform/qt/QtPeers.h"
#include "platform/qt/QtText.h"

#include "platform/gui/Buttons.h"
#include "platform/gui/StdCtrls.h"

#include <QCheckBox>
#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QCompleter>
#include <QLabel>
#include <QTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>

namespace {

Qt::Alignment ToQtAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify: return Qt::AlignRight;
    case taCenter: return Qt::AlignHCenter;
    case taLeftJustify: break;
    }
    return Qt::AlignLeft;
}

// Memo text keeps the platform's CR LF line breaks; Qt edits with LF.
QString ToQtLines(const AnsiString& text)
{
    QString q = ToQString(text);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return q;
}

AnsiString FromQtLines(const QString& text)
{
    QString q = text;
    q.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return FromQString(q);
}

QStringList ItemsOf(const TStrings& items)
{
    QStringList list;
    for (int i = 0; i < items.Count(); ++i)
        list << ToQString(items[i]);
    return list;
}

class TLabelPeer : public TQtControlPeer {
public:
    explicit TLabelPeer(TCustomLabel& label) : TQtControlPeer(label, new QLabel), FLabel(label) {}
    bool ClicksOnRelease() const override { return true; }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QLabel*>(Widget());
        if (HasChange(what, TControlChange::Caption))
            w->setText(StripAccelerators(ToQString(FLabel.GetCaption())));
        if (HasChange(what, TControlChange::Style)) {
            Qt::Alignment v = FLabel.GetLayout() == tlCenter ? Qt::AlignVCenter
                              : FLabel.GetLayout() == tlBottom ? Qt::AlignBottom : Qt::AlignTop;
            w->setAlignment(ToQtAlignment(FLabel.GetAlignment()) | v);
            w->setWordWrap(FLabel.GetWordWrap());
        }
        ApplyBounds();
    }

    // An auto-sized label was laid out with the widths of the Windows fonts; here the
    // text is often wider, and a caption set at run time (a total, a date) wider still.
    // The label grows to show its whole text, away from the side it is aligned to;
    // it never shrinks below the laid-out width.
    void ApplyBounds() override
    {
        auto* w = static_cast<QLabel*>(Widget());
        QRect r(FLabel.GetLeft(), FLabel.GetTop(), FLabel.GetWidth(), FLabel.GetHeight());
        if (FLabel.GetAutoSize() && !FLabel.GetWordWrap() && !w->text().isEmpty()) {
            const int needed = w->fontMetrics().horizontalAdvance(w->text()) + 2 * w->margin() + 2;
            if (needed > r.width()) {
                const int extra = needed - r.width();
                if (FLabel.GetAlignment() == taRightJustify)
                    r.moveLeft(r.left() - extra);
                else if (FLabel.GetAlignment() == taCenter)
                    r.moveLeft(r.left() - extra / 2);
                r.setWidth(needed);
            }
        }
        if (w->geometry() != r)
            w->setGeometry(r);
    }

private:
    TCustomLabel& FLabel;
};

class TEditPeer : public TQtControlPeer {
public:
    explicit TEditPeer(TCustomEdit& edit) : TQtControlPeer(edit, new QLineEdit), FEdit(edit)
    {
        QObject::connect(static_cast<QLineEdit*>(Widget()), &QLineEdit::textEdited, Context(),
                         [this](const QString& text) {
                             if (!FEdit.UserTyped(FromQString(text)))
                                 Changed(TControlChanges(TControlChange::Caption));  // refused: show the model again
                         });
    }
    // An edit's window has no click of its own: the platform makes one of the left
    // button pressed and released on it, as for a panel.
    bool ClicksOnRelease() const override { return true; }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QLineEdit*>(Widget());
        if (HasChange(what, TControlChange::Caption)) {
            const QString text = ToQString(FEdit.GetText());
            if (w->text() != text)
                w->setText(text);
        }
        // What the program selected shows selected, so the next key typed replaces it. CP1251
        // is one byte a character, so the model's offsets are the widget's.
        if (HasChange(what, TControlChange::Selection)) {
            if (FEdit.GetSelLength() > 0)
                w->setSelection(FEdit.GetSelStart(), FEdit.GetSelLength());
            else if (w->hasSelectedText())
                w->deselect();
        }
        if (HasChange(what, TControlChange::Style)) {
            w->setEchoMode(FEdit.GetPasswordChar() ? QLineEdit::Password : QLineEdit::Normal);
            w->setReadOnly(FEdit.GetReadOnly());
            w->setMaxLength(FEdit.GetMaxLength() > 0 ? FEdit.GetMaxLength() : 32767);
            w->setFrame(FEdit.GetBorderStyle() != bsNone || FEdit.GetBevelKind() != bkNone);
        }
    }
    void ApplyColor() override
    {
        QPalette palette = Widget()->palette();
        const TColor color = FEdit.GetColor();
        if (color >= 0 && color != clNone && color != clDefault)
            palette.setColor(QPalette::Base, ToQColor(color));
        Widget()->setPalette(palette);
    }

private:
    TCustomEdit& FEdit;
};

class TMemoPeer : public TQtControlPeer {
public:
    explicit TMemoPeer(TMemo& memo) : TQtControlPeer(memo, new QPlainTextEdit), FMemo(memo)
    {
        auto* w = static_cast<QPlainTextEdit*>(Widget());
        WatchInput(w->viewport());
        QObject::connect(w, &QPlainTextEdit::textChanged, Context(), [this, w] {
            if (!Applying() && !FMemo.UserTyped(FromQtLines(w->toPlainText())))
                Changed(TControlChanges(TControlChange::Caption));
        });
    }
    bool ClicksOnRelease() const override { return true; }  // as for an edit

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QPlainTextEdit*>(Widget());
        if (HasChange(what, TControlChange::Caption)) {
            const AnsiString& whole = FMemo.GetText();
            // After a lone CR the new break would make a line of its own; the whole text
            // shows the two as one break.
            if (const int at = FMemo.AppendedAt(); at >= 0 && (at == 0 || whole[size_t(at) - 1] != '\r')) {
                Append(w, whole.substr(size_t(at)));
            } else {
                const QString text = ToQtLines(whole);
                if (w->toPlainText() != text)
                    w->setPlainText(text);
            }
        }
        if (HasChange(what, TControlChange::Style)) {
            w->setReadOnly(FMemo.GetReadOnly());
            w->setLineWrapMode(FMemo.GetWordWrap() ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
            const TScrollStyle bars = FMemo.GetScrollBars();
            w->setVerticalScrollBarPolicy(bars == ssVertical || bars == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                               : Qt::ScrollBarAsNeeded);
            w->setHorizontalScrollBarPolicy(bars == ssHorizontal || bars == ssBoth ? Qt::ScrollBarAlwaysOn
                                                                                   : Qt::ScrollBarAsNeeded);
        }
    }

private:
    // The widget shows the text before the new part: only the new part goes in, not the
    // whole text again. Like setPlainText, it leaves nothing to undo.
    static void Append(QPlainTextEdit* w, const AnsiString& tail)
    {
        QTextDocument* doc = w->document();
        doc->setUndoRedoEnabled(false);
        QTextCursor end(doc);
        end.movePosition(QTextCursor::End);
        end.insertText(ToQtLines(tail));
        doc->setUndoRedoEnabled(true);
    }

    TMemo& FMemo;
};

// Qt's drop-down button and edit margins are wider than the platform's: a box laid out
// for the platform (the preview's 49-pixel zoom box) would cut its text. This style
// keeps the desktop's look but gives the button the platform's width and the rest to
// the text.
class TSlimComboStyle : public QProxyStyle {
public:
    static constexpr int ArrowWidth = 13;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override
    {
        const QRect base = QProxyStyle::subControlRect(control, option, sub, widget);
        if (control != CC_ComboBox || !option)
            return base;
        const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        const int frame = combo && !combo->frame ? 0 : 2;
        const QRect r = option->rect;
        const QRect arrow(r.right() - frame - ArrowWidth + 1, r.top() + frame, ArrowWidth,
                          std::max(0, r.height() - 2 * frame));
        switch (sub) {
        case SC_ComboBoxArrow: return arrow;
        case SC_ComboBoxEditField:
            return QRect(r.left() + frame, r.top() + frame, std::max(0, arrow.left() - r.left() - frame),
                         std::max(0, r.height() - 2 * frame));
        default: return base;
        }
    }
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option, const QPoint& pos,
                                     const QWidget* widget) const override
    {
        if (control == CC_ComboBox && option && subControlRect(control, option, SC_ComboBoxArrow, widget).contains(pos))
            return SC_ComboBoxArrow;
        return QProxyStyle::hitTestComplexControl(control, option, pos, widget);
    }
};

// One style for every combo box, living as long as the application.
QStyle* SlimComboStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new TSlimComboStyle;
        style->setParent(qApp);
    }
    return style;
}

// Tells the model when the list drops down and closes up, and gives the list the width
// the model asks for.
class TQtComboWidget : public QComboBox {
public:
    std::function<void(bool)> OnDropped;
    std::function<int()> ListWidth;
    // The list closes before the item picked in it is activated; keys and the wheel on the
    // closed box activate items too, without a list. Read and cleared on each activation.
    bool ListChoice = false;
    void showPopup() override
    {
        // Called through a copy: what it runs may take the peer, and this callback, away.
        if (const auto dropped = OnDropped)
            dropped(true);
        QComboBox::showPopup();
        // A list wider (or narrower) than the box: the preview's 49-pixel zoom box drops a
        // list 100 pixels wide, so that "Страница целиком" can be read. The desktop's fonts
        // run wider than the platform's, so the list grows where an item would be cut.
        int width = ListWidth ? ListWidth() : 0;
        QWidget* popup = view() ? view()->window() : nullptr;
        if (width > 0 && popup && popup != window()) {
            const int frame = popup->width() - view()->viewport()->width();
            width = std::max(width, view()->sizeHintForColumn(0) + frame);
            if (popup->width() != width) {
                popup->setMinimumWidth(0);
                // Qt kept the list on the screen at its own width; grown to the right, it
                // is moved back left as far as it now passes the screen's edge.
                int x = popup->x();
                const QScreen* screen = QGuiApplication::screenAt(mapToGlobal(rect().center()));
                if (!screen)
                    screen = this->screen();
                if (screen) {
                    const QRect room = screen->availableGeometry();
                    x = std::max(room.left(), std::min(x, room.left() + room.width() - width));
                }
                popup->setGeometry(x, popup->y(), width, popup->height());
            }
        }
    }
    void hidePopup() override
    {
        ListChoice = true;
        QComboBox::hidePopup();
        if (const auto dropped = OnDropped)
            dropped(false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        ListChoice = false;
        QComboBox::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override
    {
        ListChoice = false;
        QComboBox::wheelEvent(event);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QComboBox::resizeEvent(event);
        if (isEditable() && !lineEdit()->hasFocus() && !lineEdit()->hasSelectedText())
            lineEdit()->setCursorPosition(0);
    }
};

class TComboPeer : public TQtControlPeer {
public:
    explicit TComboPeer(TCustomComboBox& combo) : TQtControlPeer(combo, new TQtComboWidget), FCombo(combo)
    {
        auto* w = static_cast<TQtComboWidget*>(Widget());
        w->setInsertPolicy(QComboBox::NoInsert);
        w->setStyle(SlimComboStyle());
        QObject::connect(w, &QComboBox::activated, Context(), [this, w](int index) {
            const bool chosen = w->ListChoice;
            w->ListChoice = false;
            if (!(chosen ? FCombo.UserSelected(index) : FCombo.UserStepped(index)))
                Changed(TControlChange::ItemIndex | TControlChange::Caption);
        });
        w->OnDropped = [this](bool dropped) {
            if (!Applying() && FCombo.GetDroppedDown() != dropped)
                FCombo.UserDroppedDown(dropped);
        };
        w->ListWidth = [this] { return FCombo.DropDownWidth(); };
    }
    // The widget outlives the peer (it is hidden, which closes an open list, and deleted
    // later): its callback into this peer goes first.
    ~TComboPeer() override
    {
        if (auto* w = static_cast<TQtComboWidget*>(Widget())) {
            w->OnDropped = nullptr;
            w->ListWidth = nullptr;
        }
    }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<TQtComboWidget*>(Widget());
        if (HasChange(what, TControlChange::Style)) {
            const bool editable = FCombo.GetStyle() != csDropDownList;
            if (w->isEditable() != editable) {
                w->setEditable(editable);
                what |= uint32_t(TControlChange::Items);
                if (editable) {
                    WatchInput(w->lineEdit());
                    QObject::connect(w->lineEdit(), &QLineEdit::textEdited, Context(), [this](const QString& text) {
                        if (!FCombo.UserTyped(FromQString(text)))
                            Changed(TControlChanges(TControlChange::Caption));
                    });
                    // The text the box completes while typing is the box's text, as on the
                    // platform: the model hears of it (and filters on it), not only of the
                    // letters typed, so what is shown is what is saved.
                    if (QCompleter* completer = w->completer())
                        QObject::connect(completer, qOverload<const QString&>(&QCompleter::highlighted), Context(),
                                         [this, w](const QString&) {
                                             // After the key's own edit has been reported.
                                             QTimer::singleShot(0, Context(), [this, w] {
                                                 const AnsiString text = FromQString(w->lineEdit()->text());
                                                 if (!Applying() && w->isEditable() && text != FCombo.GetText())
                                                     FCombo.UserTyped(text);
                                             });
                                         });
                }
            }
            if (w->isEditable())
                w->lineEdit()->setReadOnly(FCombo.EditReadOnly());
            w->setMaxVisibleItems(std::max(1, FCombo.GetDropDownCount()));
        }
        if (HasChange(what, TControlChange::Items)) {
            const TStrings& model = *FCombo.GetItems();
            const int inserted = FCombo.InsertedItem();
            if (inserted >= 0 && inserted < model.Count() && w->count() == model.Count() - 1) {
                // One string added: that item alone, so a list filled one by one costs
                // its length, not its square.
                w->insertItem(inserted, ToQString(model.Get(inserted)));
            } else {
                const QStringList items = ItemsOf(model);
                QStringList shown;
                for (int i = 0; i < w->count(); ++i)
                    shown << w->itemText(i);
                if (shown != items) {
                    w->clear();
                    w->addItems(items);
                }
            }
            what |= TControlChange::ItemIndex | TControlChange::Caption;
        }
        if (HasChange(what, TControlChange::ItemIndex) || HasChange(what, TControlChange::Caption)) {
            if (w->currentIndex() != FCombo.GetItemIndex())
                w->setCurrentIndex(FCombo.GetItemIndex());
            const QString text = ToQString(FCombo.GetText());
            if (w->isEditable() && w->currentText() != text)
                w->setEditText(text);
        }
        // Text the program set shows from its start, as the platform's edit does, not
        // scrolled to a cursor at its end (a narrow box would cut "100%" to "00%").
        if (w->isEditable() && !w->lineEdit()->hasFocus() && FCombo.GetSelLength() == 0)
            w->lineEdit()->setCursorPosition(0);
        // What the model selected shows selected, so the next key typed replaces it (one
        // byte a character, so the model's offsets are the widget's).
        if (w->isEditable() && HasChange(what, TControlChange::Selection)) {
            if (FCombo.GetSelLength() > 0)
                w->lineEdit()->setSelection(FCombo.GetSelStart(), FCombo.GetSelLength());
            else if (w->lineEdit()->hasSelectedText())
                w->lineEdit()->deselect();
        }
        if (HasChange(what, TControlChange::DropDown)) {
            const bool dropped = FCombo.GetDroppedDown();
            if (dropped && w->isVisible())
                w->QComboBox::showPopup();
            else if (!dropped)
                w->QComboBox::hidePopup();
        }
    }

private:
    TCustomComboBox& FCombo;
};

class TListBoxPeer : public TQtControlPeer {
public:
    explicit TListBoxPeer(TCustomListBox& list) : TQtControlPeer(list, new QListWidget), FList(list)
    {
        auto* w = static_cast<QListWidget*>(Widget());
        WatchInput(w->viewport());
        QObject::connect(w, &QListWidget::currentRowChanged, Context(), [this](int row) {
            if (row >= 0 && row != FList.GetItemIndex() && !FList.UserSelected(row))
                Changed(TControlChanges(TControlChange::ItemIndex));
        });
    }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QListWidget*>(Widget());
        if (HasChange(what, TControlChange::Style)) {
            w->setSelectionMode(FList.GetMultiSelect() ? QAbstractItemView::ExtendedSelection
                                                       : QAbstractItemView::SingleSelection);
            w->setFrameShape(FList.GetBorderStyle() == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
        }
        if (HasChange(what, TControlChange::Items)) {
            const TStrings& model = *FList.GetItems();
            const int inserted = FList.InsertedItem();
            if (inserted >= 0 && inserted < model.Count() && w->count() == model.Count() - 1) {
                w->insertItem(inserted, ToQString(model.Get(inserted)));  // one string added
            } else {
                w->clear();
                w->addItems(ItemsOf(model));
            }
            what |= uint32_t(TControlChange::ItemIndex);
        }
        if (HasChange(what, TControlChange::ItemIndex)) {
            if (w->currentRow() != FList.GetItemIndex())
                w->setCurrentRow(FList.GetItemIndex());
            if (FList.GetMultiSelect())
                for (int i = 0; i < w->count(); ++i)
                    w->item(i)->setSelected(FList.GetSelected(i));
        }
    }

private:
    TCustomListBox& FList;
};

class TButtonPeer : public TQtControlPeer {
public:
    explicit TButtonPeer(TButton& button) : TQtControlPeer(button, new QPushButton), FButton(button)
    {
        QObject::connect(static_cast<QPushButton*>(Widget()), &QPushButton::clicked, Context(),
                         [this] { FButton.UserClicked(); });
    }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QPushButton*>(Widget());
        if (HasChange(what, TControlChange::Caption))
            w->setText(ToQString(FButton.GetCaption()));
        if (HasChange(what, TControlChange::Style))
            w->setDefault(FButton.GetDefault());
    }

private:
    TButton& FButton;
};

class TCheckBoxPeer : public TQtControlPeer {
public:
    explicit TCheckBoxPeer(TCheckBox& check) : TQtControlPeer(check, new QCheckBox), FCheck(check)
    {
        // Qt toggles first; the model decides the state and the peer shows it.
        QObject::connect(static_cast<QCheckBox*>(Widget()), &QCheckBox::clicked, Context(), [this] {
            FCheck.UserClicked();
            Changed(TControlChanges(TControlChange::Checked));
        });
    }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QCheckBox*>(Widget());
        if (HasChange(what, TControlChange::Caption))
            w->setText(ToQString(FCheck.GetCaption()));
        if (HasChange(what, TControlChange::Style) || HasChange(what, TControlChange::Checked)) {
            w->setTristate(FCheck.GetAllowGrayed() || FCheck.GetState() == cbGrayed);
            const Qt::CheckState state = FCheck.GetState() == cbChecked  ? Qt::Checked
                                         : FCheck.GetState() == cbGrayed ? Qt::PartiallyChecked
                                                                         : Qt::Unchecked;
            if (w->checkState() != state)
                w->setCheckState(state);
            w->setLayoutDirection(FCheck.GetAlignment() == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
        }
    }

private:
    TCheckBox& FCheck;
};

class TRadioPeer : public TQtControlPeer {
public:
    explicit TRadioPeer(TRadioButton& radio) : TQtControlPeer(radio, new QRadioButton), FRadio(radio)
    {
        auto* w = static_cast<QRadioButton*>(Widget());
        w->setAutoExclusive(false);  // the model unchecks the siblings
        QObject::connect(w, &QRadioButton::clicked, Context(), [this] {
            FRadio.UserClicked();
            Changed(TControlChanges(TControlChange::Checked));
        });
    }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QRadioButton*>(Widget());
        if (HasChange(what, TControlChange::Caption))
            w->setText(ToQString(FRadio.GetCaption()));
        if (HasChange(what, TControlChange::Checked) && w->isChecked() != FRadio.GetChecked())
            w->setChecked(FRadio.GetChecked());
        if (HasChange(what, TControlChange::Style))
            w->setLayoutDirection(FRadio.GetAlignment() == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
    }

private:
    TRadioButton& FRadio;
};

class TGroupBoxPeer : public TQtControlPeer {
public:
    explicit TGroupBoxPeer(TCustomGroupBox& box) : TQtControlPeer(box, new QGroupBox), FBox(box) {}
    bool ClicksOnRelease() const override { return true; }

protected:
    void Update(TControlChanges what) override
    {
        if (HasChange(what, TControlChange::Caption))
            static_cast<QGroupBox*>(Widget())->setTitle(StripAccelerators(ToQString(FBox.GetCaption())));
    }

private:
    TCustomGroupBox& FBox;
};

class TSpeedButtonPeer : public TQtControlPeer {
public:
    explicit TSpeedButtonPeer(TSpeedButton& button) : TQtControlPeer(button, new QToolButton), FButton(button)
    {
        auto* w = static_cast<QToolButton*>(Widget());
        w->setFocusPolicy(Qt::NoFocus);
        w->setToolButtonStyle(Qt::ToolButtonTextOnly);
        QObject::connect(w, &QToolButton::clicked, Context(), [this] {
            FButton.UserClicked();
            Changed(TControlChanges(TControlChange::Checked));
        });
    }

protected:
    void Update(TControlChanges what) override
    {
        auto* w = static_cast<QToolButton*>(Widget());
        if (HasChange(what, TControlChange::Caption))
            w->setText(ToQString(FButton.GetCaption()));
        if (HasChange(what, TControlChange::Style))
            w->setAutoRaise(FButton.GetFlat());
        if (HasChange(what, TControlChange::Checked) || HasChange(what, TControlChange::Style)) {
            w->setCheckable(FButton.GetGroupIndex() > 0);
            if (w->isChecked() != FButton.GetDown())
                w->setChecked(FButton.GetDown());
        }
    }

private:
    TSpeedButton& FButton;
};

}  // namespace

std::unique_ptr<TPeer> CreateStdPeer(TControl& control)
{
    if (auto* c = dynamic_cast<TMemo*>(&control))
        return std::make_unique<TMemoPeer>(*c);
    if (auto* c = dynamic_cast<TCustomEdit*>(&control))
        return std::make_unique<TEditPeer>(*c);
    if (auto* c = dynamic_cast<TCustomLabel*>(&control))
        return std::make_unique<TLabelPeer>(*c);
    if (auto* c = dynamic_cast<TCustomComboBox*>(&control))
        return std::make_unique<TComboPeer>(*c);
    if (auto* c = dynamic_cast<TCustomListBox*>(&control))
        return std::make_unique<TListBoxPeer>(*c);
    if (auto* c = dynamic_cast<TButton*>(&control))
        return std::make_unique<TButtonPeer>(*c);
    if (auto* c = dynamic_cast<TCheckBox*>(&control))
        return std::make_unique<TCheckBoxPeer>(*c);
    if (auto* c = dynamic_cast<TRadioButton*>(&control))
        return std::make_unique<TRadioPeer>(*c);
    if (auto* c = dynamic_cast<TCustomGroupBox*>(&control))
        return std::make_unique<TGroupBoxPeer>(*c);
    if (auto* c = dynamic_cast<TSpeedButton*>(&control))
        return std::make_unique<TSpeedButtonPeer>(*c);
    return nullptr;
}
