#!/usr/bin/env python3
"""Writes src/ui/TForm1.ui, the Qt Designer form of the main window.

The main window uses absolute geometry throughout (every control sits at a fixed position inside
its group, every group at a fixed position on its page), so the form is generated from the
tables below rather than drawn in Designer. Run it from the repository root after changing a
table:

    python3 tools/generate_main_form.py            # writes src/ui/TForm1.ui
    python3 tools/generate_main_form.py OUT.ui     # writes elsewhere

The texts and item lists placed here are the design-time content; ApplyWindowTexts
(src/ui/WindowTexts.cpp) sets the texts the user sees when the window is built.
"""

import sys
import xml.etree.ElementTree as ET
from pathlib import Path

# --- fonts ---------------------------------------------------------------------------------------

# Pixel sizes are used instead of point sizes so that the captions keep fitting their fixed boxes
# whatever logical resolution the desktop reports. "Verdana" falls back to the system sans font.
BASE_FONT_PX = 11
# Text boxes, lists and spin fields one pixel smaller, so that the longer list items fit their
# closed lists.
FIELD_FONT_PX = 10
ROW_NUMBER_FONT_PX = 13
ROW_NUMBER_LABELS = ["Label4", "Label5", "Label36", "Label37", "Label38",
                     "Label6", "Label7", "Label8", "Label9", "Label10"]
BOLD_OBJECTS = ["SetupShDn", "HeatingTimerPanel"]


def style_sheet():
    rows = ",\n".join(f"#centralWidget QLabel#{name}" for name in ROW_NUMBER_LABELS)
    bold = ",\n".join(f"#centralWidget QLabel#{name}" for name in BOLD_OBJECTS)
    return (
        "#centralWidget,\n#centralWidget QWidget,\n#MainStatusBar {\n"
        f'    font-family: "Verdana", sans-serif;\n    font-size: {BASE_FONT_PX}px;\n}}\n'
        "#centralWidget QComboBox,\n#centralWidget QLineEdit,\n#centralWidget QSpinBox {\n"
        f"    font-size: {FIELD_FONT_PX}px;\n}}\n"
        f"{rows} {{\n    font-size: {ROW_NUMBER_FONT_PX}px;\n}}\n"
        f"{bold} {{\n    font-weight: bold;\n}}\n"
        # The groups' controls are placed for a frame whose top edge runs through the middle
        # of the caption, so the frame starts half a caption down and the caption sits on it.
        "#centralWidget QGroupBox {\n    margin-top: 6px;\n    border: 1px solid palette(mid);\n"
        "    border-radius: 3px;\n}\n"
        "#centralWidget QGroupBox::title {\n    subcontrol-origin: margin;\n"
        "    subcontrol-position: top left;\n    left: 6px;\n    padding: 0px 2px;\n}\n"
    )


# --- colours -------------------------------------------------------------------------------------

SILVER = (192, 192, 192)
BLACK = (0, 0, 0)
GREEN = (0, 128, 0)
RED = (255, 0, 0)
YELLOW = (255, 255, 0)
DISABLED_ON_SILVER = (120, 120, 120)

# --- XML helpers ---------------------------------------------------------------------------------


def sub(parent, tag, text=None, **attrs):
    element = ET.SubElement(parent, tag, attrs)
    if text is not None:
        element.text = text
    return element


def prop(widget, name, stdset=True):
    if stdset:
        return sub(widget, "property", name=name)
    return sub(widget, "property", name=name, stdset="0")


def prop_rect(widget, x, y, w, h):
    rect = sub(prop(widget, "geometry"), "rect")
    for tag, value in (("x", x), ("y", y), ("width", w), ("height", h)):
        sub(rect, tag, str(value))


def prop_size(widget, name, w, h):
    size = sub(prop(widget, name), "size")
    sub(size, "width", str(w))
    sub(size, "height", str(h))


def prop_string(widget, name, text, notr=False):
    if notr:
        sub(prop(widget, name), "string", text, notr="true")
    else:
        sub(prop(widget, name), "string", text)


def prop_bool(widget, name, value, stdset=True):
    sub(prop(widget, name, stdset), "bool", "true" if value else "false")


def prop_number(widget, name, value):
    sub(prop(widget, name), "number", str(value))


def prop_enum(widget, name, value):
    sub(prop(widget, name), "enum", value)


def prop_set(widget, name, value):
    sub(prop(widget, name), "set", value)


