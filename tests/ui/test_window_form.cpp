// The main window form and its texts: what the user sees once the window has been built and
// ApplyWindowTexts has run, and the load graph's sample history.

#include "ui/LoadGraph.h"
#include "ui/WindowTexts.h"
#include "ui_TForm1.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

class WindowForm : public ::testing::Test {
protected:
    void SetUp() override { form.setupUi(&window); }

    template <typename T = QWidget> T* Find(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        if (!found)
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " named " << name;
        return found;
    }

    // Overwrites the texts and lists the form was designed with, so that every text a test
    // then sees must have been put in by ApplyWindowTexts.
    void ReplaceDesignTexts() {
        for (QLabel* label : window.findChildren<QLabel*>())
            label->setText(QStringLiteral("design"));
        for (QAbstractButton* button : window.findChildren<QAbstractButton*>())
            button->setText(QStringLiteral("design"));
        for (QGroupBox* group : window.findChildren<QGroupBox*>())
            group->setTitle(QStringLiteral("design"));
        for (int i = 0; i < form.PageControl1->count(); ++i)
            form.PageControl1->setTabText(i, QStringLiteral("design"));
        form.EvaporatorEdit->setText(QStringLiteral("design"));
        form.Sensor1Edit->setText(QStringLiteral("design"));
        for (QComboBox* list : window.findChildren<QComboBox*>()) {
            list->clear();
            list->addItems({QStringLiteral("design 0"), QStringLiteral("design 1"),
                            QStringLiteral("design 2")});
            list->setCurrentIndex(1);
        }
        window.setWindowTitle(QStringLiteral("design"));
    }

    static QString TextOf(const QWidget* w) {
        if (auto* label = qobject_cast<const QLabel*>(w))
            return label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(w))
            return button->text();
        if (auto* group = qobject_cast<const QGroupBox*>(w))
            return group->title();
        if (auto* edit = qobject_cast<const QLineEdit*>(w))
            return edit->text();
        ADD_FAILURE() << w->objectName().toStdString() << " has no caption";
        return {};
    }

    QMainWindow window;
    Ui::TForm1 form;
};

struct CaptionCase {
    const char* object;
    const char* text;
};

TEST_F(WindowForm, CaptionsReadExactlyAsDesignedIncludingBlanksAndAccelerators) {
    ReplaceDesignTexts();
    ApplyWindowTexts(form, window);

    const std::vector<CaptionCase> cases = {
        // two blanks before the bracket, on both pages that name the fans
        {"Fan2Label", "Rear  (Exhaust)"},
        {"Panel23", "Rear  (Exhaust)"},
        {"Fan1Label", "Front (Condenser)"},
        {"Panel22", "Front (Condenser)"},
        // accelerators: "&" marks the underlined letter
        {"ViewLogButton", "&View"},
        {"ClearLogButton", "&Clear"},
        {"ErrorViewButton", "V&iew"},
        {"SendButton", "Report"},
        {"Para1Label", "Parameter 1"},
        {"Para2Label", "Parameter 2"},
        {"Para3Label", "Parameter 3"},
        {"CPUSpeedLoadPanel", "MHz "},
        {"SystemStatPanel", "Initializing"},
        {"HeaterReduceLabel", "Remaning time heating is reduced"},
        {"SetupShDn", "Shut-down"},
        {"SetupAlm", "Warning"},
        {"SetupSensorLabel", "Sensor name/location"},
        {"EvaporatorEdit", "Evaporator"},
        {"Sensor1Edit", "Higher"},
        {"ShowSensor1", "Evaporator"},
        {"ShowSensor2", "Ambient"},
        {"ShowSensor5", "Optional"},
        {"Temp3", "-"},
        {"FanRPM2", "0 RPM"},
        {"OperHours", "-1"},
        {"HeatingTimerPanel", "0 Min"},
        {"Label38", "5:"},
        {"Label10", "5:"},
        {"DisplayLine2Label", "Select the parameters for display line 2."},
        {"WarningHandLabel1", "Select which event to trigger"},
        {"CelsiusRadioButton", "Celsius"},
        {"FahrenheitRadioButton", "Fahrenheit"},
        {"OperationGroupBox", "Operation Log"},
        {"ErrorGroupBox", "Error Log"},
        {"BootGroupBox", "Boot Control"},
        {"TempFormatGroupBox", "Temperature Format"},
        {"TotalGroupBox", "Total"},
        {"HeaterComboBox", "Heater Control"},
        {"TrayIconGroupBox", "Tray Icon"},
        {"SetupTempGroupBox", "Temperatures"},
        {"FanSetupGroupBox", "Fans"},
    };
    for (const CaptionCase& c : cases) {
        SCOPED_TRACE(c.object);
        if (QWidget* w = Find(c.object)) {
            EXPECT_EQ(TextOf(w).toStdString(), c.text);
        }
    }
    EXPECT_EQ(window.windowTitle().toStdString(), "Tarvik II Control Centre 1.23");
}

