#include "support/FakeCommandHost.h"

#include "platform/Twips.h"
#include "split/frmJoinDialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <memory>

// The join dialog's own events: its controls, the ↑↓ buttons and Cancel.
class tst_JoinDialog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeCommandHost> host_;
    std::unique_ptr<frmJoinDialog> dialog_;

    void makeDialog(const QStringList& entries)
    {
        dialog_ = std::make_unique<frmJoinDialog>(*host_, &host_->window);
        dialog_->addEntries(entries);
        dialog_->show();
    }
    QPushButton* up() const { return dialog_->UpDownButton[0]; }
    QPushButton* down() const { return dialog_->UpDownButton[1]; }
    // A real mouse click on an entry of List1.
    void clickEntry(int row)
    {
        QListWidget* list = dialog_->List1;
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        Twips::overridePerPixel(15);
    }
    void init() { host_ = std::make_unique<FakeCommandHost>(); }
    void cleanup()
    {
        dialog_.reset();
        QVERIFY(host_->prompts.questions().isEmpty());
        host_.reset();
    }
    void cleanupTestCase() { Twips::overridePerPixel(0); }

    void controlsCarryTheirNamesAndTexts()
    {
        makeDialog({"/d/a"});
        QCOMPARE(dialog_->windowTitle(), QStringLiteral("結合"));
        QCOMPARE(dialog_->size(), QSize(454, 247));  // 6810 x 3705 twips
        QCOMPARE(dialog_->findChild<QLabel*>("Label1"), dialog_->Label1);
        QCOMPARE(dialog_->Label1->text(),
                 QStringLiteral("以下のファイルを結合します。\n順序を入替えたい場合は、↑↓ボタンで移動させて下さい"));
        QCOMPARE(dialog_->findChild<QListWidget*>("List1"), dialog_->List1);
        QCOMPARE(dialog_->findChild<QPushButton*>("UpDownButton_0")->text(), QStringLiteral("↑"));
        QCOMPARE(dialog_->findChild<QPushButton*>("UpDownButton_1")->text(), QStringLiteral("↓"));
        QCOMPARE(dialog_->findChild<QPushButton*>("OKButton")->text(), QStringLiteral("OK"));
        QCOMPARE(dialog_->findChild<QPushButton*>("CancelButton")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        // OK and Cancel at the top right, the list below, the arrows to its right.
        QVERIFY(dialog_->OKButton->y() < dialog_->CancelButton->y());
        QVERIFY(dialog_->CancelButton->geometry().bottom() < dialog_->List1->y());
        QVERIFY(up()->x() > dialog_->List1->geometry().right());
        QVERIFY(up()->y() < down()->y());
        QVERIFY(dialog_->rect().contains(dialog_->List1->geometry()));
        QVERIFY(dialog_->rect().contains(down()->geometry()));
        QVERIFY(dialog_->rect().contains(dialog_->OKButton->geometry()));
    }

    void theDialogIsCentredOnItsOwner()
    {
        host_->window.setGeometry(100, 80, 1000, 700);
        makeDialog({"/d/a"});
        dialog_->centreOn(&host_->window);
        const QRect owner = host_->window.frameGeometry();
        const QRect own = dialog_->frameGeometry();
        QCOMPARE(own.left(), owner.left() + (owner.width() - own.width()) / 2);
        QCOMPARE(own.top(), owner.top() + (owner.height() - own.height()) / 2);
    }

    void theButtonsDoNothingBeforeAnEntryIsClicked()
    {
        makeDialog({"/d/a", "/d/b", "/d/c"});
        QCOMPARE(dialog_->clickedIndex(), -1);
        up()->click();
        down()->click();
        QCOMPARE(dialog_->entries(), (QStringList {"/d/a", "/d/b", "/d/c"}));
    }

    void movingTheLastEntryUpAndBack()
    {
        makeDialog({"/d/a", "/d/b", "/d/c"});
        clickEntry(2);
        QCOMPARE(dialog_->clickedIndex(), 2);
        QVERIFY(up()->isEnabled());
        QVERIFY(!down()->isEnabled());

        QTest::mouseClick(up(), Qt::LeftButton);
        QCOMPARE(dialog_->entries(), (QStringList {"/d/a", "/d/c", "/d/b"}));
        QCOMPARE(dialog_->List1->currentRow(), 1);
        QCOMPARE(dialog_->clickedIndex(), 1);
        QVERIFY(up()->isEnabled());
        QVERIFY(down()->isEnabled());

        up()->click();
        QCOMPARE(dialog_->entries(), (QStringList {"/d/c", "/d/a", "/d/b"}));
        QCOMPARE(dialog_->clickedIndex(), 0);
        QVERIFY(!up()->isEnabled());
        QVERIFY(down()->isEnabled());

        down()->click();
        down()->click();
        QCOMPARE(dialog_->entries(), (QStringList {"/d/a", "/d/b", "/d/c"}));
        QCOMPARE(dialog_->clickedIndex(), 2);
        QVERIFY(!down()->isEnabled());
    }

    void aSetsDisabledButtonsComeBackWhenAnEntryIsClicked()
    {
        makeDialog({"/d/x_y_003.001", "/d/x_y_003.002", "/d/x_y_003.003"});
        dialog_->disableMoveButtons();
        QVERIFY(!up()->isEnabled());
        QVERIFY(!down()->isEnabled());
        clickEntry(1);
        QVERIFY(up()->isEnabled());
        QVERIFY(down()->isEnabled());
    }

    void focusAloneDoesNotCountAsAClick()
    {
        makeDialog({"/d/x_y_003.001", "/d/x_y_003.002", "/d/x_y_003.003"});
        dialog_->disableMoveButtons();
        dialog_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
        dialog_->List1->setFocus(Qt::TabFocusReason);
        // Taking the focus makes the first entry current without selecting it.
        QTRY_COMPARE(dialog_->List1->currentRow(), 0);
        QCOMPARE(dialog_->clickedIndex(), -1);
        QVERIFY(!up()->isEnabled());
        QVERIFY(!down()->isEnabled());

        // A click on that very entry still records it.
        clickEntry(0);
        QCOMPARE(dialog_->clickedIndex(), 0);
        QVERIFY(!up()->isEnabled());
        QVERIFY(down()->isEnabled());
        QTest::keyClick(dialog_->List1, Qt::Key_Down);
        QCOMPARE(dialog_->clickedIndex(), 1);
        QVERIFY(up()->isEnabled());
    }

    void aSingleEntryCannotMove()
    {
        makeDialog({"/d/only"});
        clickEntry(0);
        QVERIFY(!up()->isEnabled());
        QVERIFY(!down()->isEnabled());
        dialog_->UpDownButton_Click(0);
        dialog_->UpDownButton_Click(1);
        QCOMPARE(dialog_->entries(), QStringList {"/d/only"});
    }

    void cancelAndEscapeClose()
    {
        makeDialog({"/d/a"});
        QTest::mouseClick(dialog_->CancelButton, Qt::LeftButton);
        QVERIFY(!dialog_->isVisible());
        QCOMPARE(dialog_->result(), int(QDialog::Rejected));

        makeDialog({"/d/a"});
        QTest::keyClick(dialog_.get(), Qt::Key_Escape);
        QVERIFY(!dialog_->isVisible());
    }
};

QTEST_MAIN(tst_JoinDialog)
#include "tst_JoinDialog.moc"
