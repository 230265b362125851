#include "datapanel/ConnectionEditorSheet.h"

#include "datapanel/ConnectionEditorState.h"
#include "datapanel/DataPanelView.h"
#include "datapanel/OutcomeText.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/SidecarModel.h"
#include "widgets/CardText.h"
#include "widgets/DisabledWhile.h"
#include "widgets/InspectorRows.h"
#include "widgets/SegmentButton.h"
#include "widgets/SheetDialog.h"
#include "widgets/SheetHeader.h"
#include "widgets/Spinner.h"
#include "widgets/WheelGuard.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString sheetName = u"connectionEditor"_s;

// A row of the form: its label in a column of its own, right-aligned, then the controls. A filled
// text field shows no placeholder, so every field is named beside it.
QWidget *labelled(const QString &label, std::initializer_list<QWidget *> controls, QWidget *parent,
                  bool stretches = true)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *name = new QLabel(label, row);
    name->setFixedWidth(76);
    name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(name);
    for (QWidget *control : controls)
        layout->addWidget(control, stretches && control == *controls.begin() ? 1 : 0);
    if (!stretches)
        layout->addStretch(1);
    return row;
}

} // namespace

ConnectionEditorView::ConnectionEditorView(ConnectionEditorState &state,
                                           const DataPanelContext &context, QWidget *parent)
    : QWidget(parent), state_(state), context_(context)
{
    setObjectName(sheetName);
    setFixedWidth(sheetWidth);
    // Scrolling the sheet changes none of its pickers and spin boxes.
    WheelGuard::guardPanel(this);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(12);

    title_ = sheetTitle(QString(), this);
    title_->setObjectName(sheetName + u".title"_s);
    column->addWidget(title_);

    name_ = connectionField(u"name"_s, u"Name"_s, &DatabaseConnection::name);
    column->addWidget(labelled(u"Name"_s, {name_}, this));

    type_ = new QComboBox(this);
    type_->setObjectName(sheetName + u".type"_s);
    for (DatabaseType type : allCases<DatabaseType>())
        type_->addItem(databaseTypeTitle(type), rawValue(type));
    connect(type_, &QComboBox::activated, this, [this](int index) {
        const auto type = enumFromRaw<DatabaseType>(type_->itemData(index).toString());
        if (type)
            editConnection([&](DatabaseConnection &c) { c.type = *type; });
    });
    column->addWidget(labelled(u"Type"_s, {type_}, this, false));

    auto *segments = new QWidget(this);
    segments->setFixedWidth(180);
    auto *segmentRow = new QHBoxLayout(segments);
    segmentRow->setContentsMargins(0, 0, 0, 0);
    segmentRow->setSpacing(0);
    input_ = new QButtonGroup(this);
    for (ConnectionInputMode mode : allCases<ConnectionInputMode>()) {
        auto *segment = new SegmentButton(segments);
        segment->setObjectName(sheetName + u".input."_s + rawValue(mode).toLower());
        segment->setText(rawValue(mode));
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        segment->setCheckable(true);
        input_->addButton(segment, int(mode));
        segmentRow->addWidget(segment, 1);
    }
    connect(input_, &QButtonGroup::idClicked, this,
            [this](int id) { state_.chooseInputMode(ConnectionInputMode(id)); });
    column->addWidget(labelled(u"Input"_s, {segments}, this, false));

    fieldsBlock_ = new QWidget(this);
    fieldsBlock_->setObjectName(sheetName + u".fields"_s);
    auto *fields = new QVBoxLayout(fieldsBlock_);
    fields->setContentsMargins(0, 0, 0, 0);
    fields->setSpacing(12);
    host_ = connectionField(u"host"_s, u"Host"_s, &DatabaseConnection::host);
    port_ = lineEdit(u"port"_s, u"Port"_s);
    port_->setFixedWidth(80);
    // The port reads as an integer of the user's locale; other text leaves it as it was, and
    // the field shows the port again when the user leaves it.
    connect(port_, &QLineEdit::textEdited, this, [this](const QString &text) {
        bool ok = false;
        const qint64 port = QLocale().toLongLong(text.trimmed(), &ok);
        if (ok)
            editConnection([&](DatabaseConnection &c) { c.port = port; });
    });
    connect(port_, &QLineEdit::editingFinished, this, &ConnectionEditorView::showPort);
    fields->addWidget(
        labelled(u"Host"_s, {host_, new QLabel(u"Port"_s, fieldsBlock_), port_}, fieldsBlock_));
    database_ = connectionField(u"database"_s, u"Database"_s, &DatabaseConnection::database);
    fields->addWidget(labelled(u"Database"_s, {database_}, fieldsBlock_));
    column->addWidget(fieldsBlock_);

    urlBlock_ = new QWidget(this);
    urlBlock_->setObjectName(sheetName + u".urlBlock"_s);
    auto *urlColumn = new QVBoxLayout(urlBlock_);
    urlColumn->setContentsMargins(0, 0, 0, 0);
    urlColumn->setSpacing(4);
    url_ = lineEdit(u"url"_s, u"jdbc:postgresql://host:port/database"_s);
    url_->setAccessibleName(url_->placeholderText());
    connect(url_, &QLineEdit::textEdited, &state_, &ConnectionEditorState::setUrlText);
    apply_ = sheetButton(u"Apply"_s, sheetName, u"apply"_s, urlBlock_);
    connect(apply_, &QPushButton::clicked, &state_, &ConnectionEditorState::applyURL);
    urlColumn->addWidget(labelled(u"URL"_s, {url_, apply_}, urlBlock_));
    urlMessage_ = new OutcomeText(urlBlock_);
    urlMessage_->setObjectName(sheetName + u".urlMessage"_s);
    urlColumn->addWidget(urlMessage_);
    QLabel *help = CardText::note(u"Paste a JDBC URL - e.g. copied straight out of DataGrip's "
                                  u"connection settings - then click Apply."_s,
                                  urlBlock_, CardText::caption2PointSize);
    help->setObjectName(sheetName + u".urlHelp"_s);
    urlColumn->addWidget(help);
    column->addWidget(urlBlock_);

    username_ = connectionField(u"username"_s, u"Username"_s, &DatabaseConnection::username);
    column->addWidget(labelled(u"Username"_s, {username_}, this));
    password_ = lineEdit(u"password"_s, u"Password"_s);
    password_->setEchoMode(QLineEdit::Password);
    connect(password_, &QLineEdit::textEdited, &state_, &ConnectionEditorState::setPassword);
    column->addWidget(labelled(u"Password"_s, {password_}, this));
    keychainMessage_ = new OutcomeText(this);
    keychainMessage_->setObjectName(sheetName + u".keychainMessage"_s);
    column->addWidget(keychainMessage_);

    auto *testRow = new QHBoxLayout;
    test_ = sheetButton(u"Test Connection"_s, sheetName, u"test"_s, this);
    connect(test_, &QPushButton::clicked, this, &ConnectionEditorView::testConnection);
    spinner_ = new Spinner(14, this);
    spinner_->setObjectName(sheetName + u".spinner"_s);
    testRow->addWidget(test_);
    testRow->addWidget(spinner_);
    testRow->addStretch(1);
    column->addLayout(testRow);
    result_ = new OutcomeText(this);
    result_->setObjectName(sheetName + u".result"_s);
    column->addWidget(result_);

    column->addWidget(horizontalDivider(this));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cancel_ = sheetButton(u"Cancel"_s, sheetName, u"cancel"_s, this);
    connect(cancel_, &QPushButton::clicked, this, [this] { state_.setVisible(false); });
    save_ = sheetButton(u"Save"_s, sheetName, u"save"_s, this);
    save_->setDefault(true);
    connect(save_, &QPushButton::clicked, this, &ConnectionEditorView::save);
    buttons->addWidget(cancel_);
    buttons->addWidget(save_);
    column->addLayout(buttons);

    connect(&state_, &ConnectionEditorState::changed, this, &ConnectionEditorView::refresh);
    if (SidecarModel *sidecar = context_.sidecar)
        for (auto changed :
             {&SidecarModel::isBusyChanged, &SidecarModel::isTestingConnectionChanged,
              &SidecarModel::connectionTestResultChanged})
            connect(sidecar, changed, this, &ConnectionEditorView::showEngineState);
    refresh();
}

