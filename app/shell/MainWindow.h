// MainWindow.h - what the shell's dialogs ask of the main window.
//
// The input, password and name-flag dialogs work on the warehouse the main window has open:
// its groups tree (the selected group, a new or renamed group's node) and its file (opening
// another, closing it). They reach the main window through this class and never through its
// header, so that the main window may open them without an include circle. Everything the
// document windows reach as well is the data module (DataModule.h).
#pragma once

#include "app/shell/DataModule.h"

class TTreeNode;

// What a failed open did to the program.
enum class TOpenResult { Opened, Failed };

class TMainWindow : public TWarehouseData {
public:
    AnsiString AppDir;  // the program's folder, with its trailing separator

    // -- the groups tree
    // The group selected in the tree, if any.
    virtual TTreeNode* SelectedGroup() const = 0;
    // A new subgroup's node, first under `parent`, shown and selected.
    virtual void AddGroupNode(TTreeNode* parent, const AnsiString& name) = 0;
    // A renamed group's node; a group of goods lists them again under the new name.
    virtual void RenameGroupNode(TTreeNode* node, const AnsiString& name) = 0;
    // Selects the top-level group, listing all goods.
    virtual void SelectTopGroup() = 0;

    // -- the warehouse file
    // Opens the warehouse file at path. A file that cannot be opened as a warehouse leaves
    // the open one (if any) untouched and tells the user why.
    virtual TOpenResult OpenDatabase(const AnsiString& path) = 0;
    // No warehouse open: queries and connection closed, tree empty.
    virtual void CloseDatabase() = 0;
    virtual const AnsiString& DatabasePath() const = 0;

protected:
    ~TMainWindow() = default;
};

// The main window, once created; nullptr before and after.
extern TMainWindow* MainWindow;
