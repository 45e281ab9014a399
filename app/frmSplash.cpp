#include "app/frmSplash.h"

#include "app/AppPictures.h"
#include "app/Module1.h"
#include "platform/Twips.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSysInfo>

namespace {

// IPAPGothic stands in for the proportional Gothic face the splash was drawn with.
const QString kSplashFont = QStringLiteral("IPAPGothic");

// Client area of the splash, twips.
constexpr int kWidth = 7455;
constexpr int kHeight = 4710;

QRect toPixels(QRect twips)
{
    return QRect(Twips::toPixelsX(twips.x()), Twips::toPixelsY(twips.y()),
                 Twips::toPixelsX(twips.width()), Twips::toPixelsY(twips.height()));
}

} // namespace

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(Twips::toPixelsX(kWidth), Twips::toPixelsY(kHeight));
    setAutoFillBackground(true);

    // The fixed dialog frame around the whole window, then the inner frame.
    auto* outer = new QFrame(this);
    outer->setFrameStyle(QFrame::Panel | QFrame::Raised);
    outer->setLineWidth(2);
    outer->setGeometry(rect());

    fraMainFrame = new QFrame(this);
    fraMainFrame->setObjectName(QStringLiteral("fraMainFrame"));
    fraMainFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    fraMainFrame->setGeometry(toPixels(QRect(150, 60, kWidth - 300, kHeight - 210)));

    picLogo = new QLabel(fraMainFrame);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(AppPictures::logo(Twips::toPixelsX(1800)));
    picLogo->setGeometry(toPixels(QRect(360, 795, 1815, 1815)));

    lblCompanyProduct = addLabel("lblCompanyProduct", QStringLiteral("製作会社名"), 14,
                                 QRect(2400, 705, 4500, 435));
    lblProductName = addLabel("lblProductName", QStringLiteral("製品名"), 30,
                              QRect(2400, 1140, 4500, 765));
    lblPlatform = addLabel("lblPlatform", QString(), 14,
                           QRect(2400, 2160, 4500, 420));
    lblVersion = addLabel("lblVersion", QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), 12,
                          QRect(2400, 2640, 4500, 330));
    lblCompany = addLabel("lblCompany", QStringLiteral("会社名"), 9, QRect(2400, 3480, 4500, 255));
    lblCopyright = addLabel("lblCopyright", QStringLiteral("著作権"), 9,
                            QRect(2400, 3780, 4500, 255));

    Form_Load();
    centreOnScreen();
}

QLabel* frmSplash::addLabel(const char* name, const QString& caption, int pointSize, QRect twips)
{
    auto* label = new QLabel(caption, fraMainFrame);
    label->setObjectName(QLatin1String(name));
    QFont font(kSplashFont);
    font.setPointSize(pointSize);
    label->setFont(font);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setGeometry(toPixels(twips));
    return label;
}

QString frmSplash::VersionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(KESTREL_VERSION_MAJOR)
        .arg(KESTREL_VERSION_MINOR)
        .arg(KESTREL_VERSION_PATCH);
}

void frmSplash::Form_Load()
{
    lblCompanyProduct->setText(QStringLiteral("BRAMBLE"));
    lblVersion->setText(VersionText());
    lblProductName->setText(Module1::AppTitle);
    // The system the program runs on, without its code name so the line fits
    // ("Debian GNU/Linux 12" of "Debian GNU/Linux 12 (bookworm)"); the
    // kernel's name when the system does not say.
    QString system = QSysInfo::prettyProductName();
    if (const qsizetype open = system.indexOf(QLatin1String(" (")); open > 0 && system.endsWith(QLatin1Char(')')))
        system.truncate(open);
    lblPlatform->setText(system.isEmpty() || system == QLatin1String("unknown") ? QSysInfo::kernelType() : system);
    lblCopyright->setText(QString());
    lblCompany->setText(QString());
}

void frmSplash::centreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect r = rect();
    r.moveCenter(screen->geometry().center());
    move(r.topLeft());
}
