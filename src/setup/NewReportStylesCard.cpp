#include "setup/NewReportStylesCard.h"

#include "setup/NewReportCreation.h"
#include "setup/NewReportWizardState.h"
#include "widgets/AppPalettes.h"
#include "widgets/CardText.h"
#include "widgets/DuplicateNames.h"
#include "widgets/StyleCoreEditor.h"
#include "widgets/SymbolIcons.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

NewReportStyleBox::NewReportStyleBox(const QUuid &id, NewReportWizardState &state, QWidget *parent)
    : DataRowCard(parent), id_(id), state_(state),
      editor_(new StyleCoreEditor(
          StyleBinding{[this]() -> std::optional<ReportStyle> {
                           const qsizetype i = index();
                           if (i < 0)
                               return std::nullopt;
                           return state_.styles().at(i);
                       },
                       [this](const ReportStyle &style) { state_.replaceStyle(index(), style); }},
          this)),
      nameWarning_(DuplicateNames::warningLabel(this))
{
    setContent(DuplicateNames::underEditor(editor_, nameWarning_));
}

qsizetype NewReportStyleBox::index() const
{
    const QList<ReportStyle> &styles = state_.styles();
    for (qsizetype i = 0; i < styles.size(); ++i)
        if (styles.at(i).id == id_)
            return i;
    return -1;
}

void NewReportStyleBox::refresh()
{
    const qsizetype i = index();
    if (i < 0)
        return;
    const qsizetype count = state_.styles().size();
    // Each action finds the style's place when it runs, so a click never acts on a stale one.
    const auto move = [this](int offset) {
        return [this, offset] { state_.moveStyle(index(), offset); };
    };
    StyleCoreEditor::Actions actions;
    if (i >= 1)
        actions.onMoveUp = move(-1);
    if (i < count - 1)
        actions.onMoveDown = move(1);
    actions.onRemove = [this] { state_.removeStyle(index()); };
    editor_->setActions(std::move(actions));
    const QString name = u"newReport.style"_s + QString::number(i);
    editor_->setNames(name);
    nameWarning_->setObjectName(name + u".nameWarning"_s);
    editor_->refresh();
    // The new report takes the styles as they are, and the engine refuses two of one name.
    const QList<ReportStyle> &styles = state_.styles();
    DuplicateNames::showWarning(nameWarning_, DuplicateNames::isShared(styles, styles.at(i).name)
                                                  ? DuplicateNames::warning(u"style"_s)
                                                  : QString());
}

NewReportStylesCard::NewReportStylesCard(NewReportWizardState &state,
                                         QList<QList<ReportStyle>> recentStyles, QWidget *parent)
    : QWidget(parent), state_(state), recentStyles_(std::move(recentStyles)),
      boxHost_(new QWidget(this)), boxColumn_(new QVBoxLayout(boxHost_)), boxes_(boxColumn_),
      add_(new QPushButton(SymbolIcons::icon(u"plus"_s), u"Add Style"_s, this)),
      import_(new QToolButton(this))
{
    setObjectName(u"newReport.styles"_s);
    // The title matches the wizard's other section titles; what follows uses the 11-point font.
    QFont titleFont = font();
    titleFont.setPointSizeF(titleFont.pointSizeF()); // kept, not taken from the card's font
    titleFont.setBold(true);
    setFont(CardText::sized(font(), CardText::bodyPointSize));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);

    auto *title = new QLabel(u"Styles"_s, this);
    title->setFont(titleFont);
    column->addWidget(title);
    column->addWidget(CardText::note(
        u"Optional - define one now if you already know how this report should "
        u"look, or skip this and create styles later in the Report Data sheet (the Data button)."_s,
        this));

    boxColumn_->setContentsMargins(0, 0, 0, 0);
    boxColumn_->setSpacing(8);
    AppPalettes::outlineControlsOnBase(boxHost_, palette());
    column->addWidget(boxHost_);

    add_->setObjectName(u"newReport.addStyle"_s);
    add_->setProperty(SymbolIcons::symbolProperty, u"plus"_s);
    add_->setAutoDefault(false);
    connect(add_, &QPushButton::clicked, this, [this] { state_.addStyle(); });

    import_->setObjectName(u"newReport.importStyle"_s);
    import_->setText(u"Add From a Previous Report"_s);
    import_->setIcon(SymbolIcons::icon(u"tray.and.arrow.down"_s));
    import_->setProperty(SymbolIcons::symbolProperty, u"tray.and.arrow.down"_s);
    import_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    import_->setPopupMode(QToolButton::InstantPopup);
    import_->setMenu(new QMenu(import_));

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(add_);
    buttons->addWidget(import_);
    buttons->addStretch(1);
    column->addLayout(buttons);

    connect(&state_, &NewReportWizardState::stylesChanged, this, &NewReportStylesCard::refresh);
    refresh();
}

void NewReportStylesCard::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        AppPalettes::outlineControlsOnBase(boxHost_, palette());
}

QStringList NewReportStylesCard::importableNames() const
{
    QStringList names;
    for (const ReportStyle &style : importable_)
        names.append(style.name);
    return names;
}

void NewReportStylesCard::refresh()
{
    QList<QUuid> ids;
    for (const ReportStyle &style : state_.styles())
        ids.append(style.id);
    boxes_.update(ids, [this](const QUuid &id) { return new NewReportStyleBox(id, state_, this); });
    for (NewReportStyleBox *box : boxes_.widgets())
        box->refresh();

    // The files were read when the wizard opened; what they offer follows the names present.
    const QList<ReportStyle> importable =
        NewReportCreation::stylesAvailableToImport(state_.styles(), recentStyles_);
    if (importable == importable_ && import_->menu()->actions().size() == importable.size()) {
        import_->setVisible(!importable_.isEmpty());
        return;
    }
    importable_ = importable;
    QMenu *menu = import_->menu();
    menu->clear();
    for (const ReportStyle &style : std::as_const(importable_)) {
        // An ampersand of the name is shown, not taken as a mnemonic.
        QAction *item = menu->addAction(QString(style.name).replace(u'&', u"&&"_s));
        connect(item, &QAction::triggered, this, [this, style] { state_.addImportedStyle(style); });
    }
    import_->setVisible(!importable_.isEmpty());
}
