// DataModule.h - the open warehouse as the windows of app/documents reach it.
//
// The main window (TForm1) is also the program's data module: it owns the one connection to
// the open warehouse, the named shared queries and data sources that every window runs its
// SQL through, the working/archive mode and the VAT rates, and the 56 report templates. The
// document side sees the main window only through this class: its controls, menus and
// commands stay its own, and what the documents need of them is a method here.
//
// Shared queries by role (a window reopens a query with its own statement before it reads):
//   ADOQuery1   the goods grid            ADOQuery6   the journal's list
//   ADOQuery2   work statements           ADOQuery7/8 report headers and lines
//   ADOQuery3   second work statements    ADOQuery14  report rows
//   ADOQuery4   a document's lines        ADOQuery15  the report builder's goods
//   ADOQuery5   the goods card's goods    ImportQuery the order-request import
#pragma once

#include "platform/rtl/SysUtils.h"

#include <cstdint>
#include <vector>

class TADOConnection;
class TADOQuery;
class TDataSource;
class TTreeView;
class TrpReport;
enum class TReportFamily : uint8_t;  // app/documents/Reports.h

// Which documents the journal and the document commands work on: the working ones or the
// archive. The values are those stored in the documents' Архив column.
enum TWorkingMode : uint8_t { wmArchive = 0, wmWorking = 1 };

// Where an order-request file goes: a new request (the menu command) or the request being
// entered in the document window (its "Импорт" button).
enum class TImportTarget { NewRequest, EnteredRequest };

class TWarehouseData {
public:
    TADOConnection* ADOConnection1 = nullptr;
    TADOQuery *ADOQuery1 = nullptr, *ADOQuery2 = nullptr, *ADOQuery3 = nullptr, *ADOQuery4 = nullptr,
              *ADOQuery5 = nullptr, *ADOQuery6 = nullptr, *ADOQuery7 = nullptr, *ADOQuery8 = nullptr,
              *ADOQuery9 = nullptr, *ADOQuery14 = nullptr, *ADOQuery15 = nullptr, *ImportQuery = nullptr;
    TDataSource *DataSource1 = nullptr, *DataSource2 = nullptr, *DataSource3 = nullptr, *DataSource4 = nullptr,
                *DataSource5 = nullptr;

    int DocVatRate = 0;  // the rate of the document being entered
    int VatRate = 0;     // the warehouse's rate (table NDS)
    TWorkingMode WorkingMode = wmWorking;

    virtual bool DatabaseOpen() const = 0;
    // Empties the scratch line tables of documents being entered; raises when another program
    // holds them (HoldScratchLines).
    virtual void ClearTempDocumentTables() = 0;
    // The scratch line tables live in the warehouse file, so two programs with the same file
    // open would empty and fill each other's lines, and a receipt could be saved with the
    // lines of another program's act. A program enters a document only while it holds them:
    // an advisory lock on a file beside the warehouse, taken when a document is begun and
    // given up when the document window closes. False when another program holds them.
    virtual bool HoldScratchLines() = 0;
    virtual void ReleaseScratchLines() = 0;

    // -- the groups and the goods grid
    // The groups goods may be put in (those without subgroups), in the tree's order.
    virtual std::vector<AnsiString> GoodsGroupNames() const = 0;
    // The top-level group's name (the warehouse's name on printed reports); empty without one.
    virtual AnsiString TopGroupName() const = 0;
    // Fills a tree view from table Groups, as the main window's tree shows them.
    virtual void BuildGroupsTree(TTreeView* tree, bool reportLeftOut) = 0;
    // Reloads the goods grid for the selected group.
    virtual void RefreshGoodsGrid() = 0;
    // Reads the goods grid again as it is shown (group, order), the cursor staying on its
    // product: stock or goods changed without the group being chosen anew.
    virtual void ReloadGoods() = 0;

    // -- the journal and the document commands
    // The commands on working documents are enabled (a warehouse is open, not the archive view).
    virtual bool WorkingCommandsEnabled() const = 0;
    // The journal closed: the main window is back in the working view.
    virtual void JournalClosed() = 0;
    // Reads an order-request file into a request; false when nothing was read.
    virtual bool ImportOrderRequest(const AnsiString& path, TImportTarget target) = 0;

    // -- report templates
    // Template rpReportN, n in 1 .. 56 (EListError outside).
    virtual TrpReport* rpReport(int n) const = 0;
    // The family's template for the flags of table Name; nullptr when they choose none.
    virtual TrpReport* ChooseTemplate(TReportFamily family) = 0;

protected:
    ~TWarehouseData() = default;
};

// The main window, once created; nullptr before and after.
extern TWarehouseData* WarehouseData;
