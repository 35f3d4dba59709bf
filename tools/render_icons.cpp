// Draws the program's icons, a white snowflake on a rounded tile, and writes them as PNG files
// in every size the desktop and the tray ask for. A developer's tool, not part of the product:
//
//   cmake --build build --target render_icons && build/bin/render_icons resources/icons
//
// writes tarvik-control-centre-SIZE.png (the application icon and the tray icon's normal frame)
// and tarvik-control-centre-alarm-SIZE.png (the frame it blinks with on a warning).

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

struct Palette {
    QColor top;
    QColor bottom;
    QColor edge;
};

const Palette kNormal{QColor(0x4f, 0xc3, 0xf7), QColor(0x0d, 0x47, 0xa1), QColor(0x08, 0x30, 0x6b)};
const Palette kAlarm{QColor(0xff, 0x8a, 0x65), QColor(0xb7, 0x1c, 0x1c), QColor(0x6d, 0x0f, 0x0f)};

QPointF Polar(QPointF centre, double length, double degrees) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(length * std::sin(radians), -length * std::cos(radians));
}

// Drawn on a 64-unit grid and scaled; small sizes leave out the side branches, which would
// only blur the arms there.
QImage DrawIcon(int size, const Palette& palette) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    QLinearGradient tile(0, 2, 0, 62);
    tile.setColorAt(0, palette.top);
    tile.setColorAt(1, palette.bottom);
    painter.setPen(QPen(palette.edge, size < 32 ? 3.0 : 2.0));
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(3, 3, 58, 58), 12, 12);

    const QPointF centre(32, 32);
    const double armWidth = size < 24 ? 7.0 : 5.0;
    QPen arm(Qt::white, armWidth, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(arm);
    for (int i = 0; i < 6; ++i) {
        const double angle = i * 60.0;
        painter.drawLine(centre, Polar(centre, 22, angle));
        if (size >= 22) {
            const QPointF fork = Polar(centre, 13, angle);
            painter.drawLine(fork, Polar(fork, 8, angle - 45));
            painter.drawLine(fork, Polar(fork, 8, angle + 45));
        }
    }
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(centre, armWidth * 0.9, armWidth * 0.9);
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    // Drawing into images needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    if (!folder.exists()) {
        std::fprintf(stderr, "render_icons: no folder %s\n", qPrintable(folder.path()));
        return 1;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const bool saved =
            DrawIcon(size, kNormal)
                .save(folder.filePath(QStringLiteral("tarvik-control-centre-%1.png").arg(size))) &&
            DrawIcon(size, kAlarm)
                .save(folder.filePath(
                    QStringLiteral("tarvik-control-centre-alarm-%1.png").arg(size)));
        if (!saved) {
            std::fprintf(stderr, "render_icons: cannot write into %s\n", qPrintable(folder.path()));
            return 1;
        }
    }
    return 0;
}
