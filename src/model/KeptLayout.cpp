#include "KeptLayout.h"

#include "JrxmlText.h"
#include "XmlFragment.h"

#include <pugixml.hpp>

#include <cmath>
#include <functional>
#include <vector>

namespace KeptLayout {

namespace {

bool isNamed(pugi::xml_node node, QStringView name)
{
    return node.type() == pugi::node_element &&
           QLatin1StringView(JrxmlText::localName(node.name())) == name;
}

pugi::xml_node childNamed(pugi::xml_node node, QStringView name)
{
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (isNamed(child, name))
            return child;
    }
    return {};
}

bool isCell(pugi::xml_node node, CellName which)
{
    return isNamed(node, which.name) &&
           (which.within.isEmpty() || isNamed(node.parent(), which.within));
}

// The cells of the fragment's elements, in document order; none inside a cell.
std::vector<pugi::xml_node> cellNodes(pugi::xml_node holder, CellName which)
{
    struct Finder : pugi::xml_tree_walker {
        CellName which;
        std::vector<pugi::xml_node> cells;
        bool insideLast(pugi::xml_node node) const
        {
            for (pugi::xml_node up = node.parent(); up && !cells.empty(); up = up.parent()) {
                if (up == cells.back())
                    return true;
            }
            return false;
        }
        bool for_each(pugi::xml_node &node) override
        {
            if (isCell(node, which) && !insideLast(node))
                cells.push_back(node);
            return true;
        }
    } finder;
    finder.which = which;
    holder.traverse(finder);
    return finder.cells;
}

// The cells of a column's kept child: the child itself, a table header or footer, or the cells
// directly inside it, a group header or footer.
std::vector<pugi::xml_node> columnCellNodes(pugi::xml_node holder)
{
    pugi::xml_node child = holder.first_child();
    while (child && child.type() != pugi::node_element)
        child = child.next_sibling();
    if (isNamed(child, u"tableHeader") || isNamed(child, u"tableFooter"))
        return {child};
    std::vector<pugi::xml_node> cells;
    if (!isNamed(child, u"groupHeader") && !isNamed(child, u"groupFooter"))
        return cells;
    for (pugi::xml_node cell = child.first_child(); cell; cell = cell.next_sibling()) {
        if (isNamed(cell, u"cell"))
            cells.push_back(cell);
    }
    return cells;
}

// How deep frames and element groups in a cell are looked into; what stands deeper keeps its
// place, so that no file's nesting exhausts the stack.
constexpr int deepest = 64;

// The report elements that `holder` holds, element groups looked through, in document order.
void eachElement(pugi::xml_node holder, int depth, const std::function<void(pugi::xml_node)> &visit)
{
    for (pugi::xml_node child = holder.first_child(); child; child = child.next_sibling()) {
        if (isNamed(child, u"elementGroup")) {
            if (depth < deepest)
                eachElement(child, depth + 1, visit);
        } else if (childNamed(child, u"reportElement")) {
            visit(child);
        }
    }
}

double number(pugi::xml_node node, const char *name, double fallback)
{
    const pugi::xml_attribute attr = node.attribute(name);
    return attr ? attr.as_double(fallback) : fallback;
}

QList<Box> readElements(pugi::xml_node holder, int depth);

Box readBox(pugi::xml_node element, int depth)
{
    const pugi::xml_node position = childNamed(element, u"reportElement");
    Box box{number(position, "x", 0), number(position, "y", 0), number(position, "width", 0),
            number(position, "height", 0), isNamed(element, u"line")};
    if (!isNamed(element, u"frame") || depth >= deepest)
        return box;
    box.isFrame = true;
    const pugi::xml_node pens = childNamed(element, u"box");
    const double padding = number(pens, "padding", 0);
    box.paddingLeft = number(pens, "leftPadding", padding);
    box.paddingRight = number(pens, "rightPadding", padding);
    box.children = readElements(element, depth + 1);
    return box;
}

QList<Box> readElements(pugi::xml_node holder, int depth)
{
    QList<Box> boxes;
    eachElement(holder, depth,
                [&](pugi::xml_node element) { boxes.append(readBox(element, depth)); });
    return boxes;
}

// A length as the file writes it: a whole number without a fraction.
QByteArray lengthText(double value)
{
    if (std::isfinite(value) && value == std::round(value) && std::abs(value) < 1e15)
        return QByteArray::number(qint64(value));
    return QByteArray::number(value, 'g', 17);
}

// Writes the places and sizes of `boxes` onto the elements `holder` holds; false when they
// do not match.
bool writeElements(pugi::xml_node holder, int depth, const QList<Box> &boxes, bool &changed)
{
    qsizetype index = 0;
    bool matches = true;
    eachElement(holder, depth, [&](pugi::xml_node element) {
        if (!matches || index >= boxes.size()) {
            matches = false;
            return;
        }
        const Box &box = boxes.at(index++);
        const Box read = readBox(element, depth);
        pugi::xml_node position = childNamed(element, u"reportElement");
        const auto write = [&](const char *name, double before, double after) {
            if (before == after)
                return;
            pugi::xml_attribute attr = position.attribute(name);
            if (!attr)
                attr = position.append_attribute(name);
            attr.set_value(lengthText(after).constData());
            changed = true;
        };
        write("x", read.x, box.x);
        write("y", read.y, box.y);
        write("width", read.width, box.width);
        write("height", read.height, box.height);
        if (box.isFrame != read.isFrame ||
            (box.isFrame && !writeElements(element, depth + 1, box.children, changed)))
            matches = false;
    });
    return matches && index == boxes.size();
}

std::optional<double> optionalNumber(pugi::xml_node node, const char *name)
{
    const pugi::xml_attribute attr = node.attribute(name);
    return attr ? std::optional(attr.as_double()) : std::nullopt;
}

Cell readCell(pugi::xml_node cell, pugi::xml_node child)
{
    Cell read{optionalNumber(cell, "height"), readElements(cell, 0)};
    if (const pugi::xml_attribute style = cell.attribute("style"))
        read.style = QString::fromUtf8(style.value());
    const pugi::xml_node box = childNamed(cell, u"box");
    const std::optional<double> padding = optionalNumber(box, "padding");
    static constexpr const char *sides[] = {"leftPadding", "rightPadding", "topPadding",
                                            "bottomPadding"};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> side = optionalNumber(box, sides[i]);
        read.paddings[i] = side ? side : padding;
    }
    if (child) {
        read.tag = QString::fromUtf8(JrxmlText::localName(child.name()));
        read.group = QString::fromUtf8(child.attribute("groupName").value());
    }
    return read;
}

