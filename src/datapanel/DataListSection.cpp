#include "datapanel/DataListSection.h"

#include "datapanel/KeyedColumn.h"
#include "widgets/CardSection.h"
#include "widgets/DataRowButtons.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DataListRow::DataListRow(const QUuid &id, DocumentStore *store,
                         std::function<void(int offset)> move, std::function<bool()> remove,
                         QWidget *parent)
    : DataRowCard(parent), id_(id), row_(new QHBoxLayout),
      moveButtons_(new MoveButtons(std::move(move), this)),
      removeButton_(DataRowButtons::removeButton(store, std::move(remove), this))
{
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(controlSpacing);
    row_->addStretch(0);
    row_->addWidget(moveButtons_);
    row_->addWidget(removeButton_);
    setContent(row_);
    named_ = {{moveButtons_->up(), u"up"_s},
              {moveButtons_->down(), u"down"_s},
              {removeButton_, u"remove"_s}};
}

void DataListRow::addControl(QWidget *control, const QString &name, int stretch)
{
    row_->insertWidget(controlCount_++, control, stretch);
    named_.append({control, name});
}

void DataListRow::setRefresh(std::function<void(const ReportDocument &)> refresh)
{
    refresh_ = std::move(refresh);
}

void DataListRow::refresh(const ReportDocument &document)
{
    if (refresh_)
        refresh_(document);
}

void DataListRow::setPlace(const QString &cardName, int index, int count)
{
    const QString name = cardName + u".row"_s + QString::number(index);
    setObjectName(name);
    for (const auto &[control, suffix] : named_)
        if (control)
            control->setObjectName(name + u'.' + suffix);
    moveButtons_->setPlace(index, count);
}

std::function<bool(const QUuid &)>
DataListSpec::askingBeforeRemoving(const DataPanelContext &context,
                                   RemovalQuestions::Declaration declaration)
{
    return [store = context.store, dialogs = context.dialogs, declaration](const QUuid &id) {
        return store && RemovalQuestions::mayRemove(dialogs, *store, declaration, id);
    };
}

std::function<bool(const QUuid &)>
DataListSpec::askingBeforeDeleting(const DataPanelContext &context, ReportReferences::Kind kind)
{
    return [store = context.store, dialogs = context.dialogs, kind](const QUuid &id) {
        return store && RemovalQuestions::mayDelete(dialogs, *store, kind, id);
    };
}

DataListSection::DataListSection(DocumentStore *store, DataListSpec spec, QWidget *parent)
    : DataPanelPart(parent), store_(store), spec_(std::move(spec)), column_(new QVBoxLayout(this)),
      rowColumn_(new QVBoxLayout)
{
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(CardSection::spacing);
    rowColumn_->setContentsMargins(0, 0, 0, 0);
    rowColumn_->setSpacing(CardSection::spacing);
    column_->addLayout(rowColumn_);
    addButton_ = DataRowButtons::addButton(
        spec_.addTitle,
        [this] {
            if (store_ && spec_.operations.add)
                (store_->*spec_.operations.add)();
        },
        this);
    addButton_->setObjectName(spec_.cardName + u".add"_s);
    column_->addWidget(addButton_, 0, Qt::AlignLeft);
    refresh();
}

DataListRow *DataListSection::makeRow(const QUuid &id)
{
    auto *row = new DataListRow(
        id, store_,
        [this, id](int offset) {
            if (store_ && spec_.move)
                spec_.move(*store_, id, offset);
        },
        [this, id] {
            if (!store_ || !spec_.operations.remove || (spec_.mayRemove && !spec_.mayRemove(id)))
                return false;
            (store_->*spec_.operations.remove)(id);
            return true;
        },
        this);
    if (spec_.buildRow)
        spec_.buildRow(*row);
    return row;
}

void DataListSection::refresh()
{
    if (!store_)
        return;
    const ReportDocument &document = store_->document();
    const QList<QUuid> ids = spec_.ids(document);

    syncKeyedColumn<DataListRow>(rowColumn_, rowsByID_, rows_, ids,
                                 [this](const QUuid &id) { return makeRow(id); });
    const int count = int(rows_.size());
    for (int i = 0; i < count; ++i) {
        rows_[i]->setPlace(spec_.cardName, i, count);
        rows_[i]->refresh(document);
    }
}
