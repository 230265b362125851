#include "datapanel/DataListSection.h"

#include "edits/BandLimitRefusal.h"
#include "widgets/CardSection.h"
#include "widgets/CardText.h"
#include "widgets/DataRowButtons.h"
#include "widgets/DuplicateNames.h"
#include "widgets/LazyRowColumn.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DataListRow::DataListRow(const QUuid &id, DocumentStore *store,
                         std::function<void(int offset)> move, std::function<bool()> remove,
                         QWidget *parent)
    : DataRowCard(parent), id_(id), row_(new QHBoxLayout),
      moveButtons_(new MoveButtons(std::move(move), this)),
      removeButton_(DataRowButtons::removeButton(store, std::move(remove), this)),
      nameWarning_(DuplicateNames::warningLabel(this))
{
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(controlSpacing);
    row_->addStretch(0);
    row_->addWidget(moveButtons_);
    row_->addWidget(removeButton_);
    auto *lines = new QVBoxLayout;
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(2);
    lines->addLayout(row_);
    lines->addWidget(nameWarning_);
    setContent(lines);
    named_ = {{moveButtons_->up(), u"up"_s},
              {moveButtons_->down(), u"down"_s},
              {removeButton_, u"remove"_s},
              {nameWarning_, u"nameWarning"_s}};
}

void DataListRow::setNameWarning(const QString &text)
{
    sharedName_ = text;
    QStringList lines{sharedName_, renamed_};
    lines.removeAll(QString());
    DuplicateNames::showWarning(nameWarning_, lines.join(u'\n'));
}

void DataListRow::setRenameWarning(const QString &text)
{
    renamed_ = text;
    setNameWarning(sharedName_);
}

void DataListRow::addControl(QWidget *control, const QString &name, int stretch)
{
    row_->insertWidget(controlCount_++, control, stretch);
    nameControl(control, name);
}

void DataListRow::nameControl(QWidget *control, const QString &name)
{
    named_.append({control, name});
    if (index_ >= 0)
        control->setObjectName(objectName() + u'.' + name);
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
    moveButtons_->setPlace(index, count);
    if (index == index_)
        return;
    index_ = index;
    const QString name = cardName + u".row"_s + QString::number(index);
    setObjectName(name);
    for (const auto &[control, suffix] : named_)
        if (control)
            control->setObjectName(name + u'.' + suffix);
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

std::function<QString(const ReportDocument &, const QUuid &, const QString &)>
DataListSpec::warningOfRenames(RemovalQuestions::Declaration declaration)
{
    return [declaration](const ReportDocument &document, const QUuid &id, const QString &former) {
        return RemovalQuestions::renameWarning(document, declaration, id, former);
    };
}

DataListSection::DataListSection(DocumentStore *store, DataListSpec spec, QWidget *parent)
    : DataPanelPart(parent), store_(store), spec_(std::move(spec)), column_(new QVBoxLayout(this)),
      rowColumn_(new LazyRowColumn(
          CardSection::spacing, [this](const QUuid &id) { return makeRow(id); }, this))
{
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(CardSection::spacing);
    column_->addWidget(rowColumn_);
    connect(rowColumn_, &LazyRowColumn::rowMade, this, [this](qsizetype index, QWidget *row) {
        showRowValues(index, static_cast<DataListRow *>(row));
    });
    addButton_ = DataRowButtons::addButton(
        spec_.addTitle,
        [this] {
            if (!store_ || !spec_.operations.add || (spec_.mayAdd && !spec_.mayAdd()))
                return;
            if (!spec_.lengthUnit) {
                (store_->*spec_.operations.add)();
                return;
            }
            const BandLimitRefusal refusal(*store_, spec_.lengthUnit());
            (store_->*spec_.operations.add)();
            CardText::showWarning(addRefusal_, refusal.words());
        },
        this);
    addButton_->setObjectName(spec_.cardName + u".add"_s);
    column_->addWidget(addButton_, 0, Qt::AlignLeft);
    addRefusal_ = CardText::warning(this);
    addRefusal_->setObjectName(spec_.cardName + u".addRefusal"_s);
    column_->addWidget(addRefusal_);
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
        rowColumn_);
    if (spec_.buildRow)
        spec_.buildRow(*row);
    return row;
}

void DataListSection::showRowValues(qsizetype index, DataListRow *row)
{
    if (!store_)
        return;
    row->setPlace(spec_.cardName, int(index), int(rowColumn_->count()));
    row->refresh(store_->document());
    showNameWarning(index, row);
}

