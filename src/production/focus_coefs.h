#ifndef FOCUS_COEFS_H
#define FOCUS_COEFS_H

#include <QObject>

// The focus coefficient byte composed on the servo-parameter page.
class Focus_Coefs : public QObject {
    Q_OBJECT
public:
    explicit Focus_Coefs(QObject* parent = nullptr) : QObject(parent) {}

    quint8 coefficient() const { return coef; }

private:
    quint8 coef = 0;
};

#endif // FOCUS_COEFS_H
