#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class CanObject;

// What recompile made of a configuration block.
enum RecompileCode : int {
    RecompileOk = 0,
    RecompileMalformed = 1,      // too short or malformed, or a memory place is taken
    RecompilePdoRefused = 3,     // the EDS does not offer a PDO of the block, or it is there twice
    RecompileMappingRefused = 4, // a mapped object does not fit its PDO
    RecompileCobIdChanged = 5,   // the EDS gives a PDO another COB-ID now
    RecompileTrailingBytes = 6,  // bytes after the closing zeros
    RecompileEdsMissing = 128,   // the EDS is found nowhere: the slave the block holds, without it
};

struct RecompileResult {
    int code = RecompileMalformed;
    std::unique_ptr<CanObject> slave; // set for RecompileOk and RecompileEdsMissing only
};

// Rebuilds a slave from a block compile made, against the EDS the block names
// as that file is now (looked for where edsSearchPaths says); the mapped
// objects' places are claimed again under key. When the EDS is found nowhere,
// the slave is rebuilt from the block alone, keeps the stored path and has no
// eds, and the code is RecompileEdsMissing. A refusal leaves the host's memory
// book as it was before the call.
RecompileResult recompileBlock(const QByteArray &block, const QString &key);
