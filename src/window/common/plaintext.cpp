#include "common/plaintext.h"

#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>

namespace PlainText {

void labels(QWidget* root) {
    if (auto* label = qobject_cast<QLabel*>(root))
        label->setTextFormat(Qt::PlainText);
    for (QLabel* label : root->findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
}

QString tip(const QString& text) {
    // A text that could not be taken as markup stays as it is.
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

void warn(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, QString(), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.exec();
}

} // namespace PlainText
