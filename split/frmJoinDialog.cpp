#include "split/frmJoinDialog.h"

#include "browse/CommandHost.h"
#include "platform/CentreOnOwner.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"
#include "split/JoinMissingPart.h"
#include "platform/ApplicationTitle.h"
#include "split/JoinWriter.h"
#include "split/PartSet.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <memory>

namespace {

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Dialogs asked during the OK handling belong to this dialog, not to the main
// window behind it; the owner the Prompter had before comes back afterwards.
class PrompterOwner {
public:
    PrompterOwner(Prompter& prompter, QWidget* owner) : prompter_(prompter), before_(prompter.owner())
    {
        prompter_.setOwner(owner);
    }
    ~PrompterOwner() { prompter_.setOwner(before_); }
    PrompterOwner(const PrompterOwner&) = delete;
    PrompterOwner& operator=(const PrompterOwner&) = delete;

private:
    Prompter& prompter_;
    QWidget* before_;
};

} // namespace

frmJoinDialog::frmJoinDialog(CommandHost& host, QWidget* owner) : QDialog(owner), host_(host)
{
    setObjectName(QStringLiteral("frmJoinDialog"));
    setWindowTitle(QStringLiteral("結合"));
    setFixedSize(Twips::toPixelsX(6810), Twips::toPixelsY(3705));

    Label1 = new QLabel(this);
    List1 = new QListWidget(this);
    UpDownButton[0] = new QPushButton(QStringLiteral("↑"), this);
    UpDownButton[1] = new QPushButton(QStringLiteral("↓"), this);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    List1->setObjectName(QStringLiteral("List1"));
    UpDownButton[0]->setObjectName(QStringLiteral("UpDownButton_0"));
    UpDownButton[1]->setObjectName(QStringLiteral("UpDownButton_1"));
    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    place(Label1, 120, 120, 5235, 735);
    place(OKButton, 5475, 120, 1215, 375);
    place(CancelButton, 5475, 600, 1215, 375);
    place(List1, 120, 1080, 5880, 2505);
    place(UpDownButton[0], 6120, 1800, 570, 375);
    place(UpDownButton[1], 6120, 2280, 570, 375);
    OKButton->setDefault(true);
    // The buttons must not take Enter from the list or steal the default.
    for (QPushButton* button : UpDownButton)
        button->setAutoDefault(false);

    // An entry counts as clicked when it becomes selected (by the mouse, the
    // arrow keys or a move). The current row alone is not enough: the list makes
    // its first entry current, unselected, as soon as it takes the focus, and
    // that must not enable the move buttons of a divided set.
    connect(List1, &QListWidget::itemSelectionChanged, this, &frmJoinDialog::List1_Click);
    connect(UpDownButton[0], &QPushButton::clicked, this, [this] { UpDownButton_Click(0); });
    connect(UpDownButton[1], &QPushButton::clicked, this, [this] { UpDownButton_Click(1); });
    connect(OKButton, &QPushButton::clicked, this, &frmJoinDialog::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmJoinDialog::CancelButton_Click);
    Form_Load();
}

void frmJoinDialog::Form_Load()
{
    Label1->setText(QStringLiteral("以下のファイルを結合します。\n"
                                   "順序を入替えたい場合は、↑↓ボタンで移動させて下さい"));
}

void frmJoinDialog::place(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(Twips::toPixelsX(left), Twips::toPixelsY(top), Twips::toPixelsX(width),
                         Twips::toPixelsY(height));
}

QStringList frmJoinDialog::entries() const
{
    QStringList list;
    list.reserve(List1->count());
    for (int row = 0; row < List1->count(); ++row)
        list << List1->item(row)->text();
    return list;
}

void frmJoinDialog::addEntries(const QStringList& paths)
{
    List1->addItems(paths);
}

void frmJoinDialog::disableMoveButtons()
{
    UpDownButton[0]->setEnabled(false);
    UpDownButton[1]->setEnabled(false);
}

void frmJoinDialog::centreOn(QWidget* owner)
{
    CentreOnOwner(*this, owner);
}

