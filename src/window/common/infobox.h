#ifndef INFOBOX_H
#define INFOBOX_H

class QMessageBox;
class QString;
class QWidget;

// A window-modal information box with an Ok button; its text (folder and port names) is shown
// as it is and can be selected. It deletes itself when closed.
class InfoBox {
public:
    static QMessageBox* open(QWidget* parent, const QString& name, const QString& title,
                             const QString& text);
};

#endif // INFOBOX_H
