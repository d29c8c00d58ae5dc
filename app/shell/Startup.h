// Startup.h - the program's start-up, in the fixed order main() and the test fixtures share.
//
// RegisterProgramClasses registers, by name, the classes the window layouts create. CreateForms
// sets the application title and creates the twelve windows TForm1 .. TForm12 in that order,
// each stored in its global pointer Form1 .. Form12 before its constructor runs; the first is
// the main window, whose creation opens the warehouse. Nothing depends on static initialisers.
#pragma once

void RegisterProgramClasses();
void CreateForms();
// Clears the global form pointers after the application has destroyed its forms.
void ForgetForms();
