// Bindings.h - the platform's classes as scripts see them.
//
// Four binding units register host classes, constants and enumerations into
// scGlobalUnit, each under its own registrar (the items are stamped with it and
// taken out again when the registrar goes):
//
//   classes    TObject .. TComponent, lists, string lists, streams, collections,
//              the engine's XML classes; file-mode and seek constants, TDuplicates
//   dialogs    the common dialogs, MessageDlg, InputBox, InputQuery (and the
//              built-in ShowMessage is pointed at the gui's message box)
//   graphics   fonts, pens, brushes, canvases, graphics, pictures, bitmaps,
//              metafiles, the 52 colour constants
//   forms      controls, forms, the application object, modal results, cursors,
//              virtual keys and the controls' enumerations; script-visible events
//
// They live in their own library (sklad_script_bindings) because the forms and
// dialogs units need the gui layer, and not every user of the engine does. The
// program's start-up calls ScriptBindingsStartup right after ScriptEngineStartup
// (so the order is: global unit, grammars, built-in functions, class bindings)
// and ScriptBindingsShutdown before ScriptEngineShutdown and before the gui's
// application object is destroyed (shutdown frees what scripts made and left,
// forms included). Both are counted: the units register once, however many
// times start-up is called.
//
// Objects cross to scripts only as checked handles. Every object argument is
// resolved against the class the declaration names, so a stale, forged or
// wrong-class value is a clean script error; see BindingsCommon.h for freeing,
// which is where the platform would crash.
#pragma once

void ScriptBindingsStartup();
void ScriptBindingsShutdown();
// True between the first start-up and the last shutdown.
bool ScriptBindingsActive();