void frmJoinDialog::List1_Click()
{
    // The selected entry, not the current one: the selection changes before the
    // current row follows it.
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    const int row = selected.isEmpty() ? -1 : List1->row(selected.constFirst());
    if (row < 0)
        return;
    clickedIndex_ = row;
    clickedText_ = List1->item(row)->text();
    UpDownButton[0]->setEnabled(row > 0);
    UpDownButton[1]->setEnabled(row < List1->count() - 1);
}

void frmJoinDialog::UpDownButton_Click(int index)
{
    if (clickedIndex_ < 0 || busy_)
        return;
    const int to = index == 0 ? clickedIndex_ - 1 : clickedIndex_ + 1;
    if (to < 0 || to >= List1->count())
        return;
    List1->item(clickedIndex_)->setText(List1->item(to)->text());
    List1->item(to)->setText(clickedText_);
    // Selecting the moved entry records it again through List1_Click.
    List1->setCurrentRow(to);
}

void frmJoinDialog::CancelButton_Click()
{
    reject();
}

void frmJoinDialog::reject()
{
    // While joining, the progress window's Cancel is the way to stop.
    if (busy_)
        return;
    QDialog::reject();
}

void frmJoinDialog::OKButton_Click()
{
    if (busy_ || List1->count() == 0)
        return;
    PrompterOwner owner(host_.prompter(), this);
    const std::optional<QString> folder =
        host_.prompter().pickFolder(QStringLiteral("結合先フォルダを指定して下さい"), host_.Path());
    if (!folder) {
        QDialog::reject();
        return;
    }
    folder_ = *folder;
    const std::optional<QString> name = outputName();
    if (!name)
        return;  // the dialog stays open; OK starts again from the folder
    const QString outputPath =
        folder_ + (folder_.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + *name;
    if (!acceptableName(*name, outputPath))
        return;
    join(outputPath);
}

std::optional<QString> frmJoinDialog::outputName()
{
    const QString first = fileNameOf(List1->item(0)->text());
    if (partSet_) {
        const QString name = PartSet::outputName(first);
        if (!name.isEmpty())
            return name;
    }
    const std::optional<QString> typed = host_.prompter().input(
        QStringLiteral("結合後のファイル名を入力してください"), ApplicationTitle(), first);
    if (!typed || typed->isEmpty())
        return std::nullopt;
    return typed;
}

bool frmJoinDialog::acceptableName(const QString& name, const QString& outputPath)
{
    QString problem;
    if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)) || name == QLatin1String(".")
        || name == QLatin1String(".."))
        problem = QStringLiteral("ファイル名に使えない名前です。\n"
                                 "\"/\" を含まず、\".\" や \"..\" ではない名前を入力して下さい。");
    else if (QFile::encodeName(name).size() > 255)
        problem = QStringLiteral("ファイル名が長すぎます。\n短い名前を入力して下さい。");
    else if (QFileInfo(outputPath).isDir())
        problem = QStringLiteral("結合先に同じ名前のフォルダがあります。\n別の名前を入力して下さい。");
    if (problem.isEmpty())
        return true;
    host_.prompter().message(problem, Prompter::Buttons::Ok, Prompter::Icon::Exclamation, ApplicationTitle());
    return false;
}

void frmJoinDialog::join(const QString& outputPath)
{
    setBusy(true);
    const std::unique_ptr<Progress> progress = host_.makeProgress();
    Prompter& prompter = host_.prompter();
    const JoinWriter::Result result = JoinWriter::join(
        entries(), outputPath, *progress,
        [&prompter](const QString& entry) { return AskForMissingPart(prompter, entry); });
    setBusy(false);
    if (!result.ok && !result.cancelled)
        prompter.message(result.error, Prompter::Buttons::Ok, Prompter::Icon::Exclamation, ApplicationTitle());
    if (result.ok)
        accept();
    else
        QDialog::reject();
}

void frmJoinDialog::setBusy(bool busy)
{
    busy_ = busy;
    OKButton->setEnabled(!busy);
    CancelButton->setEnabled(!busy);
    List1->setEnabled(!busy);
}
