#ifndef FORMWIDGET_H
#define FORMWIDGET_H

#include "console/slineedit.h"

#include <QObject>
#include <QString>
#include <QtWidgets>
#include <qcustomplot.h>

#include <memory>

// A widget (or action, menu) of the window's form by its object name, as a screen reader or a GUI
// test tool finds it.
template <typename T> T* formWidget(const QObject* root, const char* name) {
    return root->findChild<T*>(QString::fromLatin1(name));
}
template <typename T, typename Owner>
T* formWidget(const std::unique_ptr<Owner>& root, const char* name) {
    return formWidget<T>(root.get(), name);
}

// The status bar's board, SPDIF and CFLAG labels as the operator reads them: text and colour.
inline QStringList linkStates(const QObject* window) {
    QStringList states;
    for (const char* name : {"boardLabel", "spdifLabel", "cflagLabel"}) {
        const QLabel* label = formWidget<QLabel>(window, name);
        states << label->text() + " " + label->styleSheet();
    }
    return states;
}
template <typename Owner> QStringList linkStates(const std::unique_ptr<Owner>& window) {
    return linkStates(window.get());
}
// What they read before a board has answered and after the link closed.
inline const QStringList NoLinkStates = {"  BOARD: no connection   QLabel {color: red}",
                                         "  SPDIF Signal: no signal   QLabel {color: red}",
                                         "  CFLAG Data: no data   QLabel {color: red}"};

#endif // FORMWIDGET_H
