#include "StockMain.h"

// The market-index download and the ticker are wired here.
void StockMain::wireTicker() {}
