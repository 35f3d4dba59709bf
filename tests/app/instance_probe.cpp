// Claims the single-instance socket like the control centre does and reports what happened on
// standard output: "primary", "secondary" or "unavailable: ...", then one "restore" line per
// restore request. A primary runs until its standard input closes.
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    switch (instance.Claim()) {
    case SingleInstance::Role::Secondary:
        std::printf("secondary\n");
        return 0;
    case SingleInstance::Role::Unavailable:
        std::printf("unavailable: %s\n", qPrintable(instance.ErrorText()));
        return 0;
    case SingleInstance::Role::Primary:
        break;
    }
    std::printf("primary\n");
    std::fflush(stdout);
    QObject::connect(&instance, &SingleInstance::restoreRequested, [] {
        std::printf("restore\n");
        std::fflush(stdout);
    });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}
