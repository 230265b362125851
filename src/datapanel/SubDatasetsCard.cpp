#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/DataPanelCards.h"
#include "datapanel/KeyedColumn.h"
#include "datapanel/RemovalQuestions.h"
#include "editors/CodeEditorView.h"
#include "editors/SQLSyntaxHighlighter.h"
#include "edits/DataListEdits.h"
#include "widgets/CardText.h"
#include "widgets/DataRowButtons.h"
#include "widgets/DuplicateNames.h"
#include "widgets/InspectorRows.h"
#include "widgets/LazyRowColumn.h"
#include "widgets/OutlinedBox.h"
#include "widgets/RowControls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QToolButton>
#include <QVBoxLayout>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace {

using DatasetWriter = DataListEdits::RowWriter<ReportSubDataset>;

constexpr int blockLineSpacing = 4;
constexpr int blockBottomSpace = 8;
constexpr int queryHeight = 60;
constexpr int rowSpacing = 8;

QLineEdit *textField(const QString &placeholder, int width, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setPlaceholderText(placeholder);
    field->setFixedWidth(width);
    return field;
}

// One of a sub-dataset's own lists: which list, its caption, its add button's title, the item a
// click on it appends, and what expressions name its items as.
template <typename T> struct InnerListKind {
    QList<T> ReportSubDataset::*list;
    QString caption;  // "Parameters"
    QString addTitle; // "Add Parameter"
    QString name;     // "params": part of the controls' object names
    T (*newItem)(const ReportSubDataset &);
    RemovalQuestions::Declaration declaration;
    QString itemKind; // "parameter", in the warning under a name two items share
};

// An inner line: name and class (a variable also its calculation) and the remove button, with
// the warnings under the name. It writes its item through the sub-dataset's row write, looking
// the item up by id at that time. A removal asks first while what runs the sub-dataset names
// the item, as the report's own lists do.
template <typename T> class InnerLine : public QWidget {
public:
    InnerLine(const DatasetWriter &writer, const InnerListKind<T> &kind, const QUuid &id,
              DocumentStore *store, Dialogs *dialogs, QWidget *parent)
        : QWidget(parent), writer_(writer), list_(kind.list), id_(id)
    {
        const auto list = kind.list;
        auto *lines = new QVBoxLayout(this);
        lines->setContentsMargins(0, 0, 0, 0);
        lines->setSpacing(2);
        auto *line = new QHBoxLayout;
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(rowSpacing);
        lines->addLayout(line);
        nameWarning_ = DuplicateNames::warningLabel(this);
        lines->addWidget(nameWarning_);
        name_ = textField(u"name"_s, 110, this);
        className_ = textField(u"class"_s, 130, this);
        connect(name_, &QLineEdit::textEdited, this,
                [this](const QString &text) { write([&](T &item) { item.name = text; }); });
        connect(className_, &QLineEdit::textEdited, this,
                [this](const QString &text) { write([&](T &item) { item.className = text; }); });
        line->addWidget(name_, 0, Qt::AlignVCenter);
        line->addWidget(className_, 0, Qt::AlignVCenter);
        if constexpr (std::is_same_v<T, ReportVariable>) {
            calculation_ = new QComboBox(this);
            calculation_->addItems(DataListEdits::calculations());
            calculation_->setFixedWidth(110);
            // Scrolling the panel over the picker must not change the calculation.
            RowControls::ignoreWheelUnlessFocused(calculation_);
            connect(calculation_, &QComboBox::activated, this, [this](int index) {
                const QString value = calculation_->itemText(index);
                write([&](T &item) { item.calculation = value; });
            });
            line->addWidget(calculation_, 0, Qt::AlignVCenter);
        }
        remove_ = DataRowButtons::removeButton(
            store,
            [writer = writer_, list, id, store = QPointer<DocumentStore>(store), dialogs,
             declaration = kind.declaration] {
                if (!store ||
                    !RemovalQuestions::mayRemove(dialogs, *store, declaration, id, writer.id()))
                    return false;
                writer.write([&](ReportSubDataset &dataset) {
                    QList<T> &items = dataset.*list;
                    const qsizetype index = DataListEdits::indexOf(items, id);
                    if (index >= 0)
                        items.removeAt(index);
                });
                return true;
            },
            this);
        line->addWidget(remove_, 0, Qt::AlignVCenter);
        line->addStretch(1);
    }

    const QUuid &id() const { return id_; }

    void setPlace(const QString &prefix)
    {
        setObjectName(prefix);
        name_->setObjectName(prefix + u".name"_s);
        className_->setObjectName(prefix + u".class"_s);
        if (calculation_)
            calculation_->setObjectName(prefix + u".calculation"_s);
        remove_->setObjectName(prefix + u".remove"_s);
        nameWarning_->setObjectName(prefix + u".nameWarning"_s);
    }

    // `warnings`: the lines under the name, none when empty.
    void refresh(const T &item, const QStringList &warnings)
    {
        DuplicateNames::showWarning(nameWarning_, warnings.join(u'\n'));
        InspectorRows::showText(name_, item.name);
        InspectorRows::showText(className_, item.className);
        if (calculation_)
            if constexpr (std::is_same_v<T, ReportVariable>)
                InspectorRows::showIndex(calculation_, calculation_->findText(item.calculation));
    }

private:
    void write(const std::function<void(T &)> &change)
    {
        writer_.write([&](ReportSubDataset &dataset) {
            QList<T> &items = dataset.*list_;
            const qsizetype index = DataListEdits::indexOf(items, id_);
            if (index >= 0)
                change(items[index]);
        });
    }

    DatasetWriter writer_;
    QList<T> ReportSubDataset::*list_;
    QUuid id_;
    QLineEdit *name_;
    QLineEdit *className_;
    QComboBox *calculation_ = nullptr;
    QToolButton *remove_;
    QLabel *nameWarning_;
};

