#include "archive/frmCompressDialog.h"

#include "archive/ArchiveBackup.h"
#include "archive/Archiver.h"
#include "archive/CompressPlan.h"
#include "archive/ListFile.h"
#include "archive/OutcomeReport.h"
#include "archive/QuotedArguments.h"
#include "browse/CommandHost.h"
#include "browse/FolderTree.h"
#include "platform/ApplicationTitle.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace {

constexpr qint64 kReportBufferSize = 32000;

// Controls are laid out in twips; a width or height of 0 keeps the control's own.
void place(QWidget* control, int left, int top, int width = 0, int height = 0)
{
    const QSize own = control->sizeHint();
    control->setGeometry(Twips::toPixelsX(left), Twips::toPixelsY(top),
                         width > 0 ? Twips::toPixelsX(width) : own.width(),
                         height > 0 ? Twips::toPixelsY(height) : own.height());
}

template <typename T>
T* named(T* control, const QString& name)
{
    control->setObjectName(name);
    return control;
}

QLabel* label(const QString& text, QWidget* parent, const QString& name)
{
    return named(new QLabel(text, parent), name);
}

QSlider* slider(int low, int high, QWidget* parent, const QString& name)
{
    auto* s = named(new QSlider(Qt::Horizontal, parent), name);
    s->setRange(low, high);
    s->setPageStep(1);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(1);
    return s;
}

} // namespace

frmCompressDialog::frmCompressDialog(CommandHost& host, Archiver& archiver, QStringList targets)
    : QDialog(host.ownerWindow()), host_(host), archiver_(archiver), targets_(std::move(targets))
{
    setObjectName(QStringLiteral("frmCompressDialog"));
    setWindowTitle(QStringLiteral("圧縮条件設定"));
    setFixedSize(Twips::toPixelsX(5055), Twips::toPixelsY(4275));
    createControls();
    connectEvents();
    Form_Load();
}

void frmCompressDialog::createControls()
{
    lblCompMethod = label(QStringLiteral("圧縮方式"), this, QStringLiteral("lblCompMethod"));
    cmbCompMethod = named(new QComboBox(this), QStringLiteral("cmbCompMethod"));
    lblDirMethod = label(QStringLiteral("ディレクトリ格納方式"), this, QStringLiteral("lblDirMethod"));
    cmbDirMethod = named(new QComboBox(this), QStringLiteral("cmbDirMethod"));
    OKButton = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("OKButton"));
    CancelButton = named(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this), QStringLiteral("CancelButton"));
    place(lblCompMethod, 240, 240);
    place(cmbCompMethod, 2040, 240, 1455);
    place(lblDirMethod, 240, 600);
    place(cmbDirMethod, 2040, 600, 1455);
    place(OKButton, 3720, 120, 1215, 375);
    place(CancelButton, 3720, 720, 1215, 375);
    OKButton->setDefault(true);
    CancelButton->setAutoDefault(false);
    createLhaFrame();
    createCabFrame();
}

void frmCompressDialog::createLhaFrame()
{
    QGroupBox* frame = frameCompProp[0] =
        named(new QGroupBox(QStringLiteral("LHAの設定"), this), QStringLiteral("frameCompProp_0"));
    place(frame, 120, 1440, 3975, 2535);
    chkLhaDir = named(new QCheckBox(QStringLiteral("ﾃﾞｨﾚｸﾄﾘ情報も格納する"), frame), QStringLiteral("chkLhaDir"));
    chkLhaAttr = named(new QCheckBox(QStringLiteral("属性も格納する"), frame), QStringLiteral("chkLhaAttr"));
    lblLhaLevel = label(QStringLiteral("LHAの形式"), frame, QStringLiteral("lblLhaLevel"));
    sldLhaLevel = slider(5, 7, frame, QStringLiteral("sldLhaLevel"));
    lblLha5 = label(QStringLiteral("Lh5"), frame, QStringLiteral("lblLha5"));
    lblLha6 = label(QStringLiteral("Lh6"), frame, QStringLiteral("lblLha6"));
    lblLha7 = label(QStringLiteral("Lh7"), frame, QStringLiteral("lblLha7"));
    place(chkLhaDir, 360, 480);
    place(chkLhaAttr, 360, 840);
    place(lblLhaLevel, 360, 1320);
    place(sldLhaLevel, 1320, 1320, 1455);
    place(lblLha5, 1320, 1680);
    place(lblLha6, 2040, 1680);
    place(lblLha7, 2760, 1680);
}

