#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double g_override = 0.0;

double factor(bool horizontal)
{
    if (g_override > 0.0)
        return g_override;
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
        ? QGuiApplication::primaryScreen()
        : nullptr;
    if (!screen)
        return 15.0;
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0.0 ? 1440.0 / dpi : 15.0;
}

// Stored twips may be anything a settings file holds; keep the pixel count
// within what a window system can take instead of overflowing int.
int clampedPixels(double pixels)
{
    constexpr double limit = 1 << 24;
    if (!std::isfinite(pixels))
        return pixels < 0 ? static_cast<int>(-limit) : static_cast<int>(limit);
    return static_cast<int>(std::lround(std::clamp(pixels, -limit, limit)));
}

} // namespace

double Twips::perPixelX() { return factor(true); }
double Twips::perPixelY() { return factor(false); }
int Twips::toPixelsX(double twips) { return clampedPixels(twips / perPixelX()); }
int Twips::toPixelsY(double twips) { return clampedPixels(twips / perPixelY()); }
double Twips::fromPixelsX(int pixels) { return pixels * perPixelX(); }
double Twips::fromPixelsY(int pixels) { return pixels * perPixelY(); }
void Twips::overridePerPixel(double twipsPerPixel) { g_override = twipsPerPixel; }
