#pragma once

#include <QIcon>

// The small pictures of the Options window's picture buttons, drawn in code so that they
// look the same on every platform and need no image files.
class OptionsPictures
{
public:
    static QIcon add();        // a plus sign
    static QIcon remove();     // a minus sign
    static QIcon moveUp();     // an arrow pointing up
    static QIcon moveDown();   // an arrow pointing down
    static QIcon openLog();    // a sheet of lined paper
    static QIcon print();      // a printer
    static QIcon abortPrint(); // a stop sign
    static QIcon deleteLog();  // a waste bin
    static QIcon calculator(); // a pocket calculator
};