QLineEdit *ConnectionEditorView::lineEdit(const QString &name, const QString &placeholder)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(sheetName + u'.' + name);
    edit->setPlaceholderText(placeholder);
    return edit;
}

QLineEdit *ConnectionEditorView::connectionField(const QString &name, const QString &placeholder,
                                                 QString DatabaseConnection::*member)
{
    QLineEdit *edit = lineEdit(name, placeholder);
    connect(edit, &QLineEdit::textEdited, this, [this, member](const QString &text) {
        editConnection([&](DatabaseConnection &c) { c.*member = text; });
    });
    return edit;
}

template <typename Change> void ConnectionEditorView::editConnection(Change change)
{
    DatabaseConnection connection = state_.connection();
    change(connection);
    state_.setConnection(connection);
}

void ConnectionEditorView::refresh()
{
    const DatabaseConnection &connection = state_.connection();
    title_->setText(state_.isNew() ? u"Add Connection"_s : u"Edit Connection"_s);
    InspectorRows::showText(name_, connection.name);
    InspectorRows::showIndex(type_, type_->findData(rawValue(connection.type)));
    const bool urlMode = state_.inputMode() == ConnectionInputMode::url;
    input_->button(int(state_.inputMode()))->setChecked(true);
    fieldsBlock_->setVisible(!urlMode);
    urlBlock_->setVisible(urlMode);
    InspectorRows::showText(host_, connection.host);
    // Text the user is typing that already reads as the port stays as typed.
    bool typed = false;
    if (QLocale().toLongLong(port_->text().trimmed(), &typed) != connection.port || !typed)
        showPort();
    InspectorRows::showText(database_, connection.database);
    InspectorRows::showText(url_, state_.urlText());
    apply_->setEnabled(!state_.urlText().trimmed().isEmpty());
    const std::optional<QString> &message = state_.urlParseMessage();
    urlMessage_->showOutcome(message, message && message->startsWith(u"Parsed"_s));
    InspectorRows::showText(username_, connection.username);
    InspectorRows::showText(password_, state_.password());
    keychainMessage_->showOutcome(state_.keychainMessage(), false);
    showEngineState();
}

