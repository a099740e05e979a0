#pragma once

#include <QString>
#include <QVector>

#include <functional>

namespace sorvane {

// One entry of the menu bar or of a submenu. Entries sharing a name form a
// group whose members are told apart by index (-1 outside a group).
struct MenuItem {
    QString name;
    int index = -1;
    QString caption;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    int parent = -1; // position of the submenu heading; -1 on the menu bar

    bool isSeparator() const { return caption == QLatin1String("-"); }
};

// The window's menu as data: the Qt layer renders it and follows every
// change, so commands and scripts change captions and states here only.
class MenuModel {
public:
    // The menu bar as the window is designed, with its start states.
    static MenuModel design();

    int size() const { return int(m_items.size()); }
    const MenuItem &at(int position) const { return m_items[position]; }
    // Position of the item with that name and index, or -1.
    int find(const QString &name, int index = -1) const;
    // Positions of the items under a heading (-1: the menu bar), in order.
    QVector<int> children(int parent) const;
    // Positions of the members of a group, in index order.
    QVector<int> group(const QString &name) const;
    bool hasChildren(int position) const;

    void setCaption(int position, const QString &caption);
    void setChecked(int position, bool checked);
    void setEnabled(int position, bool enabled);
    void setVisible(int position, bool visible);

    // Called with the position of every item that changed.
    void setChangeListener(std::function<void(int position)> listener) { m_listener = std::move(listener); }

private:
    void changed(int position);

    QVector<MenuItem> m_items;
    std::function<void(int)> m_listener;
};

} // namespace sorvane
