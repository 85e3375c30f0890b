#include "instruments/analyser_connection.h"

#include "instruments/instrument_error.h"
#include "instruments/nanovna_shell.h"
#include "instruments/nanovna_v2.h"

namespace feldan {

AnalyserFamily FindProtocol(ByteStream& stream, const std::string& port, const ReadLimits& limits) {
    if (!stream.Write(V2Hello())) throw PortFault(MessageId::VnaPortClosed, port);
    std::string answer;
    // The first bytes may take the prompt's time; then the answer ends in a silence.
    for (auto limit = limits.prompt; answer.size() < (1u << 20); limit = limits.drain) {
        ReadResult read = stream.Read(limit);
        if (read.status == ReadStatus::Closed) throw PortFault(MessageId::VnaPortClosed, port);
        if (read.status == ReadStatus::Timeout) break;
        answer += read.bytes;
        if (answer.find("ch>") != std::string::npos) return AnalyserFamily::TextShell;
    }
    if (!answer.empty() && answer.back() == '2') return AnalyserFamily::Binary;
    throw PortFault(MessageId::VnaNotAnalyser, port);
}

AnalyserConnection ConnectAnalyser(const std::string& path, const ReadLimits& limits) {
    AnalyserConnection connection;
    connection.port = PosixSerialPort::Open(path);
    if (FindProtocol(*connection.port, path, limits) == AnalyserFamily::Binary)
        connection.shell = std::make_unique<NanoVnaV2>(*connection.port, path, limits);
    else
        connection.shell = std::make_unique<NanoVnaShell>(*connection.port, path, limits);
    connection.identity = connection.shell->Connect();
    return connection;
}

}  // namespace feldan