def add_colour_role(group, role, rgb):
    colour_role = sub(group, "colorrole", role=role)
    brush = sub(colour_role, "brush", brushstyle="SolidPattern")
    colour = sub(brush, "color", alpha="255")
    for tag, value in zip(("red", "green", "blue"), rgb):
        sub(colour, tag, str(value))


def prop_palette(widget, background=None, text=None, disabled_text=None):
    """Sets the Window (background) and WindowText roles. Unless `disabled_text` is given, a
    disabled control keeps the style's greyed text."""
    palette = sub(prop(widget, "palette"), "palette")
    for group_name in ("active", "inactive", "disabled"):
        group = sub(palette, group_name)
        group_text = disabled_text if group_name == "disabled" else text
        if group_text is not None:
            add_colour_role(group, "WindowText", group_text)
        if background is not None:
            add_colour_role(group, "Window", background)


def widget(parent, cls, name):
    return sub(parent, "widget", **{"class": cls, "name": name})


def common(w, visible=True, enabled=True):
    if not enabled:
        prop_bool(w, "enabled", False)
    if not visible:
        prop_bool(w, "visible", False)


def estimated_width(text, px):
    # Only a first guess for Designer; ApplyWindowTexts sizes these labels to their texts.
    return int(len(text.replace("&", "")) * px * 0.62) + 2


def line_height(px):
    return int(px * 1.2) + 2


# --- control kinds -------------------------------------------------------------------------------


def label(parent, name, x, y, text, enabled=True, font_px=BASE_FONT_PX):
    """A label that takes the size of its text (auto-size)."""
    w = widget(parent, "QLabel", name)
    prop_rect(w, x, y, estimated_width(text, font_px), line_height(font_px))
    common(w, enabled=enabled)
    prop_string(w, "text", text)
    prop_bool(w, "autoSize", True, stdset=False)
    return w


def text_label(parent, name, x, y, text, colour=None, enabled=True, font_px=BASE_FONT_PX):
    w = label(parent, name, x, y, text, enabled=enabled, font_px=font_px)
    if colour is not None:
        prop_palette(w, text=colour)
    return w


def panel(parent, name, x, y, width, height, text, colour=BLACK, align="center",
          visible=True, enabled=True):
    """A sunken read-only text field on a silver background."""
    w = widget(parent, "QLabel", name)
    prop_rect(w, x, y, width, height)
    common(w, visible=visible, enabled=enabled)
    # The style's greyed text would vanish on silver; a disabled panel shows dark grey text.
    prop_palette(w, background=SILVER, text=colour, disabled_text=DISABLED_ON_SILVER)
    prop_bool(w, "autoFillBackground", True)
    prop_enum(w, "frameShape", "QFrame::Panel")
    prop_enum(w, "frameShadow", "QFrame::Sunken")
    prop_string(w, "text", text)
    alignment = {
        "center": "Qt::AlignCenter",
        "left": "Qt::AlignLeading|Qt::AlignLeft|Qt::AlignVCenter",
        "right": "Qt::AlignTrailing|Qt::AlignRight|Qt::AlignVCenter",
    }[align]
    prop_set(w, "alignment", alignment)
    if align != "center":
        prop_number(w, "indent", 4)
    return w


def line_edit(parent, name, x, y, width, height, text, enabled=True):
    w = widget(parent, "QLineEdit", name)
    prop_rect(w, x, y, width, height)
    common(w, enabled=enabled)
    prop_string(w, "text", text)
    return w


def combo(parent, name, x, y, width, height, items, current=0, editable=False, enabled=True,
          edit_text=None):
    w = widget(parent, "QComboBox", name)
    prop_rect(w, x, y, width, height)
    common(w, enabled=enabled)
    if editable:
        prop_bool(w, "editable", True)
        # A typed text is a value of its own; Enter must not add it to the list.
        prop_enum(w, "insertPolicy", "QComboBox::NoInsert")
    if edit_text is not None:
        # uic sets the edit text after the items, so the box shows it rather than item 0.
        prop_string(w, "currentText", edit_text)
    else:
        prop_number(w, "currentIndex", current)
    for item in items:
        sub(prop(sub(w, "item"), "text"), "string", item)
    return w


