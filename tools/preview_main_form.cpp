// Renders the main window form as the user first sees it, one picture per visible page, and
// lists every caption that does not fit its control and every control that overlaps a sibling
// or leaves its parent. A developer's tool, not part of the product.
//
//   preview_main_form OUTDIR
//
// writes OUTDIR/page-System.png, page-Setup.png, page-Display.png and page-Misc.png as the
// window first appears; hidden-heater.png and hidden-RTC.png with the hidden heater group and
// schedule page shown; page-*-longest.png with every list showing its widest item; popup-*.png
// with three lists opened; and load-graph.png, the graph fed with sample points, enlarged.
// Exits 1 when it found a problem.

#include "ui/LoadGraph.h"
#include "ui/WindowTexts.h"
#include "ui_TForm1.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPixmap>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

QTextStream out(stdout);
int problems = 0;

void Problem(const QString& text) {
    out << "PROBLEM: " << text << Qt::endl;
    ++problems;
}

QString Name(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

QString Plain(QString caption) {
    return caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// Captions of labels, buttons and group titles against the room their control gives them.
void CheckCaption(QWidget* w) {
    const QFontMetrics metrics(w->font());
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->text().isEmpty())
            return;
        const QRect room =
            label->contentsRect().adjusted(label->indent() > 0 ? label->indent() : 0, 0, 0, 0);
        const QSize need = metrics.size(Qt::TextSingleLine, label->text());
        if (need.width() > room.width() || need.height() > room.height())
            Problem(QStringLiteral("%1: \"%2\" needs %3x%4, has %5x%6")
                        .arg(Name(w), label->text())
                        .arg(need.width())
                        .arg(need.height())
                        .arg(room.width())
                        .arg(room.height()));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        if (button->text().isEmpty())
            return;
        // A push button's size hint carries a minimum width of its own; its caption needs the
        // text and the style's margins.
        const int margin =
            2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        const bool isPush = qstrcmp(w->metaObject()->className(), "QPushButton") == 0;
        // The hint of a radio button or check box adds a focus frame around indicator and text;
        // the height that matters is the taller of the two.
        const int indicator =
            button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, button);
        const QSize need =
            isPush
                ? QSize(metrics.horizontalAdvance(Plain(button->text())) + margin, metrics.height())
                : QSize(button->sizeHint().width(), std::max(indicator, metrics.height()));
        if (need.width() > button->width() || need.height() > button->height())
            Problem(QStringLiteral("%1: \"%2\" needs %3x%4, has %5x%6")
                        .arg(Name(w), button->text())
                        .arg(need.width())
                        .arg(need.height())
                        .arg(button->width())
                        .arg(button->height()));
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                         QStyle::SC_GroupBoxLabel, box);
        if (title.right() >= box->width() ||
            metrics.horizontalAdvance(Plain(box->title())) > title.width())
            Problem(QStringLiteral("%1: title \"%2\" does not fit").arg(Name(w), box->title()));
    }
}

// Every item of a list against the text area of the closed list, since any item may be shown.
void CheckListItems(QComboBox* list) {
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                QStyle::SC_ComboBoxEditField, list);
    if (list->isEditable())
        field = list->lineEdit()->contentsRect().adjusted(2, 0, -2, 0);
    const QFontMetrics metrics(list->font());
    // A text field scrolls its text once the text and the cursor are wider than the field.
    const int cursor = list->isEditable() ? 2 : 0;
    if (metrics.height() > field.height() + 2)
        Problem(QStringLiteral("%1: text height %2 in a field of %3")
                    .arg(Name(list))
                    .arg(metrics.height())
                    .arg(field.height()));
    for (int i = 0; i < list->count(); ++i) {
        const int need = metrics.horizontalAdvance(list->itemText(i)) + cursor;
        if (need > field.width())
            Problem(QStringLiteral("%1: item \"%2\" needs %3 px, the field has %4")
                        .arg(Name(list), list->itemText(i))
                        .arg(need)
                        .arg(field.width()));
    }
}

// Children that leave their parent or overlap a sibling.
void CheckGeometry(QWidget* parent) {
    QList<QWidget*> children;
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && !w->isWindow() && !w->isHidden() && !w->objectName().startsWith("qt_"))
            children.append(w);
    }
    for (int i = 0; i < children.size(); ++i) {
        QWidget* a = children[i];
        if (!parent->rect().contains(a->geometry()))
            Problem(QStringLiteral("%1 (%2,%3 %4x%5) leaves %6 (%7x%8)")
                        .arg(Name(a))
                        .arg(a->x())
                        .arg(a->y())
                        .arg(a->width())
                        .arg(a->height())
                        .arg(Name(parent))
                        .arg(parent->width())
                        .arg(parent->height()));
        for (int j = i + 1; j < children.size(); ++j) {
            QWidget* b = children[j];
            if (a->geometry().intersects(b->geometry()))
                Problem(QStringLiteral("%1 overlaps %2").arg(Name(a), Name(b)));
        }
    }
    if (auto* box = qobject_cast<QGroupBox*>(parent)) {
        // Nothing may sit on the group's caption.
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                         QStyle::SC_GroupBoxLabel, box);
        for (QWidget* w : children) {
            if (w->geometry().intersects(title))
                Problem(QStringLiteral("%1 covers the title of %2").arg(Name(w), Name(box)));
        }
    }
}

void CheckPage(QWidget* page) {
    CheckGeometry(page);
    const auto widgets = page->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->isVisibleTo(page) || w->objectName().startsWith("qt_"))
            continue;
        CheckGeometry(w);
        CheckCaption(w);
        if (auto* list = qobject_cast<QComboBox*>(w))
            CheckListItems(list);
    }
}

