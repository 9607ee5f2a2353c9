// Reading a whole EDS: the main loop, section dispatch and the file itself.
#include "eds/edsfile.h"
#include "eds/edsnumber.h"
#include "eds/edsreader.h"

#include <QFile>
#include <QTextCodec>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using FixedHandler = void (*)(EdsReader &reader);

struct FixedSection {
    QLatin1String name;
    FixedHandler read;
};

// Compared in this order, case-insensitively, before any index pattern.
const FixedSection fixedSections[] = {
    {QLatin1String("deviceinfo"), readDeviceInfoSection},
    {QLatin1String("fileinfo"), readFileInfoSection},
    {QLatin1String("comments"), readCommentsSection},
    {QLatin1String("dummyusage"), readDummyUsageSection},
    {QLatin1String("DynamicChannels"), readDynamicChannelsSection},
    {QLatin1String("MandatoryObjects"), [](EdsReader &r) { readObjectListSection(r, r.file.mandatoryObjects, QLatin1String("MandatoryObjects")); }},
    {QLatin1String("OptionalObjects"), [](EdsReader &r) { readObjectListSection(r, r.file.optionalObjects, QLatin1String("OptionalObjects")); }},
    {QLatin1String("ManufacturerObjects"), [](EdsReader &r) { readObjectListSection(r, r.file.manufacturerObjects, QLatin1String("ManufacturerObjects")); }},
    {QLatin1String("DeviceCommissioning"), readCommissioningSection},
    {QLatin1String("DeviceComissioning"), readCommissioningSection},
};

bool allHexDigits(QStringView text)
{
    for (QChar c : text) {
        if (!isHexDigit(c))
            return false;
    }
    return true;
}

// The index patterns are tested by hand: a name of four hex digits, optionally
// followed by "sub" and one or two hex digits, "Name" or "ObjectLinks".
bool dispatchIndexSection(EdsReader &reader, QStringView name)
{
    if (name.size() < 4 || !allHexDigits(name.left(4)))
        return false;
    const QStringView index = name.left(4);
    const QStringView rest = name.mid(4);
    if (rest.isEmpty()) {
        readObjectSection(reader, toIndexNumber(index));
        return true;
    }
    if (startsWithIgnoringCase(rest, QLatin1String("sub")) && rest.size() >= 4 && rest.size() <= 5
        && allHexDigits(rest.mid(3))) {
        readSubIndexSection(reader, toIndexNumber(index), toIndexNumber(rest.mid(3)));
        return true;
    }
    if (equalsIgnoringCase(rest, QLatin1String("Name"))) {
        readNameSection(reader, toIndexNumber(index));
        return true;
    }
    if (equalsIgnoringCase(rest, QLatin1String("Value"))) {
        readValueSection(reader, toIndexNumber(index));
        return true;
    }
    if (equalsIgnoringCase(rest, QLatin1String("ObjectLinks")) || equalsIgnoringCase(rest, QLatin1String("Denotation"))) {
        readSkippedIndexSection(reader, toIndexNumber(index));
        return true;
    }
    return false;
}

void dispatchSection(EdsReader &reader, const EdsLine &head)
{
    const QStringView name = sectionHeadName(head.text);
    reader.enterSection(name, head.number);
    for (const FixedSection &section : fixedSections) {
        if (equalsIgnoringCase(name, section.name)) {
            section.read(reader);
            return;
        }
    }
    if (!dispatchIndexSection(reader, name))
        reader.diagnose(QStringLiteral("Unknown section %1").arg(name), head.number);
}

std::unique_ptr<EdsFile> loadEdsFromText(const QString &text)
{
    auto file = std::make_unique<EdsFile>();
    EdsReader reader(text, *file);
    while (!reader.atEnd()) {
        const EdsLine line = reader.readLine();
        if (line.text.isEmpty() || line.text.startsWith(QLatin1Char(';')))
            continue;
        if (isSectionHead(line.text))
            dispatchSection(reader, line);
        else
            reader.diagnose(QStringLiteral("Unknown line"), line.number);
    }
    reader.enterSection(QStringView(), 0);
    finishSections(reader);
    mergeSubEntries(reader);
    completeCompactPdos(*file);
    checkPdoObjects(reader);
    expandCompactSubObjects(reader);
    relateCommissionedCobIds(reader);
    return file;
}

QString decodeEdsText(const QByteArray &data)
{
    // A UTF-8 byte-order mark is skipped; the rest is read in the system's 8-bit
    // encoding unless it carries a UTF-16 or UTF-32 mark, as a text stream would.
    const bool utf8Bom = data.startsWith("\xEF\xBB\xBF");
    const QByteArray rest = utf8Bom ? QByteArray::fromRawData(data.constData() + 3, data.size() - 3) : data;
    QTextCodec *codec = QTextCodec::codecForUtfText(rest, QTextCodec::codecForLocale());
    return codec->toUnicode(rest);
}

// The whole file, or nothing when it is not a regular file of a sensible size:
// a FIFO, a device or a directory would block or never end.
bool readEdsBytes(const QString &path, QByteArray &bytes)
{
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= maxEdsFileSize;
    if (ok) {
        bytes.resize(int(info.st_size));
        qint64 total = 0;
        // Read one byte beyond the limit so a file that grew meanwhile is noticed.
        char probe;
        while (ok) {
            const bool intoBuffer = total < bytes.size();
            const ssize_t got = intoBuffer ? ::read(fd, bytes.data() + total, size_t(bytes.size() - total))
                                           : ::read(fd, &probe, 1);
            if (got < 0) {
                ok = errno == EINTR;
                continue;
            }
            if (got == 0)
                break;
            if (!intoBuffer) {
                ok = false;
                break;
            }
            total += got;
        }
        bytes.truncate(int(total));
    }
    ::close(fd);
    return ok;
}

} // namespace

std::unique_ptr<EdsFile> loadEdsFromData(const QByteArray &data)
{
    return loadEdsFromText(decodeEdsText(data));
}

std::unique_ptr<EdsFile> loadEds(const QString &path)
{
    QString text;
    {
        QByteArray bytes;
        if (!readEdsBytes(path, bytes))
            return nullptr;
        text = decodeEdsText(bytes);
    }
    return loadEdsFromText(text);
}
