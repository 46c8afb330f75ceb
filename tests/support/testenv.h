#ifndef TESTENV_H
#define TESTENV_H

#include <QString>
#include <QTemporaryDir>

// Per-test isolation: settings and application data go to a temporary folder (never the user's).
class TestEnv {
public:
    // Points QSettings' user scope at a fresh temporary directory.
    TestEnv();
    // Directory for log and flag files, settings etc.
    QString path() const { return dir.path(); }
    // Writes a key into the store the window will read.
    void setSetting(const QString& key, const QVariant& value);

private:
    QTemporaryDir dir;
};

#endif // TESTENV_H
