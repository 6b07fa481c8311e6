#include "MainPlacement.h"

#include "ProgramInfo.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QSettings>

#include <cmath>

namespace vantor::app {

namespace {

constexpr double TwipsPerInch = 1440.0;

float readValue(const QSettings& settings, const QString& key, float fallback, bool positive)
{
    bool ok = false;
    const float value = QLocale::c().toFloat(settings.value(key).toString().trimmed(), &ok);
    if (!ok || !std::isfinite(value) || (positive && value <= 0))
        return fallback;
    return value;
}

QString valueText(float value)
{
    return QLocale::c().toString(double(value), 'g', 7);
}

QPointF dpi(const QScreen* screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {96, 96};
    return {screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY()};
}

} // namespace

MainPlacement MainPlacement::load()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, program::Title,
                       program::Title);
    settings.beginGroup(QStringLiteral("Settings"));
    const MainPlacement defaults;
    MainPlacement placement;
    placement.left = readValue(settings, QStringLiteral("MainLeft"), defaults.left, false);
    placement.top = readValue(settings, QStringLiteral("MainTop"), defaults.top, false);
    placement.width = readValue(settings, QStringLiteral("MainWidth"), defaults.width, true);
    placement.height = readValue(settings, QStringLiteral("MainHeight"), defaults.height, true);
    return placement;
}

void MainPlacement::save() const
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, program::Title,
                       program::Title);
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QStringLiteral("MainLeft"), valueText(left));
    settings.setValue(QStringLiteral("MainTop"), valueText(top));
    settings.setValue(QStringLiteral("MainWidth"), valueText(width));
    settings.setValue(QStringLiteral("MainHeight"), valueText(height));
}

QRect MainPlacement::toPixels(const QScreen* screen) const
{
    const QPointF d = dpi(screen);
    auto px = [](float twips, qreal dotsPerInch) {
        return int(std::lround(double(twips) * dotsPerInch / TwipsPerInch));
    };
    return {px(left, d.x()), px(top, d.y()), px(width, d.x()), px(height, d.y())};
}

MainPlacement MainPlacement::fromPixels(const QRect& outer, const QScreen* screen)
{
    const QPointF d = dpi(screen);
    auto twips = [](int pixels, qreal dotsPerInch) {
        return float(std::round(pixels * TwipsPerInch / dotsPerInch));
    };
    return {twips(outer.x(), d.x()), twips(outer.y(), d.y()), twips(outer.width(), d.x()),
            twips(outer.height(), d.y())};
}

} // namespace vantor::app
