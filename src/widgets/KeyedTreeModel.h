#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QList>
#include <QString>
#include <memory>
#include <vector>

// A tree of rows for Qt's item views, each row known by its `key` (a QString member of Row that
// is unique in the tree). A new tree given to it is merged into the one shown: under each row the
// runs of keys that both begin and end with stay, keep their indexes and are told of new values
// only when they differ; the rows between are removed and the new ones inserted. So an edit
// costs the view only the rows it touched, and a place the view holds stays on its row.
template <typename Row> class KeyedTreeModel : public QAbstractItemModel {
public:
    struct Node {
        Row row;
        Node *parent = nullptr;
        // The node's place among its parent's children.
        int position = 0;
        std::vector<std::unique_ptr<Node>> children;
    };
    using Children = std::vector<std::unique_ptr<Node>>;

    explicit KeyedTreeModel(QObject *parent = nullptr)
        : QAbstractItemModel(parent), top_(std::make_unique<Node>())
    {
    }

    // The row at `index`; null for an invalid index or one of another model.
    const Row *row(const QModelIndex &index) const
    {
        return index.isValid() && index.model() == this ? &nodeOf(index)->row : nullptr;
    }
    QModelIndex indexOfKey(const QString &key) const { return indexOf(byKey_.value(key)); }
    // How many rows the tree holds.
    qsizetype size() const { return byKey_.size(); }
    // Every row, top to bottom.
    QList<Row> rows() const
    {
        QList<Row> rows;
        rows.reserve(byKey_.size());
        visit(*top_, [&rows](const Node &node) { rows.append(node.row); });
        return rows;
    }
    // The rows that hold rows below them.
    QModelIndexList parentsOfRows() const
    {
        QModelIndexList parents;
        for (const Node *node : byKey_) {
            if (!node->children.empty())
                parents.append(indexOf(node));
        }
        return parents;
    }

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override
    {
        const Node *node = nodeOf(parent);
        if (column != 0 || row < 0 || std::size_t(row) >= node->children.size())
            return {};
        return createIndex(row, 0, node->children[std::size_t(row)].get());
    }
    QModelIndex parent(const QModelIndex &child) const override
    {
        return child.isValid() ? indexOf(nodeOf(child)->parent) : QModelIndex();
    }
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.column() > 0 ? 0 : int(nodeOf(parent)->children.size());
    }
    int columnCount(const QModelIndex & = {}) const override { return 1; }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemFlags(Qt::ItemIsEnabled) : Qt::NoItemFlags;
    }

protected:
    // A node for `row` appended under `parent`.
    static Node *append(Node &parent, Row row)
    {
        auto node = std::make_unique<Node>();
        node->row = std::move(row);
        node->parent = &parent;
        node->position = int(parent.children.size());
        parent.children.push_back(std::move(node));
        return parent.children.back().get();
    }

    // Shows the children of `fresh` as the tree's rows. `reset` starts afresh instead (the view
    // then forgets its places in the tree).
    void setTree(std::unique_ptr<Node> fresh, bool reset)
    {
        if (reset) {
            beginResetModel();
            top_ = std::move(fresh);
            adopt(*top_, 0);
            indexKeys();
            endResetModel();
            return;
        }
        reshaped_ = false;
        merge(*top_, std::move(fresh->children));
        if (reshaped_)
            indexKeys();
    }

    // Changes rows in place; `change` answers whether it changed the row, which the view is
    // then told of: row by row for a few rows, as a change of the layout for many (a tree view
    // finds each changed row's place by walking the rows above it, so thousands of changed rows
    // told one by one, or as one span, cost it seconds; a new layout costs one walk).
    template <typename Change> void changeRows(Change change)
    {
        QList<const Node *> changed;
        for (Node *node : std::as_const(byKey_)) {
            if (change(node->row))
                changed.append(node);
        }
        if (changed.size() > rowsAnnouncedOneByOne) {
            emit this->layoutAboutToBeChanged();
            emit this->layoutChanged();
            return;
        }
        for (const Node *node : std::as_const(changed)) {
            const QModelIndex index = indexOf(node);
            emit this->dataChanged(index, index);
        }
    }
    static constexpr qsizetype rowsAnnouncedOneByOne = 64;

    Node *nodeOf(const QModelIndex &index) const
    {
        return index.isValid() ? static_cast<Node *>(index.internalPointer()) : top_.get();
    }
    QModelIndex indexOf(const Node *node) const
    {
        if (!node || node == top_.get())
            return {};
        return createIndex(node->position, 0, const_cast<Node *>(node));
    }

private:
    template <typename Visit> static void visit(const Node &node, Visit &&each)
    {
        for (const auto &child : node.children) {
            each(*child);
            visit(*child, each);
        }
    }

    static void adopt(Node &parent, std::size_t from)
    {
        for (std::size_t i = from; i < parent.children.size(); ++i) {
            parent.children[i]->parent = &parent;
            parent.children[i]->position = int(i);
        }
    }

    void merge(Node &shown, Children fresh)
    {
        Children &old = shown.children;
        const std::size_t oldCount = old.size();
        const std::size_t newCount = fresh.size();
        std::size_t head = 0;
        while (head < oldCount && head < newCount && old[head]->row.key == fresh[head]->row.key)
            ++head;
        std::size_t tail = 0;
        while (tail < oldCount - head && tail < newCount - head &&
               old[oldCount - 1 - tail]->row.key == fresh[newCount - 1 - tail]->row.key)
            ++tail;

        const QModelIndex parentIndex = indexOf(&shown);
        const std::size_t removed = oldCount - head - tail;
        const std::size_t inserted = newCount - head - tail;
        // The tail's new nodes are set aside so the lists can be spliced.
        Children freshTail;
        for (std::size_t i = newCount - tail; i < newCount; ++i)
            freshTail.push_back(std::move(fresh[i]));
        if (removed > 0 || inserted > 0)
            reshaped_ = true;
        if (removed > 0) {
            this->beginRemoveRows(parentIndex, int(head), int(head + removed - 1));
            old.erase(old.begin() + qsizetype(head), old.begin() + qsizetype(head + removed));
            adopt(shown, head);
            this->endRemoveRows();
        }
        if (inserted > 0) {
            this->beginInsertRows(parentIndex, int(head), int(head + inserted - 1));
            old.insert(old.begin() + qsizetype(head),
                       std::make_move_iterator(fresh.begin() + qsizetype(head)),
                       std::make_move_iterator(fresh.begin() + qsizetype(head + inserted)));
            adopt(shown, head);
            this->endInsertRows();
        }
        for (std::size_t i = 0; i < head; ++i)
            keep(*old[i], std::move(fresh[i]));
        for (std::size_t i = 0; i < tail; ++i)
            keep(*old[old.size() - tail + i], std::move(freshTail[i]));
    }

    void keep(Node &node, std::unique_ptr<Node> newer)
    {
        if (!(node.row == newer->row)) {
            node.row = std::move(newer->row);
            const QModelIndex changed = indexOf(&node);
            emit this->dataChanged(changed, changed);
        }
        merge(node, std::move(newer->children));
    }

    void indexKeys()
    {
        byKey_.clear();
        visit(*top_,
              [this](const Node &node) { byKey_.insert(node.row.key, const_cast<Node *>(&node)); });
    }

    std::unique_ptr<Node> top_;
    QHash<QString, Node *> byKey_;
    // Rows were inserted or removed while a tree was merged.
    bool reshaped_ = false;
};
