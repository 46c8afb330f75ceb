#ifndef SLINEEDIT_H
#define SLINEEDIT_H

#include <QLineEdit>

// A line edit that turns the Up and Down keys into signals (request recall on the console).
class SLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit SLineEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}

signals:
    void pressedUp();
    void pressedDown();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

#endif // SLINEEDIT_H
