#include "platform/QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

// The real dialogs: each test answers the box that the prompter opens from a
// zero timer, as a user would, and checks what the box showed.
class tst_QtPrompter : public QObject {
    Q_OBJECT

    // Runs `act` on the modal dialog once it is up.
    static void whenModal(std::function<void(QWidget*)> act)
    {
        QTimer::singleShot(0, [act] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            act(QApplication::activeModalWidget());
        });
    }

private slots:
    // The caller asks about an existing archive in its own words: the dialog
    // does not ask a second time.
    void saveFileLeavesTheOverwriteQuestionToTheCaller()
    {
        QtPrompter p;
        bool asks = true;
        whenModal([&](QWidget* w) {
            if (auto* dialog = qobject_cast<QFileDialog*>(w))
                asks = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            w->close();
        });
        QCOMPARE(p.saveFile("名前を付けて保存", QDir::tempPath(), "LHAﾌｧｲﾙ (*.lzh)", "lzh"), std::nullopt);
        QVERIFY(!asks);
    }

    void messageShowsButtonsIconAndTitle()
    {
        QtPrompter p;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString text, title;
        QMessageBox::StandardButtons buttons;
        whenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            icon = box->icon();
            text = box->text();
            title = box->windowTitle();
            buttons = box->standardButtons();
            QCOMPARE(box->textFormat(), Qt::PlainText);
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(p.message("上書きしますか?", Prompter::Buttons::YesNo, Prompter::Icon::Question, "Kestrel"),
                 Prompter::Answer::No);
        QCOMPARE(icon, QMessageBox::Question);
        QCOMPARE(text, QString("上書きしますか?"));
        QCOMPARE(title, QString("Kestrel"));
        QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
    }

    // Enter on a risky question takes the safe answer.
    void enterTakesNoWhereNoIsTheDefault()
    {
        QtPrompter p;
        whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
        QCOMPARE(p.message("続行しますか?", Prompter::Buttons::YesNoDefaultNo, Prompter::Icon::Stop, "Kestrel"),
                 Prompter::Answer::No);
        whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
        QCOMPARE(p.message("続行しますか?", Prompter::Buttons::YesNo, Prompter::Icon::Stop, "Kestrel"),
                 Prompter::Answer::Yes);
    }

    void escapeCancelsWhereThereIsCancel()
    {
        QtPrompter p;
        whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(p.message("続けますか?", Prompter::Buttons::YesNoCancel, Prompter::Icon::Exclamation, "Kestrel"),
                 Prompter::Answer::Cancel);
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenModal([&](QWidget* w) {
            icon = static_cast<QMessageBox*>(w)->icon();
            static_cast<QMessageBox*>(w)->button(QMessageBox::Retry)->click();
        });
        QCOMPARE(p.message("ﾃﾞｨｽｸを入れて下さい", Prompter::Buttons::RetryCancel, Prompter::Icon::Stop, "Kestrel"),
                 Prompter::Answer::Retry);
        QCOMPARE(icon, QMessageBox::Critical);
    }

    // The archiver libraries' question: four buttons with their own captions.
    void yesToAllBoxShowsItsFourButtons()
    {
        QtPrompter p;
        QStringList captions;
        whenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            for (auto b : {QMessageBox::Yes, QMessageBox::YesToAll, QMessageBox::No, QMessageBox::Cancel})
                captions << box->button(b)->text();
            box->button(QMessageBox::YesToAll)->click();
        });
        QCOMPARE(p.message("上書きしますか?", Prompter::Buttons::YesYesToAllNoCancel, Prompter::Icon::Question,
                           "Kestrel"),
                 Prompter::Answer::YesToAll);
        QCOMPARE(captions, (QStringList{"はい", "すべてはい", "いいえ", "ｷｬﾝｾﾙ"}));
        whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        QCOMPARE(p.message("上書きしますか?", Prompter::Buttons::YesYesToAllNoCancel, Prompter::Icon::Question,
                           "Kestrel"),
                 Prompter::Answer::Cancel);
    }

    void secretInputHidesWhatIsTyped()
    {
        QtPrompter p;
        QLineEdit::EchoMode mode = QLineEdit::Normal;
        whenModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            QVERIFY(dialog);
            mode = dialog->textEchoMode();
            dialog->setTextValue("secret");
            dialog->accept();
        });
        QCOMPARE(p.inputSecret("パスワード", "Kestrel"), std::optional<QString>("secret"));
        QCOMPARE(mode, QLineEdit::Password);
    }

    void inputReturnsTextOrNothing()
    {
        QtPrompter p;
        QString label;
        whenModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            QVERIFY(dialog);
            label = dialog->labelText();
            QCOMPARE(dialog->textValue(), QString("既定"));
            dialog->setTextValue("新しい名前");
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QCOMPARE(p.input("名前を入力", "Kestrel", "既定"), std::optional<QString>("新しい名前"));
        QCOMPARE(label, QString("名前を入力"));

        whenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        QCOMPARE(p.input("名前を入力", "Kestrel", ""), std::nullopt);

        // OK on an empty box is an empty answer, not a cancel.
        whenModal([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
        QCOMPARE(p.input("名前を入力", "Kestrel", ""), std::optional<QString>(QString()));
    }
};

QTEST_MAIN(tst_QtPrompter)
#include "tst_QtPrompter.moc"
