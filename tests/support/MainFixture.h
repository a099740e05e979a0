#pragma once

#include "app/Main.h"
#include "page/PageDocument.h"
#include "platform/fake/FakePlatform.h"
#include "core/Dictionary.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace sorvane::testing_support {

// The real main window on the fake platform, with a folder for files.
class MainFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = std::make_unique<Main>(fake.services());
        main->initialise();
        main->Config->setItem(QStringLiteral("Path"), dir.path() + QStringLiteral("/"));
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QString writeText(const QString &name, const QString &text) { return write(name, text.toUtf8()); }

    QString element(const char *id, bool html = true) const
    {
        PageElement *e = main->document->getElementById(QString::fromLatin1(id));
        return e ? (html ? e->innerHTML() : e->innerText()) : QStringLiteral("<none>");
    }
    QString code() const { return element("code"); }
    QString timeBox() const { return element("TimeBox", false); }
    QString message() const { return element("Message"); }
    QString config(const char *key) const { return main->Config->item(QString::fromLatin1(key)).text(); }
    QString caption(const char *item, int index = -1) const
    {
        return main->menu.at(main->menu.find(QString::fromLatin1(item), index)).caption;
    }
    QString cue(const QString &key, bool swapped = false) const
    {
        const Variant *v = (swapped ? main->subtitlesSort : main->subtitles)->find(key);
        return v ? v->text() : QStringLiteral("<absent>");
    }
    QString cue(const char *key, bool swapped = false) const { return cue(QString::fromLatin1(key), swapped); }
    QStringList keys() const
    {
        QStringList out;
        for (const Variant &k : main->subtitles->keys())
            out << k.text();
        return out;
    }
    // A cue file with CR LF line ends.
    static QByteArray srt(const QStringList &lines) { return lines.join(QStringLiteral("\r\n")).toUtf8(); }

    QTemporaryDir dir;
    FakePlatform fake;
    std::unique_ptr<Main> main;
};

} // namespace sorvane::testing_support
