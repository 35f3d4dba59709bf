#pragma once

#include <QComboBox>
#include <QStyledItemDelegate>

#include <functional>

// A fixed drop-down list whose items are drawn by a routine of the program, in the open list
// as well as in the closed box. The routine gets a painter whose brush and pen are already the
// colours of a normal or of a highlighted item, the item's index (-1 for an empty closed box)
// and the rectangle to fill.
using DrawListItem = std::function<void(QPainter& painter, int index, const QRect& rect)>;

void MakeOwnerDrawn(QComboBox* list, DrawListItem draw);

// Redraws the closed box and the open list, after what the items show has changed.
void RedrawList(QComboBox* list);
