#include "split/frmDivideDialog.h"

#include "platform/CentreOnOwner.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

frmDivideDialog::frmDivideDialog(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmDivideDialog"));
    setWindowTitle(QStringLiteral("分割"));
    setFixedSize(Twips::toPixelsX(4095), Twips::toPixelsY(1785));

    // Created in tab order (OK, Cancel, the list, the label): the focus chain follows creation.
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    Combo1 = new QComboBox(this);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Combo1->setObjectName(QStringLiteral("Combo1"));
    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    place(Label1, 360, 120, 2055, 495);
    place(Combo1, 360, 720, 1455, 0);
    place(OKButton, 2760, 120, 1215, 375);
    place(CancelButton, 2760, 600, 1215, 375);
    OKButton->setDefault(true);
    CancelButton->setAutoDefault(false);

    connect(OKButton, &QPushButton::clicked, this, &frmDivideDialog::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmDivideDialog::CancelButton_Click);
    Form_Load();
}

void frmDivideDialog::Form_Load()
{
    Label1->setText(QStringLiteral("分割するサイズを\n指定して下さい"));
    Combo1->insertItem(0, QStringLiteral("1.44MB"));
    Combo1->insertItem(1, QStringLiteral("100MB"));
    Combo1->insertItem(2, QStringLiteral("230MB"));
    Combo1->setCurrentIndex(0);
    choice_ = -1;
}

// Controls are laid out in twips like the rest of the program; a height of 0 keeps the
// control's own height (the drop-down list sizes itself to its font).
void frmDivideDialog::place(QWidget* control, int left, int top, int width, int height)
{
    const int pixelsHigh = height > 0 ? Twips::toPixelsY(height) : control->sizeHint().height();
    control->setGeometry(Twips::toPixelsX(left), Twips::toPixelsY(top), Twips::toPixelsX(width),
                         pixelsHigh);
}

void frmDivideDialog::centreOn(QWidget* owner)
{
    CentreOnOwner(*this, owner);
}

void frmDivideDialog::OKButton_Click()
{
    choice_ = Combo1->currentIndex();
    accept();
}

void frmDivideDialog::CancelButton_Click()
{
    reject();
}

void frmDivideDialog::reject()
{
    choice_ = -1;
    QDialog::reject();
}
