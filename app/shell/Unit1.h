// Unit1.h - the main window: groups tree, goods grid, menus, and the program's shared state.
//
// TForm1 is both the main window and the shared data module (TWarehouseData, DataModule.h): it
// owns the one connection to the open warehouse, the shared queries and data sources that
// every window runs its SQL through, the working/archive mode and the VAT rates. The windows
// of app/documents reach it only as the data module. Its layout is app/forms/Unit1.dfm.
//
// Opening a warehouse (OpenDatabase) checks the file on a connection of its own before it
// touches the shared one, so a missing, damaged or foreign file leaves the open warehouse as
// it was and says why; "sklad.ini" is written only after an open succeeded.
//
// The groups tree is built from one read of Groups (GroupTree.h); the goods of a group and
// its subgroups are listed by one statement with the group names bound as a list. Every
// value in SQL is bound. Other windows change goods (documents, cards, imports, suppliers),
// and each is modal: the grid is read again whenever this window is activated.
//
// Not here: the document commands' own work (app/documents), the stock reports' data
// (Reports.h) and printed documents (app/documents/Printing.h).
#pragma once

#include "app/documents/GroupTree.h"
#include "app/shell/MainWindow.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

class TButton;
class TSpeedButton;
class TPanel;
class TSplitter;
class TTreeView;
class TTreeNode;
class TDBGrid;
class TColumn;
class TMainMenu;
class TPopupMenu;
class TMenuItem;
class TOpenDialog;
class TADOConnection;
class TADOQuery;
class TDataSource;
class TField;
class TComboBox;
class TrpReport;
class TrpDBDataset;
class TrpReportComponent;

class TForm1 : public TForm, public TMainWindow {
    SKLAD_CLASS(TForm1, TForm)
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;

    // -- controls and components of the layout
    TPanel* Panel1 = nullptr;
    TPanel* Panel2 = nullptr;
    TPanel* Panel3 = nullptr;
    TPanel* Panel4 = nullptr;
    TPanel* Panel5 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;
    TButton* Button5 = nullptr;
    TButton* Button6 = nullptr;
    TButton* Button7 = nullptr;
    TButton* Button8 = nullptr;
    TButton* Button9 = nullptr;
    TButton* Button10 = nullptr;
    TButton* Button11 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TTreeView* TreeView1 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem *N1 = nullptr, *N2 = nullptr, *N3 = nullptr, *N4 = nullptr, *N6 = nullptr, *N8 = nullptr,
              *N9 = nullptr, *N10 = nullptr, *N12 = nullptr, *N13 = nullptr, *N14 = nullptr, *N15 = nullptr,
              *N16 = nullptr, *N17 = nullptr, *N18 = nullptr, *N19 = nullptr, *N20 = nullptr, *N21 = nullptr,
              *N22 = nullptr, *N23 = nullptr, *N24 = nullptr, *N25 = nullptr, *N26 = nullptr, *N27 = nullptr,
              *N28 = nullptr;
    // ADOConnection1, the shared queries and data sources: TWarehouseData.
    TOpenDialog* OpenDialog1 = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    // Report bridges over ADOQuery7, ADOQuery8, ADOQuery14, ADOQuery2, ADOQuery6 (Reports.h).
    TrpDBDataset *rpDBDataset1 = nullptr, *rpDBDataset2 = nullptr, *rpDBDataset3 = nullptr,
                 *rpDBDataset4 = nullptr, *rpDBDataset5 = nullptr;

    // -- working fields (DocVatRate, VatRate, WorkingMode: TWarehouseData)
    // AppDir: TMainWindow.
    uint8_t CreateMissingGoods = 0;

