#pragma once

#include <QObject>
#include <QString>
#include <optional>

// A token waiting to be typed at a code editor's cursor. The embedder sets it; the editor showing
// this object inserts it and clears it. A token set while no editor shows the object waits.
class PendingInsertion : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const std::optional<QString> &token() const { return token_; }
    void setToken(const std::optional<QString> &token);

signals:
    void tokenChanged();

private:
    std::optional<QString> token_;
};
