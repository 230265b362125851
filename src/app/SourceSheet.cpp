#include "app/SourceSheet.h"

#include "document/DocumentStore.h"
#include "editors/CodeEditorView.h"
#include "editors/XMLSyntaxHighlighter.h"
#include "model/JrxmlCodec.h"
#include "widgets/Dialogs.h"
#include "widgets/PlainToolTip.h"
#include "widgets/SheetHeader.h"
#include "workspace/WorkspaceModel.h"

#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QStringDecoder>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SourceSheet::SourceSheet(WorkspaceModel &workspace, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), workspace_(workspace), dialogs_(dialogs), errorLabel_(new QLabel(this)),
      editor_(new CodeEditorView(XMLSyntaxHighlighter::scheme(), true, {}, nullptr, this))
{
    setObjectName(u"SourceSheetContent"_s);
    errorLabel_->setObjectName(u"SourceError"_s);
    errorLabel_->setTextFormat(Qt::PlainText); // the reader's message quotes the text
    // Wrapped (inside a word too long for a line) and as tall as it needs: shown whole.
    errorLabel_->setWordWrap(true);
    errorLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    errorLabel_->setMaximumWidth(320);
    QFont caption = errorLabel_->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    errorLabel_->setFont(caption);
    QPalette red = errorLabel_->palette();
    red.setColor(QPalette::WindowText, QColor(0xFF, 0x3B, 0x30));
    errorLabel_->setPalette(red);
    errorLabel_->hide();

    auto *applyButton = new QPushButton(u"Apply"_s, this);
    applyButton->setObjectName(u"ApplySource"_s);
    // Saving is a command of the main window, out of reach while this sheet is open.
    const QString saveKey = QKeySequence(Qt::CTRL | Qt::Key_S).toString(QKeySequence::NativeText);
    applyButton->setToolTip(u"Re-parse this XML and update the report (doesn't save to disk by "
                            u"itself - close this sheet and press "_s +
                            saveKey + u" to save, same as any other edit)"_s);
    applyButton->setAutoDefault(false);
    auto *close = new QPushButton(u"Close"_s, this);
    close->setAutoDefault(false);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(sheetHeader(u"Source"_s, {errorLabel_, applyButton, close}, this));
    column->addWidget(editor_, 1);

    connect(applyButton, &QPushButton::clicked, this, &SourceSheet::apply);
    connect(close, &QPushButton::clicked, &workspace_,
            [this] { workspace_.setIsSourceVisible(false); });
    connect(editor_, &CodeEditorView::textEdited, this,
            [this](const QString &text) { text_ = text; });
}

void SourceSheet::openFromActiveReport()
{
    const QByteArray bytes = JrxmlCodec::serialize(workspace_.activeStore()->document());
    QStringDecoder decode(QStringDecoder::Utf8);
    text_ = decode(bytes);
    if (decode.hasError())
        text_.clear();
    appliedText_ = text_;
    editor_->setText(text_);
    setErrorMessage(std::nullopt);
    workspace_.setIsSourceVisible(true);
}

void SourceSheet::apply()
{
    ReportDocument document;
    const QByteArray bytes = text_.toUtf8();
    try {
        QStringList warnings;
        document = JrxmlCodec::parseText(text_, &warnings);
    } catch (const JrxmlCodecError &error) {
        setErrorMessage(error.message());
        return;
    }
    if (const std::optional<QString> refusal = JrxmlCodec::rootRefusal(bytes)) {
        setErrorMessage(*refusal);
        return;
    }
    workspace_.activeStore()->applyParsedSource(document);
    appliedText_ = text_;
    setErrorMessage(std::nullopt);
}

bool SourceSheet::confirmClose()
{
    if (text_ == appliedText_)
        return true;
    const int answer = dialogs_.runAlert(
        {AlertRequest::Style::warning,
         u"Apply your changes to the source before closing?"_s,
         u"The text in this sheet differs from the report. If you discard it, your changes "
         u"are lost."_s,
         {{u"Apply"_s},
          {u"Discard"_s, AlertRequest::Role::destructive},
          {u"Cancel"_s, AlertRequest::Role::cancel}}});
    if (answer == 0) {
        apply();
        return !errorMessage_;
    }
    return answer == 1;
}

void SourceSheet::setErrorMessage(const std::optional<QString> &message)
{
    errorMessage_ = message;
    errorLabel_->setText(message.value_or(QString()));
    errorLabel_->setToolTip(plainToolTip(message.value_or(QString())));
    errorLabel_->setVisible(message.has_value());
}