def spin(parent, name, x, y, width, height, value, enabled=True):
    w = widget(parent, "QSpinBox", name)
    prop_rect(w, x, y, width, height)
    common(w, enabled=enabled)
    prop_number(w, "minimum", -2147483647)
    prop_number(w, "maximum", 2147483647)
    prop_number(w, "value", value)
    return w


def slider(parent, name, x, y, width, height, minimum, maximum, value, tick_interval,
           page_step, enabled=True):
    w = widget(parent, "QSlider", name)
    prop_rect(w, x, y, width, height)
    common(w, enabled=enabled)
    prop_number(w, "minimum", minimum)
    prop_number(w, "maximum", maximum)
    prop_number(w, "pageStep", page_step)
    prop_number(w, "value", value)
    prop_enum(w, "orientation", "Qt::Horizontal")
    prop_enum(w, "tickPosition", "QSlider::TicksBelow")
    prop_number(w, "tickInterval", tick_interval)
    return w


def button(parent, name, x, y, width, height, text):
    w = widget(parent, "QPushButton", name)
    prop_rect(w, x, y, width, height)
    prop_string(w, "text", text)
    prop_bool(w, "autoDefault", False)
    return w


def radio(parent, name, x, y, width, height, text, checked=False):
    w = widget(parent, "QRadioButton", name)
    prop_rect(w, x, y, width, height)
    prop_string(w, "text", text)
    if checked:
        prop_bool(w, "checked", True)
    return w


def check_box(parent, name, x, y, width, height, enabled=True):
    w = widget(parent, "QCheckBox", name)
    prop_rect(w, x, y, width, height)
    common(w, enabled=enabled)
    return w


def group(parent, name, x, y, width, height, title, visible=True, enabled=True):
    w = widget(parent, "QGroupBox", name)
    prop_rect(w, x, y, width, height)
    common(w, visible=visible, enabled=enabled)
    prop_string(w, "title", title)
    return w


def page(tabs, name, title, enabled=True):
    w = widget(tabs, "QWidget", name)
    common(w, enabled=enabled)
    sub(sub(w, "attribute", name="title"), "string", title)
    return w


# --- item lists (design-time; ApplyWindowTexts replaces them) ------------------------------------

SENSOR2_NAMES = ["Optional", "Ambient", "Surface microfreezer", "Surface rearcover",
                 "Compressor", "Graphic Processor", "Harddisk"]
SENSOR3TO5_NAMES = ["Optional", "Surface microfreezer", "Surface rearcover", "Compressor",
                    "Graphic Processor", "Harddisk"]
HIGH_LOW = ["Higher", "Lower"]
FAN_MODES = ["Normal", "Low noise", "Turbo", "Manual"]
DISPLAY_TEXTS = ["Speed Load Temp", "Tarvik II", "DRALMIC", "Super Cooled", "Mean Machine",
                 "Your own Text"]
DISPLAY_INTERVALS = ["5 Sec", "10 Sec", "30 Sec", "1 Min", "3 Min", "5 Min", "10 Min", "Never"]
DISPLAY_PARAMS = ["Evaporator temp.", "Sensor 2 temp.", "Sensor 3 temp", "Sensor 4 temp",
                  "Sensor 5 temp", "CPU Speed", "CPU Load", "   "]
TRAY_TEXTS = ["Evaporator temp.", "Sensor 2 temp.", "Sensor 3 temp.", "Sensor 4 temp.",
              "Sensor 5 temp.", "CPU speed", "CPU load"]
WARNING_HANDLING = ["Alarm Sound", "Blinking tray icon", "Open control center", "Ignore"]
BOOT_TEMPERATURES = [str(-n) if n else "0" for n in range(41)]

# --- pages ---------------------------------------------------------------------------------------


