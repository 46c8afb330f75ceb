#ifndef ELIDEDLABEL_H
#define ELIDEDLABEL_H

#include <QLabel>

// A one-line label that gives up its width before the widgets beside it do. Where the whole
// text does not fit it drops its leading and trailing blanks, and where that does not fit either
// it shows the beginning and "…". text() and what a screen reader reads stay the whole text.
class ElidedLabel : public QLabel {
public:
    // How narrow the label may become: down to "…" alone, or to its text without the blanks
    // around it.
    enum class Narrowest { Ellipsis, TextWithoutBlanks };

    ElidedLabel(const QString& text, QWidget* parent, Narrowest narrowest);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Narrowest narrowest;
};

#endif // ELIDEDLABEL_H
