#include "datapanel/ConnectionEditorState.h"
#include "datapanel/DataPanelCardMakers.h"
#include "datapanel/DataPanelCards.h"
#include "datapanel/DataPanelView.h"
#include "datapanel/OutcomeText.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/SidecarModel.h"
#include "model/FreshName.h"
#include "widgets/CardText.h"
#include "widgets/DataRowButtons.h"
#include "widgets/DisabledWhile.h"
#include "widgets/InspectorRows.h"
#include "widgets/Spinner.h"
#include "widgets/SymbolIcons.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString cardName = DataPanelCards::objectName(DataPanelCard::connections);

// A symbol drawn in the text colour, painted anew when the appearance switches.
class SymbolLabel : public QLabel {
public:
    SymbolLabel(const QString &symbol, QWidget *parent) : QLabel(parent), symbol_(symbol)
    {
        setProperty(SymbolIcons::symbolProperty, symbol);
        paintSymbol();
    }

protected:
    void changeEvent(QEvent *event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::PaletteChange)
            paintSymbol();
    }

private:
    void paintSymbol()
    {
        setPixmap(SymbolIcons::tintedPixmap(symbol_, QSize(16, 16), devicePixelRatioF(),
                                            palette().color(QPalette::WindowText)));
    }

    QString symbol_;
};

// The card's content: the report's choice of preset, a row per preset with its test, edit and
// remove, and "Add Connection...". The presets are the application's; only the choice belongs
// to the report, and choosing never marks the report as changed.
class ConnectionsSection : public DataPanelPart {
public:
    static constexpr int pickerWidth = 320;

    ConnectionsSection(const DataPanelContext &context, QWidget *parent);

    void refresh() override;

private:
    struct Row {
        QUuid id;
        QWidget *widget;
        QPushButton *test;
        Spinner *spinner;
        OutcomeText *result;
    };

    void showPresets();
    void showActive();
    void showEngineState();
    Row connectionRow(const DatabaseConnection &connection, int index);
    std::optional<DatabaseConnection> preset(const QUuid &id) const;
    // The preset's stored password, read with the card's controls disabled: the keychain may
    // keep the caller waiting in a local event loop.
    KeychainHelper::Read storedPassword(const QUuid &id);
    void test(const QUuid &id);
    void edit(const QUuid &id);
    void remove(const QUuid &id);

    DataPanelContext context_;
    ConnectionPresetStore &connections_;
    QVBoxLayout *column_;
    QComboBox *picker_;
    QList<Row> rows_;
};

ConnectionsSection::ConnectionsSection(const DataPanelContext &context, QWidget *parent)
    : DataPanelPart(parent), context_(context), connections_(*context.connections)
{
    setObjectName(cardName + u".content"_s);
    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(10);

    // The pop-up itself is 320 points wide, so that its first item shows whole beside the label.
    auto *pickerRow = new QWidget(this);
    auto *pickerLayout = new QHBoxLayout(pickerRow);
    pickerLayout->setContentsMargins(0, 0, 0, 0);
    auto *pickerLabel = new QLabel(u"Active for this report"_s, pickerRow);
    picker_ = new QComboBox(pickerRow);
    picker_->setObjectName(cardName + u".active"_s);
    picker_->setAccessibleName(pickerLabel->text());
    pickerLabel->setBuddy(picker_);
    pickerLayout->addWidget(pickerLabel);
    picker_->setFixedWidth(pickerWidth);
    pickerLayout->addWidget(picker_);
    pickerLayout->addStretch(1);
    connect(picker_, &QComboBox::activated, this, [this](int index) {
        if (!context_.store)
            return;
        const QVariant id = picker_->itemData(index);
        context_.store->setActiveConnectionID(id.isValid() ? std::optional(id.toUuid())
                                                           : std::nullopt);
    });
    column_->addWidget(pickerRow);

    QPushButton *add = DataRowButtons::addButton(
        u"Add Connection..."_s,
        [this] {
            if (context_.sidecar)
                context_.sidecar->clearConnectionTestResult();
            context_.panel->connectionEditor().startAdding(namesOf(connections_.connections()));
        },
        this);
    add->setObjectName(cardName + u".add"_s);
    column_->addWidget(add);

    for (auto changed : {&ConnectionPresetStore::connectionsChanged,
                         &ConnectionPresetStore::sessionPasswordsChanged})
        connect(&connections_, changed, this, &ConnectionsSection::showPresets);
    if (context_.store)
        connect(context_.store, &DocumentStore::activeConnectionIDChanged, this,
                &ConnectionsSection::showActive);
    if (SidecarModel *sidecar = context_.sidecar)
        for (auto changed :
             {&SidecarModel::isBusyChanged, &SidecarModel::isTestingConnectionChanged,
              &SidecarModel::testedConnectionIDChanged, &SidecarModel::connectionTestResultChanged})
            connect(sidecar, changed, this, &ConnectionsSection::showEngineState);
    showPresets();
}

