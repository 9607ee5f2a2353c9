#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class CanObject;
class EdsFile;
struct PDOConfig;

// Ties the slave to its EDS: 1 when the file was read and the slave filled,
// 0 for an empty path or an unreadable file.
int loadEdsIntoSlave(CanObject &slave, const QString &path);

// The device's default configuration: every PDO whose default COB-ID is valid
// and free for PDOs at the slave's node id, with its default mapping placed in
// PLC memory.
void buildDefaultPdos(CanObject &slave);

// Identifiers CiA 301 keeps for other services, and those an 11-bit frame cannot
// carry (29-bit ones aside): no PDO is configured on them by default.
bool isReservedCobId(quint32 id);

// Maps the default objects of one PDO of the slave and places each of them.
void addDefaultMapping(CanObject &slave, PDOConfig &pdo);

enum class DefaultWordFate { Mapped, NotWholeBytes, NotMappable, WrongDirection };

// A default mapping word of the EDS that gives the PDO no mapped object, and why.
struct LeftOutWord {
    int subIndex = 0;
    quint32 value = 0;
    DefaultWordFate fate = DefaultWordFate::NotMappable;
};
// The default words of a PDO that its default mapping leaves out; words that
// do not fit or find no PLC memory are not counted here.
QList<LeftOutWord> leftOutDefaultWords(const CanObject &slave, quint32 commIndex);

// Where loadEdsIntoSlave gets a parsed EDS from; null for a file it cannot read.
// With none installed, every call reads the file. Tools that load the same files
// over and over install a cache for as long as this object lives; the source
// that was installed before comes back when it goes.
using EdsSource = std::function<std::shared_ptr<const EdsFile>(const QString &path)>;
class ScopedEdsSource
{
public:
    explicit ScopedEdsSource(EdsSource source);
    ~ScopedEdsSource();
    ScopedEdsSource(const ScopedEdsSource &) = delete;
    ScopedEdsSource &operator=(const ScopedEdsSource &) = delete;

private:
    EdsSource m_previous;
};
