#include "widgets/TreeGuides.h"

TreeGuides::TreeGuides(int depth, QWidget *parent) : QWidget(parent), depth_(depth)
{
    setFixedSize(width(depth), rowHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}