def system_page(tabs):
    p = page(tabs, "TabSheet1", "System")

    g = group(p, "OverallGroupBox", 8, 8, 416, 62, "Overall")
    label(g, "StatusLabel", 112, 8, "Status")
    panel(g, "SystemStatPanel", 32, 25, 193, 27, "Initializing", colour=GREEN)
    label(g, "SpeedLoadLabel", 233, 8, "CPU speed")
    panel(g, "CPUSpeedLoadPanel", 232, 25, 63, 27, "MHz ", align="right")
    label(g, "LoadLabel", 332, 8, "CPU load")
    graph = widget(g, "LoadGraph", "CPULoadGraph")
    prop_rect(graph, 304, 24, 95, 28)
    prop_number(graph, "gridSize", 7)
    prop_number(graph, "gradient", 100)

    g = group(p, "TempGroupBox", 8, 75, 417, 153, "Temperatures")
    rows = [("Label4", 20, 17, "Evaporator", RED),
            ("Label5", 44, 41, "Ambient", GREEN),
            ("Label36", 76, 73, "Optional", YELLOW),
            ("Label37", 100, 97, "Optional", YELLOW),
            ("Label38", 124, 121, "Optional", YELLOW)]
    for n, (number_label, label_y, y, name, status_colour) in enumerate(rows, start=1):
        visible = n == 1
        label(g, number_label, 12, label_y, f"{n}:", font_px=ROW_NUMBER_FONT_PX)
        panel(g, f"ShowSensor{n}", 32, y, 193, 24, name, align="left", visible=visible)
        panel(g, f"Temp{n}", 232, y, 65, 24, "-", visible=visible)
        panel(g, f"TempStat{n}", 304, y, 97, 24, "", colour=status_colour, visible=visible)

    g = group(p, "FanGroupBox", 8, 232, 417, 81, "Fans")
    fans = [("Fan1Label", "FanRPM1", "Fan1StatusLabel", 17, "Front (Condenser)", GREEN),
            ("Fan2Label", "FanRPM2", "Fan2StatusLabel", 41, "Rear  (Exhaust)", RED)]
    for name_panel, rpm_panel, status_panel, y, text, status_colour in fans:
        panel(g, name_panel, 32, y, 193, 24, text, align="left")
        panel(g, rpm_panel, 232, y, 65, 24, "0 RPM")
        panel(g, status_panel, 304, y, 97, 24, "", colour=status_colour)


def setup_page(tabs):
    p = page(tabs, "TabSheet2", "Setup")

    g = group(p, "SetupTempGroupBox", 8, 8, 417, 185, "Temperatures")
    for n, (name, y) in enumerate(zip(["Label6", "Label7", "Label8", "Label9", "Label10"],
                                      [52, 76, 105, 132, 156]), start=1):
        label(g, name, 12, y, f"{n}:", font_px=ROW_NUMBER_FONT_PX)
    label(g, "SetupSensorLabel", 32, 30, "Sensor name/location")
    label(g, "WhenLabel", 170, 30, "When")
    label(g, "SetupAlm", 256, 30, "Warning")
    text_label(g, "SetupShDn", 334, 30, "Shut-down", colour=RED)
    line_edit(g, "EvaporatorEdit", 32, 49, 113, 21, "Evaporator")
    # 133 wide rather than 129, so that "Surface microfreezer" fits without scrolling.
    for n, y in zip(range(2, 6), [75, 107, 130, 155]):
        combo(g, f"SetupSensorComboBox{n}", 32, y, 133, 21,
              SENSOR2_NAMES if n == 2 else SENSOR3TO5_NAMES, editable=True)
    line_edit(g, "Sensor1Edit", 170, 51, 47, 21, "Higher", enabled=False)
    for n, y in zip(range(2, 6), [75, 107, 131, 155]):
        combo(g, f"Par{n}HighLow", 170, y, 63, 21, HIGH_LOW, enabled=n == 2)
    for n, y in enumerate([50, 74, 106, 130, 154], start=1):
        active = n <= 2
        spin(g, f"Sensor{n}Alm", 256, y, 65, 22, -10 if n == 1 else 5, enabled=active)
        spin(g, f"Sensor{n}ShDn", 336, y, 65, 22, 0, enabled=active)

    g = group(p, "FanSetupGroupBox", 8, 202, 417, 111, "Fans")
    label(g, "PositionLabel", 32, 19, "Position")
    label(g, "ModeLabel", 232, 19, "Mode")
    label(g, "ManualLabel", 333, 19, "Manual", enabled=False)
    panel(g, "Panel22", 32, 41, 178, 24, "Front (Condenser)", align="left")
    panel(g, "Panel23", 32, 65, 178, 24, "Rear  (Exhaust)", align="left")
    # 78 wide rather than 73, so that "Low noise" fits.
    combo(g, "FrontFanModeComboBox", 224, 43, 78, 21, FAN_MODES)
    combo(g, "RearFanModeComboBox", 224, 67, 78, 21, FAN_MODES)
    slider(g, "FrontFanManual", 306, 42, 95, 22, 600, 2200, 600, 100, 100, enabled=False)
    slider(g, "RearFanManual", 306, 67, 95, 22, 600, 2200, 600, 100, 100, enabled=False)
    # One pixel lower than the slider above them would otherwise overlap (67 + 22 = 89).
    label(g, "FanMinLabel", 304, 89, "Min", enabled=False)
    label(g, "FanMaxLabel", 384, 89, "Max", enabled=False)


