#ifndef RESULTSSTATUS_H
#define RESULTSSTATUS_H

#include <QMetaType>
#include <QString>

// How the results database is doing, for the status bar.
struct ResultsStatus {
    QString where; // the file or the server, without a password
    bool connected = false;
    int waiting = 0; // runs kept in the local outbox until the database takes them
    QString error;   // the latest failure; empty once the database works again

    bool operator==(const ResultsStatus& o) const {
        return where == o.where && connected == o.connected && waiting == o.waiting &&
               error == o.error;
    }
    bool operator!=(const ResultsStatus& o) const { return !(*this == o); }
};

Q_DECLARE_METATYPE(ResultsStatus)

#endif // RESULTSSTATUS_H