void frmCompressDialog::createCabFrame()
{
    QGroupBox* frame = frameCompProp[1] =
        named(new QGroupBox(QStringLiteral("CABの設定"), this), QStringLiteral("frameCompProp_1"));
    place(frame, 120, 1440, 3975, 2535);
    optCabMethod[0] = named(new QRadioButton(QStringLiteral("MSZIP"), frame), QStringLiteral("optCabMethod_0"));
    optCabMethod[1] = named(new QRadioButton(QStringLiteral("LZX"), frame), QStringLiteral("optCabMethod_1"));
    lblCabLZXLevel = label(QStringLiteral("圧縮ﾚﾍﾞﾙ"), frame, QStringLiteral("lblCabLZXLevel"));
    sldCabLZXLevel = slider(15, 21, frame, QStringLiteral("sldCabLZXLevel"));
    lblCabLZX15 = label(QStringLiteral("15"), frame, QStringLiteral("lblCabLZX15"));
    lblCabLZX21 = label(QStringLiteral("21"), frame, QStringLiteral("lblCabLZX21"));
    chkCabMulti = named(new QCheckBox(QStringLiteral("ﾏﾙﾁﾎﾞﾘｭｰﾑ圧縮"), frame), QStringLiteral("chkCabMulti"));
    txtCabMultiSize = named(new QLineEdit(frame), QStringLiteral("txtCabMultiSize"));
    lblCabMultiSize = label(QStringLiteral("KB"), frame, QStringLiteral("lblCabMultiSize"));
    place(optCabMethod[0], 360, 360);
    place(optCabMethod[1], 2280, 360);
    place(lblCabLZXLevel, 1320, 840);
    place(sldCabLZXLevel, 2040, 840, 1575);
    place(lblCabLZX15, 2040, 1200);
    place(lblCabLZX21, 3360, 1200);
    place(chkCabMulti, 360, 1800);
    place(txtCabMultiSize, 2400, 1800, 1095);
    place(lblCabMultiSize, 3550, 1850);
}

void frmCompressDialog::connectEvents()
{
    connect(cmbCompMethod, &QComboBox::activated, this, &frmCompressDialog::cmbCompMethod_Click);
    for (int index : {0, 1})
        connect(optCabMethod[index], &QRadioButton::clicked, this, [this, index] { optCabMethod_Click(index); });
    connect(chkCabMulti, &QCheckBox::clicked, this, &frmCompressDialog::chkCabMulti_Click);
    connect(OKButton, &QPushButton::clicked, this, &frmCompressDialog::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmCompressDialog::CancelButton_Click);
}

void frmCompressDialog::Form_Load()
{
    cmbCompMethod->addItems({QStringLiteral("LHA"), QStringLiteral("CAB")});
    cmbDirMethod->addItems({QStringLiteral("相対"), QStringLiteral("絶対")});
    cmbCompMethod->setCurrentIndex(0);
    cmbDirMethod->setCurrentIndex(0);
    chkLhaDir->setChecked(true);
    chkLhaAttr->setChecked(true);
    sldLhaLevel->setValue(5);
    optCabMethod[0]->setChecked(true);
    sldCabLZXLevel->setValue(15);
    txtCabMultiSize->setText(QStringLiteral("1423"));
    chkCabMulti->setChecked(false);
    optCabMethod_Click(0);
    chkCabMulti_Click();
    cmbCompMethod_Click();
}

void frmCompressDialog::cmbCompMethod_Click()
{
    frameCompProp[0]->hide();
    frameCompProp[1]->hide();
    const int shown = cmbCompMethod->currentIndex();
    if (shown == 0 || shown == 1)
        frameCompProp[shown]->show();
}

// The level belongs to LZX only.
void frmCompressDialog::optCabMethod_Click(int index)
{
    const bool lzx = index == 1;
    for (QWidget* control : {static_cast<QWidget*>(lblCabLZXLevel), static_cast<QWidget*>(lblCabLZX15),
                             static_cast<QWidget*>(lblCabLZX21), static_cast<QWidget*>(sldCabLZXLevel)})
        control->setEnabled(lzx);
}

void frmCompressDialog::chkCabMulti_Click()
{
    txtCabMultiSize->setEnabled(chkCabMulti->isChecked());
    lblCabMultiSize->setEnabled(chkCabMulti->isChecked());
}

void frmCompressDialog::CancelButton_Click()
{
    reject();
}

// Every press starts again from the command's targets. One plain target goes
// on the command line; several, or one with a double quote, go through a
// list file that is gone again before the dialog goes on.
void frmCompressDialog::OKButton_Click()
{
    const CompressPlan plan = CompressPlan::make(targets_, cmbDirMethod->currentIndex(), host_.listClicked(),
                                                 host_.Path(), atDriveRoot());
    if (plan.targets.isEmpty())
        return;
    if (!QuotedArguments::canQuote(plan.base)) {
        warn(QStringLiteral("名前に \" を含むフォルダは基準にできません。ディレクトリ格納方式に絶対を指定して下さい"));
        return;
    }
    packedFolders_ = plan.packedFolders();
    if (!plan.needsListFile()) {
        if (compress(plan.base, plan.targets.front()))
            accept();
        return;
    }
    ListFile list;
    if (!list.write(plan.targets)) {
        warn(QStringLiteral("一時ファイルを作成できませんでした。"));
        return;
    }
    const bool done = compress(plan.base, list.argument());
    list.remove();
    if (done)
        accept();
}

