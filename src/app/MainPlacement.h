#pragma once

#include <QRect>

class QScreen;

namespace vantor::app {

// The main window's remembered position and size, in twips (1/1440 inch),
// kept in the per-user settings under "Vantor" / "Settings".
struct MainPlacement
{
    float left = 1000;
    float top = 1000;
    float width = 6500;
    float height = 6500;

    // What the settings hold; a missing or unreadable value gives its default.
    static MainPlacement load();
    void save() const;

    // Twips to pixels by the screen's logical resolution, and back.
    QRect toPixels(const QScreen* screen) const;
    static MainPlacement fromPixels(const QRect& outer, const QScreen* screen);

    bool operator==(const MainPlacement&) const = default;
};

} // namespace vantor::app
