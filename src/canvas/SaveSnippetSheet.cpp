#include "canvas/SaveSnippetSheet.h"

#include "canvas/PaletteActions.h"
#include "canvas/SnippetSheetState.h"
#include "canvas/ToolbarParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SaveSnippetSheet::SaveSnippetSheet(SnippetSheetState &state, SnippetLibrary &library,
                                   QWidget *window)
    : SheetDialog(window, [&state] { state.setIsVisible(false); }), state_(state), library_(library)
{
    setWindowTitle(u"Save Selection as Snippet"_s);
    setFixedWidth(340);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(12);

    auto *title = new QLabel(u"Save Selection as Snippet"_s, this);
    QFont headline = title->font();
    headline.setBold(true);
    title->setFont(headline);
    column->addWidget(title);

    nameField_ = new QLineEdit(this);
    nameField_->setPlaceholderText(u"Name"_s);
    connect(nameField_, &QLineEdit::textEdited, &state_, &SnippetSheetState::setName);
    column->addWidget(nameField_);

    QLabel *note = ToolbarParts::captionLabel(
        u"Saves the selected element - including everything inside it, if it's a Frame - for "
        "reuse in any report."_s,
        this);
    note->setWordWrap(true);
    note->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    column->addWidget(note);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cancel_ = new QPushButton(u"Cancel"_s, this);
    cancel_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Escape));
    cancel_->setAutoDefault(false);
    save_ = new QPushButton(u"Save"_s, this);
    save_->setDefault(true);
    buttons->addWidget(cancel_);
    buttons->addWidget(save_);
    column->addLayout(buttons);

    connect(cancel_, &QPushButton::clicked, &state_, [this] { state_.setIsVisible(false); });
    connect(save_, &QPushButton::clicked, this, &SaveSnippetSheet::saveSnippet);
    connect(&state_, &SnippetSheetState::nameChanged, this, [this] {
        if (nameField_->text() != state_.name())
            nameField_->setText(state_.name());
    });
    connect(&state_, &SnippetSheetState::isVisibleChanged, this,
            [this] { setShown(state_.isVisible()); });
    // Built when first needed, it catches up with the state it missed.
    nameField_->setText(state_.name());
    setShown(state_.isVisible());
}

void SaveSnippetSheet::saveSnippet()
{
    if (store_)
        PaletteActions::saveSelectionAsSnippet(*store_, library_, state_.name());
    state_.setIsVisible(false);
}
