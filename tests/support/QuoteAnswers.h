#pragma once

#include <QByteArray>
#include <QString> // the string builder behind "+"

// One answer line of the quote service in its delayed format, as the tests' scripted
// services send it: previous close 10.00, earnings per share 1.25, the last price and open
// given, change +0.50 (+5.00%), volume 1000 and the name "Name <symbol>", then the six
// trailing fields that the download drops.
inline QByteArray quoteLine(const char *symbol, const char *last, const char *open)
{
    return QByteArray("\"") + symbol + "\",10.00,1.25,\"3:17pm - <b>" + last +
           "</b>\",\"+0.50 - +5.00%\",1000," + open + ",\"9.50 - 11.00\",8.00,\"Name " + symbol +
           "\",0.1,0.2,\"NYSE\",1,2,3\r\n";
}