void DataListSection::showNameWarning(qsizetype index, DataListRow *row)
{
    const QString name = names_.value(index);
    QStringList words;
    if (names_.count(name) > 1)
        words.append(DuplicateNames::warning(spec_.itemKind));
    if (store_ && spec_.nameLacks) {
        if (QString lacks = spec_.nameLacks(store_->document(), index); !lacks.isEmpty())
            words.append(std::move(lacks));
    }
    row->setNameWarning(words.join(u'\n'));
    const auto former = formerNames_.constFind(row->id());
    QString renamed;
    if (store_ && spec_.renameWarning && former != formerNames_.cend())
        renamed = spec_.renameWarning(store_->document(), row->id(), *former);
    // Once nothing names the former name, a later rename starts from the name it has then.
    if (renamed.isEmpty())
        formerNames_.remove(row->id());
    row->setRenameWarning(renamed);
}

void DataListSection::noteRenames(const ReportDocument &before, const QList<QUuid> &ids)
{
    if (!spec_.renameWarning || !spec_.names)
        return;
    const QList<QUuid> idsBefore = spec_.ids(before);
    const QStringList namesBefore = spec_.names(before);
    QHash<QUuid, QString> kept;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        const QUuid &id = ids.at(i);
        const QString now = names_.value(i);
        QString former = formerNames_.value(id);
        if (former.isNull()) {
            const qsizetype was = idsBefore.indexOf(id);
            if (was >= 0 && namesBefore.value(was) != now)
                former = namesBefore.value(was);
        }
        if (!former.isNull() && former != now)
            kept.insert(id, former);
    }
    formerNames_ = std::move(kept);
}

QList<DataListRow *> DataListSection::rows() const
{
    QList<DataListRow *> out;
    out.reserve(rowColumn_->count());
    for (qsizetype i = 0; i < rowColumn_->count(); ++i)
        out.append(static_cast<DataListRow *>(rowColumn_->rowAt(i)));
    return out;
}

DataListRow *DataListSection::showRow(int index)
{
    return static_cast<DataListRow *>(rowColumn_->showRow(index));
}

void DataListSection::refresh()
{
    if (!store_)
        return;
    // The report changed since the add that was refused.
    CardText::showWarning(addRefusal_, {});
    const ReportDocument &document = store_->document();
    const QStringList context = spec_.context ? spec_.context(document) : QStringList();
    const bool sameList = spec_.sameList && spec_.sameList(shown_, document);
    const bool everyRow = context != shownContext_;
    if (sameList && !everyRow && rowColumn_->count() > 0) {
        // What names a renamed item's former name may have changed elsewhere in the report.
        for (qsizetype i = 0; i < rowColumn_->count() && !formerNames_.isEmpty(); ++i) {
            auto *row = static_cast<DataListRow *>(rowColumn_->rowAt(i));
            if (row && formerNames_.contains(row->id()))
                showNameWarning(i, row);
        }
        return;
    }
    const QList<QUuid> ids = spec_.ids(document);
    QList<int> shapes;
    if (spec_.shape) {
        shapes.reserve(ids.size());
        for (qsizetype i = 0; i < ids.size(); ++i)
            shapes.append(spec_.shape(document, i));
    }
    const ReportDocument before = std::exchange(shown_, document);
    shownContext_ = context;
    if (spec_.names)
        names_ = spec_.names(document);
    noteRenames(before, ids);
    // Rows made while the column takes the new ids show their values as they are made.
    const QSet<QUuid> madeBefore = [&] {
        QSet<QUuid> made;
        for (qsizetype i = 0; i < rowColumn_->count(); ++i)
            if (rowColumn_->rowAt(i))
                made.insert(rowColumn_->ids().at(i));
        return made;
    }();
    rowColumn_->setRows(ids, shapes);
    rowColumn_->setVisible(!ids.isEmpty());
    const int count = int(rowColumn_->count());
    for (qsizetype i = 0; i < count; ++i) {
        auto *row = static_cast<DataListRow *>(rowColumn_->rowAt(i));
        if (!row || !madeBefore.contains(row->id()))
            continue;
        row->setPlace(spec_.cardName, int(i), count);
        if (everyRow || !spec_.sameItem || !spec_.sameItem(before, document, i, row->id()))
            row->refresh(document);
        showNameWarning(i, row);
    }
}
