#include "ui/common/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <cmath>

namespace feldan {

namespace {

const QString LastFolderKey = QStringLiteral("files/lastFolder");
const QString WindowGeometryKey = QStringLiteral("window/geometry");
const QString LanguageKey = QStringLiteral("window/language");
const QString PictureSizeKey = QStringLiteral("export/pictureSize");
const QString AnalyserPortKey = QStringLiteral("analyser/port");
const QString AnalyserFixtureKey = QStringLiteral("analyser/fixtureOhm");
const QString AnalyserNominalKey = QStringLiteral("analyser/nominalHz");
const QString AnalyserPpmKey = QStringLiteral("analyser/ppm");

QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Feldan"),
                     QStringLiteral("Feldan"));
}

}  // namespace

QString StartFolder() {
    const QString last = Store().value(LastFolderKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

void RememberFolderOf(const QString& filePath) {
    const QString folder = QFileInfo(filePath).absolutePath();
    if (!folder.isEmpty()) Store().setValue(LastFolderKey, folder);
}

QString RememberedLanguage() {
    return Store().value(LanguageKey).toString();
}

void RememberLanguage(const QString& code) {
    Store().setValue(LanguageKey, code);
}

QByteArray RememberedWindowGeometry() {
    return Store().value(WindowGeometryKey).toByteArray();
}

void RememberWindowGeometry(const QByteArray& geometry) {
    Store().setValue(WindowGeometryKey, geometry);
}

AnalyserSettings RememberedAnalyserSettings() {
    const QSettings store = Store();
    AnalyserSettings settings;
    settings.port = store.value(AnalyserPortKey).toString();
    // A value edited by hand into nonsense falls back to the default.
    const auto number = [&](const QString& key, double fallback, bool positive) {
        bool ok = false;
        const double v = store.value(key, fallback).toDouble(&ok);
        return ok && std::isfinite(v) && (!positive || v > 0) ? v : fallback;
    };
    settings.fixtureOhm = number(AnalyserFixtureKey, settings.fixtureOhm, true);
    settings.nominalHz = number(AnalyserNominalKey, settings.nominalHz, true);
    settings.ppm = number(AnalyserPpmKey, settings.ppm, false);
    return settings;
}

void RememberAnalyserSettings(const AnalyserSettings& settings) {
    QSettings store = Store();
    store.setValue(AnalyserPortKey, settings.port);
    store.setValue(AnalyserFixtureKey, settings.fixtureOhm);
    store.setValue(AnalyserNominalKey, settings.nominalHz);
    store.setValue(AnalyserPpmKey, settings.ppm);
}

QSize RememberedPictureSize(QSize fallback) {
    const QSize size = Store().value(PictureSizeKey, fallback).toSize();
    return size.isValid() ? size : fallback;
}

void RememberPictureSize(QSize size) {
    Store().setValue(PictureSizeKey, size);
}

QString DialogFolder() {
    return QDir(StartFolder()).absolutePath() + QLatin1Char('/');
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace feldan
