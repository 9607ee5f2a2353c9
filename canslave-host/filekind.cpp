#include "filekind.h"

#include "blocklayout.h"
#include "commands.h"
#include "streamsummary.h"

#include <QRegularExpression>

namespace refhost {

bool holdsEdsContent(const QByteArray &text)
{
    static const QRegularExpression head(QStringLiteral("^[ \\t]*\\[[ \\t]*(DeviceInfo|[0-9A-F]{4})[ \\t]*\\]"),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::MultilineOption);
    return head.match(QString::fromLatin1(text)).hasMatch();
}

bool looksLikeBlock(const QByteArray &bytes)
{
    const BlockLayout layout = blockLayout(bytes);
    return layout.opensAsBlock && layout.bodyLength >= 2 && layout.body.size() + 2 >= layout.bodyLength;
}

FileKind fileKind(const QByteArray &bytes)
{
    if (summarizeStream(bytes).isStream)
        return FileKind::Stream;
    if (looksLikeBlock(bytes))
        return FileKind::Block;
    return holdsEdsContent(bytes) ? FileKind::Eds : FileKind::Other;
}

namespace {

QString kindName(FileKind kind)
{
    switch (kind) {
    case FileKind::Eds: return tr("an EDS");
    case FileKind::Stream: return tr("a project stream");
    case FileKind::Block: return tr("a configuration block");
    case FileKind::Other: break;
    }
    return tr("any of these");
}

QString readers(FileKind kind)
{
    switch (kind) {
    case FileKind::Eds: return tr("show, compile, save and configure read it");
    case FileKind::Stream: return tr("restore and configure read it");
    case FileKind::Block: return tr("recompile reads it");
    case FileKind::Other: break;
    }
    return QString();
}

} // namespace

QString wrongKindText(FileKind found, FileKind expected)
{
    return tr("this is %1, not %2; %3").arg(kindName(found), kindName(expected), readers(found));
}

QString noEdsContentText()
{
    return tr("holds no EDS content (no [DeviceInfo] section, no object)");
}

} // namespace refhost
