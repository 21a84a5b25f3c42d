// Makes every class of the form toolkit known by name, so that form streams
// can create its controls, and lets the translator see controls as controls.
#pragma once

void RegisterControlsClasses();
