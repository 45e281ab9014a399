#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

// The divide dialog "分割": asks which media size to cut into. Its one result is the
// split-size choice: -1 from load on, the index of Combo1's entry (0 "1.44MB", 1 "100MB",
// 2 "230MB") once OK is pressed. Cancel, Esc and the frame's close button leave it at -1.
class frmDivideDialog : public QDialog {
    Q_OBJECT
public:
    explicit frmDivideDialog(QWidget* owner);

    int splitSizeChoice() const { return choice_; }

    // Places the dialog in the middle of `owner`'s frame.
    void centreOn(QWidget* owner);

    // Event handlers, public so that the window's own events and tests reach the same code.
    void OKButton_Click();
    void CancelButton_Click();

    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

public slots:
    void reject() override; // Esc and the frame's close button: as Cancel

private:
    void Form_Load();
    void place(QWidget* control, int left, int top, int width, int height);

    int choice_ = -1;
};
