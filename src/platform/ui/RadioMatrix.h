#pragma once
// A matrix of radio cells: a container widget whose radio buttons carry an integer
// dynamic property "tag" (set in the window description). The cell with a tag is
// selected and read by that tag, as the program's settings store them.

#include <QList>

class QAbstractButton;
class QWidget;

namespace RadioMatrix {

// The buttons inside matrix that have a tag, in window order.
QList<QAbstractButton *> cells(const QWidget *matrix);
// Checks the cell whose tag is tag; nothing changes when no cell has it.
void selectCellWithTag(QWidget *matrix, int tag);
// The tag of the checked cell, or fallback when none is checked.
int selectedTag(const QWidget *matrix, int fallback = 0);

} // namespace RadioMatrix