void ConnectionEditorView::showPort()
{
    // A port is a number without thousands separators, whatever the locale.
    InspectorRows::showText(port_, QString::number(state_.connection().port));
}

void ConnectionEditorView::showEngineState()
{
    const SidecarModel *sidecar = context_.sidecar;
    test_->setEnabled(sidecar && !sidecar->isBusy());
    spinner_->setVisible(sidecar && sidecar->isTestingConnection());
    const std::optional<QString> result =
        sidecar ? sidecar->connectionTestResult() : std::optional<QString>();
    result_->showOutcome(result, OutcomeText::isTestSuccess(result));
}

void ConnectionEditorView::testConnection()
{
    SidecarModel *sidecar = context_.sidecar;
    if (!sidecar || sidecar->isBusy())
        return;
    // Nothing is stored on success: the tested password stays in the editor until Save, so a
    // cancelled sheet leaves no password behind and keeps the one stored before.
    sidecar->testConnection(state_.connection(), state_.password(), state_.session(), nullptr);
}

void ConnectionEditorView::save()
{
    if (!context_.connections)
        return;
    // Saved: the edits are the stored preset now, and the editor's test may show under it.
    if (context_.sidecar)
        context_.sidecar->keepConnectionTest(state_.session());
    const QPointer<ConnectionEditorView> view(this);
    {
        const DisabledWhile waiting({test_, cancel_, save_});
        state_.save(*context_.connections, context_.store);
    }
    if (view)
        showEngineState();
}

ConnectionEditorSheet *ConnectionEditorSheet::follow(DataPanelView *panel)
{
    return new ConnectionEditorSheet(panel);
}

ConnectionEditorSheet::ConnectionEditorSheet(DataPanelView *panel)
    : PanelInnerSheet(panel), state_(new ConnectionEditorState(this))
{
    connect(state_, &ConnectionEditorState::visibleChanged, this, &ConnectionEditorSheet::setShown);
}

ConnectionEditorView *ConnectionEditorSheet::view() const
{
    return view_;
}

QWidget *ConnectionEditorSheet::makeContent(SheetDialog *dialog)
{
    // The sheet follows its content's height as the input mode and the outcome lines change.
    dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);
    view_ = new ConnectionEditorView(*state_, panel()->context(), dialog);
    return view_;
}

void ConnectionEditorSheet::dismissed()
{
    state_->setVisible(false);
}

void ConnectionEditorSheet::showing()
{
    view_->refresh();
    dialog()->setWindowTitle(view_->title()->text());
    view_->findChild<QLineEdit *>(sheetName + u".name"_s)->setFocus();
}
