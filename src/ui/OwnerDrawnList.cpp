#include "ui/OwnerDrawnList.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace {

void UseItemColours(QPainter& painter, const QPalette& palette, bool highlighted) {
    painter.setBrush(highlighted ? palette.highlight() : palette.base());
    painter.setPen(highlighted ? palette.color(QPalette::HighlightedText)
                               : palette.color(QPalette::Text));
}

class OwnerDrawnItems : public QStyledItemDelegate {
public:
    OwnerDrawnItems(DrawListItem draw, QObject* parent)
        : QStyledItemDelegate(parent), draw(std::move(draw)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        painter->setFont(option.font);
        UseItemColours(*painter, option.palette, option.state & QStyle::State_Selected);
        draw(*painter, index.row(), option.rect);
        painter->restore();
    }

private:
    DrawListItem draw;
};

// Paints the closed box: the frame and the arrow by the style, the shown item by the routine.
class OwnerDrawnBox : public QObject {
public:
    OwnerDrawnBox(DrawListItem draw, QComboBox* list) : QObject(list), draw(std::move(draw)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* list = qobject_cast<QComboBox*>(watched);
        if (!list || event->type() != QEvent::Paint)
            return false;
        QStylePainter painter(list);
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = false;
        option.frame = list->hasFrame();
        option.subControls = QStyle::SC_All;
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                          QStyle::SC_ComboBoxEditField, list);
        painter.setFont(list->font());
        UseItemColours(painter, list->palette(), list->hasFocus());
        draw(painter, list->currentIndex(), field);
        return true;
    }

private:
    DrawListItem draw;
};

} // namespace

void MakeOwnerDrawn(QComboBox* list, DrawListItem draw) {
    list->setItemDelegate(new OwnerDrawnItems(draw, list));
    list->installEventFilter(new OwnerDrawnBox(std::move(draw), list));
}

void RedrawList(QComboBox* list) {
    list->update();
    list->view()->viewport()->update();
}
