// rpWindows.h - small helpers the library's windows are built with.
//
// The windows of the report library are laid out in code, one control at a time, with the
// names their text blocks use ("OkB.Caption=ОК"), so that TrpResources::LocalizeForm finds
// them after creation exactly as it would in a form resource.
#pragma once

#include "platform/gui/Forms.h"

// A control named Name, owned by Owner, on Parent at (Left, Top) sized Width x Height.
template <class T>
T* rpMakeControl(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top, int Width, int Height,
                 const AnsiString& Caption = {})
{
    T* control = new T(Owner);
    control->SetName(Name);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    if (!Caption.empty())
        control->SetCaption(Caption);
    return control;
}

// Dialog windows of the library: Tahoma 8 point, the client size given.
void rpSetDialogLook(TCustomForm* Form, int ClientWidth, int ClientHeight);