void ConnectionsSection::refresh()
{
    showActive();
    showEngineState();
}

void ConnectionsSection::showPresets()
{
    const QList<DatabaseConnection> &presets = connections_.connections();
    {
        const QSignalBlocker blocker(picker_);
        picker_->clear();
        picker_->addItem(u"None (static / empty data source)"_s);
        for (const DatabaseConnection &preset : presets)
            picker_->addItem(preset.name, preset.id);
    }
    // The rows are made anew; a row whose button is being clicked leaves after the click, and
    // gives up its names at once to the row that takes its place.
    for (const Row &row : std::as_const(rows_)) {
        row.widget->hide();
        row.widget->setObjectName(QString());
        for (QObject *part : row.widget->findChildren<QObject *>())
            part->setObjectName(QString());
        row.widget->deleteLater();
    }
    rows_.clear();
    for (int i = 0; i < presets.size(); ++i) {
        rows_.append(connectionRow(presets[i], i));
        column_->insertWidget(1 + i, rows_.back().widget);
    }
    refresh();
}

void ConnectionsSection::showActive()
{
    const std::optional<QUuid> active =
        context_.store ? context_.store->activeConnectionID() : std::nullopt;
    // A chosen preset that no longer exists shows no item as chosen.
    InspectorRows::showIndex(picker_, active ? picker_->findData(*active) : 0);
}

void ConnectionsSection::showEngineState()
{
    const SidecarModel *sidecar = context_.sidecar;
    for (const Row &row : std::as_const(rows_)) {
        const bool tested = sidecar && sidecar->testedConnectionID() == row.id;
        row.test->setEnabled(sidecar && !sidecar->isBusy());
        row.spinner->setVisible(tested && sidecar->isTestingConnection());
        const std::optional<QString> result =
            tested ? sidecar->connectionTestResult() : std::optional<QString>();
        row.result->showOutcome(result, OutcomeText::isTestSuccess(result));
    }
}

