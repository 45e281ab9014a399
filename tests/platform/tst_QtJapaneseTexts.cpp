#include "platform/QtJapaneseTexts.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QtTest>

// Qt's own file dialog speaks Japanese throughout: its buttons (Qt's
// catalogue), and the type column of its entries, which Qt's catalogue lacks.
class tst_QtJapaneseTexts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QtJapaneseTexts::install(); }

    void fileDialogTypesAreJapanese()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QFile blob(dir.path() + "/data.kestrel-unknown");
        QVERIFY(blob.open(QIODevice::WriteOnly));
        blob.write(QByteArray("\x01\x02\x03\xff", 4));
        blob.close();

        QFileDialog dialog(nullptr, "t", dir.path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* model = dialog.findChild<QFileSystemModel*>();
        QVERIFY(model);
        const auto type = [&](const QString& name) {
            return model->index(dir.path() + "/" + name, 2).data().toString();
        };
        QTRY_COMPARE(type("sub"), QStringLiteral("フォルダ"));
        QTRY_VERIFY(!type("data.kestrel-unknown").isEmpty());
        QCOMPARE(type("data.kestrel-unknown"), QStringLiteral("不明"));
        // Qt's own catalogue, for the rest of the dialog.
        QCOMPARE(QCoreApplication::translate("QFileDialog", "New Folder"), QStringLiteral("新しいフォルダ"));
    }
};

QTEST_MAIN(tst_QtJapaneseTexts)
#include "tst_QtJapaneseTexts.moc"