QString FileName(const QString& caption) {
    QString name = caption;
    name.remove(QLatin1Char('.'));
    return QStringLiteral("page-%1.png").arg(name);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        out << "usage: preview_main_form OUTDIR" << Qt::endl;
        return 2;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(outDir.path());

    QMainWindow window;
    Ui::TForm1 form;
    form.setupUi(&window);
    ApplyWindowTexts(form, window);
    window.show();
    QApplication::processEvents();

    out << "platform " << QGuiApplication::platformName() << ", style "
        << QApplication::style()->name() << ", window " << window.width() << "x" << window.height()
        << ", central " << form.centralWidget->geometry().height() << ", status bar y "
        << form.MainStatusBar->y() << " h " << form.MainStatusBar->height() << ", page "
        << form.TabSheet1->width() << "x" << form.TabSheet1->height() << ", font "
        << form.StatusLabel->font().family() << " " << form.StatusLabel->font().pixelSize() << "px"
        << Qt::endl;

    if (window.size() != QSize(453, 385))
        Problem(QStringLiteral("window is %1x%2").arg(window.width()).arg(window.height()));
    if (form.MainStatusBar->geometry() != QRect(0, 366, 453, 19))
        Problem(QStringLiteral("status bar at %1,%2 %3x%4")
                    .arg(form.MainStatusBar->x())
                    .arg(form.MainStatusBar->y())
                    .arg(form.MainStatusBar->width())
                    .arg(form.MainStatusBar->height()));
    form.MainStatusBar->showMessage(QStringLiteral("USB connection lost - retrying"));

    QTabBar* tabBar = form.PageControl1->tabBar();
    for (int index = 0; index < form.PageControl1->count(); ++index) {
        if (!form.PageControl1->isTabVisible(index))
            continue;
        if (tabBar->tabRect(index).right() >= form.PageControl1->width())
            Problem(QStringLiteral("tab %1 does not fit").arg(form.PageControl1->tabText(index)));
        form.PageControl1->setCurrentIndex(index);
        QApplication::processEvents();
        QWidget* page = form.PageControl1->widget(index);
        CheckPage(page);
        const QString file = outDir.filePath(FileName(form.PageControl1->tabText(index)));
        window.grab().save(file);
        out << "wrote " << file << Qt::endl;
    }

    // The parts the user never sees, shown for once so that they can be checked as well.
    {
        form.HeaterComboBox->setVisible(true);
        form.PageControl1->setCurrentWidget(form.TabSheet5);
        QApplication::processEvents();
        CheckPage(form.TabSheet5);
        const QString file = outDir.filePath(QStringLiteral("hidden-heater.png"));
        window.grab().save(file);
        out << "wrote " << file << Qt::endl;
        form.HeaterComboBox->setVisible(false);

        const int rtc = form.PageControl1->indexOf(form.TabSheet3);
        form.PageControl1->setTabVisible(rtc, true);
        form.PageControl1->setCurrentIndex(rtc);
        QApplication::processEvents();
        CheckPage(form.TabSheet3);
        const QString rtcFile = outDir.filePath(QStringLiteral("hidden-RTC.png"));
        window.grab().save(rtcFile);
        out << "wrote " << rtcFile << Qt::endl;
        form.PageControl1->setTabVisible(rtc, false);
    }

    // Every list showing its widest item, and the open list of the widest editable one, to see
    // what a long choice looks like.
    for (int index = 0; index < form.PageControl1->count(); ++index) {
        if (!form.PageControl1->isTabVisible(index))
            continue;
        form.PageControl1->setCurrentIndex(index);
        QWidget* page = form.PageControl1->widget(index);
        const auto lists = page->findChildren<QComboBox*>();
        if (lists.isEmpty())
            continue;
        for (QComboBox* list : lists) {
            int widest = 0;
            for (int i = 1; i < list->count(); ++i) {
                if (list->fontMetrics().horizontalAdvance(list->itemText(i)) >
                    list->fontMetrics().horizontalAdvance(list->itemText(widest)))
                    widest = i;
            }
            list->setCurrentIndex(widest);
        }
        QApplication::processEvents();
        const QString file = outDir.filePath(
            FileName(form.PageControl1->tabText(index)).replace(".png", "-longest.png"));
        window.grab().save(file);
        out << "wrote " << file << Qt::endl;
    }
    for (QComboBox* list :
         {form.WarningHandlingComboBox, form.SetupSensorComboBox2, form.DispParam3}) {
        form.PageControl1->setCurrentIndex(
            form.PageControl1->indexOf(list->parentWidget()->parentWidget()));
        list->showPopup();
        QApplication::processEvents();
        const QString file = outDir.filePath(QStringLiteral("popup-%1.png").arg(Name(list)));
        list->view()->window()->grab().save(file);
        out << "wrote " << file << " (" << list->view()->window()->width() << " px wide)"
            << Qt::endl;
        list->hidePopup();
    }

    // The graph with a minute's worth of samples, enlarged so the pixels can be told apart.
    form.PageControl1->setCurrentIndex(0);
    for (int i = 0; i < 120; ++i)
        form.CPULoadGraph->AddPoint(static_cast<int>(50 + 45 * std::sin(i / 9.0)),
                                    i % 40 < 30 ? QColor(0x00, 0xFF, 0x00) : QColor(Qt::yellow));
    const QPixmap graph = form.CPULoadGraph->grab();
    const QString graphFile = outDir.filePath(QStringLiteral("load-graph.png"));
    graph.scaled(graph.size() * 6).save(graphFile);
    out << "wrote " << graphFile << Qt::endl;

    out << problems << " problem(s)" << Qt::endl;
    return problems == 0 ? 0 : 1;
}
