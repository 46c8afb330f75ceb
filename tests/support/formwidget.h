#ifndef FORMWIDGET_H
#define FORMWIDGET_H

#include "slineedit.h"

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

#endif // FORMWIDGET_H
