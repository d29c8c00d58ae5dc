// Unit2.h - the goods card: a product's record card, the line picker and the line editor of documents.
//
// Three roles, each with its opener (ShowProduct/ShowNewCard, ShowAsPicker, ShowAsEditor),
// which arranges the window and gives it the role's width: the card of one product (474, the
// main window's viewer), the line picker (800, "Добавить" of the document window, with the
// goods grid) and the line editor (248, "Изменить", opening on the quantity, selected). No
// other window touches its controls.
// In the picker and editor roles the boxes filter the goods grid (TForm1::ADOQuery5) by every
// non-empty box, values bound. The card of a product reads its figures from the warehouse
// again whenever it is active again (the journal of its documents may have changed them).
//
// Form2 serves every role. The one exception: while Form2 shows the card of a product and the
// journal opened from it begins a document, that document's lines are picked and changed in a
// second TForm2 made for it (LineCard), since a window shown already cannot be shown modally
// again. Its grid takes the saved column widths; the main window saves Form2's only.
//
// The OK buttons: Button7 stores the card (card role) or adds/changes a receipt or request
// line; Button3 adds a write-off line; Button2 changes an issue or write-off line. Lines go to
// the scratch tables; ADOQuery4 is reopened with its own statement and the document window
// recomputes its total once the card closes. A quantity, price, minimum or maximum that is no
// number (or below zero) is refused with a message; the card stays open as it was.
#pragma once

#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class TButton;
class TComboBox;
class TDBGrid;
class TColumn;
class TEdit;
class TGroupBox;
class TLabel;
class TADOQuery;

// Set by the opener with SetRole, which also gives the window the role's width.
enum class TCardRole {
    Card,    // width 474
    Picker,  // width 800
    Editor,  // width 248
    Other,
};

// What the card role may change, set by the main window before showing the card.
enum class TCardMode {
    NewCard,     // a new product of the selected group: everything, inserted on OK
    FullEdit,    // a product no document names yet: everything
    PricesOnly,  // a product in use: price, minimum, maximum (and the article when enabled)
};

// A product as its card shows it: Products' columns as text, and the figures of today.
struct TProductCard {
    int64_t Id = 0;
    AnsiString Name, Article, Brand, Colour, Sizes, Unit, Supplier, Price, Minimum, Maximum, Group, Stock;
    double Value = 0;     // the stock's value, not rounded
    double Surplus = 0;   // above the maximum, after what open requests reserve
    double Shortage = 0;  // below the minimum, after what open requests reserve
    double Reserved = 0;  // what open requests still wait for
};

// Today's figures of a product as the warehouse holds them now ("Данные на сегодня"): its
// stock, the stock's value, what requests still wait for (ReserveSql: archived ones too,
// whatever their state), and the surplus over the maximum and the shortage under the minimum
// after that reserve; stock, limits and reserve to the cent, as the stock reports print them.
// Fills Stock, Value, Reserved, Surplus and Shortage of `card`; reads through `work`. False,
// `card` untouched, when the product is gone.
bool ReadTodaysFigures(TADOQuery* work, int64_t productId, TProductCard& card);

// What the line editor may change.
enum class TLineEdit {
    Whole,            // a receipt line: every field; OK writes the line anew
    RequestQuantity,  // a request line: its quantity; OK writes the line anew
    IssueQuantity,    // an issue invoice line: its quantity only
    ActQuantity,      // a write-off line: its quantity only
};

class TForm2 : public TForm {
    SKLAD_CLASS(TForm2, TForm)
public:
    explicit TForm2(TComponent* AOwner);
    ~TForm2() override;

    TComboBox* Art = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TComboBox* ComboBox3 = nullptr;
    TComboBox* ComboBox4 = nullptr;
    TComboBox* ComboBox5 = nullptr;
    TComboBox* ComboBox6 = nullptr;
    TComboBox* ComboBox7 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit4 = nullptr;
    TEdit* Edit5 = nullptr;
    TEdit* Edit6 = nullptr;
    TEdit* Edit7 = nullptr;
    TEdit* Edit9 = nullptr;
    TLabel* Label6 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;
    TButton* Button5 = nullptr;
    TButton* Button6 = nullptr;
    TButton* Button7 = nullptr;
    TButton* Button9 = nullptr;

