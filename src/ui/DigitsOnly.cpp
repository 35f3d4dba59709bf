#include "ui/DigitsOnly.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class DigitsOnlyFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        for (const QChar c : key->text()) {
            if (c.isPrint() && !c.isDigit())
                return true;
        }
        return false;
    }
};

} // namespace

void RestrictToDigits(QAbstractSpinBox* field) {
    if (field->property("digitsOnly").toBool())
        return;
    field->setProperty("digitsOnly", true);
    auto* filter = new DigitsOnlyFilter(field);
    // Keys reach the field itself or, once it has the focus, its text line.
    field->installEventFilter(filter);
    if (auto* line = field->findChild<QLineEdit*>())
        line->installEventFilter(filter);
}
