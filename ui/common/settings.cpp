#include "ui/common/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace feldan {

namespace {

const QString LastFolderKey = QStringLiteral("files/lastFolder");
const QString WindowGeometryKey = QStringLiteral("window/geometry");
const QString LanguageKey = QStringLiteral("window/language");
const QString PictureSizeKey = QStringLiteral("export/pictureSize");

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