    // Shared scratch of the catalogue windows.
    AnsiString WorkText;
    uint8_t VatInputValid = 0;
    uint8_t FirstShow = 0;
    uint8_t ComboKeyFlag = 0;

    // The card role's product and what may be changed in it.
    int64_t CardProductId = 0;
    TCardMode CardMode = TCardMode::PricesOnly;

    // The role the opener gave; the window's width follows it (474, 800, 248).
    void SetRole(TCardRole role);
    TCardRole Role() const { return FRole; }
    // -- openers: each arranges the window for its role, then shows it modally.
    // The card of a product (the main window's "Просмотр"); FullEdit or PricesOnly.
    void ShowProduct(TCardMode mode, const TProductCard& product);
    // A new card, in `group` when one is given.
    void ShowNewCard(const AnsiString& group);
    // The line picker of the document window; `act`: the lines of a write-off act. Lines
    // written carry `party`, the document's supplier or recipient.
    void ShowAsPicker(bool act, const AnsiString& party);
    // The line editor over the document window's current line `line`.
    void ShowAsEditor(TADOQuery* line, TLineEdit edit, const AnsiString& party);
    // The documents holding the card's product: the journal, set at start-up.
    std::function<void(const AnsiString& productId, const AnsiString& product)> OnShowDocuments;
    // The lists of the boxes: the goods' values, the suppliers, the groups that hold goods.
    void FillLists();

    int DropDownRows(TComboBox* box) const;
    void ClearOtherCombos(TComboBox* box);

    void ArtChange(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    void ComboBox2Change(TObject* Sender);
    void ComboBox3Change(TObject* Sender);
    void ComboBox5Change(TObject* Sender);
    void ComboBox7Change(TObject* Sender);
    void ComboBox6Change(TObject* Sender);
    void ComboBox1Select(TObject* Sender);
    void ComboBox2Select(TObject* Sender);
    void ComboBox3Select(TObject* Sender);
    void ComboBox5Select(TObject* Sender);
    void ComboBox7Select(TObject* Sender);
    void DBGrid1CellClick(TColumn* Column);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void FormShow(TObject* Sender);
    void ComboBox1KeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    // The picker's goods grid moved to another row (TForm1::ADOQuery5's AfterScroll).
    void GoodsRowReached();

protected:
    // The card of a product shows the warehouse's figures whenever it is active again: a
    // window opened over it (the journal of the product's documents) may have changed them.
    void Activate() override;

private:
    void ShowFigures(const TProductCard& product);
    void EnableDescribingFields(bool enabled);
    // The card role's layout; shows the card.
    void ShowCardRole();
    void PrepareLineCard(bool forAdding);

    TCardRole FRole = TCardRole::Other;
    bool FReadingGoods = false;  // the goods grid is being filled, not moved by the user
    // Close, set the text, bind :v0, :v1 ... in order, open.
    void OpenGoods(const AnsiString& sql, const std::vector<Variant>& values = {});
    TLineEdit FLineEdit = TLineEdit::Whole;
    AnsiString FParty;
    using TFurther = std::initializer_list<std::pair<TComboBox*, const char*>>;
    void Filter(TObject* sender, TComboBox* own, const char* column, TFurther further);
    void SelectFrom(TComboBox* box, void (TForm2::*change)(TObject*));
    // Reads a number box; false (and the message shown) when it is no number >= 0.
    bool ReadNumber(TEdit* edit, const char* caption, double& value);
    bool ReadQuantity(double& value);
    void StoreCard();
    // The Products.ID a document line written from the card is for (0: none fits the boxes);
    // `current` is the line's product before a change.
    int64_t LineProductId(int64_t current);
    void WriteDocumentLine(bool add);
    void ChangeIssueLine();
    void LinesWritten();
};

extern TForm2* Form2;

// The card that picks and changes the document window's lines: Form2, or, while Form2 is
// already showing (the card of a product whose journal opened the document), a second card
// of its own, so that no window is shown modally twice.
TForm2* LineCard();
