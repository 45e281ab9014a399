#include "about/frmAbout.h"

#include "platform/ApplicationTitle.h"
#include "platform/Prompter.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#if !defined(KESTREL_VERSION_MAJOR) || !defined(KESTREL_VERSION_MINOR) \
    || !defined(KESTREL_VERSION_REVISION)
#error "The build gives the program's version as KESTREL_VERSION_MAJOR, _MINOR and _REVISION"
#endif

namespace {

const QString kMsinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
// The store's values are read into a buffer of this many bytes, no more.
constexpr int kValueBufferBytes = 1024;

// While a message of the About box is up, it belongs to the About box rather
// than to the main window, so it opens over the box the user is looking at.
class PrompterOwner {
public:
    PrompterOwner(Prompter& prompter, QWidget* owner) : prompter_(prompter), saved_(prompter.owner())
    {
        prompter_.setOwner(owner);
    }
    ~PrompterOwner() { prompter_.setOwner(saved_); }

private:
    Prompter& prompter_;
    QWidget* saved_;
};

} // namespace

const QString frmAbout::HKEY_LOCAL_MACHINE = QStringLiteral("HKEY_LOCAL_MACHINE");

frmAbout::frmAbout(Prompter& prompter, SettingsStore& store, QWidget* owner)
    : QDialog(owner), prompter_(prompter), store_(store)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 Kestrel"));
    setModal(true);
    buildControls();
    Form_Load();
}

void frmAbout::showModal(QWidget* owner, Prompter& prompter, SettingsStore& store)
{
    frmAbout box(prompter, store, owner);
    box.exec();
}

QString frmAbout::VersionText(int major, int minor, int revision)
{
    return QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + QString::number(major) + QLatin1Char('.')
        + QString::number(minor) + QLatin1Char('.') + QString::number(revision);
}

QString frmAbout::VersionText()
{
    return VersionText(KESTREL_VERSION_MAJOR, KESTREL_VERSION_MINOR, KESTREL_VERSION_REVISION);
}

void frmAbout::buildControls()
{
    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setFixedSize(32, 32);

    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    // A font sized in pixels has no point size to scale.
    if (titleFont.pointSizeF() > 0)
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    else
        titleFont.setPixelSize(titleFont.pixelSize() * 8 / 5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    lblDescription = new QLabel(this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    // The icon stands at the left of the texts; below the separator the two
    // buttons stand one over the other at the right.
    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(8);
    texts->addWidget(lblDescription, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(Line1);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    lblDescription->setFixedWidth(300);
}

void frmAbout::Form_Load()
{
    lblVersion->setText(VersionText());
    lblTitle->setText(ApplicationTitle());
    lblDescription->setText(
        QStringLiteral("元々ファイルの切断を目的に作っていたが、使い勝手を向上していくうちにファイラーとなった"));
    // The owner's icon is the application's unless the owner has one of its own.
    const QIcon icon = parentWidget() ? parentWidget()->windowIcon() : QApplication::windowIcon();
    picIcon->setPixmap(icon.pixmap(picIcon->size()));
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    // A program named in the store comes first, as the user may have set it there.
    QString value;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, kMsinfoKey, QStringLiteral("PATH"), value)) {
        startOrReport(value);
        return;
    }
    if (GetKeyValue(HKEY_LOCAL_MACHINE, kLocationKey, QStringLiteral("MSINFO"), value)) {
        const QString program = value + QStringLiteral("/MSINFO32.EXE");
        if (QFileInfo(program).isFile()) {
            startOrReport(program);
            return;
        }
    }
    if (!launcher_.startFirstFound())
        reportUnavailable();
}

void frmAbout::startOrReport(const QString& program)
{
    if (!launcher_.start(program))
        reportUnavailable();
}

void frmAbout::reportUnavailable()
{
    PrompterOwner owner(prompter_, this);
    prompter_.message(QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"), Prompter::Buttons::Ok,
                      Prompter::Icon::None, ApplicationTitle());
}

bool frmAbout::GetKeyValue(const QString& root, const QString& keyName, const QString& valueName,
                           QString& out)
{
    out.clear();
    const SettingsStore::Handle key = store_.openKey(root + QLatin1Char('\\') + keyName);
    if (key == 0)
        return false;
    QByteArray data;
    const long status = store_.queryValue(key, valueName, data, kValueBufferBytes);
    store_.closeKey(key);
    if (status != SettingsStore::Success)
        return false;
    // The store keeps text values only, each with its closing NUL, so the
    // data is always text; what follows a NUL is not part of it.
    const qsizetype nul = data.indexOf('\0');
    out = QString::fromLocal8Bit(nul < 0 ? data : data.left(nul));
    return true;
}
