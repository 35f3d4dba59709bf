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
    TerminationSignals();
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    void Drain();

    std::unique_ptr<QSocketNotifier> notifier;
};
