#include "report/output/rpDock.h"

#include "platform/classes/IniFiles.h"
#include "platform/graphics/Canvas.h"

#include <algorithm>

// ---------------------------------------------------------------- TrpTBPanel

SKLAD_DEFINE_CLASS(TrpTBPanel)

TrpTBPanel::TrpTBPanel(TComponent* AOwner) : TPanel(AOwner)
{
    SetAlign(alLeft);
    SetBounds(GetLeft(), GetTop(), 8, 8);
    SetBevelOuter(bvNone);
    SetCaption("");
}

void TrpTBPanel::SetParent(TWinControl* Value)
{
    TPanel::SetParent(Value);
    if (Destroying())
        return;
    if (auto* panel = dynamic_cast<TCustomPanel*>(Value)) {
        const TAlign a = panel->GetAlign();
        SetAlign(a == alLeft || a == alRight ? alTop : alLeft);
    }
}

void TrpTBPanel::Paint(TCanvas& Canvas)
{
    Canvas.GetBrush()->SetStyle(bsSolid);
    Canvas.GetBrush()->SetColor(clBtnFace);
    Canvas.FillRect(ClientRect());
    if (Designing()) {
        Canvas.GetPen()->SetColor(clBtnShadow);
        Canvas.GetPen()->SetStyle(psDot);
        Canvas.GetBrush()->SetStyle(bsClear);
        Canvas.Rectangle(ClientRect());
    }
}

// ---------------------------------------------------------------- TrpDock

SKLAD_DEFINE_CLASS(TrpDock)

TrpDock::TrpDock(TComponent* AOwner) : TPanel(AOwner)
{
    SetAlign(alTop);
    SetBevelOuter(bvNone);
    SetCaption("");
    SetHeight(1);
}

void TrpDock::AdjustBounds()
{
    // Rows in use, counted by where the visible tool bars start.
    std::vector<int> rows;
    int reach = 0;
    for (TControl* c : ControlList()) {
        if (!c->GetVisible())
            continue;
        const int start = IsVertical() ? c->GetLeft() : c->GetTop();
        const int depth = IsVertical() ? c->GetWidth() : c->GetHeight();
        const int row = std::max(start, 0) / std::max(RowSize, 1);
        if (std::find(rows.begin(), rows.end(), row) == rows.end())
            rows.push_back(row);
        reach = std::max(reach, start + depth);
    }
    std::sort(rows.begin(), rows.end());
    // Empty row lines close up: each tool bar moves to the index of its row.
    for (TControl* c : ControlList()) {
        if (!c->GetVisible())
            continue;
        const int start = IsVertical() ? c->GetLeft() : c->GetTop();
        const int row = std::max(start, 0) / std::max(RowSize, 1);
        const int index = static_cast<int>(std::find(rows.begin(), rows.end(), row) - rows.begin());
        const int target = index * RowSize + std::max(start, 0) % std::max(RowSize, 1);
        if (IsVertical())
            c->SetLeft(target);
        else
            c->SetTop(target);
    }
    int depth = rows.empty() ? 1 : static_cast<int>(rows.size()) * RowSize + 1;
    if (!rows.empty())
        depth = std::max(depth, std::min(reach, depth + RowSize));
    if (IsVertical())
        SetWidth(depth);
    else
        SetHeight(depth);
}

// ---------------------------------------------------------------- TrpToolBar

SKLAD_DEFINE_CLASS(TrpToolBar)

TrpToolBar::TrpToolBar(TComponent* AOwner) : TPanel(AOwner)
{
    SetBevelOuter(bvNone);
    SetCaption("");
    SetHeight(26);
}

TrpDock* TrpToolBar::Dock() const { return dynamic_cast<TrpDock*>(GetParent()); }

bool TrpToolBar::DockTo(TrpDock* NewDock, int X, int Y)
{
    if (!NewDock)
        return false;
    if ((Orientation == toVertOnly && !NewDock->IsVertical()) || (Orientation == toHorzOnly && NewDock->IsVertical()))
        return false;
    TrpDock* old = Dock();
    SetVisible(false);
    SetParent(NewDock);
    if (old && old != NewDock)
        old->AdjustBounds();
    SetBounds(X, Y, GetWidth(), GetHeight());
    SetVisible(true);
    RealignControls();
    NewDock->AdjustBounds();
    return true;
}

