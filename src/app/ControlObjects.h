#pragma once

#include "core/HostObject.h"

namespace sorvane {

class Main;
class TimerControl;

// A menu item of the main window: its caption and states live in the menu
// model, so what a script sets shows at once.
class MenuItemObject : public HostObject<MenuItemObject> {
public:
    MenuItemObject(Main &main, int position) : m_main(main), m_position(position) {}
    QString typeName() const override { return QStringLiteral("Menu"); }
    static const MemberTable<MenuItemObject> &members();

    Main &main() const { return m_main; }
    int position() const { return m_position; }

private:
    Main &m_main;
    int m_position;
};

// The items sharing one name, reached by index: OnWeight(2).Checked.
class MenuGroupObject : public HostObject<MenuGroupObject> {
public:
    MenuGroupObject(Main &main, const QString &name) : m_main(main), m_name(name) {}
    QString typeName() const override { return QStringLiteral("Object"); }
    static const MemberTable<MenuGroupObject> &members();
    Result<QVector<Variant>> elements() override;

    Result<Variant> item(const Variant &index);
    QVector<int> positions() const;
    // The lowest or highest index of the group.
    qint32 bound(bool upper) const;
    const QString &name() const { return m_name; }

private:
    Main &m_main;
    QString m_name;
};

class TimerObject : public HostObject<TimerObject> {
public:
    TimerObject(TimerControl &timer, const QString &name) : m_timer(timer), m_name(name) {}
    QString typeName() const override { return QStringLiteral("Timer"); }
    static const MemberTable<TimerObject> &members();

    TimerControl &timer() const { return m_timer; }
    const QString &name() const { return m_name; }

private:
    TimerControl &m_timer;
    QString m_name;
};

// The browser control that holds the page.
class WebBrowserObject : public HostObject<WebBrowserObject> {
public:
    explicit WebBrowserObject(Main &main) : m_main(main) {}
    QString typeName() const override { return QStringLiteral("WebBrowser"); }
    static const MemberTable<WebBrowserObject> &members();

    Main &main() const { return m_main; }

private:
    Main &m_main;
};

} // namespace sorvane
