// Startup.h - the program's start-up, in the fixed order main() and the test fixtures share.
//
// RegisterProgramClasses registers, by name, the classes the window layouts create. CreateForms
// sets the application title and creates the twelve windows TForm1 .. TForm12 in that order,
// each stored in its global pointer Form1 .. Form12 before its constructor runs; the first is
// the main window, whose creation opens the warehouse. Nothing depends on static initialisers.
//
// StartLibraries starts the script engine and the report library in the fixed order
// (global script unit, grammars, built-in functions, class bindings, report model and
// report classes, the report output's engine, preview and printers) and points their
// questions and messages at the window layer: the script's ShowMessage and the report
// library's error box become message boxes, a protected report asks in a password
// window. StopLibraries undoes it in reverse, after the forms are gone. Both are counted:
// nested calls start and stop once.
#pragma once

void StartLibraries();
void StopLibraries();
void RegisterProgramClasses();
void CreateForms();
// Clears the global form pointers after the application has destroyed its forms.
void ForgetForms();
