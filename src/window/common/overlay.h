#ifndef OVERLAY_H
#define OVERLAY_H

#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <initializer_list>

// Widgets placed over another on purpose (a message or a summary in a band a plot keeps free)
// say so, so that a look at the window's geometry does not take them for a widget that slid
// over another.
namespace Overlay {

inline const char* const Property = "liesOver";

inline void mark(QWidget* top, std::initializer_list<const QWidget*> under) {
    QStringList names = top->property(Property).toStringList();
    for (const QWidget* widget : under)
        names << widget->objectName();
    top->setProperty(Property, names);
}

inline bool liesOver(const QWidget* top, const QWidget* under) {
    return top->property(Property).toStringList().contains(under->objectName());
}

} // namespace Overlay

#endif // OVERLAY_H
