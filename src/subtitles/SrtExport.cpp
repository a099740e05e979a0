#include "subtitles/SrtExport.h"

#include "core/Dictionary.h"
#include "state/WindowState.h"
#include "text/TextCodec.h"

namespace sorvane {
namespace {

QString configText(Dictionary &config, const QString &key)
{
    const Variant *value = config.find(key);
    return value ? value->text() : QString();
}

} // namespace

void SrtExport::OnSrtSave()
{
    Dictionary &config = *m_state.Config;
    const QString folder = configText(config, QStringLiteral("Path"));
    const QString charSet = configText(config, QStringLiteral("CharSet"));
    struct Output {
        const char *key;
        const char *file;
    };
    for (const Output &out : {Output{"Format", "Format.srt"}, Output{"Sample", "Sample.txt"}}) {
        const QString text = configText(config, QString::fromLatin1(out.key));
        if (!text.isEmpty())
            m_codec.PutStrText(folder + QString::fromLatin1(out.file), text, charSet);
    }
}

} // namespace sorvane
