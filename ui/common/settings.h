// What the program remembers between runs: kept with QSettings under "Feldan".
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <string>

namespace feldan {

// The folder a file dialog opens in: the one last used when it still exists, else the user's
// documents folder, else the home folder. Never the program's own folder (after installation
// that is /usr/bin, where nothing can be saved).
QString StartFolder();

// StartFolder as a file dialog takes it: absolute, with a closing slash.
QString DialogFolder();

// A file name as the files layer takes it: in the file system's own encoding.
std::string LocalPath(const QString& path);

// Remembers the folder of a file just opened or saved.
void RememberFolderOf(const QString& filePath);

// The language the user chose last ("ru" or "en"; empty at first).
QString RememberedLanguage();
void RememberLanguage(const QString& code);

// The main window's size, place and state as it was closed last (empty at first).
QByteArray RememberedWindowGeometry();
void RememberWindowGeometry(const QByteArray& geometry);

// How the last crystal was measured on the analyser, to be offered again: its port, the
// fixture's resistance, the crystal's nominal frequency, and the analyser's clock error in ppm,
// which every sweep is corrected by.
struct AnalyserSettings {
    QString port;
    double fixtureOhm = 50;
    double nominalHz = 0;
    double ppm = 0;
};
AnalyserSettings RememberedAnalyserSettings();
void RememberAnalyserSettings(const AnalyserSettings& settings);

// The size of the picture Экспорт вида wrote last (`fallback` at first).
QSize RememberedPictureSize(QSize fallback);
void RememberPictureSize(QSize size);

}  // namespace feldan
