#include "app/CanvasTrailingToolbar.h"

#include "app/PreviewRun.h"
#include "document/DocumentStore.h"
#include "engine/ConnectionPresetStore.h"
#include "engine/SidecarModel.h"
#include "widgets/PlainToolTip.h"
#include "widgets/Spinner.h"
#include "widgets/SymbolIcons.h"
#include "workspace/WorkspaceModel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

constexpr int buttonSize = 22;
constexpr int dotSize = 6;

QToolButton *symbolButton(const QString &symbol, const QString &help, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIcon(SymbolIcons::icon(symbol));
    button->setProperty("symbolName", symbol);
    button->setToolTip(help);
    button->setFixedSize(buttonSize, buttonSize);
    return button;
}

// The filled circle over the Preview button's top-trailing corner.
class StatusDot : public QWidget {
public:
    explicit StatusDot(QWidget *parent) : QWidget(parent)
    {
        setFixedSize(dotSize, dotSize);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QColor colour;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(rect());
    }
};

} // namespace

CanvasTrailingToolbar::CanvasTrailingToolbar(WorkspaceModel &workspace, SidecarModel &engine,
                                             ConnectionPresetStore &connections, QWidget *parent)
    : QWidget(parent), workspace_(workspace), engine_(engine), connections_(connections)
{
    setObjectName(u"CanvasTrailingToolbar"_s);
    data_ = symbolButton(u"curlybraces.square"_s, u"Data"_s, this);
    source_ = symbolButton(u"chevron.left.forwardslash.chevron.right"_s,
                           u"View and edit the report's raw JRXML"_s, this);
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    line->setFixedHeight(16);

    // The Preview button and its spinner share one place; the dot lies over its corner and
    // reaches 2 points beyond it.
    auto *slot = new QWidget(this);
    slot->setFixedSize(buttonSize + 2, buttonSize + 2);
    preview_ = symbolButton(u"play.fill"_s, QString(), slot);
    preview_->move(0, 2);
    spinner_ = new Spinner(14, slot);
    spinner_->move((buttonSize - 14) / 2, 2 + (buttonSize - 14) / 2);
    dot_ = new StatusDot(slot);
    dot_->move(buttonSize + 2 - dotSize, 0);
    dot_->raise();

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    row->addWidget(data_);
    row->addWidget(source_);
    row->addWidget(line);
    row->addWidget(slot);

    connect(data_, &QToolButton::clicked, &workspace_,
            [this] { workspace_.setIsDataPanelVisible(true); });
    connect(source_, &QToolButton::clicked, this, &CanvasTrailingToolbar::sourceRequested);
    connect(preview_, &QToolButton::clicked, this, &CanvasTrailingToolbar::previewRequested);
    for (auto changed : {&SidecarModel::isBusyChanged, &SidecarModel::isRenderingChanged})
        connect(&engine_, changed, this, &CanvasTrailingToolbar::refresh);
    connect(&workspace_, &WorkspaceModel::isParameterPromptVisibleChanged, this,
            &CanvasTrailingToolbar::refresh);
    connect(&connections_, &ConnectionPresetStore::connectionsChanged, this,
            &CanvasTrailingToolbar::refresh);
    for (auto changed : {&WorkspaceModel::tabsChanged, &WorkspaceModel::activeTabIndexChanged})
        connect(&workspace_, changed, this, &CanvasTrailingToolbar::followActiveStore);
    followActiveStore();
}

QColor CanvasTrailingToolbar::statusDotColor() const
{
    return static_cast<StatusDot *>(dot_)->colour;
}

void CanvasTrailingToolbar::followActiveStore()
{
    DocumentStore *store = workspace_.activeStore();
    if (store != store_) {
        disconnect(storeConnection_);
        store_ = store;
        storeConnection_ = connect(store, &DocumentStore::activeConnectionIDChanged, this,
                                   &CanvasTrailingToolbar::refresh);
    }
    refresh();
}

void CanvasTrailingToolbar::refresh()
{
    const bool rendering = engine_.isRendering();
    preview_->setVisible(!rendering);
    spinner_->setVisible(rendering);
    preview_->setEnabled(!engine_.isBusy() && !workspace_.isParameterPromptVisible());
    preview_->setToolTip(plainToolTip(PreviewRun::connectionLabel(store_, connections_)));

    QColor secondary = palette().color(QPalette::PlaceholderText);
    secondary.setAlphaF(0.5f);
    auto *dot = static_cast<StatusDot *>(dot_);
    dot->colour = store_ && store_->activeConnectionID() ? QColor(0x34, 0xC7, 0x59) : secondary;
    dot->update();
}
