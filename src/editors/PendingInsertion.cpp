#include "PendingInsertion.h"

void PendingInsertion::setToken(const std::optional<QString> &token)
{
    if (token_ == token)
        return;
    token_ = token;
    emit tokenChanged();
}
