#include "ui/TrayImages.h"

namespace {

constexpr std::initializer_list<int> kSizes = {16, 22, 24, 32, 48, 64, 128, 256};

QIcon IconFromSizes(const QString& stem) {
    QIcon icon;
    for (int size : kSizes)
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(stem).arg(size), QSize(size, size));
    return icon;
}

} // namespace

QIcon ApplicationIcon() {
    return IconFromSizes(QStringLiteral("tarvik-control-centre"));
}

QList<QIcon> TrayIconFrames() {
    return {ApplicationIcon(), IconFromSizes(QStringLiteral("tarvik-control-centre-alarm"))};
}
