// A small modal prompt for one line of text: a caption, a prompt above an
// edit, OK and Cancel.  Used where the program needs a name from the user
// in the middle of another dialog (a new folder in the folder browser).
#pragma once

#include <string>

// Shows the prompt with Value in the edit; true when the user pressed OK
// (or Enter), with the text in Value; false on Cancel, Escape or a close,
// leaving Value as it was.  Needs the application object.
bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value);