ConnectionsSection::Row ConnectionsSection::connectionRow(const DatabaseConnection &connection,
                                                          int index)
{
    const QString name = cardName + u".row"_s + QString::number(index);
    auto *row = new QWidget(this);
    row->setObjectName(name);
    auto *lines = new QVBoxLayout(row);
    lines->setContentsMargins(0, 2, 0, 2);
    lines->setSpacing(3);

    auto *first = new QHBoxLayout;
    first->addWidget(new SymbolLabel(u"cylinder.split.1x2"_s, row));

    auto *texts = new QVBoxLayout;
    texts->setSpacing(1);
    auto *title = new QLabel(connection.name, row);
    title->setObjectName(name + u".name"_s);
    title->setTextFormat(Qt::PlainText);
    QFont titleFont = CardText::sized(title->font(), CardText::bodyPointSize);
    titleFont.setWeight(QFont::Medium);
    title->setFont(titleFont);
    texts->addWidget(title);
    auto *detail = new QLabel(connectionDetail(connection), row);
    detail->setObjectName(name + u".detail"_s);
    detail->setTextFormat(Qt::PlainText);
    detail->setFont(CardText::sized(detail->font(), CardText::caption2PointSize));
    CardText::makeSecondary(detail);
    texts->addWidget(detail);
    first->addLayout(texts);
    first->addStretch(1);

    const QUuid id = connection.id;
    const auto captionButton = [&](const QString &text, const QString &part) {
        auto *button = new QPushButton(text, row);
        button->setObjectName(name + u'.' + part);
        button->setFont(CardText::sized(button->font(), CardText::captionPointSize));
        button->setAutoDefault(false);
        return button;
    };
    QPushButton *testButton = captionButton(u"Test"_s, u"test"_s);
    connect(testButton, &QPushButton::clicked, this, [this, id] { test(id); });
    first->addWidget(testButton);
    auto *spinner = new Spinner(14, row);
    spinner->setObjectName(name + u".spinner"_s);
    spinner->hide();
    first->addWidget(spinner);
    QPushButton *editButton = captionButton(u"Edit"_s, u"edit"_s);
    connect(editButton, &QPushButton::clicked, this, [this, id] { edit(id); });
    first->addWidget(editButton);
    QToolButton *removeButton = DataRowButtons::removeButton(
        context_.store,
        [section = QPointer<ConnectionsSection>(this), id] {
            if (section)
                section->remove(id);
            return true;
        },
        row);
    removeButton->setObjectName(name + u".remove"_s);
    first->addWidget(removeButton);
    lines->addLayout(first);

    if (const std::optional<QString> reason = connections_.sessionOnlyReason(id)) {
        auto *note = new QLabel(ConnectionPresetStore::sessionOnlyNote(*reason), row);
        note->setObjectName(name + u".sessionOnly"_s);
        note->setTextFormat(Qt::PlainText);
        note->setWordWrap(true);
        note->setFont(CardText::sized(note->font(), CardText::caption2PointSize));
        CardText::makeSecondary(note);
        lines->addWidget(note);
    }
    auto *result = new OutcomeText(row);
    result->setObjectName(name + u".result"_s);
    lines->addWidget(result);
    return {id, row, testButton, spinner, result};
}

std::optional<DatabaseConnection> ConnectionsSection::preset(const QUuid &id) const
{
    for (const DatabaseConnection &connection : connections_.connections())
        if (connection.id == id)
            return connection;
    return std::nullopt;
}

KeychainHelper::Read ConnectionsSection::storedPassword(const QUuid &id)
{
    const DisabledWhile waiting({this});
    return connections_.readPassword(id);
}

void ConnectionsSection::test(const QUuid &id)
{
    const std::optional<DatabaseConnection> stored = preset(id);
    if (!stored || !context_.sidecar || context_.sidecar->isBusy())
        return;
    const QPointer<ConnectionsSection> self(this);
    const KeychainHelper::Read read = storedPassword(id);
    if (!self || !context_.sidecar || context_.sidecar->isBusy() ||
        read.failure == KeychainHelper::Failure::cancelled)
        return;
    context_.sidecar->testConnection(*stored, read.password.value_or(QString()), nullptr, {}, read);
}

void ConnectionsSection::edit(const QUuid &id)
{
    const std::optional<DatabaseConnection> stored = preset(id);
    if (!stored)
        return;
    const QPointer<ConnectionsSection> self(this);
    const KeychainHelper::Read read = storedPassword(id);
    if (!self)
        return;
    if (context_.sidecar)
        context_.sidecar->clearConnectionTestResult();
    context_.panel->connectionEditor().startEditing(*stored, read.password.value_or(QString()),
                                                    read.error);
}

void ConnectionsSection::remove(const QUuid &id)
{
    const QPointer<DocumentStore> store = context_.store;
    {
        const DisabledWhile waiting({this});
        connections_.remove(id);
    }
    if (store && store->activeConnectionID() == id)
        store->setActiveConnectionID(std::nullopt);
}

} // namespace

DataPanelPart *makeConnectionsCard(const DataPanelContext &context, QWidget *parent)
{
    // A window without connection presets has nothing to choose from or to edit.
    if (!context.connections || !context.panel)
        return nullptr;
    return new ConnectionsSection(context, parent);
}
