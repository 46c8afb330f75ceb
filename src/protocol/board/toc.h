#ifndef TOC_H
#define TOC_H

#include <QList>
#include <QObject>

// The disc contents reported by 0xAD.
class Toc : public QObject {
    Q_OBJECT
public:
    explicit Toc(QObject* parent = nullptr) : QObject(parent) {}
    bool flag_a = false;
    bool flag_b = false;
    bool read = false;
    qint32 value_1 = 0;
    qint32 tracks = 0;
    qint32 value_5 = 0;
    qint32 value_6 = 0;
    qint32 value_7 = 0;
    qint32 value_8 = 0;
    QList<qint32> entries;
};

#endif // TOC_H
