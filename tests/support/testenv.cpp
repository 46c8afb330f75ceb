#include "testenv.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

TestEnv::TestEnv() {
    QCoreApplication::setOrganizationName("Orvalta");
    QCoreApplication::setApplicationName("DK-61 PC-Tool");
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    // Application data (the results database and its outbox) stays in this test's folder too.
    qputenv("XDG_DATA_HOME", QString(dir.path() + "/data").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", QString(dir.path() + "/cache").toLocal8Bit());
    QStandardPaths::setTestModeEnabled(false);
    QSettings().clear();
}

void TestEnv::setSetting(const QString& key, const QVariant& value) {
    QSettings settings;
    settings.setValue(key, value);
    settings.sync();
}
