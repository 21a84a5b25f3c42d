// The kit's wizard pages join the program: their classes become known to
// streams and they enter the page registry, in the order the program has
// always registered them (the wizard shows them by their Order).
#pragma once

// Once per process; later calls do nothing (the registry is never emptied).
void RegisterWizardPages();
