#pragma once

#include <QWidget>

class QFrame;
class QLabel;

// The splash window shown while the main window loads: no title bar, not in
// the taskbar, a fixed frame, centred on the screen.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    // Fills the labels whose design-time captions are placeholders.
    void Form_Load();

    static QString VersionText();  // "Version 1.1.2"

    QFrame* fraMainFrame = nullptr;
    QLabel* picLogo = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblCompanyProduct = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblCompany = nullptr;
    QLabel* lblCopyright = nullptr;

private:
    QLabel* addLabel(const char* name, const QString& caption, int pointSize, QRect twips);
    void centreOnScreen();
};
