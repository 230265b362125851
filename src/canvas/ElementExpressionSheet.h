#pragma once

#include <QObject>
#include <QPointer>
#include <QUuid>

class DocumentStore;
class ExpressionBuilderPresentationState;
class ExpressionBuilderSheet;
class ExpressionEngine;
class QWidget;

// The expression builder sheet of one text-field element on the canvas: its expression is read
// from and written to the element through the store, one coalesced edit per change. Created
// once per element view; the sheet opens while `presentation` is visible, and closes when this
// object goes with its element view.
class ElementExpressionSheet : public QObject {
    Q_OBJECT
public:
    explicit ElementExpressionSheet(QObject *parent = nullptr);

    ExpressionBuilderPresentationState *presentation() const { return presentation_; }
    // The sheet once it has been opened, else null.
    ExpressionBuilderSheet *sheet() const;

    // Opens the builder over `owner`'s window on element `elementID` of `store`; nothing when
    // it is shown already.
    void open(DocumentStore *store, const QUuid &elementID, QWidget *owner,
              ExpressionEngine *engine);

private:
    ExpressionBuilderPresentationState *presentation_;
    QPointer<ExpressionBuilderSheet> sheet_;
};