void TrpToolBar::RealignControls()
{
    const bool vertical = Dock() && Dock()->IsVertical();
    int pos = 2;
    int across = 0;
    for (TControl* c : ControlList()) {
        if (!c->GetVisible())
            continue;
        if (vertical) {
            c->SetBounds(1, pos, c->GetWidth(), c->GetHeight());
            pos += c->GetHeight();
            across = std::max(across, c->GetWidth());
        } else {
            c->SetBounds(pos, 1, c->GetWidth(), c->GetHeight());
            pos += c->GetWidth();
            across = std::max(across, c->GetHeight());
        }
    }
    if (vertical)
        SetBounds(GetLeft(), GetTop(), std::max(GetWidth(), across + 2), pos + 2);
    else
        SetBounds(GetLeft(), GetTop(), pos + 2, std::max(GetHeight(), across + 2));
}

// ---------------------------------------------------------------- positions

void rpSaveToolbarPosition(TCustomIniFile& Ini, TrpToolBar* ToolBar)
{
    const AnsiString section = "ToolBar." + ToolBar->GetName();
    Ini.WriteBool(section, "Float", false);
    Ini.WriteBool(section, "Visible", ToolBar->GetVisible());
    Ini.WriteInteger(section, "Left", ToolBar->GetLeft());
    Ini.WriteInteger(section, "Top", ToolBar->GetTop());
    Ini.WriteInteger(section, "Width", ToolBar->GetWidth());
    Ini.WriteInteger(section, "Height", ToolBar->GetHeight());
    if (TrpDock* dock = ToolBar->Dock())
        Ini.WriteString(section, "Dock", dock->GetName());
}

void rpRestoreToolbarPosition(TCustomIniFile& Ini, TrpToolBar* ToolBar)
{
    const AnsiString section = "ToolBar." + ToolBar->GetName();
    ToolBar->SetVisible(false);
    const int left = Ini.ReadInteger(section, "Left", ToolBar->GetLeft());
    const int top = Ini.ReadInteger(section, "Top", ToolBar->GetTop());
    TrpDock* current = ToolBar->Dock();
    // Fixed tool bars: a "Float" entry docks them where they were.
    const AnsiString dockName = Ini.ReadString(section, "Dock", current ? current->GetName() : AnsiString());
    TComponent* owner = ToolBar->Owner();
    auto* dock = owner ? dynamic_cast<TrpDock*>(owner->FindComponent(dockName)) : nullptr;
    if (dock && dock != current)
        ToolBar->DockTo(dock, left, top);
    const int width = Ini.ReadInteger(section, "Width", ToolBar->GetWidth());
    const int height = Ini.ReadInteger(section, "Height", ToolBar->GetHeight());
    ToolBar->SetBounds(ToolBar->GetLeft(), ToolBar->GetTop(), width, height);
    ToolBar->SetVisible(Ini.ReadBool(section, "Visible", true));
}

void rpSaveFormPosition(TCustomIniFile& Ini, TCustomForm* Form)
{
    const AnsiString section = "Form." + Form->ClassName();
    Ini.WriteInteger(section, "Left", Form->GetLeft());
    Ini.WriteInteger(section, "Top", Form->GetTop());
    Ini.WriteInteger(section, "Width", Form->GetWidth());
    Ini.WriteInteger(section, "Height", Form->GetHeight());
    Ini.WriteBool(section, "Maximized", Form->GetWindowState() == wsMaximized);
    Ini.WriteBool(section, "Visible", Form->GetVisible());
    Ini.WriteString(section, "Dock", Form->GetParent() ? Form->GetParent()->GetName() : AnsiString());
}

void rpRestoreFormPosition(TCustomIniFile& Ini, TCustomForm* Form)
{
    const AnsiString section = "Form." + Form->ClassName();
    if (Ini.ReadBool(section, "Maximized", false)) {
        Form->SetWindowState(wsMaximized);
    } else {
        Form->SetBounds(Ini.ReadInteger(section, "Left", Form->GetLeft()), Ini.ReadInteger(section, "Top", Form->GetTop()),
                        Ini.ReadInteger(section, "Width", Form->GetWidth()),
                        Ini.ReadInteger(section, "Height", Form->GetHeight()));
    }
    const AnsiString dockName = Ini.ReadString(section, "Dock", "");
    if (TComponent* owner = Form->Owner(); owner && !dockName.empty())
        if (auto* site = dynamic_cast<TWinControl*>(owner->FindComponent(dockName)))
            Form->SetParent(site);
    Form->SetVisible(Ini.ReadBool(section, "Visible", true));
}
