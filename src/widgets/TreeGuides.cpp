#include "widgets/TreeGuides.h"

TreeGuides::TreeGuides(int depth, QWidget *parent) : QWidget(parent), depth_(depth)
{
    setFixedSize(std::max(depth, 0) * indentPerLevel, rowHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}