QList<Cell> readCells(const QString &xml,
                      const std::function<std::vector<pugi::xml_node>(pugi::xml_node)> &nodesOf,
                      bool inColumn)
{
    QList<Cell> found;
    XmlFragment::editedNodes(xml, [&](pugi::xml_node holder) {
        for (const pugi::xml_node cell : nodesOf(holder)) {
            pugi::xml_node child;
            if (inColumn)
                child = isNamed(cell, u"cell") ? cell.parent() : cell;
            found.append(readCell(cell, child));
        }
        return false;
    });
    return found;
}

std::optional<QString>
writeCells(const QString &xml,
           const std::function<std::vector<pugi::xml_node>(pugi::xml_node)> &nodesOf,
           const QList<Cell> &changed)
{
    return XmlFragment::editedNodes(xml, [&](pugi::xml_node holder) {
        const std::vector<pugi::xml_node> nodes = nodesOf(holder);
        if (qsizetype(nodes.size()) != changed.size())
            return false;
        bool written = false;
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (!writeElements(nodes[i], 0, changed.at(qsizetype(i)).elements, written))
                return false;
        }
        return written;
    });
}

} // namespace

QList<Cell> cells(const QString &xml, CellName which)
{
    return readCells(
        xml, [&](pugi::xml_node holder) { return cellNodes(holder, which); }, false);
}

std::optional<QString> withCells(const QString &xml, CellName which, const QList<Cell> &changed)
{
    return writeCells(
        xml, [&](pugi::xml_node holder) { return cellNodes(holder, which); }, changed);
}

QList<Cell> columnCells(const QString &child)
{
    return readCells(child, columnCellNodes, true);
}

std::optional<QString> withColumnCells(const QString &child, const QList<Cell> &changed)
{
    return writeCells(child, columnCellNodes, changed);
}

QList<Box> elements(const QString &xml)
{
    QList<Box> found;
    XmlFragment::editedNodes(xml, [&](pugi::xml_node holder) {
        found = readElements(holder, 0);
        return false;
    });
    return found;
}

std::optional<QString> withElements(const QString &xml, const QList<Box> &changed)
{
    return XmlFragment::editedNodes(xml, [&](pugi::xml_node holder) {
        bool written = false;
        return writeElements(holder, 0, changed, written) && written;
    });
}

} // namespace KeptLayout