def display_page(tabs):
    p = page(tabs, "TabSheet4", "Display")

    g = group(p, "Display1GroupBox", 8, 8, 417, 97, "Display line 1")
    label(g, "DisplayLine1Label", 137, 16, "Select the text for display line 1.")
    label(g, "PrimaryTextLabel", 17, 37, "Primary text")
    label(g, "SecondaryTextLabel", 181, 36, "Secondary text")
    label(g, "IntervalLabel", 344, 36, "Interval")
    combo(g, "PrimaryTextComboBox", 16, 56, 145, 21, DISPLAY_TEXTS, current=0, editable=True)
    combo(g, "SecondaryTextComboBox", 181, 56, 145, 21, DISPLAY_TEXTS, current=2, editable=True)
    combo(g, "DispLine1Int", 336, 56, 65, 21, DISPLAY_INTERVALS)

    g = group(p, "Display2GroupBox", 8, 112, 417, 97, "Display line 2")
    label(g, "DisplayLine2Label", 137, 16, "Select the parameters for display line 2.")
    label(g, "Para1Label", 17, 37, "Parameter 1")
    label(g, "Para2Label", 153, 37, "Parameter 2")
    label(g, "Para3Label", 289, 37, "Parameter 3")
    combo(g, "DispParam1", 16, 56, 121, 21, DISPLAY_PARAMS, current=5)
    combo(g, "DispParam2", 152, 56, 121, 21, DISPLAY_PARAMS, current=6)
    combo(g, "DispParam3", 288, 56, 113, 21, DISPLAY_PARAMS, current=0)

    g = group(p, "TrayIconGroupBox", 8, 224, 169, 89, "Tray Icon")
    label(g, "TraySelLabel1", 9, 21, "Select tray icon text")
    combo(g, "IconShowComboBox", 16, 48, 121, 21, TRAY_TEXTS, editable=True)

    g = group(p, "WarningHandlingGroupBox", 192, 224, 233, 89, "Warning Handling")
    label(g, "WarningHandLabel1", 16, 21, "Select which event to trigger")
    # Widened to the left from 104 (113 wide), keeping its right edge, so that "Open control
    # center" fits.
    combo(g, "WarningHandlingComboBox", 88, 48, 129, 21, WARNING_HANDLING, editable=True)


def misc_page(tabs):
    p = page(tabs, "TabSheet5", "Misc.")

    g = group(p, "OperationGroupBox", 8, 8, 201, 65, "Operation Log")
    button(g, "ViewLogButton", 16, 24, 75, 25, "&View")
    button(g, "ClearLogButton", 104, 24, 75, 25, "&Clear")

    g = group(p, "ErrorGroupBox", 224, 8, 201, 65, "Error Log")
    button(g, "ErrorViewButton", 16, 24, 75, 25, "V&iew")
    button(g, "SendButton", 112, 24, 75, 25, "Report")

    g = group(p, "BootGroupBox", 8, 88, 201, 65, "Boot Control")
    label(g, "BootControlLabel", 12, 29, "Boot temperature")
    combo(g, "BootTempComboBox", 120, 26, 65, 19, BOOT_TEMPERATURES, current=33)

    g = group(p, "TempFormatGroupBox", 224, 88, 201, 65, "Temperature Format")
    radio(g, "CelsiusRadioButton", 16, 25, 78, 17, "Celsius", checked=True)
    radio(g, "FahrenheitRadioButton", 101, 26, 87, 17, "Fahrenheit")

    g = group(p, "TotalGroupBox", 8, 160, 201, 65, "Total")
    label(g, "TotalHourlabel", 13, 26, "Operation hours")
    panel(g, "OperHours", 112, 23, 72, 24, "-1")

    # At 225 rather than 224, where it would overlap "Total" (160 + 65) by one pixel.
    g = group(p, "HeaterComboBox", 8, 225, 417, 89, "Heater Control", visible=False,
              enabled=False)
    label(g, "EffectLabel", 28, 48, "Effect")
    label(g, "ZeroEffectLabel", 128, 48, "0%")
    slider(g, "HeatingSlider", 153, 44, 129, 25, 0, 10, 10, 1, 1)
    label(g, "Effect100Label", 288, 48, "100%")
    label(g, "HeaterReduceLabel", 192, 19, "Remaning time heating is reduced", enabled=False)
    panel(g, "HeatingTimerPanel", 344, 45, 57, 27, "0 Min", colour=GREEN)


