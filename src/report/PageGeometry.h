#pragma once

#include <QLocale>
#include <QMargins>
#include <QRect>
#include <QSize>

namespace vantor::report {

// The paper a report is laid out for, in twips.
struct PageGeometry
{
    QSize paper;
    QMargins margins;

    QRect body() const { return QRect(QPoint(0, 0), paper).marginsRemoved(margins); }

    // US Letter for the locales that use it, A4 elsewhere; half-inch margins
    // top and bottom, three-quarter-inch left and right.
    static PageGeometry forLocale(const QLocale& locale = QLocale())
    {
        const bool letter = locale.measurementSystem() == QLocale::ImperialUSSystem;
        PageGeometry g;
        g.paper = letter ? QSize(12240, 15840) : QSize(11906, 16838);
        g.margins = QMargins(1080, 720, 1080, 720);
        return g;
    }
};

} // namespace vantor::report
