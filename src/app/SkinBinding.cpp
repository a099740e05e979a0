#include "app/SkinBinding.h"

#include "text/TextCodec.h"

#include <QLibrary>

namespace sorvane {

SkinBinding::SkinBinding(QString folder, Reporter report) : m_folder(std::move(folder)), m_report(std::move(report))
{
}

SkinBinding::~SkinBinding()
{
    // The skin stays attached until the process ends, so the library is
    // never unloaded.
    if (m_library)
        m_library->setLoadHints(QLibrary::PreventUnloadHint);
}

bool SkinBinding::libraryPresent() const
{
    return TextCodec::fileExists(m_folder + QString::fromUtf16(kLibraryName));
}

bool SkinBinding::ready()
{
    if (m_failed)
        return false;
    if (m_library)
        return true;
    const QString path = m_folder + QString::fromUtf16(kLibraryName);
    auto library = std::make_unique<QLibrary>(path);
    library->setLoadHints(QLibrary::PreventUnloadHint);
    QString problem;
    if (!library->load()) {
        problem = library->errorString();
    } else {
        m_attachEx = reinterpret_cast<AttachEx>(library->resolve("SkinH_AttachEx"));
        m_attach = reinterpret_cast<Attach>(library->resolve("SkinH_Attach"));
        m_setAero = reinterpret_cast<SetAero>(library->resolve("SkinH_SetAero"));
        QStringList missing;
        if (!m_attachEx)
            missing << QStringLiteral("SkinH_AttachEx");
        if (!m_attach)
            missing << QStringLiteral("SkinH_Attach");
        if (!m_setAero)
            missing << QStringLiteral("SkinH_SetAero");
        if (!missing.isEmpty())
            problem = QStringLiteral("缺少函数 ") + missing.join(QStringLiteral("、"));
    }
    if (!problem.isEmpty()) {
        m_failed = true;
        m_attachEx = nullptr;
        m_attach = nullptr;
        m_setAero = nullptr;
        if (m_report)
            m_report(QStringLiteral("皮肤库 %1 无法使用（%2），程序将不使用皮肤继续运行。").arg(path, problem));
        return false;
    }
    m_library = std::move(library);
    return true;
}

void SkinBinding::attach()
{
    if (!libraryPresent() || !ready())
        return;
    if (TextCodec::fileExists(m_folder + QString::fromUtf16(kSkinFileName))) {
        // The skin file is named bare, as the library looks it up itself.
        const QByteArray name = QString::fromUtf16(kSkinFileName).toLatin1();
        m_attachEx(name.constData(), "");
    }
    m_attach();
}

void SkinBinding::setAero(bool on)
{
    if (!libraryPresent() || !ready())
        return;
    m_setAero(on ? 1 : 0);
}

} // namespace sorvane
