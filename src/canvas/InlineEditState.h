#pragma once

#include <QObject>

// Whether an element shows its inline text field instead of its text.
class InlineEditState : public QObject {
    Q_OBJECT
public:
    explicit InlineEditState(QObject *parent = nullptr) : QObject(parent) {}

    bool isEditing() const { return isEditing_; }
    void setIsEditing(bool editing)
    {
        if (isEditing_ == editing)
            return;
        isEditing_ = editing;
        emit isEditingChanged();
    }

signals:
    void isEditingChanged();

private:
    bool isEditing_ = false;
};
