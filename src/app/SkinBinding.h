#pragma once

#include <QString>

#include <functional>
#include <memory>

class QLibrary;

namespace sorvane {

// The optional skin library "skin.dll" in the program folder, with its skin
// file "royale.she". The library is loaded the first time one of its
// functions is due and stays loaded: the skin lasts until the process ends.
// A library that cannot be loaded or lacks a function is reported once, and
// the program goes on without a skin.
class SkinBinding {
public:
    using Reporter = std::function<void(const QString &message)>;

    static constexpr const char16_t *kLibraryName = u"skin.dll";
    static constexpr const char16_t *kSkinFileName = u"royale.she";

    // `folder` ends in the separator.
    SkinBinding(QString folder, Reporter report);
    ~SkinBinding();

    // At start-up, before the window exists: SkinH_AttachEx("royale.she", "")
    // when the skin file is there, then SkinH_Attach; nothing without the library.
    void attach();
    // On every display-mode change: SkinH_SetAero(flag) when the library is
    // in the folder at that moment.
    void setAero(bool on);

    bool libraryPresent() const;

private:
    // The loaded library with all three functions, or nullptr.
    bool ready();

    using AttachEx = int (*)(const char *, const char *);
    using Attach = int (*)();
    using SetAero = int (*)(int);

    QString m_folder;
    Reporter m_report;
    std::unique_ptr<QLibrary> m_library;
    AttachEx m_attachEx = nullptr;
    Attach m_attach = nullptr;
    SetAero m_setAero = nullptr;
    bool m_failed = false;
};

} // namespace sorvane
