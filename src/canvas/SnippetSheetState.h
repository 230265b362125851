#pragma once

#include <QObject>
#include <QString>

// The two values of the palette's save-snippet sheet: whether it is shown, and its name field.
class SnippetSheetState : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    bool isVisible() const { return isVisible_; }
    void setIsVisible(bool visible);
    QString name() const { return name_; }
    void setName(const QString &name);

signals:
    void isVisibleChanged();
    void nameChanged();

private:
    bool isVisible_ = false;
    QString name_;
};