// A caption, one line per item of the list in list order (no move buttons), and the add
// button. Adding appends the kind's new item through the sub-dataset's row write, an undo step
// of the sub-dataset's edits.
template <typename T> class InnerList : public QWidget {
public:
    InnerList(const DatasetWriter &writer, const InnerListKind<T> &kind, DocumentStore *store,
              Dialogs *dialogs, QWidget *parent)
        : QWidget(parent), writer_(writer), kind_(kind), store_(store), dialogs_(dialogs),
          lines_(new QVBoxLayout)
    {
        auto *column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(blockLineSpacing);
        auto *caption = new QLabel(kind.caption, this);
        caption->setFont(CardText::sized(font(), CardText::caption2PointSize));
        CardText::makeSecondary(caption);
        column->addWidget(caption);
        lines_->setContentsMargins(0, 0, 0, 0);
        lines_->setSpacing(blockLineSpacing);
        column->addLayout(lines_);
        add_ = DataRowButtons::addButton(
            kind.addTitle,
            [writer = writer_, kind = kind_] {
                writer.write([&](ReportSubDataset &dataset) {
                    (dataset.*kind.list).append(kind.newItem(dataset));
                });
            },
            this);
        add_->setFont(CardText::sized(font(), CardText::caption2PointSize));
        column->addWidget(add_, 0, Qt::AlignLeft);
    }

    void refresh(const ReportDocument &document, const ReportSubDataset &dataset,
                 const QString &prefix)
    {
        const QList<T> &items = dataset.*kind_.list;
        syncKeyedColumn<InnerLine<T>>(
            lines_, byID_, shown_, DataListEdits::ids(items), [this](const QUuid &id) {
                return new InnerLine<T>(writer_, kind_, id, store_, dialogs_, this);
            });
        const QString listName = prefix + u'.' + kind_.name;
        add_->setObjectName(listName + u".add"_s);
        noteRenames(items);
        for (int i = 0; i < shown_.size(); ++i) {
            shown_[i]->setPlace(listName + u".row"_s + QString::number(i));
            if (const T *item = DataListEdits::find(items, shown_[i]->id()))
                shown_[i]->refresh(*item, warningsOf(document, items, *item));
        }
    }

private:
    // Notes the names items had when last shown that they have no more, and forgets those they
    // have again.
    void noteRenames(const QList<T> &items)
    {
        QHash<QUuid, QString> names;
        for (const T &item : items) {
            names.insert(item.id, item.name);
            const QString was = shownNames_.value(item.id, item.name);
            if (was != item.name && !formerNames_.contains(item.id))
                formerNames_.insert(item.id, was);
            else if (formerNames_.value(item.id) == item.name)
                formerNames_.remove(item.id);
        }
        formerNames_.removeIf([&](const QHash<QUuid, QString>::iterator &former) {
            return !names.contains(former.key());
        });
        shownNames_ = std::move(names);
    }

    // The lines under the item's name: another item has its name; what runs the sub-dataset
    // still names it by the name the user renamed it from.
    QStringList warningsOf(const ReportDocument &document, const QList<T> &items, const T &item)
    {
        QStringList warnings;
        if (DuplicateNames::isShared(items, item.name))
            warnings.append(DuplicateNames::warning(kind_.itemKind));
        const auto former = formerNames_.constFind(item.id);
        if (former == formerNames_.cend())
            return warnings;
        const QString renamed = RemovalQuestions::renameWarning(document, kind_.declaration,
                                                                item.id, *former, writer_.id());
        // Once nothing names the former name, a later rename starts from the name it has then.
        if (renamed.isEmpty())
            formerNames_.remove(item.id);
        else
            warnings.append(renamed);
        return warnings;
    }

    DatasetWriter writer_;
    InnerListKind<T> kind_;
    QPointer<DocumentStore> store_;
    Dialogs *dialogs_;
    QVBoxLayout *lines_;
    QPushButton *add_;
    QHash<QUuid, InnerLine<T> *> byID_;
    QList<InnerLine<T> *> shown_;
    // The names the items had when last shown, and those they had before the user renamed them
    // while expressions name them so.
    QHash<QUuid, QString> shownNames_;
    QHash<QUuid, QString> formerNames_;
};

