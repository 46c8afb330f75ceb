#ifndef PLAINTEXT_H
#define PLAINTEXT_H

#include <QString>

class QWidget;

// Text from the operator, a file, the board or the database is shown as it is, never taken as
// markup: a unit ID typed as "<b>PASS</b>" reads "<b>PASS</b>", and "<img src=...>" opens no file.
// Labels and tool tips take a text that looks like markup as rich text unless told otherwise.
namespace PlainText {

// Every label under `root` (and `root` itself, if it is one) shows its text as it is.
void labels(QWidget* root);
// A tool tip that shows `text` as it is.
QString tip(const QString& text);
// A warning box over `parent` whose text is shown as it is.
void warn(QWidget* parent, const QString& title, const QString& text);

} // namespace PlainText

#endif // PLAINTEXT_H
