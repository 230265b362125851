#pragma once

// Whether an element shows its inline text field instead of its text. A plain value: every
// element view holds one, and nothing watches it.
class InlineEditState {
public:
    bool isEditing() const { return isEditing_; }
    void setIsEditing(bool editing) { isEditing_ = editing; }

private:
    bool isEditing_ = false;
};
