#pragma once

#include "core/HostObject.h"

namespace sorvane {

class Main;

// The application object: the program's folder and file, its instance and
// thread, its title.
class AppObject : public HostObject<AppObject> {
public:
    explicit AppObject(Main &main) : m_main(main) {}
    QString typeName() const override { return QStringLiteral("App"); }
    static const MemberTable<AppObject> &members();
    Main &main() const { return m_main; }

private:
    Main &m_main;
};

// The system clipboard's text.
class ClipboardObject : public HostObject<ClipboardObject> {
public:
    explicit ClipboardObject(Main &main) : m_main(main) {}
    QString typeName() const override { return QStringLiteral("Clipboard"); }
    static const MemberTable<ClipboardObject> &members();
    Main &main() const { return m_main; }

private:
    Main &m_main;
};

// The screen: its size in twips (15 a pixel), the active window and the
// mouse pointer setting.
class ScreenObject : public HostObject<ScreenObject> {
public:
    explicit ScreenObject(Main &main) : m_main(main) {}
    QString typeName() const override { return QStringLiteral("Screen"); }
    static const MemberTable<ScreenObject> &members();
    Main &main() const { return m_main; }
    qint32 mousePointer = 0;

private:
    Main &m_main;
};

// The default printer; the overlay prints nothing, so it names none.
class PrinterObject : public HostObject<PrinterObject> {
public:
    QString typeName() const override { return QStringLiteral("Printer"); }
    static const MemberTable<PrinterObject> &members();
};

} // namespace sorvane
