#ifndef REGISTER_DIALOG_H
#define REGISTER_DIALOG_H

#include <QDialog>
#include <QList>

class QComboBox;
class QLineEdit;
class QPushButton;

// A window for composing commands to the SAA7824 CD decoder: a command chooser, seven one-byte
// fields and the focus-servo settings. No board frames exist for these commands, so it composes
// and sends nothing. Closing it only hides it.
class Register_Dialog : public QDialog {
    Q_OBJECT

public:
    explicit Register_Dialog(QWidget* parent = nullptr);
    ~Register_Dialog() override;

    // One dialog at a time: `current` when it is shown, else a fresh one in its place (a closed
    // one is deleted). Shown either way.
    static Register_Dialog* single(Register_Dialog* current, QWidget* parent);

    QComboBox* commandBox = nullptr;
    QPushButton* sendButton = nullptr;
    QList<QLineEdit*> byteFields;
    QList<QComboBox*> settingBoxes;

protected:
    void closeEvent(QCloseEvent* event) override;
};

#endif // REGISTER_DIALOG_H
