#pragma once

#include <QPaintDevice>

namespace vantor::widgets {

// Window geometry is kept in twips, 1/1440 inch; the screen's logical
// resolution turns it into pixels.
inline int twipsToPixelsX(int twips, const QPaintDevice* device)
{
    return int(qint64(twips) * (device ? device->logicalDpiX() : 96) / 1440);
}

inline int twipsToPixelsY(int twips, const QPaintDevice* device)
{
    return int(qint64(twips) * (device ? device->logicalDpiY() : 96) / 1440);
}

} // namespace vantor::widgets
