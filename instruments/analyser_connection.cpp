#include "instruments/analyser_connection.h"

namespace feldan {

AnalyserConnection ConnectAnalyser(const std::string& path, const ReadLimits& limits) {
    AnalyserConnection connection;
    connection.port = PosixSerialPort::Open(path);
    connection.shell = std::make_unique<NanoVnaShell>(*connection.port, path, limits);
    connection.identity = connection.shell->Connect();
    return connection;
}

}  // namespace feldan
