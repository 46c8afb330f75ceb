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
    QStandardPaths::setTestModeEnabled(true);
    QSettings().clear();
}

void TestEnv::setVirtualPorts(const QStringList& paths) {
    qputenv("DK61_VIRTUAL_PORTS", paths.join(':').toLocal8Bit());
}

void TestEnv::setSetting(const QString& key, const QVariant& value) {
    QSettings settings;
    settings.setValue(key, value);
    settings.sync();
}
