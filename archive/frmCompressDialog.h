#pragma once

#include "archive/ArchiverKind.h"
#include "archive/CabCommandBuilder.h"
#include "archive/LhaCommandBuilder.h"

#include <QDialog>
#include <QStringList>
#include <optional>

class Archiver;
class CommandHost;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

// The compression settings dialog "圧縮条件設定". OK builds the command line of
// the chosen method from the command's targets and calls the library; the
// dialog closes when a call was made (whatever its outcome, which the user has
// been told by then) and stays open for another try after a refusal or a
// cancelled question.
class frmCompressDialog : public QDialog {
    Q_OBJECT
public:
    // `targets`: full paths in selection order, folders ending with "/".
    frmCompressDialog(CommandHost& host, Archiver& archiver, QStringList targets);

    // Event handlers, public so that the window's own events and tests reach the same code.
    void cmbCompMethod_Click();
    void optCabMethod_Click(int index);
    void chkCabMulti_Click();
    void OKButton_Click();
    void CancelButton_Click();

    QLabel* lblCompMethod = nullptr;
    QComboBox* cmbCompMethod = nullptr;
    QLabel* lblDirMethod = nullptr;
    QComboBox* cmbDirMethod = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QGroupBox* frameCompProp[2] = {};
    QCheckBox* chkLhaDir = nullptr;
    QCheckBox* chkLhaAttr = nullptr;
    QLabel* lblLhaLevel = nullptr;
    QSlider* sldLhaLevel = nullptr;
    QLabel* lblLha5 = nullptr;
    QLabel* lblLha6 = nullptr;
    QLabel* lblLha7 = nullptr;
    QRadioButton* optCabMethod[2] = {};
    QLabel* lblCabLZXLevel = nullptr;
    QSlider* sldCabLZXLevel = nullptr;
    QLabel* lblCabLZX15 = nullptr;
    QLabel* lblCabLZX21 = nullptr;
    QCheckBox* chkCabMulti = nullptr;
    QLineEdit* txtCabMultiSize = nullptr;
    QLabel* lblCabMultiSize = nullptr;

private:
    void createControls();
    void createLhaFrame();
    void createCabFrame();
    void connectEvents();
    void Form_Load();

    // The builders: ask for the archive, build the line, call the library.
    // True when the library was called.
    bool atDriveRoot() const;
    bool compress(const QString& base, const QString& target);
    bool buildLha(const QString& base, const QString& target);
    bool buildCab(const QString& base, const QString& target);

    LhaCommandBuilder::Options lhaOptions() const;
    CabCommandBuilder::Options cabOptions() const;
    std::optional<QString> askArchive(const QString& filter, const QString& suffix);
    bool ask(const QString& question);
    void warn(const QString& text);
    bool call(ArchiverKind kind, const QString& commandLine);

    CommandHost& host_;
    Archiver& archiver_;
    const QStringList targets_;
    QStringList packedFolders_;
};
