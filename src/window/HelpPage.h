#pragma once

#include <QString>

// The help page that ships with the program ("Vantora.html" among the files Vantora reads).
namespace HelpPage {

// The page's file.
QString path();
// Opens the page in the desktop's browser; false when the page is missing or no browser
// took it.
bool open();

} // namespace HelpPage
