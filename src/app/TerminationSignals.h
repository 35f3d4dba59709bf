#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the UI thread. Logout and system
// shutdown end the program this way, and the unit must still get its hours back and its
// display blanked, so these signals close the window like "Exit" does.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    // Held: a signal caught before anyone listens (during start-up) waits, instead of
    // killing the program half-built, until StartDelivery().
    enum class Delivery { Immediate, Held };

    explicit TerminationSignals(Delivery delivery = Delivery::Immediate);
    ~TerminationSignals() override;

    void StartDelivery();

signals:
    void terminationRequested(int signalNumber);

private:
    void Drain();

    std::unique_ptr<QSocketNotifier> notifier;
};