// The drives are the tree's top nodes (the root file system and the mounted volumes).
bool frmCompressDialog::atDriveRoot() const
{
    const QTreeWidgetItem* node = host_.folderTree()->nodeByKey(host_.Path());
    return node != nullptr && node->parent() == nullptr;
}

bool frmCompressDialog::compress(const QString& base, const QString& target)
{
    return cmbCompMethod->currentIndex() == 0 ? buildLha(base, target) : buildCab(base, target);
}

// Replacing moves the old archive aside rather than deleting it, so that a
// failed or cancelled call leaves it as it was.
bool frmCompressDialog::buildLha(const QString& base, const QString& target)
{
    const std::optional<QString> archive =
        askArchive(QStringLiteral("LHAﾌｧｲﾙ (*.lzh)"), QStringLiteral("lzh"));
    if (!archive)
        return false;
    ArchiveBackup old;
    if (QFileInfo::exists(*archive)) {
        if (ask(QStringLiteral("上書きしますか?"))) {
            if (!old.moveAside(*archive, packedFolders_)) {
                warn(QStringLiteral("%1 を上書きできませんでした。\n%2").arg(*archive, old.error()));
                return false;
            }
        } else if (!ask(QStringLiteral("追加しますか?"))) {
            return false;
        }
    }
    if (call(ArchiverKind::Unlha, LhaCommandBuilder::commandLine(lhaOptions(), *archive, base, target)))
        old.discard();
    else
        old.restore();
    return true;
}

// The CAB library writes a new cabinet over the old one only once it is complete.
// A multi-volume set is written as x1.cab, x2.cab … rather than under the name
// chosen, so the question is asked when its first cabinet is there as well:
// the library replaces it without a word.
bool frmCompressDialog::buildCab(const QString& base, const QString& target)
{
    const std::optional<QString> archive =
        askArchive(QStringLiteral("CABﾌｧｲﾙ (*.cab)"), QStringLiteral("cab"));
    if (!archive)
        return false;
    const CabCommandBuilder::Options options = cabOptions();
    const bool replaces = QFileInfo::exists(*archive)
                          || (options.multiVolume && QFileInfo::exists(CabCommandBuilder::firstVolume(*archive)));
    if (replaces && !ask(QStringLiteral("上書きしますか?")))
        return false;
    if (!CabCommandBuilder::volumeSizeIsValid(options)) {
        warn(QStringLiteral("ﾏﾙﾁﾎﾞﾘｭｰﾑのｻｲｽﾞは数字しか指定できません"));
        return false;
    }
    call(ArchiverKind::Cab, CabCommandBuilder::commandLine(options, *archive, base, target));
    return true;
}

LhaCommandBuilder::Options frmCompressDialog::lhaOptions() const
{
    return {chkLhaDir->isChecked(), chkLhaAttr->isChecked(), sldLhaLevel->value()};
}

// The size goes on the command line without the blanks around it, which
// would end the option there.
CabCommandBuilder::Options frmCompressDialog::cabOptions() const
{
    return {optCabMethod[1]->isChecked(), sldCabLZXLevel->value(), chkCabMulti->isChecked(),
            txtCabMultiSize->text().trimmed()};
}

// The archive's name goes on the command line in double quotes, so it cannot
// hold one itself.
std::optional<QString> frmCompressDialog::askArchive(const QString& filter, const QString& suffix)
{
    const std::optional<QString> archive =
        host_.prompter().saveFile(QStringLiteral("名前を付けて保存"), host_.Path(), filter, suffix);
    if (!archive || archive->isEmpty())
        return std::nullopt;
    if (!QuotedArguments::canQuote(*archive)) {
        warn(QStringLiteral("書庫の名前やフォルダに \" を含めることはできません"));
        return std::nullopt;
    }
    return archive;
}

bool frmCompressDialog::ask(const QString& question)
{
    return host_.prompter().message(question, Prompter::Buttons::OkCancel, Prompter::Icon::Question,
                                    ApplicationTitle())
           == Prompter::Answer::Ok;
}

void frmCompressDialog::warn(const QString& text)
{
    host_.prompter().message(text, Prompter::Buttons::Ok, Prompter::Icon::Exclamation, ApplicationTitle());
}

// True when the new archive was made (a warning included); the user has been
// told of anything else.
bool frmCompressDialog::call(ArchiverKind kind, const QString& commandLine)
{
    ArchiveUi ui{host_.prompter(), this, [this] { return host_.makeProgress(); }};
    const ArchiverOutcome outcome =
        archiver_.run({kind, commandLine, kReportBufferSize, QStringLiteral("圧縮")}, ui);
    return OutcomeReport::show(host_.prompter(), kind, outcome, QStringLiteral("圧縮できませんでした。"));
}
