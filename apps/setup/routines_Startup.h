// Start-up steps of the setup program, apart from WinMain so that tests can
// drive them.
#pragma once

#include <string>
#include <vector>

class TApplication;

// Registers every class a project or page stream may name.
void RegisterSetupClasses();
// The installation title of the project (the raw-data resource "QVTITLE"),
// or "Setup" when the program carries none.
std::string ProjectTitle();
// The page forms in the order the program creates them.
const std::vector<std::string>& PageFormClassNames();
// Creates each page form whose class is registered, from its own resource.
void CreatePageForms(TApplication& App);
// The switches /DIR=, /GROUP=, /COMPONENTS= and /LANG= applied to the
// project just read, before the run starts; IEInstall for a name the
// project does not have.
void ApplyRunOptions();
