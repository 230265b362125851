#pragma once

#include <QObject>

// Whether an expression builder sheet is shown; each button and each element view owns one.
class ExpressionBuilderPresentationState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool isVisible() const { return isVisible_; }
    void setVisible(bool visible);

signals:
    void isVisibleChanged();

private:
    bool isVisible_ = false;
};