// One sub-dataset: its name line with the move and remove buttons, its query in the SQL code
// editor, and its parameters, fields and variables. The query language is never shown or
// written. Every edit goes through the sub-dataset's row write.
class SubDatasetBlock : public QWidget {
public:
    SubDatasetBlock(DocumentStore *store, Dialogs *dialogs, const QUuid &id, QWidget *parent)
        : QWidget(parent), writer_(store, &ReportDocument::subDatasets, id)
    {
        auto *column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, blockBottomSpace);
        column->setSpacing(blockLineSpacing);

        auto *nameLine = new QHBoxLayout;
        nameLine->setSpacing(rowSpacing);
        name_ = textField(u"name"_s, 130, this);
        connect(name_, &QLineEdit::textEdited, this, [this](const QString &text) {
            writer_.write([&](ReportSubDataset &dataset) { dataset.name = text; });
        });
        nameLine->addWidget(name_, 0, Qt::AlignVCenter);
        QPointer<DocumentStore> guarded(store);
        moveButtons_ = new MoveButtons(
            [guarded, id](int offset) {
                if (guarded)
                    DataListEdits::moveRow(*guarded, &ReportDocument::subDatasets,
                                           DataListOperations::subDatasets(), id, offset);
            },
            this);
        moveButtons_->setFont(CardText::sized(font(), CardText::captionPointSize));
        nameLine->addWidget(moveButtons_, 0, Qt::AlignVCenter);
        remove_ = DataRowButtons::removeButton(
            store,
            [guarded, dialogs, id] {
                if (!guarded || !RemovalQuestions::mayDelete(
                                    dialogs, *guarded, ReportReferences::Kind::subDataset, id))
                    return false;
                guarded->removeSubDataset(id);
                return true;
            },
            this);
        nameLine->addWidget(remove_, 0, Qt::AlignVCenter);
        nameLine->addStretch(1);
        column->addLayout(nameLine);
        nameWarning_ = DuplicateNames::warningLabel(this);
        column->addWidget(nameWarning_);

        // The editor writes only once it holds the query (refresh()): while it is still empty,
        // a re-highlight as it settles into its box would hand back an empty text.
        query_ = new CodeEditorView(SQLSyntaxHighlighter::scheme(), true, {}, nullptr);
        auto *box = new OutlinedBox(query_, this);
        box->setFixedHeight(queryHeight);
        column->addWidget(box);

        using Declaration = RemovalQuestions::Declaration;
        parameters_ = new InnerList<ReportParameter>(
            writer_,
            {&ReportSubDataset::parameters, u"Parameters"_s, u"Add Parameter"_s, u"params"_s,
             DataListDefaults::subDatasetParameter, Declaration::parameter, u"parameter"_s},
            store, dialogs, this);
        fields_ = new InnerList<ReportField>(
            writer_,
            {&ReportSubDataset::fields, u"Fields"_s, u"Add Field"_s, u"fields"_s,
             DataListDefaults::subDatasetField, Declaration::field, u"field"_s},
            store, dialogs, this);
        variables_ = new InnerList<ReportVariable>(
            writer_,
            {&ReportSubDataset::variables, u"Variables"_s, u"Add Variable"_s, u"variables"_s,
             DataListDefaults::subDatasetVariable, Declaration::variable, u"variable"_s},
            store, dialogs, this);
        column->addWidget(parameters_);
        column->addWidget(fields_);
        column->addWidget(variables_);
    }

    const QUuid &id() const { return writer_.id(); }

    void setPlace(const QString &prefix, int index, int count)
    {
        prefix_ = prefix;
        setObjectName(prefix);
        name_->setObjectName(prefix + u".name"_s);
        moveButtons_->up()->setObjectName(prefix + u".up"_s);
        moveButtons_->down()->setObjectName(prefix + u".down"_s);
        moveButtons_->setPlace(index, count);
        remove_->setObjectName(prefix + u".remove"_s);
        query_->setObjectName(prefix + u".query"_s);
        nameWarning_->setObjectName(prefix + u".nameWarning"_s);
    }

    // The editor's text is replaced only when it differs, so typing in it keeps its focus and
    // caret while the document changes under it.
    void refresh(const ReportDocument &document, const ReportSubDataset &dataset, bool nameShared)
    {
        InspectorRows::showText(name_, dataset.name);
        DuplicateNames::showWarning(
            nameWarning_, nameShared ? DuplicateNames::warning(u"sub-dataset"_s) : QString());
        query_->setText(dataset.queryString);
        if (!queryWrites_) {
            queryWrites_ = true;
            connect(query_, &CodeEditorView::textEdited, this, [this](const QString &text) {
                writer_.write([&](ReportSubDataset &dataset) { dataset.queryString = text; });
            });
        }
        parameters_->refresh(document, dataset, prefix_);
        fields_->refresh(document, dataset, prefix_);
        variables_->refresh(document, dataset, prefix_);
    }