def rtc_page(tabs):
    # The schedule page is never shown (its tab is hidden and the page disabled); its layout is
    # kept tidy all the same.
    p = page(tabs, "TabSheet3", "RTC", enabled=False)

    g = group(p, "GroupBox7", 8, 8, 417, 81, "Set Vexo-control ", enabled=False)
    label(g, "Label25", 16, 28, "Date ")
    panel(g, "SetupDate", 64, 24, 129, 24, "2002 - 10 - 18")
    label(g, "Label26", 64, 54, "yyyy-mm-dd")
    label(g, "Label27", 224, 28, "Time")
    panel(g, "SetupTime", 272, 24, 129, 24, "10 : 52 : 35")
    label(g, "Label28", 272, 54, "hour:min:sec")

    g = group(p, "GroupBox8", 8, 96, 417, 217, "Auto-startup", enabled=False)
    label(g, "Label39", 16, 22, "active")
    label(g, "Label31", 64, 22, "day of week")
    label(g, "Label32", 264, 22, "hour  :  min")
    days = ["Monday", "Tuesday", "Wednesday", "Thursday", "Friday"]
    hours = [f"{h:02d}" for h in range(24)]
    minutes = [f"{m:02d}" for m in range(60)]
    for row, day in enumerate(days):
        y = 44 + row * 33
        check_box(g, f"{day}CheckBox", 24, y + 4, 17, 17, enabled=False)
        panel(g, day, 64, y, 129, 24, day, enabled=False)
        label(g, f"{day}Time", 208, y + 5, "Time", enabled=False)
        combo(g, f"{day}Hour", 264, y + 2, 57, 21, hours, editable=True, enabled=False,
              edit_text="hour")
        combo(g, f"{day}Min", 336, y + 2, 57, 21, minutes, editable=True, enabled=False,
              edit_text="min")


# --- the window ----------------------------------------------------------------------------------


def build():
    ui = ET.Element("ui", version="4.0")
    sub(ui, "class", "TForm1")
    window = widget(ui, "QMainWindow", "TForm1")
    prop_rect(window, 556, 196, 453, 385)
    prop_size(window, "minimumSize", 453, 385)
    prop_size(window, "maximumSize", 453, 385)
    prop_string(window, "windowTitle", "Tarvik II Control Centre 1.23")
    prop_string(window, "styleSheet", style_sheet(), notr=True)

    central = widget(window, "QWidget", "centralWidget")
    tabs = widget(central, "QTabWidget", "PageControl1")
    prop_rect(tabs, 8, 8, 441, 353)
    prop_number(tabs, "currentIndex", 0)
    prop_bool(tabs, "usesScrollButtons", False)
    system_page(tabs)
    setup_page(tabs)
    display_page(tabs)
    misc_page(tabs)
    rtc_page(tabs)

    status = widget(window, "QStatusBar", "MainStatusBar")
    prop_size(status, "minimumSize", 0, 19)
    prop_size(status, "maximumSize", 16777215, 19)
    prop_bool(status, "sizeGripEnabled", False)

    custom = sub(sub(ui, "customwidgets"), "customwidget")
    sub(custom, "class", "LoadGraph")
    sub(custom, "extends", "QWidget")
    sub(custom, "header", "ui/LoadGraph.h")
    sub(ui, "resources")
    sub(ui, "connections")
    return ui


def bold_fonts(ui):
    """Marks the bold captions in the widgets' own font as well as in the style sheet."""
    for element in ui.iter("widget"):
        if element.get("name") in BOLD_OBJECTS:
            font = sub(prop(element, "font"), "font")
            sub(font, "bold", "true")


def main():
    root = Path(__file__).resolve().parent.parent
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else root / "src" / "ui" / "TForm1.ui"
    ui = build()
    bold_fonts(ui)
    ET.indent(ui, space=" ")
    text = ET.tostring(ui, encoding="unicode")
    out.write_text('<?xml version="1.0" encoding="UTF-8"?>\n' + text + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