TEST_F(WindowForm, EveryCaptionOfTheFourPagesIsPutInAndOnlyTheStatusPanelsStayEmpty) {
    ReplaceDesignTexts();
    ApplyWindowTexts(form, window);

    const QStringList emptyAtStart = {"TempStat1", "TempStat2",       "TempStat3",      "TempStat4",
                                      "TempStat5", "Fan1StatusLabel", "Fan2StatusLabel"};
    for (QWidget* page : {form.TabSheet1, form.TabSheet2, form.TabSheet4, form.TabSheet5}) {
        QList<QWidget*> captioned;
        for (QLabel* w : page->findChildren<QLabel*>())
            captioned.append(w);
        for (QAbstractButton* w : page->findChildren<QAbstractButton*>())
            captioned.append(w);
        for (QGroupBox* w : page->findChildren<QGroupBox*>())
            captioned.append(w);
        for (QWidget* w : captioned) {
            SCOPED_TRACE(w->objectName().toStdString());
            const QString text = TextOf(w);
            EXPECT_NE(text, QStringLiteral("design"));
            EXPECT_EQ(text.isEmpty(), emptyAtStart.contains(w->objectName()));
        }
    }
}

TEST_F(WindowForm, PagesComeInOrderWithTheScheduleTabHiddenAndTheSystemPageShown) {
    ReplaceDesignTexts();
    ApplyWindowTexts(form, window);

    QTabWidget* pages = form.PageControl1;
    const struct {
        QWidget* page;
        const char* caption;
        bool tabVisible;
    } expected[] = {{form.TabSheet1, "System", true},
                    {form.TabSheet2, "Setup", true},
                    {form.TabSheet4, "Display", true},
                    {form.TabSheet5, "Misc.", true},
                    {form.TabSheet3, "RTC", false}};
    ASSERT_EQ(pages->count(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(expected[i].caption);
        EXPECT_EQ(pages->widget(i), expected[i].page);
        EXPECT_EQ(pages->tabText(i).toStdString(), expected[i].caption);
        EXPECT_EQ(pages->isTabVisible(i), expected[i].tabVisible);
    }
    EXPECT_EQ(pages->currentWidget(), form.TabSheet1);
    EXPECT_FALSE(form.TabSheet3->isEnabled());
}

struct ListCase {
    const char* object;
    int count;
    int selected;
    const char* selectedText;
    int otherIndex; // an item worth checking by itself
    const char* otherText;
};

std::vector<ListCase> ListCases() {
    std::vector<ListCase> cases = {
        {"SetupSensorComboBox2", 7, 0, "Optional", 1, "Ambient"},
        {"FrontFanModeComboBox", 4, 0, "Normal", 1, "Low noise"},
        {"RearFanModeComboBox", 4, 0, "Normal", 3, "Manual"},
        {"PrimaryTextComboBox", 6, 0, "Speed Load Temp", 5, "Your own Text"},
        {"SecondaryTextComboBox", 6, 2, "DRALMIC", 0, "Speed Load Temp"},
        {"DispLine1Int", 8, 0, "5 Sec", 7, "Never"},
        {"DispParam1", 8, 5, "CPU Speed", 7, "   "},
        {"DispParam2", 8, 6, "CPU Load", 1, "Sensor 2 temp."},
        // line-2 parameters 3 to 5 have no full stop; the tray texts have one
        {"DispParam3", 8, 0, "Evaporator temp.", 2, "Sensor 3 temp"},
        {"IconShowComboBox", 7, 0, "Evaporator temp.", 2, "Sensor 3 temp."},
        {"WarningHandlingComboBox", 4, 0, "Alarm Sound", 2, "Open control center"},
    };
    for (const char* name :
         {"SetupSensorComboBox3", "SetupSensorComboBox4", "SetupSensorComboBox5"})
        cases.push_back({name, 6, 0, "Optional", 1, "Surface microfreezer"});
    for (const char* name : {"Par2HighLow", "Par3HighLow", "Par4HighLow", "Par5HighLow"})
        cases.push_back({name, 2, 0, "Higher", 1, "Lower"});
    return cases;
}

TEST_F(WindowForm, ListsAreRefilledWithTheirDefaultItemSelected) {
    ReplaceDesignTexts();
    ApplyWindowTexts(form, window);

    for (const ListCase& c : ListCases()) {
        SCOPED_TRACE(c.object);
        QComboBox* list = Find<QComboBox>(c.object);
        if (!list)
            continue;
        EXPECT_EQ(list->count(), c.count);
        EXPECT_EQ(list->currentIndex(), c.selected);
        EXPECT_EQ(list->currentText().toStdString(), c.selectedText);
        EXPECT_EQ(list->itemText(c.otherIndex).toStdString(), c.otherText);
    }
}

TEST_F(WindowForm, SelectionsMadeByTheProgramRaiseNoChangeSignal) {
    ReplaceDesignTexts();

    struct Watch {
        std::string list;
        std::unique_ptr<QSignalSpy> spy;
    };
    std::vector<Watch> watches;
    const auto lists = window.findChildren<QComboBox*>();
    for (QComboBox* list : lists) {
        const auto watch = [&](auto* sender, auto signal) {
            watches.push_back(
                {list->objectName().toStdString(), std::make_unique<QSignalSpy>(sender, signal)});
        };
        watch(list, &QComboBox::currentIndexChanged);
        watch(list, &QComboBox::currentTextChanged);
        watch(list, &QComboBox::editTextChanged);
        watch(list, &QComboBox::activated);
        watch(list, &QComboBox::textActivated);
        if (list->lineEdit())
            watch(list->lineEdit(), &QLineEdit::textChanged);
    }
    ASSERT_GE(lists.size(), 19);

    ApplyWindowTexts(form, window);

    for (const Watch& w : watches)
        EXPECT_EQ(w.spy->count(), 0) << w.list << " raised " << w.spy->signal().toStdString();
}

struct StateCase {
    std::string object;
    bool shown;   // not hidden by itself
    bool enabled; // enabled with all its ancestors
};

std::vector<StateCase> StateCases() {
    std::vector<StateCase> cases;
    for (int row = 1; row <= 5; ++row) {
        const bool firstRow = row == 1;
        for (const char* kind : {"ShowSensor", "Temp", "TempStat"})
            cases.push_back({kind + std::to_string(row), firstRow, true});
        // Rows 3 to 5 of the setup table wait for a sensor name.
        const bool active = row <= 2;
        cases.push_back({"Sensor" + std::to_string(row) + "Alm", true, active});
        cases.push_back({"Sensor" + std::to_string(row) + "ShDn", true, active});
        if (row >= 2) {
            cases.push_back({"Par" + std::to_string(row) + "HighLow", true, active});
            cases.push_back({"SetupSensorComboBox" + std::to_string(row), true, true});
        }
    }
    const std::vector<StateCase> others = {
        {"EvaporatorEdit", true, true},      {"Sensor1Edit", true, false},
        {"ModeLabel", true, true},           {"FrontFanModeComboBox", true, true},
        {"RearFanModeComboBox", true, true}, {"ManualLabel", true, false},
        {"FanMinLabel", true, false},        {"FanMaxLabel", true, false},
        {"FrontFanManual", true, false},     {"RearFanManual", true, false},
        {"CPULoadGraph", true, true},        {"HeaterComboBox", false, false},
        {"HeatingSlider", true, false},      {"OperationGroupBox", true, true},
        {"TotalGroupBox", true, true},       {"GroupBox7", true, false},
        {"GroupBox8", true, false},
    };
    cases.insert(cases.end(), others.begin(), others.end());
    return cases;
}

TEST_F(WindowForm, ControlsStartHiddenOrDisabledAsDesigned) {
    ApplyWindowTexts(form, window);

    for (const StateCase& c : StateCases()) {
        SCOPED_TRACE(c.object);
        QWidget* w = Find(c.object.c_str());
        if (!w)
            continue;
        EXPECT_EQ(!w->isHidden(), c.shown);
        EXPECT_EQ(w->isEnabled(), c.enabled);
    }
    // Disabled by itself, not only through its hidden group.
    EXPECT_FALSE(form.HeaterReduceLabel->isEnabledTo(form.HeaterComboBox));
    EXPECT_TRUE(form.CelsiusRadioButton->isChecked());
    EXPECT_FALSE(form.FahrenheitRadioButton->isChecked());
}

TEST_F(WindowForm, WindowHasAFixedClientAreaWithOnlyTheStatusBarBesideThePages) {
    ApplyWindowTexts(form, window);
    window.show();
    window.resize(800, 600); // refused: the size is fixed
    QCoreApplication::processEvents();

    EXPECT_EQ(window.minimumSize(), QSize(453, 385));
    EXPECT_EQ(window.maximumSize(), QSize(453, 385));
    EXPECT_EQ(window.size(), QSize(453, 385));
    EXPECT_EQ(window.menuWidget(), nullptr);
    EXPECT_TRUE(window.findChildren<QToolBar*>().isEmpty());
    EXPECT_EQ(form.centralWidget->geometry(), QRect(0, 0, 453, 366));
    EXPECT_EQ(window.statusBar(), form.MainStatusBar);
    EXPECT_EQ(form.MainStatusBar->geometry(), QRect(0, 366, 453, 19));
    EXPECT_FALSE(form.MainStatusBar->isSizeGripEnabled());
    EXPECT_EQ(form.PageControl1->geometry(), QRect(8, 8, 441, 353));
}

// Every visible control lies inside its group or page and clear of its siblings, and every
// label's caption fits the label, once the window shows with its own fonts.
TEST_F(WindowForm, NoControlLeavesItsParentOverlapsASiblingOrClipsItsCaption) {
    ApplyWindowTexts(form, window);
    window.show();

    for (int index = 0; index < form.PageControl1->count(); ++index) {
        if (!form.PageControl1->isTabVisible(index))
            continue;
        form.PageControl1->setCurrentIndex(index);
        QCoreApplication::processEvents();
        QWidget* page = form.PageControl1->widget(index);
        QList<QWidget*> parents = {page};
        for (QGroupBox* group : page->findChildren<QGroupBox*>())
            parents.append(group);
        for (QWidget* parent : parents) {
            QList<QWidget*> children;
            for (QObject* child : parent->children()) {
                auto* w = qobject_cast<QWidget*>(child);
                if (w && !w->isHidden())
                    children.append(w);
            }
            for (int i = 0; i < children.size(); ++i) {
                const QString name = children[i]->objectName();
                EXPECT_TRUE(parent->rect().contains(children[i]->geometry()))
                    << name.toStdString() << " leaves " << parent->objectName().toStdString();
                for (int j = i + 1; j < children.size(); ++j)
                    EXPECT_FALSE(children[i]->geometry().intersects(children[j]->geometry()))
                        << name.toStdString() << " overlaps "
                        << children[j]->objectName().toStdString();
            }
        }
        for (QLabel* label : page->findChildren<QLabel*>()) {
            if (label->isHidden() || label->text().isEmpty())
                continue;
            const QSize need = label->fontMetrics().size(Qt::TextSingleLine, label->text());
            const QRect room =
                label->contentsRect().adjusted(std::max(0, label->indent()), 0, 0, 0);
            EXPECT_LE(need.width(), room.width()) << label->objectName().toStdString();
            EXPECT_LE(need.height(), room.height()) << label->objectName().toStdString();
        }
    }
}

// --- load graph ------------------------------------------------------------------------------

struct HistoryCase {
    const char* what;
    int capacity;
    std::vector<int> added;
    std::vector<int> kept;
};

TEST(LoadGraphHistory, KeepsTheNewestSamplesClampedToPercent) {
    const std::vector<HistoryCase> cases = {
        {"values outside 0..100 are clamped", 5, {-1, 0, 50, 100, 101}, {0, 0, 50, 100, 100}},
        {"load not measurable (-1) draws at 0", 3, {-1}, {0}},
        {"a full history drops the oldest", 3, {10, 20, 30, 40, 50}, {30, 40, 50}},
        {"exactly full keeps all", 3, {10, 20, 30}, {10, 20, 30}},
        {"capacity 1 keeps the newest", 1, {7, 8, 9}, {9}},
        {"capacity 0 counts as 1", 0, {7, 8}, {8}},
        {"empty", 4, {}, {}},
    };
    for (const HistoryCase& c : cases) {
        SCOPED_TRACE(c.what);
        LoadGraphHistory history(c.capacity);
        for (std::size_t i = 0; i < c.added.size(); ++i)
            history.Add(c.added[i], QColor(static_cast<int>(i), 0, 0));
        std::vector<int> kept;
        for (const auto& sample : history.Samples())
            kept.push_back(sample.percent);
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(history.AddedCount(), c.added.size());
        // Each kept sample keeps its own colour: the newest is the last one added.
        if (!c.added.empty()) {
            EXPECT_EQ(history.Samples().back().colour,
                      QColor(static_cast<int>(c.added.size() - 1), 0, 0));
        }
    }
}

TEST(LoadGraphHistory, ShrinkingDropsTheOldestAndGrowingKeepsAll) {
    LoadGraphHistory history(5);
    for (int v : {1, 2, 3, 4, 5})
        history.Add(v, Qt::green);
    history.SetCapacity(2);
    ASSERT_EQ(history.Samples().size(), 2u);
    EXPECT_EQ(history.Samples().front().percent, 4);
    EXPECT_EQ(history.Samples().back().percent, 5);
    history.SetCapacity(10);
    history.Add(6, Qt::green);
    EXPECT_EQ(history.Samples().size(), 3u);
    EXPECT_EQ(history.AddedCount(), 6u);
}

TEST(LoadGraph, HoldsOneSamplePerPixelOfItsPlottingWidth) {
    LoadGraph graph;
    graph.resize(95, 28);
    for (int i = 0; i < 300; ++i)
        graph.AddPoint(i % 101, QColor(0, 255, 0));
    // A one-pixel frame on each side leaves 93 columns.
    ASSERT_EQ(graph.History().Samples().size(), 93u);
    EXPECT_EQ(graph.History().Samples().back().percent, 299 % 101);
    // A narrower graph keeps only what fits from its next sample on.
    graph.resize(40, 28);
    graph.AddPoint(100, QColor(0, 255, 0));
    ASSERT_EQ(graph.History().Samples().size(), 38u);
    EXPECT_EQ(graph.History().Samples().back().percent, 100);
    EXPECT_EQ(graph.History().Samples().front().percent, (300 - 37) % 101);
}

} // namespace
