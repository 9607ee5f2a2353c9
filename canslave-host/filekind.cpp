#include "filekind.h"

#include "commands.h"
#include "streamsummary.h"

#include <QRegularExpression>

namespace refhost {

namespace {

// The block's leading byte, and where its body length stands after the header
// of the name and the EDS path: node id, identity, flags and 15 zero bytes.
constexpr int blockMarker = 1;
constexpr int headerAfterPath = 1 + 16 + 1 + 15;
constexpr int bodyLengthBytes = 2;

int byteAt(const QByteArray &bytes, int i)
{
    return i < bytes.size() ? quint8(bytes.at(i)) : -1;
}

} // namespace

bool holdsEdsContent(const QByteArray &text)
{
    static const QRegularExpression head(QStringLiteral("^[ \\t]*\\[[ \\t]*(DeviceInfo|[0-9A-F]{4})[ \\t]*\\]"),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::MultilineOption);
    return head.match(QString::fromLatin1(text)).hasMatch();
}

bool looksLikeBlock(const QByteArray &bytes)
{
    const int nameLength = byteAt(bytes, 1);
    const int pathLength = nameLength < 0 ? -1 : byteAt(bytes, 2 + nameLength);
    if (byteAt(bytes, 0) != blockMarker || pathLength < 0)
        return false;
    const int lengthAt = 3 + nameLength + pathLength + headerAfterPath;
    const int low = byteAt(bytes, lengthAt + 1); // when there, so is the high byte before it
    const int bodyLength = low < 0 ? -1 : byteAt(bytes, lengthAt) << 8 | low;
    return bodyLength >= bodyLengthBytes && lengthAt + bodyLength <= bytes.size();
}

FileKind fileKind(const QByteArray &bytes)
{
    if (summarizeStream(bytes, true).isStream)
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
