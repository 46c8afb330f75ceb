#include "common/infobox.h"

#include <QMessageBox>

QMessageBox* InfoBox::open(QWidget* parent, const QString& name, const QString& title,
                           const QString& text) {
    auto* box =
        new QMessageBox(QMessageBox::Information, title, QString(), QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setObjectName(name);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->open();
    return box;
}
