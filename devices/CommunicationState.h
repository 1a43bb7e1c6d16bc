#pragma once
// Whether a worker still reaches its instrument. The worker counts its consecutive failed
// exchanges; after FailuresUntilLost of them the instrument counts as lost, with the kind of
// failure the last one showed, until an exchange succeeds again. The worker hands its report
// over in its exchange record; the window shows it on the device's row and in the message log.
#include <QString>
#include <cstdint>

class WindowPort;
struct TDeviceInfo;

enum class LinkState : std::uint8_t { Ok, NoReply, PortInUse, UnreadableReply };

// "No reply", "Port in use", "Unreadable reply"; empty for Ok.
QString LinkStateText(LinkState state);

// The kind of one failed exchange on port: a port that exists but does not open is in use by
// another program; a port that has gone (an unplugged adaptor) or does not answer gives no
// reply. transportStatus is the transport's status text (empty: it answered, but the answer
// did not read).
LinkState ClassifyFailure(const QString& transportStatus, const QString& port);

// What a worker reports about its instrument's communication, copied with its exchange record.
struct CommunicationReport {
    LinkState State = LinkState::Ok;
    int FailedExchanges = 0;   // consecutive failures so far (kept until the next failure after a success)
    QString TransportStatus;   // the transport's status of the last failed exchange
    // A controller worker initialises its controller again when communication returns or the
    // controller reports another gas than the one selected; counted, with the last reason.
    int Reinitialisations = 0;
    QString ReinitialisationReason;
};

class CommunicationState {
public:
    // Three failed exchanges in a row: one lost reply is noise on a busy line, three (about
    // four seconds at the instruments' time-outs) mean the instrument is not there.
    static constexpr int FailuresUntilLost = 3;

    enum class Change { None, Lost, KindChanged, Restored };

    // count failed exchanges of this kind; the change they make to the state.
    Change Failed(LinkState kind, const QString& transportStatus, int count = 1);
    Change Succeeded();

    bool IsLost() const { return fReport.State != LinkState::Ok; }
    const CommunicationReport& Report() const { return fReport; }
    void Reinitialised(const QString& reason);

    // The diagnostic line for a change (empty for None), and whether the failure count has
    // reached a power of ten, when a lost worker logs how many exchanges failed: a silent
    // instrument fills the diagnostic log with a line per state change and a few counts.
    QString DescribeChange(Change change) const;
    bool CountDue() const;

private:
    CommunicationReport fReport;
    int fFailures = 0; // consecutive failed exchanges
};

// Brings the communication the window shows for the device (device.Communication) up to
// the worker's report: one message-log line when the state changes and one per
// re-initialisation, and the device's row refreshed when its state text changes.
void ShowCommunication(WindowPort& window, TDeviceInfo& device, const CommunicationReport& report);
