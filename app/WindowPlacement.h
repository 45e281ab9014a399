#pragma once

#include <QRect>
#include <QString>

class QWidget;

// The main window's placement and the file list's view mode as the section
// "Settings" stores them: MainMax, MainLeft, MainTop, MainWidth, MainHeight
// (twips of the outer frame) and ViewMode.
class WindowPlacement {
public:
    static constexpr double DefaultLeft = 1000;
    static constexpr double DefaultTop = 1000;
    static constexpr double DefaultWidth = 7000;
    static constexpr double DefaultHeight = 4500;

    // Reads the stored placement and applies it to `window` (not yet shown):
    // the default placement when the key or MainMax is missing, maximized when
    // MainMax is "1" (the four values then give the normal placement). A
    // placement that no screen shows enough of opens at the default position.
    static void restore(QWidget& window);
    // Stores the placement of `window` and `viewMode`. A maximized window
    // stores only MainMax "1", a minimized one no placement at all; the view
    // mode is stored whenever the key can be created.
    static void store(const QWidget& window, int viewMode);
    // The stored view mode rounded half to even; 0 (large icons) when it is
    // missing or outside 0..3.
    static int storedViewMode();

    // Before a window is first shown its frame is unknown, so the outer size
    // asked for at restore is asked for again once the window is up in its
    // normal state (first show, or first return from maximized). Without this
    // every run would add the frame to the stored size.
    // `last` drops the request afterwards, so later moves by the user stand.
    static void settle(QWidget& window, bool last);

    // The outer frame in twips and back.
    static QRectF outerTwips(const QWidget& window);
    static void setOuterTwips(QWidget& window, const QRectF& twips);

    // The shortest decimal text of a single-precision number (1500, 1234.5).
    static QString numberText(double value);
    // Rounds half to even; values that cannot be a view mode give 0.
    static int viewModeFrom(double value);

private:
    // Places the window without touching a pending settle.
    static void applyOuterTwips(QWidget& window, const QRectF& twips);
};
