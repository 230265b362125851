#pragma once

#include <QHash>
#include <QString>
#include <QUuid>

// What names an item (a group, sub-dataset, style, field or variable) follows the item's
// renames, but never onto a name another item of its list has: the references would then be
// that item's too. While the item's name is one another item has, its references keep the last
// name that was its own, remembered here by the item's id, and follow the item again once it
// takes a free name.
class CarriedNames {
public:
    // The name the references to the item of `id`, now named `name`, carry: the remembered
    // one while `isTaken` says no item of the list has it, else `name`.
    template <typename IsTaken>
    QString of(const QUuid &id, const QString &name, const IsTaken &isTaken) const
    {
        const auto found = names_.constFind(id);
        if (found == names_.cend() || *found == name || isTaken(*found))
            return name;
        return *found;
    }
    // Remembers where the item's references stand; nothing to remember when that is its name.
    void set(const QUuid &id, const QString &carried, const QString &name)
    {
        if (carried == name)
            names_.remove(id);
        else
            names_.insert(id, carried);
    }

private:
    QHash<QUuid, QString> names_;
};
