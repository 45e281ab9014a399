#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <optional>

class CommandHost;
class QLabel;
class QListWidget;
class QPushButton;

// The join dialog "結合": the entries to join in List1, in joining order, the
// ↑↓ buttons to rearrange them, and OK, which asks for the destination folder
// (and, unless the entries are a divided set, the name) and joins them. The
// command fills List1 and sets the part-set flag before showing it.
class frmJoinDialog : public QDialog {
    Q_OBJECT
public:
    frmJoinDialog(CommandHost& host, QWidget* owner);

    // The part-set flag: on when the entries are the parts of one divided file,
    // whose name the output then gets without a question.
    void setPartSet(bool on) { partSet_ = on; }
    bool partSet() const { return partSet_; }

    // List1's texts, entry 0 first.
    QStringList entries() const;
    void addEntries(const QStringList& paths);
    // Disables both move buttons (until an entry is clicked).
    void disableMoveButtons();

    // Places the dialog in the middle of `owner`'s frame.
    void centreOn(QWidget* owner);

    // The entry last clicked (-1: none yet) and the folder the picker gave last.
    int clickedIndex() const { return clickedIndex_; }
    const QString& destinationFolder() const { return folder_; }

    // Event handlers, public so that the window's own events and tests reach
    // the same code.
    void List1_Click();
    void UpDownButton_Click(int index);
    void OKButton_Click();
    void CancelButton_Click();

    QLabel* Label1 = nullptr;
    QListWidget* List1 = nullptr;
    std::array<QPushButton*, 2> UpDownButton{};
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

public slots:
    void reject() override;  // Esc and the frame's close button: as Cancel

private:
    void Form_Load();
    void place(QWidget* control, int left, int top, int width, int height);
    std::optional<QString> outputName();
    bool acceptableName(const QString& name, const QString& outputPath);
    void join(const QString& outputPath);
    void setBusy(bool busy);

    CommandHost& host_;
    bool partSet_ = false;
    bool busy_ = false;
    int clickedIndex_ = -1;
    QString clickedText_;
    QString folder_;
};
