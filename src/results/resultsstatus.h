#ifndef RESULTSSTATUS_H
#define RESULTSSTATUS_H

#include <QMetaType>
#include <QString>

// How the results database is doing, for the status bar.
struct ResultsStatus {
    QString where; // the file or the server, without a password
    bool connected = false;
    int waiting = 0; // runs the database has not taken yet (kept in the local outbox)
    QString error;   // the latest failure; empty once the database works again
    // Runs that no outbox could take (the disk is full, the folders cannot be written): held in
    // memory only and tried again, lost when the program ends before a place takes them.
    int unsaved = 0;
    QString unsavedWhy; // "disk full", "folder not writable", "write error"
    // False while a call to the database has gone on longer than it may (a lock held by another
    // session, a server that stopped); the runs keep going to the outbox meanwhile.
    bool answering = true;
    // A damaged database file was set aside: what was done and where the old file went.
    QString notice;

    bool operator==(const ResultsStatus& o) const {
        return where == o.where && connected == o.connected && waiting == o.waiting &&
               error == o.error && unsaved == o.unsaved && unsavedWhy == o.unsavedWhy &&
               answering == o.answering && notice == o.notice;
    }
    bool operator!=(const ResultsStatus& o) const { return !(*this == o); }
};

Q_DECLARE_METATYPE(ResultsStatus)

#endif // RESULTSSTATUS_H
