#pragma once

#include <QThread>

// Samples the host's CPU clock and load at the lowest priority.
class CPUThread : public QThread {
    Q_OBJECT
};
