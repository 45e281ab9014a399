#include "archive/CompressCommand.h"
#include "archive/LibraryArchiver.h"
#include "archive/frmCompressDialog.h"
#include "support/FakeCommandHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QRadioButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Compresses a small folder through the real libraries (loaded from the
// program's folder, where the build puts them) and lets the peer tools judge
// the archives.
class tst_CompressLibrary : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup() { QCOMPARE(QDir(tmp_.path()).entryList({QStringLiteral("Kes*")}, QDir::Files), QStringList()); }
    void lh7ArchiveOfAFolderAndItsReplacement();
    void lzxCabinetOfAFolder();

private:
    // Compresses the named items of the data folder; `replace` answers OK to "上書きしますか?".
    void compress(const QStringList& names, const QString& archive,
                  const std::function<void(frmCompressDialog&)>& settings, bool replace = false);
    // The tool's output; fails the test when it does not end well.
    QString peer(const QString& tool, const QStringList& arguments);

    QTemporaryDir dir_;
    QTemporaryDir tmp_;
    QString data_;
    std::unique_ptr<FakeCommandHost> host_;
    LibraryArchiver archiver_;
};

void tst_CompressLibrary::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    qputenv("TMPDIR", QFile::encodeName(tmp_.path()));
    data_ = dir_.path() + QStringLiteral("/data/");
    QVERIFY(QDir().mkpath(data_ + QStringLiteral("docs/notes")));
    const QList<std::pair<QString, QByteArray>> files{
        {QStringLiteral("docs/readme.txt"), QByteArray("圧縮のテスト。").repeated(2000)},
        {QStringLiteral("docs/notes/n1.txt"), QByteArray("note\n").repeated(300)},
        {QStringLiteral("other.txt"), QByteArray("other")},
        {QStringLiteral("say \"hi\".txt"), QByteArray("hi")}};
    for (const auto& [name, bytes] : files) {
        QFile f(data_ + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    host_ = std::make_unique<FakeCommandHost>();
    host_->showOnlyVolume(dir_.path() + u'/');
    host_->openFolder(data_);
}

void tst_CompressLibrary::compress(const QStringList& names, const QString& archive,
                                   const std::function<void(frmCompressDialog&)>& settings, bool replace)
{
    QVERIFY(host_->selectNames(names));
    host_->prompts.answerSaveFile(archive);
    if (replace)
        host_->prompts.answerMessage(Prompter::Answer::Ok, QStringLiteral("上書きしますか?"));
    bool closed = false;
    CompressCommand command(*host_, archiver_);
    command.showDialog = [&](frmCompressDialog& dialog) {
        settings(dialog);
        dialog.OKButton_Click();
        closed = dialog.result() == QDialog::Accepted;
    };
    command.run();
    QVERIFY(closed);
    QCOMPARE(host_->prompts.pendingAnswers(), 0);
    QVERIFY(QFile::exists(archive));
}

QString tst_CompressLibrary::peer(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(tool, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

void tst_CompressLibrary::lh7ArchiveOfAFolderAndItsReplacement()
{
    const QString lzh = data_ + QStringLiteral("docs.lzh");
    compress({QStringLiteral("docs")}, lzh, [](frmCompressDialog& d) { d.sldLhaLevel->setValue(7); });
    QVERIFY(!peer(QStringLiteral("lhasa"), {QStringLiteral("-t"), lzh}).startsWith(u'<'));
    const QString listing = peer(QStringLiteral("lhasa"), {QStringLiteral("v"), lzh});
    QVERIFY2(listing.contains(QStringLiteral("docs/readme.txt")) && listing.contains(QStringLiteral("docs/notes/n1.txt"))
                 && listing.contains(QStringLiteral("lh7")),
             qPrintable(listing));

    // Replacing makes a new archive under the old name: nothing of the old one
    // stays in it. A name with double quotes travels in a list file.
    compress({QStringLiteral("say \"hi\".txt")}, lzh, [](frmCompressDialog&) {}, true);
    const QString replaced = peer(QStringLiteral("lhasa"), {QStringLiteral("-l"), lzh});
    QVERIFY2(replaced.contains(QStringLiteral("say \"hi\".txt")) && !replaced.contains(QStringLiteral("readme")),
             qPrintable(replaced));
    QCOMPARE(QDir(data_).entryList({QStringLiteral(".*")}, QDir::Hidden | QDir::Files), QStringList());
}

void tst_CompressLibrary::lzxCabinetOfAFolder()
{
    const QString cab = data_ + QStringLiteral("docs.cab");
    compress({QStringLiteral("docs"), QStringLiteral("other.txt")}, cab, [](frmCompressDialog& d) {
        d.cmbCompMethod->setCurrentIndex(1);
        d.optCabMethod[1]->setChecked(true);
        d.sldCabLZXLevel->setValue(21);
    });
    const QString test = peer(QStringLiteral("cabextract"), {QStringLiteral("-t"), cab});
    QVERIFY2(test.contains(QStringLiteral("readme.txt")) && test.contains(QStringLiteral("n1.txt"))
                 && test.contains(QStringLiteral("other.txt")) && test.contains(QStringLiteral("All done, no errors")),
             qPrintable(test));
}

QTEST_MAIN(tst_CompressLibrary)
#include "tst_CompressLibrary.moc"
