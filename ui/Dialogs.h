// The plain message dialog.
#pragma once
#include <string>

// Shows the text with one OK button and no icon, the application title as
// caption, owned by the Application window and centred on the screen; modal
// to all of the program's windows. Returns when the user has closed it.
void ShowMessage(const std::string& text);