    // -- event handlers (published, bound by the layout)
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void Button10Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);
    void TreeView1Change(TObject* Sender, TTreeNode* Node);
    void TreeView1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void DBGrid1TitleClick(TColumn* Column);
    void DBGrid1DblClick(TObject* Sender);
    void N1Click(TObject* Sender);
    void N2Click(TObject* Sender);
    void N3Click(TObject* Sender);
    void N4Click(TObject* Sender);
    void N6Click(TObject* Sender);
    void N7Click(TObject* Sender);
    void N8Click(TObject* Sender);
    void N10Click(TObject* Sender);
    void N12Click(TObject* Sender);
    void N13Click(TObject* Sender);
    void N14Click(TObject* Sender);
    void N16Click(TObject* Sender);
    void N17Click(TObject* Sender);
    void N18Click(TObject* Sender);
    void N19Click(TObject* Sender);
    void N20Click(TObject* Sender);
    void N21Click(TObject* Sender);
    void N23Click(TObject* Sender);
    void N24Click(TObject* Sender);
    void N25Click(TObject* Sender);
    void N26Click(TObject* Sender);

    // -- operations used by the other windows
    // Opens the warehouse file at path. A file that cannot be opened as a warehouse leaves
    // the open one (if any) untouched and tells the user why.
    TOpenResult OpenDatabase(const AnsiString& path) override;
    void CloseDatabase() override;  // no warehouse open: queries and connection closed, tree empty
    bool DatabaseOpen() const override;
    const AnsiString& DatabasePath() const override { return FDatabasePath; }
    void ClearTempDocumentTables() override;
    bool HoldScratchLines() override;
    void ReleaseScratchLines() override;
    // The group condition of the selected node: the names of the group and all groups below.
    std::vector<AnsiString> CollectSubgroups();
    std::vector<AnsiString> CollectSubgroups(TTreeNode* node);
    // The groups goods may be put in (those without subgroups), in the tree's order.
    std::vector<AnsiString> GoodsGroupNames() const override;
    // The top-level group's name (the warehouse's name on printed reports); empty without one.
    AnsiString TopGroupName() const override;
    // The group selected in the tree, if any.
    TTreeNode* SelectedGroup() const override;
    // A new subgroup's node, first under `parent`, shown and selected.
    void AddGroupNode(TTreeNode* parent, const AnsiString& name) override;
    // A renamed group's node; a group of goods lists them again under the new name.
    void RenameGroupNode(TTreeNode* node, const AnsiString& name) override;
    // Selects the top-level group, listing all goods.
    void SelectTopGroup() override;
    // Reloads the goods grid for the selected group: the node is unselected and selected again.
    void RefreshGoodsGrid() override;
    // Reads the selected group's goods again in the order shown, the cursor staying on the
    // same product (or the same row number when that product is gone).
    void ReloadGoods() override;
    // The commands on working documents are enabled (a warehouse is open, not the archive view).
    bool WorkingCommandsEnabled() const override;
    // The journal closed: the main window is back in the working view.
    void JournalClosed() override;
    // Fills a tree view from table Groups (the main tree and the report builder's).
    void BuildGroupsTree(TTreeView* tree, bool reportLeftOut) override;
    // Reads an order-request file into a request (Unit1Documents.cpp); false when nothing was read.
    bool ImportOrderRequest(const AnsiString& path, TImportTarget target) override;
    // Sets the document window up as a new order request, as the new-request command
    // does, but leaves its "Импорт" button alone and does not show it.
    void PrepareOrderRequestForm();

    // The close without the question, for a user who chose to quit (no password given).
    void Quit();

    // -- report templates (Reports.h, Unit1Reports.cpp)
    // Template rpReportN, n in 1 .. 56 (EListError outside).
    TrpReport* rpReport(int n) const override;
    // The family's template for the flags of table Name; nullptr when they choose none.
    TrpReport* ChooseTemplate(TReportFamily family) override;
    // Before-print event of every template: Cyrillic fonts, A4 for the landscape reports.
    void rpReport1BeforePrint(TrpReportComponent* Sender);

private:
    // After a change to the goods has landed: runs `read` (the grid read again); when that
    // fails the grid is emptied and the user told, never left on the figures from before.
    void GoodsChanged(const std::function<void()>& read);
    void ReadGoodsAgain();
    void BindComponents();
    void SetArchiveButtonsEnabled(bool enabled);
    // Without a warehouse only "Открыть склад", "Новый склад" and help stay enabled.
    void EnableWarehouseCommands();
    bool ChooseAndOpenWarehouse();  // the open dialog; writes "LastFile" after success
    void WriteLastFile(const AnsiString& path);
    // Points the shared connection at a checked warehouse and shows it; raises on failure.
    void SwitchDatabase(const AnsiString& path);
    // The version of the warehouse schema this program writes (PRAGMA user_version); older
    // files are brought up to it once when opened.
    static constexpr int kSchemaVersion = 2;
    void UpgradeSchema();
    void LoadColumnWidths();
    void LoadOtherGridWidths();  // the grids of Form2, Form3, Form4 and Form9
    void LoadVatRate();  // VatRate := the open warehouse's NDS
    void SaveColumnWidths() noexcept;
    std::vector<TGroupRow> ReadGroups();
    void ShowGoods(const std::vector<AnsiString>* groups, const AnsiString& orderBy = {});
    void DeleteSelectedGroup();
    // The number of goods the grid lists for a node, read from the warehouse now.
    int64_t CountGoodsOf(TTreeNode* node);

    void CreateReports();

    AnsiString FDatabasePath;
    int FScratchLock = -1;  // the open lock file while this program holds the scratch lines
    std::vector<TrpReport*> FReports;  // owned as components; [0] is rpReport1
    // Goods shown in the grid: all of them, or those of these groups.
    bool FShowAll = true;
    std::vector<AnsiString> FShownGroups;
    AnsiString FShownOrder;  // the column the goods are sorted by; empty: table order
    uint32_t FGoodsVersion = 0;  // the file's DataVersion when the goods were read
    bool FInActivate = false;
    bool FQuitting = false;
};

extern TForm1* Form1;