private:
    DatasetWriter writer_;
    QString prefix_;
    QLineEdit *name_;
    QLabel *nameWarning_;
    MoveButtons *moveButtons_;
    QToolButton *remove_;
    CodeEditorView *query_;
    bool queryWrites_ = false;
    InnerList<ReportParameter> *parameters_;
    InnerList<ReportField> *fields_;
    InnerList<ReportVariable> *variables_;
};

// One block per sub-dataset in document order, keyed by id and built when it comes near view,
// and "Add Subdataset" under them.
class SubDatasetsSection : public DataPanelPart {
public:
    SubDatasetsSection(DocumentStore *store, Dialogs *dialogs, QWidget *parent)
        : DataPanelPart(parent), store_(store), dialogs_(dialogs),
          blocks_(new LazyRowColumn(
              0,
              [this](const QUuid &id) {
                  return new SubDatasetBlock(store_, dialogs_, id, blocks_);
              },
              this))
    {
        auto *column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        column->addWidget(blocks_);
        connect(blocks_, &LazyRowColumn::rowMade, this, [this](qsizetype index, QWidget *block) {
            showBlock(int(index), static_cast<SubDatasetBlock *>(block));
        });
        QPushButton *add = DataRowButtons::addButton(
            u"Add Subdataset"_s,
            [this] {
                if (store_)
                    store_->addSubDataset();
            },
            this);
        add->setObjectName(cardName() + u".add"_s);
        column->addWidget(add, 0, Qt::AlignLeft);
        refresh();
    }

    // Blocks made while the column takes the new ids show their sub-dataset as they are made;
    // the blocks made before show it anew in place.
    void refresh() override
    {
        if (!store_)
            return;
        const QList<QUuid> ids = DataListEdits::ids(store_->document().subDatasets);
        QSet<QWidget *> madeBefore;
        for (qsizetype i = 0; i < blocks_->count(); ++i)
            if (QWidget *block = blocks_->rowAt(i))
                madeBefore.insert(block);
        blocks_->setRows(ids);
        blocks_->setVisible(!ids.isEmpty());
        for (int i = 0; i < int(blocks_->count()); ++i)
            if (QWidget *block = blocks_->rowAt(i); block && madeBefore.contains(block))
                showBlock(i, static_cast<SubDatasetBlock *>(block));
    }

private:
    static QString cardName() { return DataPanelCards::objectName(DataPanelCard::subDatasets); }

    void showBlock(int index, SubDatasetBlock *block)
    {
        if (!store_)
            return;
        block->setPlace(cardName() + u".row"_s + QString::number(index), index,
                        int(blocks_->count()));
        const QList<ReportSubDataset> &datasets = store_->document().subDatasets;
        if (const ReportSubDataset *dataset = DataListEdits::find(datasets, block->id()))
            block->refresh(store_->document(), *dataset,
                           std::count_if(datasets.cbegin(), datasets.cend(),
                                         [&](const ReportSubDataset &other) {
                                             return other.name == dataset->name;
                                         }) > 1);
    }

    QPointer<DocumentStore> store_;
    Dialogs *dialogs_;
    LazyRowColumn *blocks_;
};

} // namespace

DataPanelPart *makeSubDatasetsCard(const DataPanelContext &context, QWidget *parent)
{
    return new SubDatasetsSection(context.store, context.dialogs, parent);
}
