#pragma once

#include <QString>
#include <QStringList>

namespace sorvane {

class Registry;

// The files opened last, newest first, kept in the per-user registry so that
// every instance of the program sees the same list. A store that cannot be
// read gives an empty list and is left alone.
class RecentFiles {
public:
    static constexpr int kLength = 10;

    explicit RecentFiles(Registry *registry) : m_registry(registry) {}

    QStringList files() const;
    // Puts `path` first; it leaves its old place, and the oldest file goes
    // when the list is full. Whether the store took the change.
    bool add(const QString &path);
    bool clear();

private:
    bool store(const QStringList &files);

    Registry *m_registry;
};

} // namespace sorvane
