#include "app/WindowPlacement.h"

#include "platform/LenientNumber.h"
#include "app/Module1.h"
#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <charconv>
#include <cmath>

namespace {

const QString kSection = QStringLiteral("Settings");
const char kPending[] = "kestrelPendingOuterTwips";

// A window's pixel size before it is shown does not yet include the frame the
// window manager adds, so the outer size is asked for as client size minus
// whatever frame the window has now.
QSize frameExtra(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return QSize(frame.width() - client.width(), frame.height() - client.height());
}

// Whether enough of the frame lies on some screen for the user to grab it
// (a frame too small to judge, such as a stored width of 0 that the layout
// widens later, counts with the least size that could be grabbed).
// A placement stored on a monitor that is gone would otherwise open the
// window where nobody can see it.
bool reachable(const QRectF& twips)
{
    const QRect frame(Twips::toPixelsX(twips.x()), Twips::toPixelsY(twips.y()),
                      std::max(40, Twips::toPixelsX(twips.width())),
                      std::max(20, Twips::toPixelsY(twips.height())));
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return true;
    for (const QScreen* screen : screens) {
        const QRect visible = screen->availableGeometry().intersected(frame);
        if (visible.width() >= 40 && visible.height() >= 20)
            return true;
    }
    return false;
}

double readNumber(SettingsStore::Handle key, const QString& name, double fallback)
{
    QString text;
    if (Module1::ReadSetting(key, name, text) != SettingsStore::Success)
        return fallback;
    return LenientNumber::parse(text);
}

} // namespace

QRectF WindowPlacement::outerTwips(const QWidget& window)
{
    const QRect f = window.frameGeometry();
    return QRectF(Twips::fromPixelsX(f.x()), Twips::fromPixelsY(f.y()),
                  Twips::fromPixelsX(f.width()), Twips::fromPixelsY(f.height()));
}

void WindowPlacement::setOuterTwips(QWidget& window, const QRectF& twips)
{
    // A placement set on purpose replaces whatever restore was still settling.
    window.setProperty(kPending, QVariant());
    applyOuterTwips(window, twips);
}

void WindowPlacement::applyOuterTwips(QWidget& window, const QRectF& twips)
{
    const QSize extra = frameExtra(window);
    window.move(Twips::toPixelsX(twips.x()), Twips::toPixelsY(twips.y()));
    window.resize(std::max(0, Twips::toPixelsX(twips.width()) - extra.width()),
                  std::max(0, Twips::toPixelsY(twips.height()) - extra.height()));
}

void WindowPlacement::restore(QWidget& window)
{
    const QRectF defaults(DefaultLeft, DefaultTop, DefaultWidth, DefaultHeight);
    const SettingsStore::Handle key = Module1::OpenSettingsKey(kSection);
    if (key == 0) {
        applyOuterTwips(window, defaults);
        window.setProperty(kPending, defaults);
        return;
    }
    QString max;
    if (Module1::ReadSetting(key, QStringLiteral("MainMax"), max) != SettingsStore::Success) {
        applyOuterTwips(window, defaults);
        window.setProperty(kPending, defaults);
        Module1::CloseSettingsKey(key);
        return;
    }
    QRectF placement(readNumber(key, QStringLiteral("MainLeft"), DefaultLeft),
                     readNumber(key, QStringLiteral("MainTop"), DefaultTop),
                     readNumber(key, QStringLiteral("MainWidth"), DefaultWidth),
                     readNumber(key, QStringLiteral("MainHeight"), DefaultHeight));
    Module1::CloseSettingsKey(key);
    if (!reachable(placement))
        placement.moveTopLeft(QPointF(DefaultLeft, DefaultTop));
    // Placing first and maximizing after leaves the placement as the normal
    // geometry that restoring the window returns to.
    applyOuterTwips(window, placement);
    window.setProperty(kPending, placement);
    if (max == QLatin1String("1"))
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void WindowPlacement::settle(QWidget& window, bool last)
{
    const QVariant pending = window.property(kPending);
    if (!pending.isValid() || !window.isVisible()
        || (window.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        return;
    applyOuterTwips(window, pending.toRectF());
    if (last)
        window.setProperty(kPending, QVariant());
}

void WindowPlacement::store(const QWidget& window, int viewMode)
{
    const SettingsStore::Handle key = Module1::CreateSettingsKey(kSection);
    if (key == 0)
        return;
    if (window.isMaximized()) {
        Module1::WriteSetting(key, QStringLiteral("MainMax"), QStringLiteral("1"));
    } else if (!window.isMinimized()) {
        const QRectF outer = outerTwips(window);
        Module1::WriteSetting(key, QStringLiteral("MainMax"), QStringLiteral("0"));
        Module1::WriteSetting(key, QStringLiteral("MainLeft"), numberText(outer.x()));
        Module1::WriteSetting(key, QStringLiteral("MainTop"), numberText(outer.y()));
        Module1::WriteSetting(key, QStringLiteral("MainWidth"), numberText(outer.width()));
        Module1::WriteSetting(key, QStringLiteral("MainHeight"), numberText(outer.height()));
    }
    Module1::WriteSetting(key, QStringLiteral("ViewMode"), QString::number(viewMode));
    Module1::CloseSettingsKey(key);
}

int WindowPlacement::storedViewMode()
{
    double value = 0;
    const SettingsStore::Handle key = Module1::OpenSettingsKey(kSection);
    if (key != 0) {
        value = readNumber(key, QStringLiteral("ViewMode"), 0);
        Module1::CloseSettingsKey(key);
    }
    return viewModeFrom(value);
}

int WindowPlacement::viewModeFrom(double value)
{
    // nearbyint rounds to even under the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= 0 && rounded <= 3))
        return 0;
    return static_cast<int>(rounded);
}

QString WindowPlacement::numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    return QString::fromLatin1(buffer, result.ptr - buffer);
}
