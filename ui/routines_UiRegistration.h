// Makes the classes of the ui layer known to project streams and to the
// catalogue of the project compiler.
#pragma once

void RegisterUiClasses();
