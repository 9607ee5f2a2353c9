#pragma once

// What a file handed to a command holds, told by its content, so that a
// command given the wrong kind of file can name the command that reads it.

#include <QByteArray>
#include <QString>

namespace refhost {

enum class FileKind {
    Eds,    // a [DeviceInfo] section or an object section: an EDS or DCF
    Stream, // a project stream, as save writes it
    Block,  // a configuration block, as compile writes it
    Other,
};

FileKind fileKind(const QByteArray &bytes);
bool holdsEdsContent(const QByteArray &text);
bool looksLikeBlock(const QByteArray &bytes);
// "this is a project stream, not a configuration block; restore and configure
// read it": found is never expected.
QString wrongKindText(FileKind found, FileKind expected);
// Said of a file with none of the three kinds of content by a command that takes an EDS.
QString noEdsContentText();

} // namespace refhost
