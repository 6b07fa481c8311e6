#pragma once

#include <QIcon>

namespace vantor::app {

// The program's icon: a test tube with a result line, drawn rather than
// shipped so that it is sharp at any size.
QIcon programIcon();
QPixmap programPixmap(int size);

} // namespace vantor::app
