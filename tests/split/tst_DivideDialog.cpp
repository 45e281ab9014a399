#include "platform/Twips.h"
#include "split/frmDivideDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

class tst_DivideDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void loadSetsTheControls();
    void controlsSitWhereTheTwipsSay();
    void okStoresTheChosenIndex_data();
    void okStoresTheChosenIndex();
    void cancelAndCloseLeaveNoChoice_data();
    void cancelAndCloseLeaveNoChoice();
    void modalRunAnswersTheClickedButton();
    void centresOnTheOwner();
};

void tst_DivideDialog::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Twips::overridePerPixel(15);
}

void tst_DivideDialog::cleanupTestCase()
{
    Twips::overridePerPixel(0);
}

void tst_DivideDialog::loadSetsTheControls()
{
    frmDivideDialog dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("分割"));
    QCOMPARE(dialog.splitSizeChoice(), -1);
    QCOMPARE(dialog.Label1->text(), QStringLiteral("分割するサイズを\n指定して下さい"));
    QCOMPARE(dialog.Combo1->count(), 3);
    QCOMPARE(dialog.Combo1->itemText(0), QStringLiteral("1.44MB"));
    QCOMPARE(dialog.Combo1->itemText(1), QStringLiteral("100MB"));
    QCOMPARE(dialog.Combo1->itemText(2), QStringLiteral("230MB"));
    QCOMPARE(dialog.Combo1->currentIndex(), 0);
    QVERIFY(!dialog.Combo1->isEditable());
    QCOMPARE(dialog.OKButton->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.CancelButton->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    QVERIFY(dialog.OKButton->isDefault());
    // Found by the names the rest of the program uses for them.
    QCOMPARE(dialog.findChild<QComboBox*>("Combo1"), dialog.Combo1);
    QCOMPARE(dialog.findChild<QPushButton*>("OKButton"), dialog.OKButton);
    QCOMPARE(dialog.findChild<QPushButton*>("CancelButton"), dialog.CancelButton);
    QCOMPARE(dialog.findChild<QLabel*>("Label1"), dialog.Label1);
    // Tab goes OK, Cancel, then the list.
    QCOMPARE(dialog.OKButton->nextInFocusChain(), static_cast<QWidget*>(dialog.CancelButton));
    QCOMPARE(dialog.CancelButton->nextInFocusChain(), static_cast<QWidget*>(dialog.Combo1));
}

void tst_DivideDialog::controlsSitWhereTheTwipsSay()
{
    frmDivideDialog dialog(nullptr);
    QCOMPARE(dialog.size(), QSize(273, 119));
    QCOMPARE(dialog.Label1->geometry(), QRect(24, 8, 137, 33));
    QCOMPARE(dialog.Combo1->geometry().topLeft(), QPoint(24, 48));
    QCOMPARE(dialog.Combo1->width(), 97);
    QCOMPARE(dialog.OKButton->geometry(), QRect(184, 8, 81, 25));
    QCOMPARE(dialog.CancelButton->geometry(), QRect(184, 40, 81, 25));
}

void tst_DivideDialog::okStoresTheChosenIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("1.44MB") << 0;
    QTest::newRow("100MB") << 1;
    QTest::newRow("230MB") << 2;
}

void tst_DivideDialog::okStoresTheChosenIndex()
{
    QFETCH(int, index);
    frmDivideDialog dialog(nullptr);
    dialog.Combo1->setCurrentIndex(index);
    QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    QCOMPARE(dialog.splitSizeChoice(), index);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void tst_DivideDialog::cancelAndCloseLeaveNoChoice_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel button") << 0;
    QTest::newRow("window frame") << 1;
    QTest::newRow("Esc") << 2;
}

void tst_DivideDialog::cancelAndCloseLeaveNoChoice()
{
    QFETCH(int, how);
    frmDivideDialog dialog(nullptr);
    dialog.Combo1->setCurrentIndex(2);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    if (how == 0)
        QTest::mouseClick(dialog.CancelButton, Qt::LeftButton);
    else if (how == 1)
        dialog.close();
    else
        QTest::keyClick(&dialog, Qt::Key_Escape);
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(dialog.splitSizeChoice(), -1);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

// The dialog as the command shows it: modal, answered by a click once it is up.
void tst_DivideDialog::modalRunAnswersTheClickedButton()
{
    frmDivideDialog dialog(nullptr);
    QTimer::singleShot(0, &dialog, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal == &dialog);
        dialog.Combo1->setCurrentIndex(1);
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.splitSizeChoice(), 1);
}

void tst_DivideDialog::centresOnTheOwner()
{
    QWidget owner;
    owner.setGeometry(100, 200, 800, 600);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    frmDivideDialog dialog(&owner);
    // Placed before it is shown, as the command does: the frame it then gets
    // must be part of what is centred.
    dialog.centreOn(&owner);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QRect main = owner.frameGeometry();
    const QRect own = dialog.frameGeometry();
    QCOMPARE(own.left(), main.left() + (main.width() - own.width()) / 2);
    QCOMPARE(own.top(), main.top() + (main.height() - own.height()) / 2);
    QVERIFY(own.left() > main.left());
    QVERIFY(own.top() > main.top());
}

QTEST_MAIN(tst_DivideDialog)
#include "tst_DivideDialog.moc"
